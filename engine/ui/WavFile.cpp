#include "engine/ui/WavFile.h"

#include "host/Files.h"

#include <cstdio>
#include <cstring>

namespace ui {
namespace {

constexpr std::uint16_t pcmFormat = 1;
constexpr std::uint16_t bitsPerSample = 16;
constexpr std::uint32_t formatChunkSize = 16;
// Nothing reads the dependency chunk back; its name field is a fixed tag.
constexpr char dependencyName[] = "test";
constexpr std::uint16_t dependencyNameLength = sizeof dependencyName - 1;
constexpr std::uint32_t dependencyChunkSize = 10 + dependencyNameLength;
constexpr std::uint32_t riffHeaderSize = 12;
constexpr std::uint32_t chunkHeaderSize = 8;

class ByteWriter {
public:
    void tag(const char (&id)[5]) { bytes.insert(bytes.end(), id, id + 4); }
    void u16(std::uint16_t value) {
        bytes.push_back(static_cast<std::uint8_t>(value));
        bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    void u32(std::uint32_t value) {
        u16(static_cast<std::uint16_t>(value));
        u16(static_cast<std::uint16_t>(value >> 16));
    }
    void text(const char* value, std::size_t length) { bytes.insert(bytes.end(), value, value + length); }

    std::vector<std::uint8_t> bytes;
};

std::vector<std::uint8_t> headerOf(const PcmSound& pcm, host::FILETIME sourceTime) {
    const auto dataBytes = static_cast<std::uint32_t>(pcm.bytes.size());
    const auto blockAlign = static_cast<std::uint16_t>(pcm.channels * bitsPerSample / 8);
    ByteWriter out;
    out.tag("RIFF");
    out.u32(54 + dependencyNameLength + dataBytes);
    out.tag("WAVE");
    out.tag("fmt ");
    out.u32(formatChunkSize);
    out.u16(pcmFormat);
    out.u16(pcm.channels);
    out.u32(pcm.samplesPerSecond);
    out.u32(blockAlign * pcm.samplesPerSecond);
    out.u16(blockAlign);
    out.u16(bitsPerSample);
    out.tag("dep ");
    out.u32(dependencyChunkSize);
    out.u16(dependencyNameLength);
    out.text(dependencyName, dependencyNameLength);
    out.u32(sourceTime.dwLowDateTime);
    out.u32(sourceTime.dwHighDateTime);
    out.tag("data");
    out.u32(dataBytes);
    return out.bytes;
}

bool writeAll(std::FILE* file, const std::vector<std::uint8_t>& bytes) {
    return bytes.empty() || host::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

bool writeFile(const std::string& name, const std::vector<std::uint8_t>& header, const PcmSound& pcm) {
    std::FILE* file = host::fopen(name.c_str(), "wb");
    if (!file) {
        return false;
    }
    const bool written = writeAll(file, header) && writeAll(file, pcm.bytes);
    // A failed close can mean data that never reached the disk.
    return host::fclose(file) == 0 && written;
}

std::uint32_t readU32(const std::uint8_t* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

long fileSize(std::FILE* file) {
    return host::fseek(file, 0, SEEK_END) == 0 ? host::ftell(file) : -1;
}

bool readAt(std::FILE* file, long offset, std::uint8_t* bytes, std::size_t count) {
    return host::fseek(file, offset, SEEK_SET) == 0 && host::fread(bytes, 1, count, file) == count;
}

// Walks the chunks from the form type to the end of the file; every chunk must fit and the last one must
// end exactly at the end of the file.
bool chunksFillFile(std::FILE* file, long size) {
    std::uint8_t riff[riffHeaderSize];
    if (!readAt(file, 0, riff, sizeof riff) || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0 || readU32(riff + 4) + std::int64_t{8} != size) {
        return false;
    }
    bool hasFormat = false;
    bool hasData = false;
    std::int64_t offset = riffHeaderSize;
    while (offset < size) {
        std::uint8_t chunk[chunkHeaderSize];
        if (!readAt(file, static_cast<long>(offset), chunk, sizeof chunk)) {
            return false;
        }
        hasFormat = hasFormat || std::memcmp(chunk, "fmt ", 4) == 0;
        hasData = hasData || std::memcmp(chunk, "data", 4) == 0;
        const std::uint32_t chunkSize = readU32(chunk + 4);
        offset += chunkHeaderSize + chunkSize + (chunkSize & 1);
    }
    return offset == size && hasFormat && hasData;
}

} // namespace

bool writeWavFile(const std::string& wavName, const PcmSound& pcm, host::FILETIME sourceTime) {
    if (wavName.empty() || pcm.bytes.size() > maxPcmBytes) {
        return false;
    }
    const std::string partName = wavName + ".part";
    if (writeFile(partName, headerOf(pcm, sourceTime), pcm) &&
        host::rename(partName.c_str(), wavName.c_str()) == 0) {
        return true;
    }
    host::DeleteFile(partName.c_str());
    return false;
}

bool isCompleteWavFile(const std::string& file) {
    std::FILE* stream = host::fopen(file.c_str(), "rb");
    if (!stream) {
        return false;
    }
    const long size = fileSize(stream);
    const bool complete = size >= static_cast<long>(riffHeaderSize) && chunksFillFile(stream, size);
    host::fclose(stream);
    return complete;
}

} // namespace ui
