#pragma once
// The ZIP archive source: one global archive that files of the archive modes are read from.

#include "engine/kernel/FileBuffer.h"
#include "engine/kernel/Object.h"

#include <cstdint>
#include <string>

namespace kernel {

// The current entry, as the archive library reports it.
class ZipFileInfo {
public:
    virtual ~ZipFileInfo() = default;

    std::uint32_t versionMadeBy = 0;
    std::uint32_t versionNeeded = 0;
    std::uint32_t flag = 0;
    std::uint32_t compressionMethod = 0;
    std::uint32_t dosDate = 0;
    std::uint32_t crc = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t uncompressedSize = 0;
    std::uint32_t internalAttributes = 0;
    std::uint32_t externalAttributes = 0;
    std::string name; // at most 255 bytes
};

// The archive opens lazily on the first lookup, and any archive error closes it so that the next
// lookup opens it afresh. There is no lock: the handle and the current entry are shared state, so
// only one thread may use the archive at a time (the shipped configuration reads everything from
// disk, so the loader thread never touches it).
class ZipArchive : public Object {
public:
    explicit ZipArchive(std::string path);
    ~ZipArchive() override;
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    virtual void setPath(const std::string& path);
    virtual std::string getPath() const;
    virtual void open();
    virtual void close();
    // False without an archive or when the library reports an error; else the entry's info is read.
    virtual bool goToFirstEntry();
    virtual bool goToNextEntry();
    // Case-insensitive; the name is normalised first ('\' to '/', no doubled '/').
    virtual bool locateEntry(const std::string& name);
    virtual bool openEntry(const std::string& name);
    virtual bool openCurrentEntry();
    virtual bool readEntryInfo();
    // False when closing reports an error (a CRC mismatch, for one).
    virtual bool closeCurrentEntry();
    virtual const ZipFileInfo& fileInfo() const;
    // 0 when nothing could be read.
    virtual std::uint8_t readByte();
    // The count read, 0 at the end of the entry, negative on an error.
    virtual std::int32_t read(void* buffer, std::uint32_t length);
    // The whole current entry into the buffer; false (buffer emptied) when it cannot be read whole.
    [[nodiscard]] virtual bool readWhole(FileBuffer& buffer);
    virtual bool isEndOfEntry();
    virtual bool isOpen() const;
    virtual bool isEntryOpen() const;

    // Replaces the global archive and sets FileSourceMode (0 means 4).
    static void create(const std::string& path, int mode);
    static void destroy();
    static ZipArchive* instance();

    static constexpr ClassInfo classInfo{&Object::classInfo};
    const ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    // The archive library's unzFile, kept opaque so that only ZipArchive.cpp includes its header.
    void* handle = nullptr;
    std::string path;
    bool openTried = false;
    bool entryOpen = false;
    ZipFileInfo info;
};

} // namespace kernel
