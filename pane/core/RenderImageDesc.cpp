#include "pane/core/RenderImageDesc.h"

#include <algorithm>
#include <cstdlib>

namespace Pane {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

} // namespace

plat::RECT ParseFourNumbers(const char* text) {
    long values[4] = {0, 0, 0, 0};
    const char* p = text;
    for (int i = 0; i < 4 && p != nullptr && *p != '\0'; ++i) {
        char* end = nullptr;
        values[i] = std::strtol(p, &end, 10);
        // The separator is one character; never step over the terminator.
        p = (*end != '\0') ? end + 1 : end;
    }
    auto clampInt = [](long v) {
        return static_cast<plat::LONG>(std::clamp<long>(v, -1000000000L, 1000000000L));
    };
    return plat::RECT{clampInt(values[0]), clampInt(values[1]), clampInt(values[2]),
                      clampInt(values[3])};
}

void CImageDescParser::SetDefaults(ImageDrawParams& params, const char* description,
                                   const plat::RECT& rcItem) {
    params = ImageDrawParams{};
    params.name = description != nullptr ? description : "";
    params.dest = rcItem;
}

void CImageDescParser::Parse(const char* description, const plat::RECT& rcItem,
                             ImageDrawParams& params, const DrawPending& drawPending) {
    if (description == nullptr) {
        return;
    }
    int imageKeys = 0; // "file" and "restype" keys met so far in this string
    const char* p = description;
    while (*p != '\0') {
        while (IsSpace(*p)) {
            ++p;
        }
        const char* keyStart = p;
        while (*p != '\0' && *p != '=' && !IsSpace(*p)) {
            ++p;
        }
        std::string key(keyStart, p);
        while (IsSpace(*p)) {
            ++p;
        }
        if (*p != '=') {
            return;
        }
        ++p;
        while (IsSpace(*p)) {
            ++p;
        }
        if (*p != '\'') {
            return;
        }
        ++p;
        const char* valueStart = p;
        while (*p != '\0' && *p != '\'') {
            ++p;
        }
        if (*p != '\'') {
            return;
        }
        std::string value(valueStart, p);
        ++p;
        if (!value.empty()) {
            const bool imageKey = key == "file" || key == "res" || key == "restype";
            if (imageKey && imageKeys > 0 && drawPending) {
                drawPending(params);
            }
            if (key == "file" || key == "restype") {
                ++imageKeys;
            }
            ApplyPair(key, value, rcItem, params);
        }
        // Pairs are separated by one space; anything else ends the description.
        if (*p != ' ') {
            return;
        }
        ++p;
    }
}

void CImageDescParser::ApplyPair(const std::string& key, const std::string& value,
                                 const plat::RECT& rcItem, ImageDrawParams& params) {
    if (key == "file" || key == "res") {
        params.name = value;
    } else if (key == "restype") {
        params.resType = value;
    } else if (key == "dest") {
        plat::RECT r = ParseFourNumbers(value.c_str());
        // Right and bottom are offsets from the left and top, kept inside the control.
        params.dest.left = rcItem.left + r.left;
        params.dest.top = rcItem.top + r.top;
        params.dest.right = std::min(rcItem.left + r.right, rcItem.right);
        params.dest.bottom = std::min(rcItem.top + r.bottom, rcItem.bottom);
    } else if (key == "source") {
        params.source = ParseFourNumbers(value.c_str());
    } else if (key == "corner") {
        params.corners = ParseFourNumbers(value.c_str());
    } else if (key == "mask") {
        const char* v = value.c_str();
        if (*v == '#') {
            ++v;
        }
        params.mask = static_cast<uint32_t>(std::strtoul(v, nullptr, 16));
    } else if (key == "fade") {
        long fade = std::strtol(value.c_str(), nullptr, 10);
        params.fade = static_cast<uint8_t>(std::clamp<long>(fade, 0, 255));
    } else if (key == "hole") {
        params.hole = value == "true";
    } else if (key == "xtiled") {
        params.xTiled = value == "true";
    } else if (key == "ytiled") {
        params.yTiled = value == "true";
    }
}

} // namespace Pane
