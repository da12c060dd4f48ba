#include "host/Testing.h"

#include <map>
#include <mutex>

namespace host::testing {
namespace {

struct Failure {
    long code;
    int remaining;
};

std::mutex& failuresLock() {
    static std::mutex lock;
    return lock;
}

std::map<std::string, Failure>& failures() {
    static std::map<std::string, Failure> table;
    return table;
}

} // namespace

void failCall(const std::string& call, long code, int count) {
    std::lock_guard guard(failuresLock());
    failures()[call] = Failure{code, count};
}

void clearFailures() {
    std::lock_guard guard(failuresLock());
    failures().clear();
}

bool shouldFail(const char* call, long* code) {
    std::lock_guard guard(failuresLock());
    auto& table = failures();
    if (table.empty()) {
        return false;
    }
    auto it = table.find(call);
    if (it == table.end()) {
        return false;
    }
    if (code) {
        *code = it->second.code;
    }
    if (it->second.remaining > 0 && --it->second.remaining == 0) {
        table.erase(it);
    }
    return true;
}

bool failsWithLastError(const char* call, DWORD defaultCode) {
    long code = 0;
    if (!shouldFail(call, &code)) {
        return false;
    }
    SetLastError(code < 0 ? defaultCode : static_cast<DWORD>(code));
    return true;
}

} // namespace host::testing
