#pragma once

#include "engine/kernel/Object.h"
#include "engine/kernel/SmartPtr.h"
#include "engine/platform/SessionRecord.h"
#include "engine/platform/SystemInfo.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kernel {
class NodeValue;
class ValueDocument;
} // namespace kernel

namespace platform {

// What WriteFile did with the session file.
enum class WriteResult {
    Written,
    // The registry refused the file's name at start-up, or the file is there but cannot be read (a folder, a
    // pipe, no permission): the file is left alone.
    Skipped,
    // The file could not be written whole; an earlier file is still there as it was.
    Failed,
};

// Records how the program is used on this machine: one SessionRecord per playing session and, at exit, a
// snapshot of the machine. Everything goes into one file, "gd.xml" in the application directory, which
// keeps the sessions of every run. Main thread only.
class DataGathering {
public:
    // The outside facts the record reads. Tests give their own so that nothing waits on the processor
    // measurement and the times are known. The system's own start measuring the processor at once.
    struct Sources {
        // Seconds since 1970-01-01 00:00 UTC.
        std::function<std::int32_t()> now;
        std::function<SystemInfo()> systemInfo;
    };
    static Sources systemSources();

    // The record for the game id, writing to "gd.xml" in the application directory; the existing one when
    // there is one already. The file's name is published in the registry at once; an empty name, or a
    // registry that refuses it, leaves the file unwritten.
    static DataGathering* create(const std::string& gameId);
    static DataGathering* create(const std::string& gameId, const std::string& fileName, Sources sources);
    // Null before create and after destroy.
    static DataGathering* instance();
    // Writes the file, then frees the record and the objects hung on its sessions. Skipped without a record.
    [[nodiscard]] static WriteResult destroy();

    // Opens a new session. One still open is left as it is, without an end time.
    void startSession(std::int32_t gameMode, std::int32_t numPlayers);
    // Closes the open session; without one nothing changes.
    void endSession();
    // Hangs the object on the latest session, which keeps it alive. Before any session it is ignored.
    void addSessionRecord(kernel::SmartPtr<kernel::Object> object);

    // "dgfilename" under the session key: the file's full path. A failure sets noWrite.
    void registerFileName();
    // Merges this run into the file: earlier sessions stay, "SystemInfo" is replaced, this run's sessions
    // are appended. A file that was not read whole is kept beside it first ("gd.xml.damaged").
    [[nodiscard]] WriteResult WriteFile();

    bool isSessionClosed() const { return sessionClosed; }
    bool isNoWrite() const { return noWrite; }
    const std::string& getRegistryKeyPath() const { return registryKeyPath; }
    const std::string& getFileName() const { return fileName; }
    const std::vector<SessionRecord>& getSessions() const { return sessions; }

private:
    DataGathering(const std::string& gameId, std::string fileName, Sources sources);

    kernel::NodeValue& takeOverOrStart(kernel::ValueDocument& document) const;
    void writeSystemInfo(kernel::NodeValue& dataGathering) const;
    void appendSessions(kernel::NodeValue& dataGathering) const;

    Sources sources;
    bool sessionClosed = true;
    std::string registryKeyPath;
    std::string fileName;
    bool noWrite = false;
    std::vector<SessionRecord> sessions;
};

} // namespace platform
