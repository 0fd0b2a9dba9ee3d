// Plain and formatted text of the render engine. Formatted text carries inline tags in "<...>"
// or "{...}" and is laid out line by line: each line is measured into a list of pieces first,
// then drawn with the line's height known.
#include "pane/core/Render.h"

#include "pane/core/RenderImageDesc.h"
#include "platform/base/Rect.h"
#include "platform/base/TextUtf8.h"
#include "platform/gfx/Text.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace Pane {

using plat::RECT;

namespace {

constexpr int kMaxOffset = 10000; // pen moves and heights from tags are kept sane

int ClampTagNumber(long v, int low) {
    return static_cast<int>(std::clamp<long>(v, low, kMaxOffset));
}

bool IsWordChar(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The host's font with these attributes, added to its table when missing; null when it cannot
// be created.
const FontInfo* FindOrAddFont(IRenderHost* host, const char* face, int size, bool bold,
                              bool underline, bool italic) {
    plat::HFONT font = host->FindFont(face, size, bold, underline, italic);
    if (font == nullptr) {
        font = host->AddFont(face, size, bold, underline, italic);
    }
    return font != nullptr ? host->GetFontInfo(font) : nullptr;
}

int FontLineHeight(const FontInfo* font) {
    return font != nullptr ? font->tm.tmHeight + font->tm.tmExternalLeading : 0;
}

int TextWidth(plat::HDC hDC, const FontInfo* font, const char* text, size_t len) {
    if (len == 0 || font == nullptr) {
        return 0;
    }
    hDC->SelectFont(font->hFont);
    plat::SIZE size{};
    plat::GetTextExtentPoint32(hDC, text, static_cast<int>(len), &size);
    return size.cx;
}

// A tag read at one position of the text.
struct Tag {
    enum Kind { None, Literal, Open, Close } kind = None;
    char letter = 0;
    std::string arg;
    char literal = 0;
    size_t length = 0; // bytes the tag occupies
};

Tag ReadTag(const char* p, const char* end) {
    Tag tag;
    const char open = *p;
    const char close = open == '<' ? '>' : '}';
    // "<{>" prints a brace and "{<}" an angle bracket.
    if (end - p >= 3 && p[2] == close &&
        ((open == '<' && p[1] == '{') || (open == '{' && p[1] == '<'))) {
        tag.kind = Tag::Literal;
        tag.literal = p[1];
        tag.length = 3;
        return tag;
    }
    const char* q = p + 1;
    bool closing = false;
    if (q < end && *q == '/') {
        closing = true;
        ++q;
    }
    if (q >= end || *q < 'a' || *q > 'z' || q + 1 >= end || (q[1] != ' ' && q[1] != close)) {
        return tag;
    }
    const char* argStart = q[1] == ' ' ? q + 2 : q + 1;
    const char* closePos =
        static_cast<const char*>(std::memchr(argStart, close, static_cast<size_t>(end - argStart)));
    if (closePos == nullptr) {
        return tag; // an unterminated tag is text
    }
    tag.kind = closing ? Tag::Close : Tag::Open;
    tag.letter = *q;
    tag.arg.assign(argStart, closePos);
    tag.length = static_cast<size_t>(closePos + 1 - p);
    return tag;
}

// The tag state that carries from line to line.
struct TagState {
    std::vector<const FontInfo*> fonts;
    std::vector<uint32_t> colors;
    std::vector<int> paragraphs;
    bool selected = false;
    bool raw = false;
    bool inLink = false;
    std::string linkName;

    const FontInfo* Font() const { return fonts.back(); }
    void PopFont() {
        if (fonts.size() > 1) {
            fonts.pop_back();
        }
    }
    void PopColor() {
        if (colors.size() > 1) {
            colors.pop_back();
        }
    }
};

// One measured piece of a line.
struct Piece {
    enum Kind { Text, Image, Link } kind = Text;
    int x = 0;
    int width = 0;
    std::string text; // text pieces
    bool ellipsis = false;
    const FontInfo* font = nullptr;
    uint32_t color = 0;
    bool selected = false;
    const ImageInfo* image = nullptr; // image pieces: frame source
    RECT source{};
    std::string linkName; // link pieces span x .. x + width
};

struct Line {
    std::vector<Piece> pieces;
    int height = 0;
    int right = 0; // pen position at the line's end
};

class CFormattedText {
public:
    CFormattedText(plat::HDC hDC, IRenderHost* host, const char* text, uint32_t color,
                   plat::UINT style)
        : m_hDC(hDC), m_host(host), m_text(text), m_end(text + std::strlen(text)), m_style(style) {
        m_state.fonts.push_back(host->GetFontInfo(-1));
        m_state.colors.push_back(color);
    }

    // Lays the text out in rc; draws unless measuring. Returns the laid-out extent.
    RECT Run(const RECT& rc, bool draw, RECT* links, CUIString* linkNames, int linkCapacity,
             const std::string& hoverName) {
        m_hoverName = hoverName;
        m_links = links;
        m_linkNames = linkNames;
        m_linkCapacity = linkCapacity;
        m_linkCount = 0;
        RECT extent{rc.left, rc.top, rc.left, rc.top};
        if (m_state.Font() == nullptr) {
            return extent;
        }
        size_t pos = 0;
        int y = rc.top;
        const size_t total = static_cast<size_t>(m_end - m_text);
        while (pos < total) {
            Line line;
            const size_t before = pos;
            LayoutLine(rc, pos, line);
            if (pos == before && line.pieces.empty()) {
                ++pos; // cannot happen by construction; guards against a stuck layout
            }
            if (draw) {
                DrawLine(line, y);
            }
            RecordLinks(line, y);
            extent.right = std::max(extent.right, line.right);
            extent.bottom = std::max(extent.bottom, y + line.height);
            for (const Piece& piece : line.pieces) {
                if (piece.kind == Piece::Image) {
                    const int h = piece.source.bottom - piece.source.top;
                    extent.bottom = std::max(extent.bottom, y + (line.height - h) / 2 + h);
                }
            }
            y += line.height;
            if ((m_style & plat::DT_SINGLELINE) != 0 || (draw && y >= rc.bottom)) {
                break;
            }
        }
        return extent;
    }

    int LinkCount() const { return m_linkCount; }

private:
    // Measures one line from pos, moving pos behind it and the tag state to its end.
    void LayoutLine(const RECT& rc, size_t& pos, Line& line) {
        TagState& st = m_state;
        int x = rc.left;
        int linkStart = x; // a link that wrapped goes on from the line's start
        line.height = FontLineHeight(st.Font());
        if (!st.paragraphs.empty()) {
            line.height = std::max(line.height, st.paragraphs.back());
        }
        const bool wordBreak = (m_style & plat::DT_WORDBREAK) != 0;
        const bool ellipsis = (m_style & plat::DT_END_ELLIPSIS) != 0;
        const size_t total = static_cast<size_t>(m_end - m_text);
        bool ended = false;
        auto closeLinkPiece = [&] {
            if (st.inLink) {
                Piece link;
                link.kind = Piece::Link;
                link.x = linkStart;
                link.width = x - linkStart;
                link.linkName = st.linkName;
                line.pieces.push_back(link);
            }
        };
        while (!ended && pos < total) {
            const char* p = m_text + pos;
            if (*p == '\n') {
                ++pos;
                break;
            }
            if (*p == '<' || *p == '{') {
                Tag tag = ReadTag(p, m_end);
                if (st.raw && !(tag.kind == Tag::Close && tag.letter == 'r')) {
                    tag.kind = Tag::None;
                }
                if (tag.kind == Tag::Open || tag.kind == Tag::Close) {
                    bool consume = true;
                    const bool lineEmpty = x == rc.left && line.pieces.empty();
                    if (tag.kind == Tag::Open) {
                        if (tag.letter == 'p' && !lineEmpty) {
                            consume = false; // the paragraph starts on a new line
                            ended = true;
                        } else if (tag.letter == 'i' && !tag.arg.empty()) {
                            Piece image;
                            if (MeasureImage(tag.arg, image)) {
                                if (x + image.width > rc.right && !lineEmpty) {
                                    consume = false; // wraps with the image onto the next line
                                    ended = true;
                                } else {
                                    image.x = x;
                                    x += image.width;
                                    line.height =
                                        std::max(line.height, static_cast<int>(image.source.bottom -
                                                                               image.source.top));
                                    line.pieces.push_back(image);
                                }
                            }
                        } else {
                            ApplyOpen(tag, x, line, linkStart, ended);
                        }
                    } else {
                        if (tag.letter == 'a') {
                            closeLinkPiece();
                        }
                        ApplyClose(tag, ended);
                    }
                    if (consume) {
                        pos += tag.length;
                    }
                    continue;
                }
                if (tag.kind == Tag::Literal) {
                    ended = PlaceText(rc, pos, 1, tag.length, &tag.literal, x, line, wordBreak,
                                      ellipsis);
                    continue;
                }
            }
            // A text run up to the next newline or bracket.
            size_t runEnd = pos + 1;
            while (runEnd < total && m_text[runEnd] != '\n' && m_text[runEnd] != '<' &&
                   m_text[runEnd] != '{') {
                ++runEnd;
            }
            ended = PlaceText(rc, pos, runEnd - pos, 0, nullptr, x, line, wordBreak, ellipsis);
        }
        closeLinkPiece();
        line.right = x;
    }

    // Places the run [pos, pos + len) at x, or as much of it as fits; true when the line ends.
    // A literal (one character standing for a tag of tagLength bytes) is placed whole or not.
    bool PlaceText(const RECT& rc, size_t& pos, size_t len, size_t tagLength, const char* literal,
                   int& x, Line& line, bool wordBreak, bool ellipsis) {
        TagState& st = m_state;
        const char* text = literal != nullptr ? literal : m_text + pos;
        const size_t consumed = literal != nullptr ? tagLength : len;
        const int width = TextWidth(m_hDC, st.Font(), text, len);
        const bool lineEmpty = x == rc.left && line.pieces.empty();
        if (x + width <= rc.right || (literal != nullptr && lineEmpty)) {
            AddTextPiece(line, std::string(text, len), x, width, false);
            x += width;
            pos += consumed;
            return false;
        }
        if (literal != nullptr) {
            return true; // the line ends before the literal
        }
        // Character boundaries and the widths of the prefixes ending there. Characters are
        // stepped as the glyphs are drawn: a malformed byte is a glyph of its own.
        std::vector<size_t> bounds;
        for (size_t i = 0; i < len;) {
            i += plat::Utf8CharLength(text + i, text + len);
            bounds.push_back(i);
        }
        const int room = rc.right - x;
        size_t lo = 0; // number of characters known to fit
        size_t hi = bounds.size();
        while (lo < hi) {
            const size_t mid = (lo + hi + 1) / 2;
            if (TextWidth(m_hDC, st.Font(), text, bounds[mid - 1]) <= room) {
                lo = mid;
            } else {
                hi = mid - 1;
            }
        }
        size_t fitChars = lo;
        bool addEllipsis = false;
        if (wordBreak) {
            size_t breakChars = 0;
            for (size_t k = fitChars; k > 0; --k) {
                const size_t start = k >= 2 ? bounds[k - 2] : 0;
                if (!IsWordChar(static_cast<unsigned char>(text[start]))) {
                    breakChars = k; // break after this space or non-letter
                    break;
                }
            }
            if (breakChars == 0 && !lineEmpty) {
                return true; // the whole word moves to the next line
            }
            fitChars = breakChars > 0 ? breakChars : std::max<size_t>(fitChars, 1);
        } else {
            if (fitChars == 0 && !lineEmpty) {
                return true;
            }
            fitChars = std::max<size_t>(fitChars, 1);
            if (ellipsis) {
                fitChars = fitChars >= 2 ? fitChars - 2 : 0;
                addEllipsis = true;
            }
        }
        const size_t bytes = fitChars > 0 ? bounds[fitChars - 1] : 0;
        const int w = TextWidth(m_hDC, st.Font(), text, bytes);
        if (bytes > 0 || addEllipsis) {
            AddTextPiece(line, std::string(text, bytes), x, w, addEllipsis);
            x += w;
            if (addEllipsis) {
                x += TextWidth(m_hDC, st.Font(), "...", 3);
            }
        }
        pos += addEllipsis ? std::max<size_t>(bytes, bounds[0]) : bytes;
        return true;
    }

    void AddTextPiece(Line& line, std::string text, int x, int width, bool ellipsis) {
        Piece piece;
        piece.kind = Piece::Text;
        piece.x = x;
        piece.width = width;
        piece.text = std::move(text);
        piece.ellipsis = ellipsis;
        piece.font = m_state.Font();
        piece.color = m_state.colors.back();
        piece.selected = m_state.selected;
        line.height = std::max(line.height, FontLineHeight(piece.font));
        line.pieces.push_back(piece);
    }

    const FontInfo* DerivedFont(bool bold, bool underline, bool italic) {
        const FontInfo* cur = m_state.Font();
        const FontInfo* info =
            FindOrAddFont(m_host, cur->faceName.GetData(), cur->size, bold, underline, italic);
        return info != nullptr ? info : cur;
    }

    void ApplyOpen(const Tag& tag, int& x, Line& line, int& linkStart, bool& ended) {
        TagState& st = m_state;
        const FontInfo* cur = st.Font();
        switch (tag.letter) {
            case 'a': {
                st.inLink = true;
                st.linkName = tag.arg;
                linkStart = x;
                const bool hover = !m_hoverName.empty() && m_hoverName == tag.arg;
                st.colors.push_back(hover ? m_host->GetDefaultLinkHoverFontColor()
                                          : m_host->GetDefaultLinkFontColor());
                st.fonts.push_back(cur->underline ? cur
                                                  : DerivedFont(cur->bold, true, cur->italic));
                break;
            }
            case 'b':
                st.fonts.push_back(DerivedFont(true, cur->underline, cur->italic));
                break;
            case 'u':
                st.fonts.push_back(DerivedFont(cur->bold, true, cur->italic));
                break;
            case 'i': // without an argument: italic (images are measured by the caller)
                st.fonts.push_back(DerivedFont(cur->bold, cur->underline, true));
                break;
            case 'c': {
                const char* v = tag.arg.c_str();
                if (*v == '#') {
                    ++v;
                }
                st.colors.push_back(static_cast<uint32_t>(std::strtoul(v, nullptr, 16)));
                break;
            }
            case 'f':
                st.fonts.push_back(FontFromTag(tag.arg));
                break;
            case 'n':
                ended = true;
                break;
            case 'p': {
                const int extra = ClampTagNumber(std::strtol(tag.arg.c_str(), nullptr, 10), 0);
                st.paragraphs.push_back(FontLineHeight(cur) + extra);
                line.height = std::max(line.height, st.paragraphs.back());
                break;
            }
            case 'r':
                st.raw = true;
                break;
            case 's':
                st.selected = !st.selected;
                break;
            case 'x':
                x += ClampTagNumber(std::strtol(tag.arg.c_str(), nullptr, 10), -kMaxOffset);
                break;
            case 'y':
                line.height = ClampTagNumber(std::strtol(tag.arg.c_str(), nullptr, 10), 0);
                break;
            default:
                break; // unknown tags are dropped
        }
    }

    void ApplyClose(const Tag& tag, bool& ended) {
        TagState& st = m_state;
        switch (tag.letter) {
            case 'a':
                st.inLink = false;
                st.PopColor();
                st.PopFont();
                break;
            case 'b':
            case 'f':
            case 'i':
            case 'u':
                st.PopFont();
                break;
            case 'c':
                st.PopColor();
                break;
            case 'p':
                if (!st.paragraphs.empty()) {
                    st.paragraphs.pop_back();
                }
                ended = true;
                break;
            case 'r':
                st.raw = false;
                break;
            case 's':
                st.selected = !st.selected;
                break;
            default:
                break;
        }
    }

    // "f 2" picks the host's font 2; "f Face 12 bold italic" finds or adds that font.
    const FontInfo* FontFromTag(const std::string& arg) {
        const FontInfo* cur = m_state.Font();
        const char* a = arg.c_str();
        while (*a == ' ') {
            ++a;
        }
        if (*a >= '0' && *a <= '9') {
            const FontInfo* info = m_host->GetFontInfo(std::atoi(a));
            return info != nullptr ? info : cur;
        }
        const char* faceEnd = a;
        while (*faceEnd != '\0' && *faceEnd != ' ') {
            ++faceEnd;
        }
        std::string face(a, faceEnd);
        const char* rest = faceEnd;
        while (*rest == ' ') {
            ++rest;
        }
        char* sizeEnd = nullptr;
        long size = std::strtol(rest, &sizeEnd, 10);
        if (sizeEnd == rest || size <= 0 || size > 500) {
            size = 10;
        }
        const std::string words(sizeEnd);
        const bool bold = words.find("bold") != std::string::npos;
        const bool underline = words.find("underline") != std::string::npos;
        const bool italic = words.find("italic") != std::string::npos;
        if (face.empty()) {
            face = cur->faceName.GetData();
        }
        const FontInfo* info =
            FindOrAddFont(m_host, face.c_str(), static_cast<int>(size), bold, underline, italic);
        return info != nullptr ? info : cur;
    }

    // "i file='a.png' restype='png' 4 1" or "i a.png 4 1": frame 1 of 4 equal frames.
    bool MeasureImage(const std::string& arg, Piece& piece) {
        std::string name;
        std::string type;
        const char* numbers = nullptr;
        if (arg.find("file='") != std::string::npos || arg.find("res='") != std::string::npos) {
            ImageDrawParams params;
            CImageDescParser::SetDefaults(params, "", RECT{});
            CImageDescParser::Parse(arg.c_str(), RECT{}, params, nullptr);
            name = params.name;
            type = params.resType;
            const size_t lastQuote = arg.rfind('\'');
            numbers = arg.c_str() + lastQuote + 1;
        } else {
            const size_t space = arg.find(' ');
            name = arg.substr(0, space);
            numbers = space == std::string::npos ? "" : arg.c_str() + space;
        }
        char* next = nullptr;
        long count = std::strtol(numbers, &next, 10);
        long index = std::strtol(next, nullptr, 10);
        count = std::clamp<long>(count, 1, 1000);
        if (index < 0 || index >= count) {
            index = 0;
        }
        if (name.empty()) {
            return false;
        }
        const ImageInfo* image =
            m_host->GetImageEx(name.c_str(), type.empty() ? nullptr : type.c_str(), 0);
        if (image == nullptr) {
            return false;
        }
        const int frameWidth = image->width / static_cast<int>(count);
        if (frameWidth <= 0) {
            return false;
        }
        piece.kind = Piece::Image;
        piece.image = image;
        piece.width = frameWidth;
        const int left = frameWidth * static_cast<int>(index);
        piece.source = RECT{left, 0, left + frameWidth, image->height};
        return true;
    }

    void DrawLine(const Line& line, int y) {
        const int bottom = y + line.height;
        m_hDC->SetBkMode(plat::TRANSPARENT);
        for (const Piece& piece : line.pieces) {
            if (piece.kind == Piece::Image) {
                const int h = piece.source.bottom - piece.source.top;
                const int top = y + (line.height - h) / 2;
                const RECT dest{piece.x, top, piece.x + piece.width, top + h};
                CUIRender::DrawImage(m_hDC, piece.image->bitmap, dest, dest, piece.source, RECT{},
                                     piece.image->alphaChannel);
            } else if (piece.kind == Piece::Text) {
                const int top = bottom - FontLineHeight(piece.font);
                if (piece.selected) {
                    const int ellipsisWidth =
                        piece.ellipsis ? TextWidth(m_hDC, piece.font, "...", 3) : 0;
                    m_hDC->FillRect(RECT{piece.x, y, piece.x + piece.width + ellipsisWidth, bottom},
                                    CUIRender::ToColorRef(m_host->GetDefaultSelectedBkColor()));
                }
                m_hDC->SelectFont(piece.font->hFont);
                m_hDC->SetTextColor(CUIRender::ToColorRef(piece.color));
                std::string run = piece.text;
                if (piece.ellipsis) {
                    run += "...";
                }
                plat::TextOut(m_hDC, piece.x, top, run.c_str(), static_cast<int>(run.size()));
            }
        }
    }

    void RecordLinks(const Line& line, int y) {
        for (const Piece& piece : line.pieces) {
            if (piece.kind != Piece::Link || m_linkCount >= m_linkCapacity || m_links == nullptr) {
                continue;
            }
            m_links[m_linkCount] = RECT{piece.x, y, piece.x + piece.width, y + line.height};
            if (m_linkNames != nullptr) {
                m_linkNames[m_linkCount] = piece.linkName.c_str();
            }
            ++m_linkCount;
        }
    }

    plat::HDC m_hDC;
    IRenderHost* m_host;
    const char* m_text;
    const char* m_end;
    plat::UINT m_style;
    TagState m_state;
    std::string m_hoverName;
    RECT* m_links = nullptr;
    CUIString* m_linkNames = nullptr;
    int m_linkCapacity = 0;
    int m_linkCount = 0;
};

} // namespace

void CUIRender::DrawText(plat::HDC hDC, IRenderHost* host, RECT& rc, const char* text,
                         uint32_t color, int font, plat::UINT style) {
    if (hDC == nullptr || host == nullptr || text == nullptr || plat::IsRectEmpty(rc)) {
        return;
    }
    hDC->SetBkMode(plat::TRANSPARENT);
    hDC->SetTextColor(ToColorRef(color));
    plat::HFONT old = hDC->SelectFont(host->GetFont(font));
    plat::DrawText(hDC, text, -1, &rc, style | plat::DT_NOPREFIX);
    hDC->SelectFont(old);
}

void CUIRender::DrawHtmlText(plat::HDC hDC, IRenderHost* host, RECT& rc, const char* text,
                             uint32_t color, RECT* links, CUIString* linkNames, int& linkCount,
                             plat::UINT style) {
    const int capacity = links != nullptr ? std::max(linkCount, 0) : 0;
    if (hDC == nullptr || host == nullptr || text == nullptr || plat::IsRectEmpty(rc)) {
        linkCount = 0;
        return;
    }
    // The link under the mouse, from the rectangles of the previous drawing.
    std::string hoverName;
    const plat::POINT mouse = host->GetMousePos();
    for (int i = 0; i < capacity; ++i) {
        if (plat::PtInRect(links[i], mouse)) {
            hoverName = linkNames != nullptr ? linkNames[i].GetData() : "";
            break;
        }
    }
    plat::HFONT oldFont = hDC->SelectFont(host->GetFont(-1));
    const bool calc = (style & plat::DT_CALCRECT) != 0;
    if (calc) {
        CFormattedText layout(hDC, host, text, color, style);
        RECT extent = layout.Run(rc, false, links, linkNames, capacity, hoverName);
        rc.right = std::min(rc.right, extent.right);
        rc.bottom = extent.bottom;
        linkCount = layout.LinkCount();
        hDC->SelectFont(oldFont);
        return;
    }
    RECT area = rc;
    const plat::UINT aligned =
        plat::DT_CENTER | plat::DT_RIGHT | plat::DT_VCENTER | plat::DT_BOTTOM;
    if ((style & aligned) != 0) {
        const bool single = (style & plat::DT_SINGLELINE) != 0;
        // One line is measured unbounded; wrapped text in its own width, so that its height
        // is the height it is drawn with.
        RECT probe{rc.left, rc.top, single ? rc.left + 9999 : rc.right, rc.top + 100};
        CFormattedText measure(hDC, host, text, color, (style & ~aligned) | plat::DT_CALCRECT);
        RECT extent = measure.Run(probe, false, nullptr, nullptr, 0, hoverName);
        const int width = extent.right - extent.left;
        const int height = extent.bottom - extent.top;
        // The rectangle is only ever narrowed, never grown past the caller's.
        if (single && width < rc.right - rc.left) {
            if ((style & plat::DT_CENTER) != 0) {
                area.left = rc.left + (rc.right - rc.left - width) / 2;
                area.right = area.left + width;
            } else if ((style & plat::DT_RIGHT) != 0) {
                area.left = rc.right - width;
            }
        }
        if (height < rc.bottom - rc.top) {
            if ((style & plat::DT_VCENTER) != 0) {
                area.top = rc.top + (rc.bottom - rc.top - height) / 2;
                area.bottom = area.top + height;
            } else if ((style & plat::DT_BOTTOM) != 0) {
                area.top = rc.bottom - height;
            }
        }
    }
    CRenderClip clip(hDC, rc);
    CFormattedText layout(hDC, host, text, color, style);
    layout.Run(area, true, links, linkNames, capacity, hoverName);
    linkCount = layout.LinkCount();
    hDC->SelectFont(oldFont);
}

} // namespace Pane
