#include "pane/core/Control.h"

#include "pane/core/Render.h"
#include "pane/core/UIManager.h"
#include "platform/base/Rect.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace Pane {

using plat::RECT;
using plat::SIZE;

namespace {

ControlFactoryProc g_controlFactory = nullptr;

} // namespace

void SetControlFactory(ControlFactoryProc factory) {
    g_controlFactory = factory;
}

ControlFactoryProc GetControlFactory() {
    return g_controlFactory;
}

CControlUI* CreateControlByTag(const char* tagName) {
    return g_controlFactory != nullptr && tagName != nullptr ? g_controlFactory(tagName) : nullptr;
}

uint32_t ParseColor(const char* value) {
    if (value == nullptr) {
        return 0;
    }
    while (*value != '\0' && std::isspace(static_cast<unsigned char>(*value))) {
        ++value;
    }
    if (*value == '#') {
        ++value;
    }
    return static_cast<uint32_t>(std::strtoul(value, nullptr, 16));
}

int ParseInts(const char* value, int* out, int count) {
    for (int i = 0; i < count; ++i) {
        out[i] = 0;
    }
    if (value == nullptr) {
        return 0;
    }
    int parsed = 0;
    const char* p = value;
    while (parsed < count && *p != '\0') {
        char* end = nullptr;
        out[parsed++] = static_cast<int>(std::strtol(p, &end, 10));
        // One separator character of any kind between numbers.
        if (end == nullptr || *end == '\0') {
            break;
        }
        p = end + 1;
    }
    return parsed;
}

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
    OnDestroy(this);
    if (m_manager != nullptr) {
        m_manager->ReapObjects(this);
    }
}

CUIString CControlUI::Name() const {
    return m_name;
}

void CControlUI::SetName(const char* name) {
    m_name = name;
}

const char* CControlUI::ClassName() const {
    return "ControlUI";
}

void* CControlUI::Interface(const char* name) {
    return name != nullptr && std::strcmp(name, "Control") == 0 ? this : nullptr;
}

unsigned int CControlUI::ControlFlags() const {
    return 0;
}

bool CControlUI::Trigger() {
    return IsVisible() && IsEnabled();
}

CUIManager* CControlUI::Manager() const {
    return m_manager;
}

void CControlUI::SetManager(CUIManager* manager, CControlUI* parent, bool init) {
    m_manager = manager;
    m_parent = parent;
    if (m_manager != nullptr && !m_virtualWnd.IsEmpty()) {
        m_manager->UsedVirtualWnd(true);
    }
    if (init && m_parent != nullptr) {
        Init();
    }
}

CControlUI* CControlUI::Parent() const {
    return m_parent;
}

CUIString CControlUI::GetText() const {
    return m_text;
}

void CControlUI::SetText(const char* text) {
    if (m_text == (text != nullptr ? text : "")) {
        return;
    }
    m_text = text;
    Invalidate();
}

const RECT& CControlUI::Position() const {
    return m_rcItem;
}

void CControlUI::SetPosition(RECT rc) {
    if (rc.right < rc.left) {
        rc.right = rc.left;
    }
    if (rc.bottom < rc.top) {
        rc.bottom = rc.top;
    }
    RECT old = m_rcItem;
    if (plat::IsRectEmpty(old)) {
        old = rc;
    }
    m_rcItem = rc;
    if (m_manager == nullptr) {
        return;
    }
    if (!m_inSizeCallback) {
        m_inSizeCallback = true;
        OnSize(this);
        m_inSizeCallback = false;
    }
    if (m_float && m_parent != nullptr) {
        const RECT parentRc = m_parent->Position();
        m_fixedXY.cx =
            m_fixedXY.cx >= 0 ? m_rcItem.left - parentRc.left : m_rcItem.right - parentRc.right;
        m_fixedXY.cy =
            m_fixedXY.cy >= 0 ? m_rcItem.top - parentRc.top : m_rcItem.bottom - parentRc.bottom;
        m_fixedSize.cx = m_rcItem.right - m_rcItem.left;
        m_fixedSize.cy = m_rcItem.bottom - m_rcItem.top;
    }
    m_updateNeeded = false;

    // Repaint where the control was and where it is now, as far as its ancestors show it.
    RECT invalid = plat::UnionRect(old, m_rcItem);
    for (CControlUI* p = m_parent; p != nullptr && !plat::IsRectEmpty(invalid); p = p->Parent()) {
        invalid = plat::IntersectRect(invalid, p->Position());
    }
    if (!plat::IsRectEmpty(invalid)) {
        m_manager->Invalidate(invalid);
    }
}

