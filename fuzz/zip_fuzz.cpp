// Feeds arbitrary bytes to the ZIP archive reader as the archive file: every entry it lists is opened and
// read whole, and the file layer reads a name from it in both archive modes.

#include "engine/kernel/FileAccess.h"
#include "engine/kernel/FileBuffer.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/kernel/ZipArchive.h"

#include "FuzzFolder.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// An archive may list any number of entries; the walk stops after this many.
constexpr int maxEntries = 64;

void readEveryEntry(const std::string& path) {
    const kernel::SmartPtr<kernel::ZipArchive> archive(new kernel::ZipArchive(path));
    kernel::FileBuffer buffer;
    int entries = 0;
    for (bool more = archive->goToFirstEntry(); more && entries < maxEntries;
         more = archive->goToNextEntry(), ++entries) {
        if (archive->openCurrentEntry()) {
            // A damaged entry may fail to read; only a crash is a find.
            (void)archive->readWhole(buffer);
            archive->closeCurrentEntry();
        }
    }
}

void readThroughTheFileLayer(const std::string& path) {
    for (const int mode : {kernel::modeZip, kernel::modeEncryptZip}) {
        kernel::ZipArchive::create(path, mode);
        kernel::FileBuffer buffer;
        (void)kernel::loadFile("a.xml", buffer, mode);
        (void)kernel::loadFile("media\\b.png", buffer, mode);
        kernel::ZipArchive::destroy();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzzing::scratch().file("archive.zip");
    if (!fuzzing::writeFile(path, {reinterpret_cast<const char*>(data), size})) {
        return 0;
    }
    readEveryEntry(path);
    readThroughTheFileLayer(path);
    return 0;
}
