#include "engine/platform/DataGathering.h"

#include "engine/kernel/FileAccess.h"
#include "engine/kernel/PathUtil.h"
#include "engine/kernel/ScalarValue.h"
#include "engine/kernel/ValueDocument.h"
#include "engine/platform/ProcessorClock.h"
#include "host/DamagedFiles.h"
#include "host/Files.h"
#include "host/Registry.h"
#include "host/System.h"

#include <cstdio>
#include <ctime>
#include <memory>
#include <utility>

namespace platform {
namespace {

constexpr const char* dataGatheringNode = "DataGathering";
constexpr const char* systemInfoNode = "SystemInfo";
constexpr const char* playingSessionsNode = "PlayingSessions";
constexpr const char* fileNameValue = "dgfilename";

std::unique_ptr<DataGathering> theRecord;

std::int32_t secondsNow() {
    return static_cast<std::int32_t>(std::time(nullptr));
}

void setNumber(kernel::NodeValue& node, const char* name, std::int32_t number) {
    node.setChild(new kernel::ScalarValue(name, number, kernel::Typing::Untyped));
}

void setText(kernel::NodeValue& node, const char* name, const std::string& text) {
    node.setChild(new kernel::ScalarValue(name, text, kernel::Typing::Untyped));
}

// Bytes / 1000, then / 1024: the unit the file has always used.
std::int32_t physicalMemory() {
    host::MEMORYSTATUS status;
    host::GlobalMemoryStatus(&status);
    return static_cast<std::int32_t>(status.dwTotalPhys / 1000 / 1024);
}

std::string directXText(std::int32_t code) {
    char text[16];
    std::snprintf(text, sizeof text, "#%04x", static_cast<unsigned>(code));
    return text;
}

} // namespace

// The processor's clock is measured from now on, while the game loads, and kept for the snapshot at exit.
DataGathering::Sources DataGathering::systemSources() {
    const std::shared_ptr<ProcessorClock> clock = std::make_shared<ProcessorClock>();
    return Sources{secondsNow, [clock] { return SystemInfo(clock->megahertz()); }};
}

DataGathering* DataGathering::create(const std::string& gameId) {
    // Without the program's folder the name would point at the root of the file system.
    const std::string folder = kernel::applicationDirectory();
    return create(gameId, folder.empty() ? std::string() : folder + "\\gd.xml", systemSources());
}

DataGathering* DataGathering::create(const std::string& gameId, const std::string& fileName,
                                     Sources sources) {
    if (!theRecord) {
        theRecord.reset(new DataGathering(gameId, fileName, std::move(sources)));
        theRecord->registerFileName();
    }
    return theRecord.get();
}

DataGathering* DataGathering::instance() {
    return theRecord.get();
}

WriteResult DataGathering::destroy() {
    if (!theRecord) {
        return WriteResult::Skipped;
    }
    const WriteResult result = theRecord->WriteFile();
    theRecord.reset();
    return result;
}

DataGathering::DataGathering(const std::string& gameId, std::string fileName, Sources sources)
    : sources(std::move(sources)), registryKeyPath("Software\\tarvo\\Games\\" + gameId + "\\session"),
      fileName(std::move(fileName)) {}

void DataGathering::startSession(std::int32_t gameMode, std::int32_t numPlayers) {
    SessionRecord& session = sessions.emplace_back(sources.now(), gameMode, numPlayers);
    session.readDisplay();
    sessionClosed = false;
}

void DataGathering::endSession() {
    if (sessionClosed) {
        return;
    }
    sessions.back().endTime = sources.now();
    sessionClosed = true;
}

void DataGathering::addSessionRecord(kernel::SmartPtr<kernel::Object> object) {
    // The game always opens a session first; a stray record has nowhere to go.
    if (sessions.empty() || !object) {
        return;
    }
    sessions.back().addRecord(std::move(object));
}

void DataGathering::registerFileName() {
    if (fileName.empty()) {
        noWrite = true;
        return;
    }
    host::HKEY key = nullptr;
    if (host::RegCreateKeyEx(HKEY_CURRENT_USER, registryKeyPath.c_str(), 0, nullptr,
                             host::REG_OPTION_NON_VOLATILE, host::KEY_SET_VALUE, nullptr, &key,
                             nullptr) != host::ERROR_SUCCESS) {
        noWrite = true;
        return;
    }
    // Published as the system names the file, for whoever reads the value to open it: the name the record
    // is written under may use '\'.
    const std::string published = host::systemPath(fileName.c_str());
    const auto* path = reinterpret_cast<const host::BYTE*>(published.c_str());
    if (host::RegSetValueEx(key, fileNameValue, 0, host::REG_SZ, path,
                            static_cast<host::DWORD>(published.size() + 1)) != host::ERROR_SUCCESS) {
        noWrite = true;
    }
    host::RegCloseKey(key);
}

WriteResult DataGathering::WriteFile() {
    // Checked first: the machine snapshot would be thrown away.
    if (noWrite) {
        return WriteResult::Skipped;
    }
    const kernel::SmartPtr<kernel::ValueDocument> document(new kernel::ValueDocument());
    const kernel::DocumentRead read = document->loadFile(fileName);
    // Something is there that cannot be read: the sessions of earlier runs may be in it.
    if (read.isUnusable()) {
        return WriteResult::Skipped;
    }
    // What could not be read is not lost with the save that replaces it.
    if (read.isDamaged()) {
        host::keepDamagedFile(kernel::storageFileName(document->getFileMode(), fileName));
    }
    kernel::NodeValue& dataGathering = takeOverOrStart(*document);
    writeSystemInfo(dataGathering);
    appendSessions(dataGathering);
    document->setSavePath(fileName);
    return document->save() == kernel::SaveResult::Saved ? WriteResult::Written : WriteResult::Failed;
}

// A file whose "DataGathering" is missing, or is not a Node, holds nothing of ours: it is replaced whole.
kernel::NodeValue& DataGathering::takeOverOrStart(kernel::ValueDocument& document) const {
    if (kernel::Value* found = document.findChild(dataGatheringNode); found && found->isNode()) {
        return found->asNode();
    }
    document.clearAll();
    const kernel::SmartPtr<kernel::Value> fresh(new kernel::NodeValue(dataGatheringNode, dataGatheringNode));
    return document.setChild(fresh)->asNode();
}

void DataGathering::writeSystemInfo(kernel::NodeValue& dataGathering) const {
    const SystemInfo info = sources.systemInfo();
    const kernel::SmartPtr<kernel::NodeValue> node(new kernel::NodeValue(systemInfoNode, systemInfoNode));
    setText(*node, "CompName", info.computerName);
    setNumber(*node, "CPUSpeed", info.cpuMHz);
    setNumber(*node, "CPUType", info.cpuType);
    setNumber(*node, "NumberOfCPUs", info.cpuCount);
    setNumber(*node, "CPUCaps", 0);
    setText(*node, "OSName", info.osName);
    setNumber(*node, "WinBuild", info.osBuild);
    setNumber(*node, "SysMem", physicalMemory());
    setText(*node, "DirectX", directXText(info.directXVersion));
    setNumber(*node, "ScreenWidth", info.screenWidth);
    setNumber(*node, "ScreenHeight", info.screenHeight);
    setNumber(*node, "BitDepth", info.bitDepth);
    dataGathering.setChild(node);
}

// A "PlayingSessions" of another kind reads as the fallback Vector, which drops the new sessions: the file's
// own content is still written back untouched.
void DataGathering::appendSessions(kernel::NodeValue& dataGathering) const {
    kernel::SmartPtr<kernel::Value> list = &dataGathering.getVector(playingSessionsNode);
    if (!dataGathering.hasChild(playingSessionsNode)) {
        list = dataGathering.setChild(new kernel::VectorValue(playingSessionsNode));
    }
    for (const SessionRecord& session : sessions) {
        list->asVector().append(session.toNode());
    }
}

} // namespace platform