int CControlUI::Width() const {
    return m_rcItem.right - m_rcItem.left;
}

int CControlUI::Height() const {
    return m_rcItem.bottom - m_rcItem.top;
}

int CControlUI::X() const {
    return m_rcItem.left;
}

int CControlUI::Y() const {
    return m_rcItem.top;
}

RECT CControlUI::Padding() const {
    return m_rcPadding;
}

namespace {

// A size hint changed: the layout that places the control must run again. A floating control
// is placed by its parent as well (from its fixed position and size), so both kinds ask the
// parent; asking only the control itself would lay it out at its old rectangle.
void RequestLayout(CControlUI& control) {
    control.NeedParentUpdate();
}

} // namespace

void CControlUI::SetPadding(RECT padding) {
    m_rcPadding = RECT{ClampExtent(padding.left), ClampExtent(padding.top),
                       ClampExtent(padding.right), ClampExtent(padding.bottom)};
    RequestLayout(*this);
}

SIZE CControlUI::FixedXY() const {
    return m_fixedXY;
}

void CControlUI::SetFixedXY(SIZE xy) {
    m_fixedXY = SIZE{ClampExtent(xy.cx), ClampExtent(xy.cy)};
    RequestLayout(*this);
}

int CControlUI::FixedWidth() const {
    return m_fixedSize.cx;
}

void CControlUI::SetFixedWidth(int cx) {
    if (cx < 0) {
        return;
    }
    m_fixedSize.cx = ClampExtent(cx);
    RequestLayout(*this);
}

int CControlUI::FixedHeight() const {
    return m_fixedSize.cy;
}

void CControlUI::SetFixedHeight(int cy) {
    if (cy < 0) {
        return;
    }
    m_fixedSize.cy = ClampExtent(cy);
    RequestLayout(*this);
}

int CControlUI::MinWidth() const {
    return m_minSize.cx;
}

void CControlUI::SetMinWidth(int cx) {
    if (cx < 0 || m_minSize.cx == cx) {
        return;
    }
    m_minSize.cx = ClampExtent(cx);
    RequestLayout(*this);
}

int CControlUI::MaxWidth() const {
    return m_maxSize.cx;
}

void CControlUI::SetMaxWidth(int cx) {
    if (cx < 0 || m_maxSize.cx == cx) {
        return;
    }
    m_maxSize.cx = ClampExtent(cx);
    RequestLayout(*this);
}

int CControlUI::MinHeight() const {
    return m_minSize.cy;
}

void CControlUI::SetMinHeight(int cy) {
    if (cy < 0 || m_minSize.cy == cy) {
        return;
    }
    m_minSize.cy = ClampExtent(cy);
    RequestLayout(*this);
}

int CControlUI::MaxHeight() const {
    return m_maxSize.cy;
}

void CControlUI::SetMaxHeight(int cy) {
    if (cy < 0 || m_maxSize.cy == cy) {
        return;
    }
    m_maxSize.cy = ClampExtent(cy);
    RequestLayout(*this);
}

void CControlUI::SetRelativePos(SIZE move, SIZE zoom) {
    m_relativePos.relative = true;
    m_relativePos.moveX = move.cx;
    m_relativePos.moveY = move.cy;
    m_relativePos.zoomX = zoom.cx;
    m_relativePos.zoomY = zoom.cy;
}

