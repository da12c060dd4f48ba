#include "engine/kernel/ZipArchive.h"

#include "engine/kernel/FileAccess.h"
#include "engine/kernel/PathUtil.h"
#include "host/Files.h"

#include <unzip.h>

#include <limits>
#include <utility>

namespace kernel {
namespace {

ZipArchive* theArchive = nullptr;

// unzLocateFile's flag for a case-insensitive match: names were matched that way where the
// archives were made, and the library's default (0) is case-sensitive here.
constexpr int caseInsensitive = 2;

// Entry names longer than this are cut.
constexpr uLong nameBufferSize = 255;

// Deflate cannot expand data by more than about 1032 to 1; a header claiming more is corrupt, and
// believing it would allocate gigabytes for a tiny archive.
constexpr std::uint64_t maxDeflateRatio = 1032;
constexpr std::uint64_t deflateSlack = 64;

unzFile asHandle(void* handle) {
    return static_cast<unzFile>(handle);
}

// The archive file is opened through the host, so '\' paths work and tests can make opening fail.
voidpf ZCALLBACK openThroughHost(voidpf, const char* filename, int) {
    return host::fopen(filename, "rb");
}

unzFile openArchive(const std::string& path) {
    zlib_filefunc_def functions;
    fill_fopen_filefunc(&functions);
    functions.zopen_file = openThroughHost;
    return unzOpen2(path.c_str(), &functions);
}

// The library reports sizes in a long; a value beyond 32 bits saturates, which plausibleSize rejects.
std::uint32_t toU32(uLong value) {
    return value > std::numeric_limits<std::uint32_t>::max() ? std::numeric_limits<std::uint32_t>::max()
                                                             : static_cast<std::uint32_t>(value);
}

bool plausibleSize(const ZipFileInfo& info) {
    const std::uint64_t size = info.uncompressedSize;
    // read() counts in a signed 32-bit value.
    if (size >= static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
        return false;
    }
    if (info.compressionMethod == 0) {
        return size == info.compressedSize;
    }
    return size <= std::uint64_t{info.compressedSize} * maxDeflateRatio + deflateSlack;
}

} // namespace

ZipArchive::ZipArchive(std::string path) : path(std::move(path)) {}

ZipArchive::~ZipArchive() {
    close();
}

void ZipArchive::setPath(const std::string& newPath) {
    close();
    path = newPath;
}

std::string ZipArchive::getPath() const {
    return path;
}

void ZipArchive::open() {
    if (openTried) {
        return;
    }
    // Set even when opening fails: a missing archive is not looked for again until close().
    openTried = true;
    handle = openArchive(path);
}

void ZipArchive::close() {
    if (!openTried) {
        return;
    }
    if (handle != nullptr) {
        if (entryOpen) {
            unzCloseCurrentFile(asHandle(handle));
        }
        unzClose(asHandle(handle));
    }
    handle = nullptr;
    openTried = false;
    entryOpen = false;
}

bool ZipArchive::goToFirstEntry() {
    open();
    if (handle == nullptr || unzGoToFirstFile(asHandle(handle)) != UNZ_OK) {
        return false;
    }
    return readEntryInfo();
}

bool ZipArchive::goToNextEntry() {
    if (handle == nullptr || unzGoToNextFile(asHandle(handle)) != UNZ_OK) {
        return false;
    }
    return readEntryInfo();
}

bool ZipArchive::locateEntry(const std::string& name) {
    std::string entryName = name;
    FileUtil::NormalisePath(entryName);
    open();
    if (handle == nullptr || unzLocateFile(asHandle(handle), entryName.c_str(), caseInsensitive) != UNZ_OK) {
        return false;
    }
    return readEntryInfo();
}

bool ZipArchive::openEntry(const std::string& name) {
    return locateEntry(name) && openCurrentEntry();
}

bool ZipArchive::openCurrentEntry() {
    const int result = handle == nullptr ? UNZ_PARAMERROR : unzOpenCurrentFile(asHandle(handle));
    if (result != UNZ_OK) {
        close();
    }
    // Set in either case, so that closeCurrentEntry() always follows an attempt.
    entryOpen = true;
    return result == UNZ_OK;
}

bool ZipArchive::readEntryInfo() {
    if (handle == nullptr) {
        return false;
    }
    unz_file_info raw{};
    char name[nameBufferSize + 1] = {};
    if (unzGetCurrentFileInfo(asHandle(handle), &raw, name, nameBufferSize, nullptr, 0, nullptr, 0) !=
        UNZ_OK) {
        return false;
    }
    info.versionMadeBy = toU32(raw.version);
    info.versionNeeded = toU32(raw.version_needed);
    info.flag = toU32(raw.flag);
    info.compressionMethod = toU32(raw.compression_method);
    info.dosDate = toU32(raw.dosDate);
    info.crc = toU32(raw.crc);
    info.compressedSize = toU32(raw.compressed_size);
    info.uncompressedSize = toU32(raw.uncompressed_size);
    info.internalAttributes = toU32(raw.internal_fa);
    info.externalAttributes = toU32(raw.external_fa);
    info.name = name;
    return true;
}

bool ZipArchive::closeCurrentEntry() {
    if (!entryOpen) {
        return true;
    }
    entryOpen = false;
    if (handle == nullptr) {
        return false;
    }
    if (unzCloseCurrentFile(asHandle(handle)) != UNZ_OK) {
        close();
        return false;
    }
    return true;
}

const ZipFileInfo& ZipArchive::fileInfo() const {
    return info;
}

std::uint8_t ZipArchive::readByte() {
    std::uint8_t byte = 0;
    return read(&byte, 1) == 1 ? byte : 0;
}

std::int32_t ZipArchive::read(void* buffer, std::uint32_t length) {
    if (handle == nullptr || !entryOpen) {
        return UNZ_PARAMERROR;
    }
    const int result = unzReadCurrentFile(asHandle(handle), buffer, length);
    if (result < 0) {
        close();
    }
    return result;
}

bool ZipArchive::readWhole(FileBuffer& buffer) {
    buffer.clear();
    if (!plausibleSize(info) || !buffer.allocate(info.uncompressedSize)) {
        return false;
    }
    std::uint32_t done = 0;
    while (done < buffer.size()) {
        const std::int32_t count = read(buffer.data() + done, buffer.size() - done);
        if (count <= 0) {
            break;
        }
        done += static_cast<std::uint32_t>(count);
    }
    if (done != buffer.size()) {
        buffer.clear();
        return false;
    }
    return true;
}

bool ZipArchive::isEndOfEntry() {
    if (handle == nullptr || !entryOpen) {
        return false;
    }
    return unzeof(asHandle(handle)) == 1;
}

bool ZipArchive::isOpen() const {
    return handle != nullptr;
}

bool ZipArchive::isEntryOpen() const {
    return entryOpen;
}

void ZipArchive::create(const std::string& path, int mode) {
    destroy();
    theArchive = new ZipArchive(path);
    theArchive->addRef();
    FileSourceMode = mode == modeGlobal ? modeEncryptZip : mode;
}

void ZipArchive::destroy() {
    if (ZipArchive* archive = std::exchange(theArchive, nullptr)) {
        archive->release();
    }
}

ZipArchive* ZipArchive::instance() {
    return theArchive;
}

} // namespace kernel
