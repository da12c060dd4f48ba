#include "host/DamagedFiles.h"

#include "host/Files.h"
#include "host/System.h"

#include <string>
#include <sys/stat.h>

namespace host {
namespace {

std::string copyName(const std::string& path, int number) {
    return path + ".damaged" + (number > 1 ? std::to_string(number) : std::string());
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

bool keepDamagedFile(const std::string& path) {
    const std::string stored = systemPath(path.c_str());
    struct stat original {};
    const bool known = ::stat(stored.c_str(), &original) == 0;
    for (int number = 1; number <= maxDamagedCopies; ++number) {
        const std::string kept = copyName(path, number);
        // A save that failed after the file was kept tries again later: the copy it made still holds it.
        struct stat earlier {};
        if (known && ::stat(systemPath(kept.c_str()).c_str(), &earlier) == 0 && sameFile(original, earlier)) {
            return true;
        }
        if (CreateHardLink(kept.c_str(), path.c_str(), nullptr)) {
            ReportProblem(("\"" + path + "\" was not read whole; it is kept as \"" + kept + "\"\n").c_str());
            return true;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    ReportProblem(("\"" + path + "\" was not read whole and could not be kept\n").c_str());
    return false;
}

} // namespace host
