#pragma once
// Reading INI ("profile") files the way the desktop's profile calls do: section and key names
// compared without regard to ASCII case, blanks around names and values trimmed, one pair of
// matching quotes around a value removed, lines starting with ';' ignored, the first of
// repeated sections or keys wins, and the default when the file, section or key is missing.
// Stateless and safe on any thread; the file is read afresh on every call.

#include <cstdint>
#include <string_view>

namespace plat {

// Copies the value of `key` in `section` of the file at `path` into `buffer` (always
// terminated when bufferSize > 0) and returns the number of bytes copied, without the
// terminator.
// - A missing file, section or key copies `defaultValue` (null means empty) with its trailing
//   blanks removed.
// - A value that does not fit is cut to at most bufferSize - 1 bytes; the cut never splits a
//   UTF-8 character (it falls before the partial character), so the result may be shorter.
//   The return value always equals the length of what the buffer holds.
// - A null `section` copies the names of all sections, a null `key` the names of all keys of
//   `section`: each name terminated, the list ended by one more terminator. When the list does
//   not fit it is cut (at a character boundary) and still ends with two terminators. The
//   return value counts the bytes before the final terminator, or, for a cut list, before the
//   two closing terminators (bufferSize - 2 when the cut needs no step back).
uint32_t GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                 char* buffer, uint32_t bufferSize, const char* path);

// The same rules applied to the contents of a profile file already in memory.
uint32_t GetProfileStringFromText(std::string_view text, const char* section, const char* key,
                                  const char* defaultValue, char* buffer, uint32_t bufferSize);

} // namespace plat
