#pragma once
// Sound files made in memory: a sine tone as a plain mono 16-bit WAV file or as a mono OGG Vorbis file.

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

inline std::vector<std::int16_t> tone(int count, int amplitude = 8000) {
    std::vector<std::int16_t> samples(count);
    for (int i = 0; i < count; ++i) {
        samples[i] = static_cast<std::int16_t>(amplitude * std::sin(i * 0.05));
    }
    return samples;
}

inline std::string littleEndian(std::uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return out;
}

// Format chunk: PCM, mono, the rate, bytes per second, block align 2, 16 bits per sample.
inline std::string wav(const std::vector<std::int16_t>& samples, std::uint32_t rate = 22050) {
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::string out = "RIFF" + littleEndian(36 + dataBytes, 4) + "WAVEfmt " + littleEndian(16, 4) +
                      littleEndian(1, 2) + littleEndian(1, 2) + littleEndian(rate, 4) +
                      littleEndian(rate * 2, 4) + littleEndian(2, 2) + littleEndian(16, 2) + "data" +
                      littleEndian(dataBytes, 4);
    for (const auto sample : samples) {
        out += littleEndian(static_cast<std::uint16_t>(sample), 2);
    }
    return out;
}

inline std::string ogg(const std::vector<std::int16_t>& samples, int rate = 22050) {
    vorbis_info info;
    vorbis_info_init(&info);
    vorbis_encode_init_vbr(&info, 1, rate, 0.4f);
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 7);
    std::string out;
    auto pages = [&](bool flush) {
        ogg_page page;
        while (flush ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) {
            out.append(reinterpret_cast<char*>(page.header), page.header_len);
            out.append(reinterpret_cast<char*>(page.body), page.body_len);
        }
    };
    ogg_packet headers[3];
    vorbis_analysis_headerout(&dsp, &comment, &headers[0], &headers[1], &headers[2]);
    for (ogg_packet& header : headers) {
        ogg_stream_packetin(&stream, &header);
    }
    pages(true);
    float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(samples.size()));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        buffer[0][i] = samples[i] / 32768.0f;
    }
    vorbis_analysis_wrote(&dsp, static_cast<int>(samples.size()));
    vorbis_analysis_wrote(&dsp, 0);
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
        vorbis_analysis(&block, nullptr);
        vorbis_bitrate_addblock(&block);
        ogg_packet packet;
        while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
            ogg_stream_packetin(&stream, &packet);
            pages(false);
        }
    }
    pages(true);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

} // namespace testsupport
