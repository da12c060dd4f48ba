#pragma once
// The registry of the current user, as the engine reads and writes its settings. The keys live in one XML
// file, $XDG_CONFIG_HOME/pibbles/registry.xml (else ~/.config/pibbles/registry.xml), read by the first call
// of the run, kept in memory from then on and rewritten whole through a temporary file on every change (the
// file is looked up at every open of the root; another file than the one read is read in its place). A
// missing file reads as an empty registry; a damaged one (empty, cut, malformed) as far as it reads, and one
// larger than any real one (host::maxXmlBytes) as empty; the first change writes what was read after
// keeping the damaged file as "registry.xml.damaged". One that is there but cannot be read (a folder, a
// pipe, no permission) reads as empty and is never written over in that run. Each is named in the problem
// log (host::ReportProblem). Key and value names compare case-insensitively (ASCII) and keep the spelling
// they were first given. Callable from any thread.

#include "host/Types.h"

#include <string>

namespace host {

// An open key. Keys are freed by RegCloseKey; the predefined root lives for the whole program.
class RegistryKey;
using HKEY = RegistryKey*;
using REGSAM = DWORD;
using LSTATUS = LONG;

HKEY currentUserKey();
#define HKEY_CURRENT_USER (::host::currentUserKey())

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Creates every missing level of subKey below root (an empty or null subKey opens root itself) and opens
// the key. Class, options and security are ignored. disposition may be null.
[[nodiscard]] LSTATUS RegCreateKeyEx(HKEY root, const char* subKey, DWORD reserved, const char* className,
                                     DWORD options, REGSAM access, void* securityAttributes, HKEY* result,
                                     DWORD* disposition);
// ERROR_FILE_NOT_FOUND when a level is missing.
LSTATUS RegOpenKeyEx(HKEY root, const char* subKey, DWORD options, REGSAM access, HKEY* result);
// Every pointer may be null. Lengths are in characters without the terminating zero, data sizes in bytes;
// keys have no class and no security descriptor here.
LSTATUS RegQueryInfoKey(HKEY key, char* className, DWORD* classLength, DWORD* reserved, DWORD* subKeys,
                        DWORD* maxSubKeyLength, DWORD* maxClassLength, DWORD* values,
                        DWORD* maxValueNameLength, DWORD* maxValueLength, DWORD* securityDescriptorSize,
                        FILETIME* lastWriteTime);
// The value at index, in the order the values were first set. nameLength: the buffer's size in, the
// name's length out; dataLength: the buffer's size in, the data's size out (a REG_SZ counts its zero).
// ERROR_MORE_DATA when the name or the data does not fit (dataLength then holds the size needed);
// ERROR_NO_MORE_ITEMS past the last value. type, data and dataLength may be null.
LSTATUS RegEnumValue(HKEY key, DWORD index, char* name, DWORD* nameLength, DWORD* reserved, DWORD* type,
                     BYTE* data, DWORD* dataLength);
// Stores the bytes as they are, of any type (the engine writes REG_DWORD as 4 little-endian bytes and
// REG_SZ with its zero counted). The file is rewritten before the call returns; when that fails the
// registry is unchanged and the code says why (ERROR_WRITE_FAULT and the like). A value that is stored
// with this type and these bytes already leaves the file untouched.
[[nodiscard]] LSTATUS RegSetValueEx(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data,
                                    DWORD size);
// As RegEnumValue, for a value found by name; ERROR_FILE_NOT_FOUND when it is missing.
LSTATUS RegQueryValueEx(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data,
                        DWORD* dataLength);
// Closing the predefined root does nothing and succeeds.
LSTATUS RegCloseKey(HKEY key);

// The file that holds the registry now; empty when neither XDG_CONFIG_HOME nor a home folder is known.
std::string registryFilePath();

namespace testing {
// Drops what was read from the file, so that the next call reads it again: for tests that change the file
// behind the registry's back.
void forgetRegistry();
// How many times the file has been read since the program started.
int registryFileReads();
} // namespace testing

} // namespace host
