#pragma once
// Reading a whole file into memory, the one way every layer does it: regular files only (a
// device or a pipe named by mistake would block the reader or never end), and never more than
// a cap the caller names, so a huge or endless file fails instead of exhausting memory. Safe on
// any thread.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

constexpr std::size_t kDefaultMaxFileBytes = std::size_t{64} << 20;

// The file's bytes; false (and `out` emptied) when it is missing, not a regular file, cannot
// be read, or holds more than `maxBytes` bytes.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>* out,
                   std::size_t maxBytes = kDefaultMaxFileBytes);
bool ReadFileText(const std::string& path, std::string* out,
                  std::size_t maxBytes = kDefaultMaxFileBytes);

} // namespace plat
