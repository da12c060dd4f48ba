#include "host/Types.h"

#include "host/System.h"
#include "host/Threads.h"

#include <cstdint>

namespace host {
namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

HANDLE invalidHandle() {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));
}

BOOL CloseHandle(HANDLE handle) {
    if (handle == nullptr || handle == invalidHandle()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // The pseudo-handles of the current thread and process stand for no object: closing them does nothing.
    if (handle == GetCurrentThread() || handle == GetCurrentProcess()) {
        return TRUE;
    }
    delete handle;
    return TRUE;
}

DWORD GetLastError() {
    return lastError;
}

void SetLastError(DWORD code) {
    lastError = code;
}

} // namespace host