void CControlUI::SetRelativeParentSize(SIZE size) {
    m_relativePos.parentSize = size;
}

RelativePosUI CControlUI::RelativePos() const {
    return m_relativePos;
}

bool CControlUI::IsRelative() const {
    return m_relativePos.relative;
}

CUIString CControlUI::ToolTip() const {
    return m_toolTip;
}

void CControlUI::SetToolTip(const char* text) {
    CUIString tip(text != nullptr ? text : "");
    tip.Replace("<n>", "\r\n");
    m_toolTip = tip;
}

void CControlUI::SetToolTipWidth(int width) {
    m_toolTipWidth = width;
}

int CControlUI::ToolTipWidth() const {
    return m_toolTipWidth;
}

char CControlUI::Shortcut() const {
    return m_shortcut;
}

void CControlUI::SetShortcut(char ch) {
    m_shortcut = ch;
}

bool CControlUI::IsContextMenuUsed() const {
    return m_menuUsed;
}

void CControlUI::SetContextMenuUsed(bool used) {
    m_menuUsed = used;
}

const CUIString& CControlUI::UserData() const {
    return m_userData;
}

void CControlUI::SetUserData(const char* text) {
    m_userData = text;
}

uintptr_t CControlUI::Tag() const {
    return m_tag;
}

void CControlUI::SetTag(uintptr_t tag) {
    m_tag = tag;
}

bool CControlUI::IsVisible() const {
    return m_visible && m_innerVisible;
}

void CControlUI::SetVisible(bool visible) {
    if (m_visible == visible) {
        return;
    }
    const bool wasVisible = IsVisible();
    m_visible = visible;
    m_focused = false;
    if (!visible && m_manager != nullptr && m_manager->GetFocus() == this) {
        m_manager->SetFocus(nullptr);
    }
    if (IsVisible() != wasVisible) {
        NeedParentUpdate();
    }
}

void CControlUI::SetInnerVisible(bool visible) {
    m_innerVisible = visible;
    if (!visible && m_manager != nullptr && m_manager->GetFocus() == this) {
        m_manager->SetFocus(nullptr);
    }
}

bool CControlUI::IsEnabled() const {
    return m_enabled;
}

void CControlUI::SetEnabled(bool enabled) {
    if (m_enabled == enabled) {
        return;
    }
    m_enabled = enabled;
    Invalidate();
}

bool CControlUI::IsMouseEnabled() const {
    return m_mouseEnabled;
}

void CControlUI::SetMouseEnabled(bool enabled) {
    m_mouseEnabled = enabled;
}

bool CControlUI::IsKeyboardEnabled() const {
    return m_keyboardEnabled;
}

void CControlUI::SetKeyboardEnabled(bool enabled) {
    m_keyboardEnabled = enabled;
}

bool CControlUI::IsFocused() const {
    return m_focused;
}

void CControlUI::SetFocus() {
    if (m_manager != nullptr) {
        m_manager->SetFocus(this);
    }
}

bool CControlUI::IsFloat() const {
    return m_float;
}

void CControlUI::SetFloat(bool isFloat) {
    if (m_float == isFloat) {
        return;
    }
    m_float = isFloat;
    NeedParentUpdate();
}

CControlUI* CControlUI::FindControl(FindControlProc proc, void* data, uint32_t flags) {
    if ((flags & kFindVisible) != 0 && !IsVisible()) {
        return nullptr;
    }
    if ((flags & kFindEnabled) != 0 && !IsEnabled()) {
        return nullptr;
    }
    if ((flags & kFindHitTest) != 0 &&
        (!m_mouseEnabled || !plat::PtInRect(m_rcItem, *static_cast<const plat::POINT*>(data)))) {
        return nullptr;
    }
    return proc(this, data);
}

void CControlUI::Init() {
    InitSelf();
    OnInit(this);
}

void CControlUI::InitSelf() {}

