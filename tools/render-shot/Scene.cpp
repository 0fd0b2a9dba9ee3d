#include "Scene.h"

#include "pane/core/Render.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/Text.h"

#include <cstdlib>
#include <sstream>
#include <vector>

namespace RenderShot {

namespace {

// Splits a line into words; double-quoted strings are one word with their escapes undone.
bool Tokenise(const std::string& line, std::vector<std::string>& words) {
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        std::string word;
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < line.size()) {
                    char e = line[i++];
                    word += e == 'n' ? '\n' : e;
                } else {
                    word += c;
                }
            }
            if (!closed) {
                return false;
            }
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
                word += line[i++];
            }
        }
        words.push_back(word);
    }
    return true;
}

bool ParseInt(const std::string& s, int& out) {
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 0);
    if (s.empty() || *end != '\0' || v < -100000 || v > 100000) {
        return false;
    }
    out = static_cast<int>(v);
    return true;
}

bool ParseRect(const std::string& s, plat::RECT& rc) {
    int v[4];
    std::stringstream in(s);
    std::string part;
    for (int i = 0; i < 4; ++i) {
        if (!std::getline(in, part, ',') || !ParseInt(part, v[i])) {
            return false;
        }
    }
    rc = plat::RECT{v[0], v[1], v[2], v[3]};
    return true;
}

bool ParseColor(const std::string& s, uint32_t& color) {
    if (s.size() != 9 || s[0] != '#') {
        return false;
    }
    char* end = nullptr;
    color = static_cast<uint32_t>(std::strtoul(s.c_str() + 1, &end, 16));
    return *end == '\0';
}

bool ParseFlags(const std::string& s, plat::UINT& flags) {
    int number = 0;
    if (ParseInt(s, number)) {
        flags = static_cast<plat::UINT>(number);
        return true;
    }
    struct Named {
        const char* name;
        plat::UINT flag;
    };
    static const Named kNames[] = {
        {"left", plat::DT_LEFT},
        {"center", plat::DT_CENTER},
        {"right", plat::DT_RIGHT},
        {"top", plat::DT_TOP},
        {"vcenter", plat::DT_VCENTER},
        {"bottom", plat::DT_BOTTOM},
        {"singleline", plat::DT_SINGLELINE},
        {"wordbreak", plat::DT_WORDBREAK},
        {"endellipsis", plat::DT_END_ELLIPSIS},
    };
    flags = 0;
    std::stringstream in(s);
    std::string word;
    while (std::getline(in, word, '|')) {
        bool found = false;
        for (const Named& n : kNames) {
            if (word == n.name) {
                flags |= n.flag;
                found = true;
            }
        }
        if (!found) {
            return false;
        }
    }
    return true;
}

