#pragma once
// For one test: the debug output is kept so the test can read what was reported, and the host failures the
// test forced are cleared afterwards, whatever the test did.

#include "host/System.h"
#include "host/Testing.h"

#include <string>

namespace testsupport {

class DebugOutput {
public:
    DebugOutput() { host::testing::recordDebugOutput(true); }
    ~DebugOutput() {
        host::testing::recordDebugOutput(false);
        host::testing::clearFailures();
    }
    DebugOutput(const DebugOutput&) = delete;
    DebugOutput& operator=(const DebugOutput&) = delete;

    // What was reported since the last call.
    static std::string take() { return host::testing::takeDebugOutput(); }
};

} // namespace testsupport
