#pragma once
// Points $XDG_RUNTIME_DIR at a fresh folder for one test (where named mutexes keep their lock files) and
// restores it afterwards. Set it while no other thread of the test runs.

#include "TempDir.h"

#include <cstdlib>
#include <optional>
#include <string>

namespace testsupport {

class RuntimeDir {
public:
    RuntimeDir() {
        if (const char* old = std::getenv("XDG_RUNTIME_DIR")) {
            previous = old;
        }
        ::setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    }
    ~RuntimeDir() {
        if (previous) {
            ::setenv("XDG_RUNTIME_DIR", previous->c_str(), 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
    }
    RuntimeDir(const RuntimeDir&) = delete;
    RuntimeDir& operator=(const RuntimeDir&) = delete;

    std::string file(const std::string& name) const { return dir.file(name); }

private:
    TempDir dir;
    std::optional<std::string> previous;
};

} // namespace testsupport