bool ParseFont(const std::vector<std::string>& w, std::string& face, int& size, bool& bold,
               bool& underline, bool& italic) {
    if (w.size() < 3 || !ParseInt(w[2], size) || size <= 0) {
        return false;
    }
    face = w[1];
    bold = underline = italic = false;
    for (size_t i = 3; i < w.size(); ++i) {
        if (w[i] == "bold") {
            bold = true;
        } else if (w[i] == "underline") {
            underline = true;
        } else if (w[i] == "italic") {
            italic = true;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

bool Scene::Play(const std::string& script, std::string& error) {
    std::stringstream in(script);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') {
            continue;
        }
        std::string why;
        if (!PlayLine(line.substr(first), why)) {
            error = "line " + std::to_string(number) + ": " + why;
            return false;
        }
    }
    if (m_bitmap.Empty()) {
        error = "no canvas line";
        return false;
    }
    return true;
}

bool Scene::PlayLine(const std::string& line, std::string& error) {
    std::vector<std::string> w;
    if (!Tokenise(line, w)) {
        error = "unterminated string";
        return false;
    }
    const std::string& op = w[0];
    error = "bad arguments for \"" + op + "\"";
    if (op == "canvas") {
        int width = 0;
        int height = 0;
        uint32_t color = 0;
        if (w.size() != 4 || !ParseInt(w[1], width) || !ParseInt(w[2], height) || width <= 0 ||
            height <= 0 || width > 4096 || height > 4096 || !ParseColor(w[3], color)) {
            return false;
        }
        m_bitmap = plat::Bitmap(width, height);
        plat::Canvas canvas(m_bitmap);
        Pane::CUIRender::DrawColor(&canvas, plat::RECT{0, 0, width, height}, color);
        return true;
    }
    if (op == "font" || op == "defaultfont") {
        std::string face;
        int size = 0;
        bool bold = false;
        bool underline = false;
        bool italic = false;
        if (!ParseFont(w, face, size, bold, underline, italic)) {
            return false;
        }
        if (op == "font") {
            return m_resources.AddFont(face.c_str(), size, bold, underline, italic) != nullptr;
        }
        return m_resources.SetDefaultFont(face.c_str(), size, bold, underline, italic);
    }
    if (op == "mouse") {
        int x = 0;
        int y = 0;
        if (w.size() != 3 || !ParseInt(w[1], x) || !ParseInt(w[2], y)) {
            return false;
        }
        m_resources.SetMousePos(plat::POINT{x, y});
        return true;
    }
    if (m_bitmap.Empty()) {
        error = "\"" + op + "\" before \"canvas\"";
        return false;
    }
    static const char* const kDrawing[] = {"fill", "gradient", "rect", "roundrect",
                                           "line", "image",    "text", "htmltext"};
    bool known = false;
    for (const char* name : kDrawing) {
        known = known || op == name;
    }
    if (!known) {
        error = "unknown operation \"" + op + "\"";
        return false;
    }
    plat::Canvas canvas(m_bitmap);
    plat::RECT rc{};
    if (w.size() < 2 || !ParseRect(w[1], rc)) {
        return false;
    }
    uint32_t color = 0;
    uint32_t second = 0;
    int width = 0;
    if (op == "fill") {
        if (w.size() != 3 || !ParseColor(w[2], color)) {
            return false;
        }
        Pane::CUIRender::DrawColor(&canvas, rc, color);
    } else if (op == "gradient") {
        if (w.size() != 4 || !ParseColor(w[2], color) || !ParseColor(w[3], second)) {
            return false;
        }
        Pane::CUIRender::DrawGradient(&canvas, rc, color, second, true, 64);
    } else if (op == "rect") {
        if (w.size() != 4 || !ParseInt(w[2], width) || !ParseColor(w[3], color)) {
            return false;
        }
        Pane::CUIRender::DrawRect(&canvas, rc, width, color);
    } else if (op == "roundrect") {
        int ew = 0;
        int eh = 0;
        if (w.size() != 6 || !ParseInt(w[2], width) || !ParseInt(w[3], ew) || !ParseInt(w[4], eh) ||
            !ParseColor(w[5], color)) {
            return false;
        }
        Pane::CUIRender::DrawRoundRect(&canvas, rc, width, ew, eh, color);
    } else if (op == "line") {
        int style = plat::PS_SOLID;
        if (w.size() < 4 || w.size() > 5 || !ParseInt(w[2], width) || !ParseColor(w[3], color)) {
            return false;
        }
        if (w.size() == 5) {
            if (w[4] == "dash") {
                style = plat::PS_DASH;
            } else if (w[4] == "dot") {
                style = plat::PS_DOT;
            } else if (w[4] != "solid") {
                return false;
            }
        }
        Pane::CUIRender::DrawLine(&canvas, rc, width, color, style);
    } else if (op == "image") {
        if (w.size() < 3 || w.size() > 4) {
            return false;
        }
        const plat::RECT paint{0, 0, m_bitmap.width, m_bitmap.height};
        if (!Pane::CUIRender::DrawImageString(&canvas, &m_resources, rc, paint, w[2].c_str(),
                                              w.size() == 4 ? w[3].c_str() : nullptr)) {
            error = "image not found: " + w[2];
            return false;
        }
    } else if (op == "text") {
        plat::UINT flags = 0;
        int font = -1;
        if (w.size() != 6 || !ParseFlags(w[2], flags) || !ParseInt(w[3], font) ||
            !ParseColor(w[4], color)) {
            return false;
        }
        Pane::CUIRender::DrawText(&canvas, &m_resources, rc, w[5].c_str(), color, font, flags);
    } else { // htmltext
        plat::UINT flags = 0;
        if (w.size() != 5 || !ParseFlags(w[2], flags) || !ParseColor(w[3], color)) {
            return false;
        }
        int links = 0;
        Pane::CUIRender::DrawHtmlText(&canvas, &m_resources, rc, w[4].c_str(), color, nullptr,
                                      nullptr, links, flags);
    }
    return true;
}

} // namespace RenderShot
