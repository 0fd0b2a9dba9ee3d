#pragma once
// The per-user settings store, shaped after the registry calls the program uses. A key
// "Software\<Name>[\<More>...]" under HKEY_CURRENT_USER lives in the file
// ${XDG_CONFIG_HOME:-~/.config}/<Name>[/<More>...]/settings.ini as one "name=value" line per
// value. Values are text (REG_SZ) holding any bytes but NUL; a missing or malformed file reads
// as a key without values. Every write replaces the file through a temporary file and a rename,
// so a crash never leaves it half written. Calls are safe on any thread; reads and writes go
// to the file each time, so two handles to one key see each other's changes.

#include "platform/base/WinTypes.h"

namespace plat {

struct SettingsKey;
using HKEY = SettingsKey*;
using REGSAM = DWORD;

// Root keys carry their Windows values; only the current user's is backed by files.
inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001));

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_WRITE_FAULT = 29;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_NO_MORE_ITEMS = 259;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

// Opens an existing key. ERROR_FILE_NOT_FOUND when it has never been created (its settings
// file is missing); a malformed file opens as a key without values.
LONG RegOpenKeyEx(HKEY root, const char* subKey, DWORD options, REGSAM access, HKEY* result);

// Opens a key, creating its folder (and an empty settings file) when missing. `disposition`
// (may be null) receives REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY.
LONG RegCreateKeyEx(HKEY root, const char* subKey, DWORD reserved, char* className, DWORD options,
                    REGSAM access, const void* security, HKEY* result, DWORD* disposition);

// The value at `index` in file order. On entry *nameSize is the size of `name` in bytes
// including the terminator; on success it receives the name's length without it. `data` and
// `dataSize` behave as in RegQueryValueEx. ERROR_NO_MORE_ITEMS past the last value;
// ERROR_MORE_DATA when the name or the data does not fit.
LONG RegEnumValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved, DWORD* type,
                  BYTE* data, DWORD* dataSize);

// Reads a value: the text and its terminator. With null `data` only the size needed is
// returned in *dataSize; when the buffer is smaller, ERROR_MORE_DATA and the size needed.
LONG RegQueryValueEx(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data,
                     DWORD* dataSize);

// Writes a REG_SZ value: the text is the data up to its first NUL or its `dataSize` bytes,
// whichever comes first (zero padding after the text is not part of it). Other types are
// refused with ERROR_INVALID_PARAMETER.
LONG RegSetValueEx(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data,
                   DWORD dataSize);

LONG RegCloseKey(HKEY key);

} // namespace plat
