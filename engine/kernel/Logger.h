#pragma once

#include "host/Types.h"

#include <fstream>
#include <string>

namespace kernel {

// Prepares the log location of a run: a system-wide named mutex, a "log" folder below the application
// directory and a file name made from the start time (UTC). The program's logger (made once at start-up
// with create) makes that file the host's problem log: failed saves and damaged or unreadable files are
// written there (host::ReportProblem), and a run without problems creates no file. The logs of earlier runs
// are removed only by removeEarlierLogs, once the program knows it goes on to run: a second copy, which ends
// at once, must not delete the log of the copy that runs. Tests build their own for a folder of their
// choice.
class Logger {
public:
    // The program's logger for the application directory; the existing one when there is one already.
    static Logger* create();
    // Null before create.
    static Logger* instance();
    static void destroy();

    // An empty application directory (the program's path could not be read) makes a logger that does
    // nothing, so it never empties a "log" folder at the root of the file system.
    explicit Logger(const std::string& applicationDirectory);
    virtual ~Logger();
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    // "<application directory>\log\yyyy-MM-dd HH-mm-ss.log"; empty for a logger that does nothing.
    const std::string& getLogFileName() const { return logFileName; }

    // Deletes every file in the log folder and its sub-folders (the sub-folders stay) but this run's own
    // log, which what went wrong since the logger was made may have started.
    void removeEarlierLogs() const;

private:
    std::ofstream logStream;
    std::string logFileName;
    host::HANDLE mutex = nullptr;
};

} // namespace kernel