void CControlUI::DispatchEvent(UIEvent& event) {
    if (!OnEvent(&event)) {
        return;
    }
    HandleEvent(event);
}

void CControlUI::HandleEvent(UIEvent& event) {
    switch (event.type) {
        case kEventSetCursor:
            plat::SetCursor(plat::LoadCursor(nullptr, plat::IDC_ARROW));
            return;
        case kEventSetFocus:
            m_focused = true;
            Invalidate();
            return;
        case kEventKillFocus:
            m_focused = false;
            Invalidate();
            return;
        case kEventTimer:
            Notify("timer", event.wParam, event.lParam);
            return;
        case kEventContextMenu:
            if (m_menuUsed) {
                Notify("menu", event.wParam, event.lParam);
                return;
            }
            break;
        default:
            break;
    }
    if (m_parent != nullptr) {
        m_parent->HandleEvent(event);
    }
}

void CControlUI::SetAttribute(const char* name, const char* value) {
    if (name == nullptr || value == nullptr) {
        return;
    }
    auto is = [name](const char* n) { return std::strcmp(name, n) == 0; };
    int v[4];
    if (is("pos")) {
        ParseInts(value, v, 4);
        SetFixedXY(SIZE{v[0] >= 0 ? v[0] : v[2], v[1] >= 0 ? v[1] : v[3]});
        // Corners at the ends of the number range span more than an int holds: clamped.
        const auto span = [](int from, int to) {
            return static_cast<int>(
                std::clamp<long long>(static_cast<long long>(to) - from, INT_MIN, INT_MAX));
        };
        SetFixedWidth(span(v[0], v[2]));
        SetFixedHeight(span(v[1], v[3]));
    } else if (is("relativepos")) {
        ParseInts(value, v, 4);
        SetRelativePos(SIZE{v[0], v[1]}, SIZE{v[2], v[3]});
    } else if (is("padding")) {
        ParseInts(value, v, 4);
        SetPadding(RECT{v[0], v[1], v[2], v[3]});
    } else if (is("bkcolor") || is("bkcolor1")) {
        SetBkColor(ParseColor(value));
    } else if (is("bkcolor2")) {
        SetBkColor2(ParseColor(value));
    } else if (is("bkcolor3")) {
        SetBkColor3(ParseColor(value));
    } else if (is("bordercolor")) {
        SetBorderColor(ParseColor(value));
    } else if (is("focusbordercolor")) {
        SetFocusBorderColor(ParseColor(value));
    } else if (is("colorhsl")) {
        SetColorHSL(ParseBool(value));
    } else if (is("bordersize")) {
        if (std::strchr(value, ',') != nullptr) {
            ParseInts(value, v, 4);
            SetBorderSize(RECT{v[0], v[1], v[2], v[3]});
        } else {
            m_borderSides = RECT{};
            m_borderSize = static_cast<int>(std::strtol(value, nullptr, 10));
            Invalidate();
        }
    } else if (is("leftbordersize")) {
        SetLeftBorderSize(static_cast<int>(std::strtol(value, nullptr, 10)));
    } else if (is("topbordersize")) {
        SetTopBorderSize(static_cast<int>(std::strtol(value, nullptr, 10)));
    } else if (is("rightbordersize")) {
        SetRightBorderSize(static_cast<int>(std::strtol(value, nullptr, 10)));
    } else if (is("bottombordersize")) {
        SetBottomBorderSize(static_cast<int>(std::strtol(value, nullptr, 10)));
    } else if (is("borderstyle")) {
        SetBorderStyle(static_cast<int>(std::strtol(value, nullptr, 10)));
    } else if (is("borderround")) {
        ParseInts(value, v, 2);
        SetBorderRound(SIZE{v[0], v[1]});
    } else if (is("bkimage")) {
        SetBkImage(value);
    } else if (is("width")) {
        SetFixedWidth(static_cast<int>(std::strtol(value, nullptr, 10)));
    } else if (is("height")) {
        SetFixedHeight(static_cast<int>(std::strtol(value, nullptr, 10)));
    } else if (is("minwidth")) {
        SetMinWidth(static_cast<int>(std::strtol(value, nullptr, 10)));
    } else if (is("minheight")) {
        SetMinHeight(static_cast<int>(std::strtol(value, nullptr, 10)));
    } else if (is("maxwidth")) {
        SetMaxWidth(static_cast<int>(std::strtol(value, nullptr, 10)));
    } else if (is("maxheight")) {
        SetMaxHeight(static_cast<int>(std::strtol(value, nullptr, 10)));
    } else if (is("name")) {
        SetName(value);
    } else if (is("text")) {
        SetText(value);
    } else if (is("tooltip")) {
        SetToolTip(value);
    } else if (is("userdata")) {
        SetUserData(value);
    } else if (is("enabled")) {
        SetEnabled(ParseBool(value));
    } else if (is("mouse")) {
        SetMouseEnabled(ParseBool(value));
    } else if (is("keyboard")) {
        SetKeyboardEnabled(ParseBool(value));
    } else if (is("visible")) {
        SetVisible(ParseBool(value));
    } else if (is("float")) {
        SetFloat(ParseBool(value));
    } else if (is("shortcut")) {
        SetShortcut(value[0]);
    } else if (is("menu")) {
        SetContextMenuUsed(ParseBool(value));
    } else if (is("virtualwnd")) {
        SetVirtualWnd(value);
    }
}

