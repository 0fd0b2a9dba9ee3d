#include "pane/controls/Label.h"

#include "pane/core/Render.h"
#include "pane/core/UIManager.h"
#include "platform/gfx/Text.h"

#include <cstdlib>
#include <cstring>

namespace Pane {

using plat::RECT;
using plat::SIZE;

namespace {

// Runs an accessor's body; whatever it throws comes out as the operation's name.
template <typename Body>
auto Guarded(const char* operation, Body body) -> decltype(body()) {
    try {
        return body();
    } catch (...) {
        throw CLabelError(operation);
    }
}

// An ARGB colour made of an alpha value's low 8 bits and a colour's channels.
uint32_t WithAlpha(int alpha, uint32_t color) {
    return (static_cast<uint32_t>(alpha & 0xFF) << 24) | (color & 0x00FFFFFF);
}

} // namespace

CLabelUI::CLabelUI() = default;

// The canvas needs no start-up or shut-down, so nothing can fail here.
CLabelUI::~CLabelUI() = default;

const char* CLabelUI::ClassName() const {
    return "LabelUI";
}

void* CLabelUI::Interface(const char* name) {
    if (name != nullptr && std::strcmp(name, "Label") == 0) {
        return static_cast<CLabelUI*>(this);
    }
    return CControlUI::Interface(name);
}

CUIString CLabelUI::GetText() const {
    return Guarded("CLabelUI::GetText",
                   [this] { return m_enabledEffect ? m_effectText : CControlUI::GetText(); });
}

void CLabelUI::SetText(const char* text) {
    Guarded("CLabelUI::SetText", [this, text] {
        if (m_enabledEffect) {
            m_effectText = text;
        } else {
            CControlUI::SetText(text);
        }
    });
}

void CLabelUI::HandleEvent(UIEvent& event) {
    if (event.type == kEventSetFocus) {
        m_focused = true;
        return;
    }
    if (event.type == kEventKillFocus) {
        m_focused = false;
        return;
    }
    CControlUI::HandleEvent(event);
}

bool CLabelUI::PassOnDisabledMouse(UIEvent& event) {
    if (IsMouseEnabled() || event.type <= kEventMouseBegin || event.type >= kEventMouseEnd) {
        return false;
    }
    if (m_parent != nullptr) {
        m_parent->HandleEvent(event);
    } else {
        CLabelUI::HandleEvent(event);
    }
    return true;
}

void CLabelUI::SetTextStyle(plat::UINT style) {
    m_textStyle = style;
    Invalidate();
}

void CLabelUI::SetTextColor(uint32_t color) {
    m_textColor = color;
    Invalidate();
}

void CLabelUI::SetDisabledTextColor(uint32_t color) {
    m_disabledTextColor = color;
    Invalidate();
}

void CLabelUI::SetFont(int index) {
    m_font = index;
    Invalidate();
}

void CLabelUI::SetTextPadding(RECT padding) {
    m_textPadding = RECT{ClampExtent(padding.left), ClampExtent(padding.top),
                         ClampExtent(padding.right), ClampExtent(padding.bottom)};
    Invalidate();
}

void CLabelUI::SetShowHtml(bool show) {
    if (m_showHtml == show) {
        return;
    }
    m_showHtml = show;
    Invalidate();
}

void CLabelUI::SetEnabledEffect(bool enabled) {
    m_enabledEffect = enabled;
}
bool CLabelUI::GetEnabledEffect() const {
    return m_enabledEffect;
}
void CLabelUI::SetTextRenderingHintAntiAlias(int hint) {
    m_textRenderingHint = hint >= 0 && hint <= 5 ? hint : 0;
}
int CLabelUI::GetTextRenderingHintAntiAlias() const {
    return m_textRenderingHint;
}
void CLabelUI::SetTransShadow(int alpha) {
    m_transShadow = alpha;
}
int CLabelUI::GetTransShadow() const {
    return m_transShadow;
}
void CLabelUI::SetTransShadow1(int alpha) {
    m_transShadow1 = alpha;
}
int CLabelUI::GetTransShadow1() const {
    return m_transShadow1;
}
void CLabelUI::SetTransText(int alpha) {
    m_transText = alpha;
}
int CLabelUI::GetTransText() const {
    return m_transText;
}
void CLabelUI::SetTransText1(int alpha) {
    m_transText1 = alpha;
}
int CLabelUI::GetTransText1() const {
    return m_transText1;
}
void CLabelUI::SetTransStroke(int alpha) {
    m_transStroke = alpha;
}
int CLabelUI::GetTransStroke() const {
    return m_transStroke;
}
void CLabelUI::SetGradientAngle(int angle) {
    m_gradientAngle = angle;
}
int CLabelUI::GetGradientAngle() const {
    return m_gradientAngle;
}
void CLabelUI::SetGradientLength(int length) {
    m_gradientLength = length;
}
int CLabelUI::GetGradientLength() const {
    return m_gradientLength;
}
void CLabelUI::SetEnabledStroke(bool enabled) {
    m_enabledStroke = enabled;
}
bool CLabelUI::GetEnabledStroke() const {
    return m_enabledStroke;
}
void CLabelUI::SetEnabledShadow(bool enabled) {
    m_enabledShadow = enabled;
}
bool CLabelUI::GetEnabledShadow() const {
    return m_enabledShadow;
}
void CLabelUI::SetTextColor1(uint32_t color) {
    m_textColor1 = color;
}
uint32_t CLabelUI::GetTextColor1() const {
    return m_textColor1;
}
void CLabelUI::SetTextShadowColorA(uint32_t color) {
    m_textShadowColorA = color;
}
uint32_t CLabelUI::GetTextShadowColorA() const {
    return m_textShadowColorA;
}
void CLabelUI::SetTextShadowColorB(uint32_t color) {
    m_textShadowColorB = color;
}
uint32_t CLabelUI::GetTextShadowColorB() const {
    return m_textShadowColorB;
}
void CLabelUI::SetStrokeColor(uint32_t color) {
    m_strokeColor = color;
}
uint32_t CLabelUI::GetStrokeColor() const {
    return m_strokeColor;
}

void CLabelUI::SetShadowOffset(int distance, int angle) {
    if (angle < -180 || angle > 180) {
        return;
    }
    // In double: a distance from markup may be any int, and the sums must not overflow.
    const RECT& p = m_rcItem;
    const double d = distance;
    double x = p.top;
    if (angle >= 0) {
        x = p.top - d;
    } else if (angle > -180) {
        x = p.top + d;
    }
    double y = p.left + d;
    if (angle > -90 && angle <= 90) {
        y = p.left - d;
    } else if (angle == -90) {
        y = p.left;
    }
    m_shadowOffset = PointF{static_cast<float>(x), static_cast<float>(y)};
}

PointF CLabelUI::GetShadowOffset() const {
    return m_shadowOffset;
}

void CLabelUI::SetAttribute(const char* name, const char* value) {
    if (name == nullptr || value == nullptr) {
        return;
    }
    if (std::strcmp(name, "align") == 0) {
        // Each word is applied on its own wherever it occurs, so "vcenter" also acts as "center".
        struct AlignWord {
            const char* word;
            plat::UINT clear;
            plat::UINT set;
        };
        static constexpr AlignWord kWords[] = {
            {"left", 0x27, 0x00}, {"center", 0x02, 0x01},  {"right", 0x25, 0x02},
            {"top", 0x0C, 0x20},  {"vcenter", 0x08, 0x25}, {"bottom", 0x04, 0x28},
        };
        for (const AlignWord& w : kWords) {
            if (std::strstr(value, w.word) != nullptr) {
                m_textStyle = (m_textStyle & ~w.clear) | w.set;
            }
        }
    } else if (std::strcmp(name, "endellipsis") == 0) {
        if (ParseBool(value)) {
            m_textStyle |= plat::DT_END_ELLIPSIS;
        } else {
            m_textStyle &= ~plat::DT_END_ELLIPSIS;
        }
    } else if (std::strcmp(name, "font") == 0) {
        SetFont(std::atoi(value));
    } else if (std::strcmp(name, "textcolor") == 0) {
        SetTextColor(ParseColor(value));
    } else if (std::strcmp(name, "disabledtextcolor") == 0) {
        SetDisabledTextColor(ParseColor(value));
    } else if (std::strcmp(name, "textpadding") == 0) {
        int parts[4] = {};
        ParseInts(value, parts, 4);
        SetTextPadding(RECT{parts[0], parts[1], parts[2], parts[3]});
    } else if (std::strcmp(name, "showhtml") == 0) {
        SetShowHtml(ParseBool(value));
    } else if (std::strcmp(name, "enabledeffect") == 0) {
        SetEnabledEffect(ParseBool(value));
    } else if (std::strcmp(name, "rhaa") == 0) {
        SetTextRenderingHintAntiAlias(std::atoi(value));
    } else if (std::strcmp(name, "transshadow") == 0) {
        SetTransShadow(std::atoi(value));
    } else if (std::strcmp(name, "transtext") == 0) {
        SetTransText(std::atoi(value));
    } else if (std::strcmp(name, "transshadow1") == 0) {
        SetTransShadow1(std::atoi(value));
    } else if (std::strcmp(name, "transtext1") == 0) {
        SetTransText1(std::atoi(value));
    } else if (std::strcmp(name, "gradientangle") == 0) {
        SetGradientAngle(std::atoi(value));
    } else if (std::strcmp(name, "enabledstroke") == 0) {
        SetEnabledStroke(ParseBool(value));
    } else if (std::strcmp(name, "enabledshadow") == 0) {
        SetEnabledShadow(ParseBool(value));
    } else if (std::strcmp(name, "transstroke") == 0) {
        SetTransStroke(std::atoi(value));
    } else if (std::strcmp(name, "gradientlength") == 0) {
        SetGradientLength(std::atoi(value));
    } else if (std::strcmp(name, "shadowoffset") == 0) {
        int parts[2] = {};
        ParseInts(value, parts, 2);
        SetShadowOffset(parts[0], parts[1]);
    } else if (std::strcmp(name, "textcolor1") == 0) {
        SetTextColor1(ParseColor(value));
    } else if (std::strcmp(name, "textshadowcolora") == 0) {
        SetTextShadowColorA(ParseColor(value));
    } else if (std::strcmp(name, "textshadowcolorb") == 0) {
        SetTextShadowColorB(ParseColor(value));
    } else if (std::strcmp(name, "strokecolor") == 0) {
        SetStrokeColor(ParseColor(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

SIZE CLabelUI::MeasureSize(SIZE) {
    if (m_fixedSize.cy != 0 || m_manager == nullptr) {
        return m_fixedSize;
    }
    const FontInfo* info = m_manager->GetFontInfo(m_font);
    return SIZE{m_fixedSize.cx, (info != nullptr ? info->tm.tmHeight : 0) + 4};
}

void CLabelUI::DefaultColors() {
    if (m_manager == nullptr) {
        return;
    }
    if (m_textColor == 0) {
        m_textColor = m_manager->GetDefaultFontColor();
    }
    if (m_disabledTextColor == 0) {
        m_disabledTextColor = m_manager->GetDefaultDisabledColor();
    }
}

RECT CLabelUI::TextRect() const {
    return RECT{m_rcItem.left + m_textPadding.left, m_rcItem.top + m_textPadding.top,
                m_rcItem.right - m_textPadding.right, m_rcItem.bottom - m_textPadding.bottom};
}

void CLabelUI::PaintText(plat::HDC hDC) {
    if (m_enabledEffect) {
        PaintEffectText(hDC);
        return;
    }
    DefaultColors();
    if (m_text.IsEmpty()) {
        return;
    }
    DrawCaption(hDC, IsEnabled() ? m_textColor : m_disabledTextColor,
                m_textStyle | plat::DT_SINGLELINE);
}

void CLabelUI::DrawCaption(plat::HDC hDC, uint32_t color, plat::UINT style) {
    RECT rc = TextRect();
    if (m_showHtml) {
        int linkCount = 0;
        CUIRender::DrawHtmlText(hDC, m_manager, rc, m_text, color, nullptr, nullptr, linkCount,
                                style);
    } else {
        CUIRender::DrawText(hDC, m_manager, rc, m_text, color, m_font, style);
    }
}

// The canvas's gradient-brush text stands in for the drawing library of the original effect
// mode: the same brushes, rectangles and order, drawn in the label's font.
void CLabelUI::PaintEffectText(plat::HDC hDC) {
    if (hDC == nullptr) {
        return;
    }
    DefaultColors();
    const RECT rc = TextRect();
    plat::HFONT font = m_manager != nullptr ? m_manager->GetFont(m_font) : nullptr;
    if (font == nullptr) {
        font = hDC->GetFont();
    }
    const bool antiAlias = m_textRenderingHint != 1 && m_textRenderingHint != 2;
    plat::StringFormat format;
    format.alignment = static_cast<plat::StringAlignment>(m_stringAlignment);
    format.lineAlignment = static_cast<plat::StringAlignment>(m_lineAlignment);

    const float height = static_cast<float>(rc.bottom - rc.top);
    const plat::RectF layout{static_cast<float>(rc.left), static_cast<float>(rc.top),
                             static_cast<float>(rc.right - rc.left), height};
    const plat::RectF shadow{layout.x + m_shadowOffset.x, layout.y + m_shadowOffset.y, layout.width,
                             layout.height};
    const int length = m_gradientLength != 0 ? m_gradientLength : rc.bottom - rc.top;

    auto brush = [this](int extent, uint32_t from, uint32_t to) {
        plat::LinearGradientBrush b;
        b.from = plat::POINT{m_gradientAngle, 0};
        b.to = plat::POINT{0, extent};
        b.argbFrom = from;
        b.argbTo = to;
        return b;
    };
    const char* text = m_effectText;
    auto draw = [&](const plat::RectF& at, const plat::LinearGradientBrush& b) {
        // Failures (a brush without direction) leave the text undrawn, as the original did.
        plat::DrawStringGradient(hDC, text, -1, font, at, format, b, antiAlias);
    };

    if (m_enabledStroke && m_strokeColor != 0) {
        const uint32_t c = WithAlpha(m_transStroke, m_strokeColor);
        const plat::LinearGradientBrush stroke = brush(rc.bottom - rc.top + 2, c, c);
        const float dx[] = {-1, 1, 0, 0};
        const float dy[] = {0, 0, -1, 1};
        for (int i = 0; i < 4; ++i) {
            draw(plat::RectF{layout.x + dx[i], layout.y + dy[i], layout.width, layout.height},
                 stroke);
        }
    }
    if (m_enabledShadow && (m_textShadowColorA != 0 || m_textShadowColorB != 0)) {
        const uint32_t second =
            m_textShadowColorB == 0xFFFFFFFF ? m_textShadowColorA : m_textShadowColorB;
        draw(shadow, brush(length, WithAlpha(m_transShadow, m_textShadowColorA),
                           WithAlpha(m_transShadow1, second)));
    }
    const uint32_t second = m_textColor1 == 0xFFFFFFFF ? m_textColor : m_textColor1;
    draw(layout,
         brush(length, WithAlpha(m_transText, m_textColor), WithAlpha(m_transText1, second)));
}

} // namespace Pane
