#pragma once
// A switch for tests: makes a named host call fail with a given code, so that
// the engine's failure paths can be reached without breaking the machine.

#include "host/Types.h"

#include <string>

namespace host::testing {

// From now on the named call fails with the code (count: how many times; -1 for every call).
void failCall(const std::string& call, long code = -1, int count = -1);
void clearFailures();

// Asked by the host's own calls: true (and the code) when the call is to fail now.
bool shouldFail(const char* call, long* code = nullptr);
// The same for the calls that report through the last error: a call that is to fail now sets the test's
// code, or defaultCode when the test gave none, as the last error.
bool failsWithLastError(const char* call, DWORD defaultCode);

} // namespace host::testing