SIZE CControlUI::MeasureSize(SIZE) {
    return m_fixedSize;
}

void CControlUI::Paint(plat::HDC hDC, const RECT& rcPaint) {
    m_rcPaint = plat::IntersectRect(rcPaint, m_rcItem);
    if (plat::IsRectEmpty(m_rcPaint)) {
        return;
    }
    auto steps = [this, hDC] {
        PaintBackColor(hDC);
        PaintBackImage(hDC);
        PaintStatusImage(hDC);
        PaintText(hDC);
        PaintBorder(hDC);
    };
    if (m_borderRound.cx > 0 || m_borderRound.cy > 0) {
        CRenderClip clip(hDC, m_rcPaint, m_rcItem, m_borderRound.cx, m_borderRound.cy);
        steps();
    } else {
        steps();
    }
}

uint32_t CControlUI::PaintColor(uint32_t color) const {
    return m_colorHSL ? CUIRender::AdjustColor(color, 180, 100, 100) : color;
}

void CControlUI::PaintBackColor(plat::HDC hDC) {
    if (m_bkColor == 0) {
        return;
    }
    const uint32_t first = PaintColor(m_bkColor);
    if (m_bkColor2 == 0) {
        // An opaque fill need only cover the dirty part; a translucent one is blended over the
        // whole control.
        CUIRender::DrawColor(hDC, (m_bkColor >> 24) == 0xFF ? m_rcPaint : m_rcItem, first);
        return;
    }
    const uint32_t second = PaintColor(m_bkColor2);
    if (m_bkColor3 != 0) {
        const int mid = (m_rcItem.top + m_rcItem.bottom) / 2;
        RECT upper = m_rcItem;
        upper.bottom = mid;
        CUIRender::DrawGradient(hDC, upper, first, second, true, 8);
        RECT lower = m_rcItem;
        lower.top = mid;
        CUIRender::DrawGradient(hDC, lower, second, PaintColor(m_bkColor3), true, 8);
    } else {
        CUIRender::DrawGradient(hDC, m_rcItem, first, second, true, 16);
    }
}

void CControlUI::PaintBackImage(plat::HDC hDC) {
    if (m_bkImage.IsEmpty()) {
        return;
    }
    if (!DrawImage(hDC, m_bkImage)) {
        // Not tried again at each paint.
        m_bkImage.Empty();
    }
}

void CControlUI::PaintStatusImage(plat::HDC) {}

