#include "engine/kernel/FileAccess.h"

#include "engine/kernel/PathUtil.h"
#include "engine/kernel/Scrambler.h"
#include "engine/kernel/ZipArchive.h"
#include "host/AtomicWrite.h"
#include "host/Files.h"

#include <cstdio>
#include <limits>
#include <utility>

namespace kernel {

int FileSourceMode = modeEncryptZip;

namespace {

bool isArchiveMode(int mode) {
    return mode == modeZip || mode == modeEncryptZip;
}

bool isDiskMode(int mode) {
    return mode == modeFile || mode == modeEncryptFile;
}

bool isScrambledMode(int mode) {
    return mode == modeEncryptFile || mode == modeEncryptZip;
}

// The descrambler counts in a signed 32-bit value, so no file may be larger.
constexpr long maxFileSize = std::numeric_limits<std::int32_t>::max();

// An entry that is found but cannot be opened, read whole or closed (a CRC mismatch) is a failure.
bool loadFromArchive(const std::string& name, FileBuffer& loaded) {
    ZipArchive* archive = ZipArchive::instance();
    // An archive mode asked for before any archive exists has nothing to read from.
    if (archive == nullptr || !archive->locateEntry(name)) {
        return false;
    }
    const bool opened = archive->openCurrentEntry();
    const bool read = opened && archive->readWhole(loaded);
    const bool closed = archive->closeCurrentEntry();
    return opened && read && closed;
}

// The size from the end position; -1 when it cannot be had.
long fileSize(std::FILE* file) {
    if (host::fseek(file, 0, SEEK_END) != 0) {
        return -1;
    }
    const long size = host::ftell(file);
    return host::fseek(file, 0, SEEK_SET) == 0 ? size : -1;
}

// An empty file is a failure, as is a read that comes back short.
bool loadFromDisk(const std::string& name, FileBuffer& loaded) {
    std::FILE* file = host::fopen(name.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    const long size = fileSize(file);
    bool done = false;
    if (size > 0 && size < maxFileSize && loaded.allocate(static_cast<std::uint32_t>(size))) {
        done = host::fread(loaded.data(), 1, loaded.size(), file) == loaded.size();
    }
    host::fclose(file);
    return done;
}

} // namespace

int resolveFileMode(int mode) {
    if (mode != modeGlobal) {
        return mode;
    }
    return ZipArchive::instance() != nullptr ? FileSourceMode : modeFile;
}

std::string storageFileName(int mode, const std::string& name) {
    return isScrambledMode(resolveFileMode(mode)) ? name + scrambledSuffix : name;
}

LoadResult loadFile(const std::string& name, FileBuffer& buffer, int mode) {
    std::string path = name;
    FileUtil::NormalisePath(path);
    const int resolved = resolveFileMode(mode);
    path = storageFileName(resolved, path);

    // Loaded aside, so that a failure leaves the caller's buffer as it was.
    FileBuffer loaded;
    bool done = false;
    if (isArchiveMode(resolved)) {
        // A missing entry is not looked for on disk: an archive mode means the file ships inside it.
        done = loadFromArchive(path, loaded);
    } else if (isDiskMode(resolved)) {
        done = loadFromDisk(path, loaded);
    }
    if (!done) {
        return LoadResult::Failed;
    }
    if (isScrambledMode(resolved)) {
        xorScramble(loaded.data(), static_cast<std::int32_t>(loaded.size()));
    }
    buffer = std::move(loaded);
    return LoadResult::Done;
}

bool writeFileReplacing(const std::string& target, const std::string& bytes) {
    return host::writeFileAtomically(target, bytes).succeeded();
}

} // namespace kernel
