// Feeds arbitrary profile-file text to the reader: the first byte picks the buffer size, the
// first two lines name a section and a key, and the rest is the file. Checks that what lands in
// the buffer always matches the length returned and never ends inside a character.
#include "platform/sys/Profile.h"
#include "platform/base/TextUtf8.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

// Whether cutting s before byte `at` falls inside a character, characters read as the
// platform's UTF-8 decoder reads them everywhere (a malformed byte is a character of its own,
// so a byte that only looks like a lead, 0xF5 say, starts nothing).
bool SplitsCharacter(std::string_view s, std::size_t at) {
    const char* end = s.data() + s.size();
    std::size_t i = 0;
    while (i < at)
        i += plat::Utf8CharLength(s.data() + i, end);
    return i != at;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const uint32_t bufferSize = data[0];
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    auto takeLine = [&rest]() {
        const std::size_t nl = rest.find('\n');
        std::string line(rest.substr(0, nl));
        rest.remove_prefix(nl == std::string_view::npos ? rest.size() : nl + 1);
        return line;
    };
    const std::string section = takeLine();
    const std::string key = takeLine();

    std::vector<char> buffer(bufferSize + 1, '\x7F'); // one guard byte past the given size
    const char* dflt = "default value";
    uint32_t n = plat::GetProfileStringFromText(rest, section.c_str(), key.c_str(), dflt,
                                                buffer.data(), bufferSize);
    if (bufferSize == 0) {
        Check(n == 0 && buffer[0] == '\x7F');
        return 0;
    }
    Check(n < bufferSize && buffer[n] == '\0' && std::strlen(buffer.data()) == n);
    Check(buffer[bufferSize] == '\x7F');
    // When the value was cut, the kept part is its start, at most three bytes short of the
    // room, and it never ends inside a well-formed character.
    std::vector<char> whole(8192);
    const uint32_t full = plat::GetProfileStringFromText(rest, section.c_str(), key.c_str(), dflt,
                                                         whole.data(), 8192);
    if (full > n && full < 8191) {
        Check(std::memcmp(buffer.data(), whole.data(), n) == 0);
        Check(n + 4 >= bufferSize);
        Check(!SplitsCharacter(std::string_view(whole.data(), full), n));
    }

    // Name lists: every name terminated, two terminators at the end, inside the buffer.
    for (const char* sec : {static_cast<const char*>(nullptr), section.c_str()}) {
        std::fill(buffer.begin(), buffer.end(), '\x7F');
        n = plat::GetProfileStringFromText(rest, sec, nullptr, dflt, buffer.data(), bufferSize);
        Check(buffer[bufferSize] == '\x7F');
        if (bufferSize >= 2) {
            Check(n + 1 < bufferSize + 1);
            Check(buffer[n] == '\0');
            Check(n == 0 ? buffer[1] == '\0' : (buffer[n - 1] == '\0' || buffer[n + 1] == '\0'));
        }
    }
    return 0;
}
