#pragma once
// Environment variables set for one test and restored afterwards (set them while no other thread of the
// test runs), and $XDG_RUNTIME_DIR pointed at a fresh folder that way: named mutexes keep their lock files
// there.

#include "TempDir.h"

#include <cstdlib>
#include <optional>
#include <string>

namespace testsupport {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name(name) {
        if (const char* old = std::getenv(name)) {
            previous = old;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() { previous ? ::setenv(name, previous->c_str(), 1) : ::unsetenv(name); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name;
    std::optional<std::string> previous;
};

class RuntimeDir : public TempDir {
private:
    ScopedEnv variable{"XDG_RUNTIME_DIR", path().string()};
};

} // namespace testsupport
