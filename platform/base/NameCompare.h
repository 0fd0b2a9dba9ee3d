#pragma once
// Names of profile sections and keys and of settings values compare without regard to ASCII
// case, as the desktop platform compares them.

#include <cstddef>
#include <string_view>

namespace plat {

inline bool SameName(std::string_view a, std::string_view b) {
    const auto lower = [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

} // namespace plat
