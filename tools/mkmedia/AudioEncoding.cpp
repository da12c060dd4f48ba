#include "tools/mkmedia/AudioEncoding.h"

#include "tools/mkmedia/Synth.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <utility>

namespace mkmedia {
namespace {

void appendLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF));
    }
}

void appendTag(std::vector<std::uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(tag[i]));
    }
}

constexpr std::uint32_t channels = 1;
constexpr std::uint32_t bytesPerSample = 2;

void appendWavHeader(std::vector<std::uint8_t>& out, std::uint32_t rate, std::uint32_t dataBytes) {
    appendTag(out, "RIFF");
    appendLittleEndian(out, 36 + dataBytes, 4);
    appendTag(out, "WAVE");
    appendTag(out, "fmt ");
    appendLittleEndian(out, 16, 4);
    appendLittleEndian(out, 1, 2); // PCM
    appendLittleEndian(out, channels, 2);
    appendLittleEndian(out, rate, 4);
    appendLittleEndian(out, rate * channels * bytesPerSample, 4);
    appendLittleEndian(out, channels * bytesPerSample, 2);
    appendLittleEndian(out, bytesPerSample * 8, 2);
    appendTag(out, "data");
    appendLittleEndian(out, dataBytes, 4);
}

// The libvorbis and libogg states of one encoding, released in the reverse order of their set-up
// whatever way the encoding ends.
class VorbisEncoder {
public:
    VorbisEncoder() {
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
    }
    ~VorbisEncoder() {
        if (streaming) {
            ogg_stream_clear(&stream);
            vorbis_block_clear(&block);
            vorbis_dsp_clear(&dsp);
        }
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }
    VorbisEncoder(const VorbisEncoder&) = delete;
    VorbisEncoder& operator=(const VorbisEncoder&) = delete;

    bool start(const VorbisSettings& settings, std::string& error);
    void writeHeaders();
    void writeSamples(const std::vector<float>& left, const std::vector<float>& right);
    void finish();

    std::vector<std::uint8_t> file;

private:
    void drainBlocks();
    void appendPages(bool flush);

    vorbis_info info{};
    vorbis_comment comment{};
    vorbis_dsp_state dsp{};
    vorbis_block block{};
    ogg_stream_state stream{};
    bool streaming = false;
};

bool VorbisEncoder::start(const VorbisSettings& settings, std::string& error) {
    if (vorbis_encode_init_vbr(&info, 2, settings.rate, settings.quality) != 0) {
        error = "the Vorbis encoder refuses " + std::to_string(settings.rate) + " Hz at quality " +
                std::to_string(settings.quality);
        return false;
    }
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_init(&stream, settings.serial);
    streaming = true;
    return true;
}

// The three header packets go on pages of their own, which players expect before the first audio page.
void VorbisEncoder::writeHeaders() {
    ogg_packet identification;
    ogg_packet comments;
    ogg_packet codebooks;
    vorbis_analysis_headerout(&dsp, &comment, &identification, &comments, &codebooks);
    ogg_stream_packetin(&stream, &identification);
    ogg_stream_packetin(&stream, &comments);
    ogg_stream_packetin(&stream, &codebooks);
    appendPages(true);
}

void VorbisEncoder::writeSamples(const std::vector<float>& left, const std::vector<float>& right) {
    constexpr std::size_t chunk = 4096;
    for (std::size_t start = 0; start < left.size(); start += chunk) {
        const std::size_t count = std::min(chunk, left.size() - start);
        float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
        std::copy_n(left.begin() + static_cast<std::ptrdiff_t>(start), count, buffer[0]);
        std::copy_n(right.begin() + static_cast<std::ptrdiff_t>(start), count, buffer[1]);
        vorbis_analysis_wrote(&dsp, static_cast<int>(count));
        drainBlocks();
    }
}

// Writing zero samples marks the end of the stream; the last page then carries the exact length.
void VorbisEncoder::finish() {
    vorbis_analysis_wrote(&dsp, 0);
    drainBlocks();
    appendPages(true);
}

void VorbisEncoder::drainBlocks() {
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
        vorbis_analysis(&block, nullptr);
        vorbis_bitrate_addblock(&block);
        ogg_packet packet;
        while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
            ogg_stream_packetin(&stream, &packet);
            appendPages(false);
        }
    }
}

void VorbisEncoder::appendPages(bool flush) {
    ogg_page page;
    while (flush ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) {
        file.insert(file.end(), page.header, page.header + page.header_len);
        file.insert(file.end(), page.body, page.body + page.body_len);
    }
}

} // namespace

std::vector<std::uint8_t> encodeWav(const std::vector<float>& samples, int rate) {
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * bytesPerSample);
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes);
    appendWavHeader(out, static_cast<std::uint32_t>(rate), dataBytes);
    for (const float sample : samples) {
        appendLittleEndian(out, static_cast<std::uint16_t>(synth::toPcm16(sample)), 2);
    }
    return out;
}

int oggSerialOf(const std::string& file) {
    std::uint32_t hash = 2166136261u;
    for (const char c : file) {
        hash = (hash ^ static_cast<std::uint8_t>(c)) * 16777619u;
    }
    return static_cast<int>(hash & 0x7FFFFFFF);
}

bool encodeVorbis(const std::vector<float>& left, const std::vector<float>& right,
                  const VorbisSettings& settings, std::vector<std::uint8_t>& file, std::string& error) {
    if (left.size() != right.size() || left.empty()) {
        error = "the music has no samples or channels of different lengths";
        return false;
    }
    VorbisEncoder encoder;
    if (!encoder.start(settings, error)) {
        return false;
    }
    encoder.writeHeaders();
    encoder.writeSamples(left, right);
    encoder.finish();
    file = std::move(encoder.file);
    return true;
}

} // namespace mkmedia
