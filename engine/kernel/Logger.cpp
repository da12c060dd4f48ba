#include "engine/kernel/Logger.h"

#include "engine/kernel/PathUtil.h"
#include "host/Files.h"
#include "host/System.h"
#include "host/Threads.h"
#include "host/Time.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace kernel {
namespace {

constexpr const char* mutexName = "_LOGGING_MUTEXNAME";

std::unique_ptr<Logger>& theLogger() {
    static std::unique_ptr<Logger> logger;
    return logger;
}

bool isDotEntry(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// Files only: the sub-folders stay, emptied in turn. The file named kept stays too.
void deleteFilesBelow(const std::string& folder, const std::string& kept) {
    host::WIN32_FIND_DATA entry;
    const host::HANDLE listing = host::FindFirstFile((folder + "\\*.*").c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::string child = folder + "\\" + entry.cFileName;
        if ((entry.dwFileAttributes & host::FILE_ATTRIBUTE_DIRECTORY) == 0) {
            if (child != kept) {
                host::DeleteFile(child.c_str());
            }
        } else if (!isDotEntry(entry.cFileName)) {
            deleteFilesBelow(child, kept);
        }
    } while (host::FindNextFile(listing, &entry));
    host::FindClose(listing);
}

// "yyyy-MM-dd HH-mm-ss.log"
std::string startTimeFileName(const host::SYSTEMTIME& time) {
    char name[64];
    std::snprintf(name, sizeof name, "%04u-%02u-%02u %02u-%02u-%02u.log", unsigned{time.wYear},
                  unsigned{time.wMonth}, unsigned{time.wDay}, unsigned{time.wHour}, unsigned{time.wMinute},
                  unsigned{time.wSecond});
    return name;
}

} // namespace

Logger* Logger::create() {
    if (!theLogger()) {
        theLogger() = std::make_unique<Logger>(applicationDirectory());
        host::SetProblemLog(theLogger()->getLogFileName());
    }
    return theLogger().get();
}

Logger* Logger::instance() {
    return theLogger().get();
}

void Logger::destroy() {
    if (theLogger()) {
        host::SetProblemLog("");
    }
    theLogger().reset();
}

Logger::Logger(const std::string& applicationDirectory) {
    if (applicationDirectory.empty()) {
        return;
    }
    mutex = host::CreateMutex(nullptr, host::FALSE, mutexName);
    host::SYSTEMTIME now;
    host::GetSystemTime(&now);
    const std::string folder = applicationDirectory + "\\log";
    host::CreateDirectory(folder.c_str(), nullptr);
    logFileName = folder + "\\" + startTimeFileName(now);
}

void Logger::removeEarlierLogs() const {
    if (logFileName.empty()) {
        return;
    }
    deleteFilesBelow(logFileName.substr(0, logFileName.rfind('\\')), logFileName);
}

Logger::~Logger() {
    if (logStream.is_open()) {
        logStream.close();
    }
    if (mutex != nullptr) {
        host::CloseHandle(mutex);
    }
}

} // namespace kernel