void CControlUI::PaintText(plat::HDC) {}

void CControlUI::PaintBorder(plat::HDC hDC) {
    if (m_borderColor == 0 && m_focusBorderColor == 0) {
        return;
    }
    const bool focusColour = IsFocused() && m_focusBorderColor != 0;
    if (m_borderSize > 0 && (m_borderRound.cx > 0 || m_borderRound.cy > 0)) {
        const uint32_t colour = focusColour ? m_focusBorderColor : m_borderColor;
        if (colour != 0) {
            CUIRender::DrawRoundRect(hDC, m_rcItem, m_borderSize, m_borderRound.cx,
                                     m_borderRound.cy, PaintColor(colour));
        }
        return;
    }
    if (focusColour && m_borderSize > 0) {
        CUIRender::DrawRect(hDC, m_rcItem, m_borderSize, PaintColor(m_focusBorderColor));
        return;
    }
    // A control with only a focus colour draws nothing while unfocused (colour 0 is no border,
    // not black).
    if (m_borderColor == 0) {
        return;
    }
    const uint32_t colour = PaintColor(m_borderColor);
    const RECT& rc = m_rcItem;
    if (m_borderSides.left > 0 || m_borderSides.top > 0 || m_borderSides.right > 0 ||
        m_borderSides.bottom > 0) {
        // Each side is drawn inside the control as parallel one-pixel lines, so that a side of
        // width n covers exactly n rows or columns whatever the pen style.
        for (int i = 0; i < m_borderSides.left; ++i) {
            CUIRender::DrawLine(hDC, RECT{rc.left + i, rc.top, rc.left + i, rc.bottom}, 1, colour,
                                m_borderStyle);
        }
        for (int i = 0; i < m_borderSides.top; ++i) {
            CUIRender::DrawLine(hDC, RECT{rc.left, rc.top + i, rc.right, rc.top + i}, 1, colour,
                                m_borderStyle);
        }
        for (int i = 0; i < m_borderSides.right; ++i) {
            CUIRender::DrawLine(hDC, RECT{rc.right - 1 - i, rc.top, rc.right - 1 - i, rc.bottom}, 1,
                                colour, m_borderStyle);
        }
        for (int i = 0; i < m_borderSides.bottom; ++i) {
            CUIRender::DrawLine(hDC, RECT{rc.left, rc.bottom - 1 - i, rc.right, rc.bottom - 1 - i},
                                1, colour, m_borderStyle);
        }
    } else if (m_borderSize > 0) {
        CUIRender::DrawRect(hDC, rc, m_borderSize, colour);
    }
}

void CControlUI::PaintOverlay(plat::HDC, const RECT&) {}

CUIString CControlUI::GetVirtualWnd() const {
    for (const CControlUI* c = this; c != nullptr; c = c->Parent()) {
        if (!c->m_virtualWnd.IsEmpty()) {
            return c->m_virtualWnd;
        }
    }
    return CUIString();
}

void CControlUI::SetVirtualWnd(const char* name) {
    m_virtualWnd = name;
    if (m_manager != nullptr) {
        m_manager->UsedVirtualWnd(true);
    }
}

void CControlUI::Invalidate() {
    if (!IsVisible() || m_manager == nullptr) {
        return;
    }
    RECT rc = m_rcItem;
    for (CControlUI* p = m_parent; p != nullptr; p = p->Parent()) {
        rc = plat::IntersectRect(rc, p->Position());
        if (plat::IsRectEmpty(rc)) {
            return;
        }
    }
    if (!plat::IsRectEmpty(rc)) {
        m_manager->Invalidate(rc);
    }
}

void CControlUI::NeedUpdate() {
    if (!IsVisible()) {
        return;
    }
    m_updateNeeded = true;
    Invalidate();
    if (m_manager != nullptr) {
        m_manager->NeedUpdate();
    }
}

void CControlUI::NeedParentUpdate() {
    if (m_parent != nullptr) {
        m_parent->NeedUpdate();
        m_parent->Invalidate();
    } else {
        NeedUpdate();
    }
    if (m_manager != nullptr) {
        m_manager->NeedUpdate();
    }
}

void CControlUI::ApplyAttributeList(const char* list) {
    if (list == nullptr) {
        return;
    }
    const char* p = list;
    while (*p != '\0') {
        const char* nameStart = p;
        while (*p != '\0' && *p != '=') {
            ++p;
        }
        if (*p != '=') {
            return;
        }
        CUIString name(nameStart, static_cast<int>(p - nameStart));
        ++p;
        if (*p != '"') {
            return;
        }
        ++p;
        const char* valueStart = p;
        while (*p != '\0' && *p != '"') {
            ++p;
        }
        if (*p != '"') {
            return;
        }
        CUIString value(valueStart, static_cast<int>(p - valueStart));
        ++p;
        SetAttribute(name, value);
        if (*p == '\0') {
            return;
        }
        if (*p != ' ') {
            return;
        }
        ++p;
    }
}

void CControlUI::SetBkColor(uint32_t color) {
    if (m_bkColor == color) {
        return;
    }
    m_bkColor = color;
    Invalidate();
}

void CControlUI::SetBkColor2(uint32_t color) {
    if (m_bkColor2 == color) {
        return;
    }
    m_bkColor2 = color;
    Invalidate();
}

void CControlUI::SetBkColor3(uint32_t color) {
    if (m_bkColor3 == color) {
        return;
    }
    m_bkColor3 = color;
    Invalidate();
}

void CControlUI::SetBkImage(const char* image) {
    if (m_bkImage == (image != nullptr ? image : "")) {
        return;
    }
    m_bkImage = image;
    Invalidate();
}

void CControlUI::SetForeImage(const char* image) {
    if (m_foreImage == (image != nullptr ? image : "")) {
        return;
    }
    m_foreImage = image;
    Invalidate();
}

void CControlUI::SetBorderColor(uint32_t color) {
    if (m_borderColor == color) {
        return;
    }
    m_borderColor = color;
    Invalidate();
}

void CControlUI::SetFocusBorderColor(uint32_t color) {
    if (m_focusBorderColor == color) {
        return;
    }
    m_focusBorderColor = color;
    Invalidate();
}

void CControlUI::SetColorHSL(bool hsl) {
    if (m_colorHSL == hsl) {
        return;
    }
    m_colorHSL = hsl;
    Invalidate();
}

void CControlUI::SetBorderSize(int size) {
    if (m_borderSize == size) {
        return;
    }
    m_borderSize = size;
    Invalidate();
}

void CControlUI::SetBorderSize(RECT sides) {
    m_borderSides = sides;
    Invalidate();
}

void CControlUI::SetLeftBorderSize(int size) {
    m_borderSides.left = size;
    Invalidate();
}

void CControlUI::SetTopBorderSize(int size) {
    m_borderSides.top = size;
    Invalidate();
}

void CControlUI::SetRightBorderSize(int size) {
    m_borderSides.right = size;
    Invalidate();
}

void CControlUI::SetBottomBorderSize(int size) {
    m_borderSides.bottom = size;
    Invalidate();
}

void CControlUI::SetBorderStyle(int style) {
    m_borderStyle = style;
    Invalidate();
}

void CControlUI::SetBorderRound(SIZE round) {
    m_borderRound = round;
    Invalidate();
}

bool CControlUI::DrawImage(plat::HDC hDC, const char* image, const char* modify) {
    if (m_manager == nullptr) {
        return false;
    }
    return CUIRender::DrawImageString(hDC, m_manager, m_rcItem, m_rcPaint, image, modify);
}

void CControlUI::Notify(const char* type, plat::WPARAM wParam, plat::LPARAM lParam) {
    if (m_manager != nullptr) {
        m_manager->SendNotify(this, type, wParam, lParam);
    }
}

} // namespace Pane
