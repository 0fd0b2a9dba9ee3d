#include "pane/controls/List.h"

#include "pane/core/Render.h"
#include "pane/core/UIManager.h"
#include "platform/base/Messages.h"
#include "platform/gfx/Text.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace Pane {

using plat::RECT;
using plat::SIZE;

namespace {

bool Is(const char* a, const char* b) {
    return std::strcmp(a, b) == 0;
}

RECT Shrink(RECT rc, const RECT& by) {
    return RECT{rc.left + by.left, rc.top + by.top, rc.right - by.right, rc.bottom - by.bottom};
}

RECT ParseRect(const char* value) {
    int v[4] = {0, 0, 0, 0};
    ParseInts(value, v, 4);
    return RECT{v[0], v[1], v[2], v[3]};
}

// "left", "center" or "right" in an alignment value sets that horizontal alignment.
plat::UINT ApplyAlign(plat::UINT style, const char* value) {
    const plat::UINT horizontal = plat::DT_LEFT | plat::DT_CENTER | plat::DT_RIGHT;
    if (std::strstr(value, "left") != nullptr) {
        style = (style & ~horizontal) | plat::DT_LEFT;
    }
    if (std::strstr(value, "center") != nullptr) {
        style = (style & ~horizontal) | plat::DT_CENTER;
    }
    if (std::strstr(value, "right") != nullptr) {
        style = (style & ~horizontal) | plat::DT_RIGHT;
    }
    return style;
}

plat::UINT ApplyEndEllipsis(plat::UINT style, const char* value) {
    return ParseBool(value) ? (style | plat::DT_END_ELLIPSIS) : (style & ~plat::DT_END_ELLIPSIS);
}

// One line of text in a row or header item: through the inline-tag drawing (links not
// collected) or the plain drawing in a font of the manager's table.
void DrawLineText(plat::HDC hDC, CUIManager* manager, RECT& rc, const char* text, uint32_t color,
                  int font, plat::UINT style, bool html) {
    if (html) {
        int links = 0;
        CUIRender::DrawHtmlText(hDC, manager, rc, text, color, nullptr, nullptr, links, style);
    } else {
        CUIRender::DrawText(hDC, manager, rc, text, color, font, style);
    }
}

bool IsMouseEvent(int type) {
    return type > kEventMouseBegin && type < kEventMouseEnd;
}

// The rectangle a row may repaint: the client part of its container parent, clipped by every
// further ancestor. Empty when nothing of the row shows.
RECT VisibleRowRect(const CControlUI* row) {
    CControlUI* parent = row->Parent();
    auto* container = static_cast<CContainerUI*>(parent->Interface("Container"));
    RECT rc = plat::IntersectRect(container->InnerRect(), row->Position());
    for (CControlUI* p = parent->Parent(); p != nullptr && !plat::IsRectEmpty(rc);
         p = p->Parent()) {
        rc = plat::IntersectRect(rc, p->Position());
    }
    return rc;
}

void InvalidateListRow(CControlUI* row) {
    if (!row->IsVisible() || row->Manager() == nullptr) {
        return;
    }
    CControlUI* parent = row->Parent();
    if (parent == nullptr || parent->Interface("Container") == nullptr) {
        row->Invalidate();
        return;
    }
    const RECT rc = VisibleRowRect(row);
    if (!plat::IsRectEmpty(rc)) {
        row->Manager()->Invalidate(rc);
    }
}

uint32_t RowTextColor(const ItemAppearance& a, bool hot, bool selected, bool enabled) {
    uint32_t color = a.textColor;
    if (hot) {
        color = a.hotTextColor;
    }
    if (selected) {
        color = a.selectedTextColor;
    }
    if (!enabled) {
        color = a.disabledTextColor;
    }
    return color;
}

// Draws an image description into a row; a description that fails to draw is emptied so it is
// not tried again on every paint.
bool DrawRowImage(CControlUI* row, plat::HDC hDC, CUIString& image) {
    if (image.IsEmpty()) {
        return false;
    }
    if (!row->DrawImage(hDC, image)) {
        image.Empty();
        return false;
    }
    return true;
}

IListOwnerUI* OwnerOf(CControlUI* owner) {
    return owner != nullptr ? static_cast<IListOwnerUI*>(owner->Interface("IListOwner")) : nullptr;
}

} // namespace

IListItemUI* AsListItem(CControlUI* control) {
    return control != nullptr ? static_cast<IListItemUI*>(control->Interface("ListItem")) : nullptr;
}

ItemAttributeChange ApplyItemAttribute(ItemAppearance& a, const char* name, const char* value) {
    auto color = [&](uint32_t& field) {
        field = ParseColor(value);
        return ItemAttributeChange::kRedraw;
    };
    auto image = [&](CUIString& field) {
        field = value;
        return ItemAttributeChange::kRedraw;
    };
    if (Is(name, "itemfont")) {
        a.font = static_cast<int>(std::strtol(value, nullptr, 10));
        return ItemAttributeChange::kRelayout;
    }
    if (Is(name, "itemalign")) {
        a.textStyle = ApplyAlign(a.textStyle, value);
        return ItemAttributeChange::kRedraw;
    }
    if (Is(name, "itemendellipsis")) {
        a.textStyle = ApplyEndEllipsis(a.textStyle, value);
        return ItemAttributeChange::kRedraw;
    }
    if (Is(name, "itemtextpadding")) {
        a.textPadding = ParseRect(value);
        return ItemAttributeChange::kRelayout;
    }
    if (Is(name, "itemtextcolor"))
        return color(a.textColor);
    if (Is(name, "itembkcolor"))
        return color(a.bkColor);
    if (Is(name, "itemselectedtextcolor"))
        return color(a.selectedTextColor);
    if (Is(name, "itemselectedbkcolor"))
        return color(a.selectedBkColor);
    if (Is(name, "itemhottextcolor"))
        return color(a.hotTextColor);
    if (Is(name, "itemhotbkcolor"))
        return color(a.hotBkColor);
    if (Is(name, "itemdisabledtextcolor"))
        return color(a.disabledTextColor);
    if (Is(name, "itemdisabledbkcolor"))
        return color(a.disabledBkColor);
    if (Is(name, "itemlinecolor"))
        return color(a.lineColor);
    if (Is(name, "itembkimage"))
        return image(a.bkImage);
    if (Is(name, "itemselectedimage"))
        return image(a.selectedImage);
    if (Is(name, "itemhotimage"))
        return image(a.hotImage);
    if (Is(name, "itemdisabledimage"))
        return image(a.disabledImage);
    if (Is(name, "itemaltbk")) {
        a.alternateBk = ParseBool(value);
        return ItemAttributeChange::kRedraw;
    }
    if (Is(name, "itemshowhtml")) {
        const bool show = ParseBool(value);
        if (show == a.showHtml) {
            return ItemAttributeChange::kUnchanged;
        }
        a.showHtml = show;
        return ItemAttributeChange::kRelayout;
    }
    return ItemAttributeChange::kNone;
}

// ---- rows ------------------------------------------------------------------------------------

namespace {

// Stores a row's selection; selecting tells the owner. False when the row is disabled.
bool SelectRow(CControlUI* self, ListRowState& row, bool select) {
    if (!self->IsEnabled()) {
        return false;
    }
    if (select == row.selected) {
        return true;
    }
    row.selected = select;
    if (select && row.owner != nullptr) {
        row.owner->SelectItem(row.index);
    }
    InvalidateListRow(self);
    return true;
}

// A row hidden while selected gives up the owner's selection.
void AfterRowVisibility(CControlUI* self, ListRowState& row) {
    if (!self->IsVisible() && row.selected) {
        row.selected = false;
        if (row.owner != nullptr) {
            row.owner->SelectItem(-1);
        }
    }
}

// The event handling rows share. `fallback` is the row class's base handler, used when the row
// has no owner to pass an event on to.
template <class Row, class Fallback>
void HandleRowEvent(Row* self, ListRowState& row, UIEvent& event, Fallback fallback) {
    auto element = [&] {
        if (event.type == kEventDblClick && self->IsEnabled()) {
            self->Trigger();
            InvalidateListRow(self);
        } else if (event.type == kEventKeyDown && self->IsEnabled() &&
                   event.key == plat::VK_RETURN) {
            self->Trigger();
            InvalidateListRow(self);
        } else if (row.owner != nullptr) {
            row.owner->HandleOwnerEvent(event);
        } else {
            fallback();
        }
    };
    if (!self->IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (row.owner != nullptr) {
            row.owner->HandleOwnerEvent(event);
        } else {
            element();
        }
        return;
    }
    switch (event.type) {
        case kEventButtonDown:
        case kEventRButtonDown:
            if (self->IsEnabled()) {
                self->Notify("itemclick");
                self->Select(true);
                InvalidateListRow(self);
            }
            return;
        case kEventMouseMove:
        case kEventButtonUp:
            return;
        case kEventMouseEnter:
            if (self->IsEnabled()) {
                row.state |= ListRowState::kHot;
                InvalidateListRow(self);
            }
            return;
        case kEventMouseLeave:
            if (row.IsHot()) {
                row.state &= ~ListRowState::kHot;
                InvalidateListRow(self);
            }
            return;
        default:
            element();
    }
}

void PaintRowBackground(CControlUI* self, const ListRowState& row, plat::HDC hDC) {
    if (row.owner == nullptr) {
        return;
    }
    ItemAppearance& a = *row.owner->GetItemAppearance();
    uint32_t color = (!a.alternateBk || row.index % 2 == 0) ? a.bkColor : 0;
    if (row.IsHot()) {
        color = a.hotBkColor;
    }
    if (row.selected) {
        color = a.selectedBkColor;
    }
    if (!self->IsEnabled()) {
        color = a.disabledBkColor;
    }
    if (color != 0) {
        if (self->IsColorHSL()) {
            color = CUIRender::AdjustColor(color, 180, 100, 100);
        }
        CUIRender::DrawColor(hDC, self->Position(), color);
    }
    if (!self->IsEnabled() && DrawRowImage(self, hDC, a.disabledImage)) {
        return;
    }
    if (row.selected && DrawRowImage(self, hDC, a.selectedImage)) {
        return;
    }
    if (row.IsHot() && DrawRowImage(self, hDC, a.hotImage)) {
        return;
    }
    const CUIString& own = self->BkImage();
    if (!own.IsEmpty()) {
        const bool oddAlternate = a.alternateBk && row.index % 2 != 0;
        if (!oddAlternate && !self->DrawImage(hDC, own)) {
            self->SetBkImage("");
        }
    } else if (DrawRowImage(self, hDC, a.bkImage)) {
        return;
    }
    if (a.lineColor != 0) {
        const RECT& rc = self->Position();
        CUIRender::DrawLine(hDC, RECT{rc.left, rc.bottom - 1, rc.right, rc.bottom - 1}, 1,
                            a.lineColor);
    }
}

} // namespace

// ---- CListRowUI ---------------------------------------------------------------------------------

template <class Base>
unsigned int CListRowUI<Base>::ControlFlags() const {
    return 4; // wants the Return key
}

template <class Base>
bool CListRowUI<Base>::Trigger() {
    if (!Base::Trigger()) {
        return false;
    }
    this->Notify("itemactivate");
    return true;
}

template <class Base>
void CListRowUI<Base>::SetVisible(bool visible) {
    Base::SetVisible(visible);
    AfterRowVisibility(this, m_row);
}

template <class Base>
void CListRowUI<Base>::SetEnabled(bool enabled) {
    Base::SetEnabled(enabled);
    if (!this->IsEnabled()) {
        m_row.state = 0;
    }
}

template <class Base>
void CListRowUI<Base>::SetAttribute(const char* name, const char* value) {
    if (Is(name, "selected")) {
        Select(); // any value selects
        return;
    }
    Base::SetAttribute(name, value);
}

template <class Base>
void CListRowUI<Base>::SetOwner(CControlUI* owner) {
    m_row.owner = OwnerOf(owner);
}

template <class Base>
bool CListRowUI<Base>::Select(bool select) {
    return SelectRow(this, m_row, select);
}

template <class Base>
void CListRowUI<Base>::InvalidateRow() {
    InvalidateListRow(this);
}

template <class Base>
void CListRowUI<Base>::HandleEvent(UIEvent& event) {
    HandleRowEvent(this, m_row, event, [&] { Base::HandleEvent(event); });
}

template <class Base>
void CListRowUI<Base>::DrawItemBk(plat::HDC hDC) {
    PaintRowBackground(this, m_row, hDC);
}

template class CListRowUI<CControlUI>;
template class CListRowUI<CContainerUI>;

// ---- CListElementUI ---------------------------------------------------------------------------

const char* CListElementUI::ClassName() const {
    return "ListElementUI";
}

void* CListElementUI::Interface(const char* name) {
    if (Is(name, "ListItem")) {
        return static_cast<IListItemUI*>(this);
    }
    if (Is(name, "ListElement")) {
        return this;
    }
    return CControlUI::Interface(name);
}

uint32_t CListElementUI::ItemTextColor(const ItemAppearance& a) const {
    return RowTextColor(a, IsHot(), m_row.selected, IsEnabled());
}

// ---- CListLabelElementUI ----------------------------------------------------------------------

const char* CListLabelElementUI::ClassName() const {
    return "ListLabelElementUI";
}

void* CListLabelElementUI::Interface(const char* name) {
    if (Is(name, "ListLabelElement")) {
        return this;
    }
    return CListElementUI::Interface(name);
}

SIZE CListLabelElementUI::MeasureSize(SIZE) {
    if (m_row.owner == nullptr) {
        return SIZE{0, 0};
    }
    const ItemAppearance& a = *m_row.owner->GetItemAppearance();
    SIZE size = m_fixedSize;
    if (m_manager == nullptr) {
        return size;
    }
    if (size.cy == 0) {
        const FontInfo* info = m_manager->GetFontInfo(a.font);
        size.cy = (info != nullptr ? info->tm.tmHeight : 0) + a.textPadding.top +
                  a.textPadding.bottom + 8;
    }
    if (size.cx == 0) {
        RECT rc{0, 0, 9999, size.cy};
        const plat::UINT style =
            (a.textStyle & ~(plat::DT_LEFT | plat::DT_CENTER | plat::DT_RIGHT)) |
            plat::DT_SINGLELINE | plat::DT_CALCRECT;
        DrawLineText(m_manager->GetPaintDC(), m_manager, rc, m_text, 0, a.font, style, a.showHtml);
        size.cx = rc.right - rc.left + a.textPadding.left + a.textPadding.right;
    }
    return size;
}

void CListLabelElementUI::Paint(plat::HDC hDC, const RECT& rcPaint) {
    m_rcPaint = plat::IntersectRect(rcPaint, m_rcItem);
    if (plat::IsRectEmpty(m_rcPaint) || m_row.owner == nullptr) {
        return;
    }
    DrawItemBk(hDC);
    DrawItemText(hDC, m_rcItem);
}

void CListLabelElementUI::DrawItemText(plat::HDC hDC, const RECT& rcItem) {
    if (m_text.IsEmpty() || m_row.owner == nullptr) {
        return;
    }
    const ItemAppearance& a = *m_row.owner->GetItemAppearance();
    RECT rc = Shrink(rcItem, a.textPadding);
    const plat::UINT style = a.textStyle | plat::DT_SINGLELINE;
    const uint32_t color = ItemTextColor(a);
    DrawLineText(hDC, m_manager, rc, m_text, color, a.font, style, a.showHtml);
}

// ---- CListTextElementUI -----------------------------------------------------------------------

const char* CListTextElementUI::ClassName() const {
    return "ListTextElementUI";
}

void* CListTextElementUI::Interface(const char* name) {
    if (Is(name, "ListTextElement")) {
        return this;
    }
    return CListLabelElementUI::Interface(name);
}

unsigned int CListTextElementUI::ControlFlags() const {
    return IsEnabled() && m_linkCount > 0 ? 6 : 4;
}

void CListTextElementUI::SetOwner(CControlUI* owner) {
    CListLabelElementUI::SetOwner(owner);
    m_list = owner != nullptr ? static_cast<IListUI*>(owner->Interface("IList")) : nullptr;
}

const char* CListTextElementUI::GetText(int column) const {
    if (column < 0 || column >= static_cast<int>(m_columnTexts.size())) {
        return "";
    }
    return m_columnTexts[static_cast<size_t>(column)].c_str();
}

void CListTextElementUI::SetText(int column, const char* text) {
    if (column < 0 || column >= kMaxListColumns) {
        return;
    }
    if (column >= static_cast<int>(m_columnTexts.size())) {
        m_columnTexts.resize(static_cast<size_t>(column) + 1);
    }
    m_columnTexts[static_cast<size_t>(column)] = text != nullptr ? text : "";
    InvalidateRow();
}

void CListTextElementUI::SetAttribute(const char* name, const char* value) {
    if (std::strncmp(name, "text", 4) == 0 && name[4] >= '0' && name[4] <= '9') {
        char* end = nullptr;
        const long column = std::strtol(name + 4, &end, 10);
        if (*end == '\0' && column < kMaxListColumns) {
            SetText(static_cast<int>(column), value);
            return;
        }
    }
    CListLabelElementUI::SetAttribute(name, value);
}

int CListTextElementUI::LinkAt(plat::POINT pt) const {
    for (int i = 0; i < m_linkCount; ++i) {
        if (plat::PtInRect(m_links[i], pt)) {
            return i;
        }
    }
    return -1;
}

void CListTextElementUI::HandleEvent(UIEvent& event) {
    const int link = LinkAt(event.mouse);
    if (event.type == kEventSetCursor && link >= 0) {
        plat::SetCursor(plat::LoadCursor(nullptr, plat::IDC_HAND));
        return;
    }
    if (event.type == kEventButtonUp && IsEnabled() && link >= 0) {
        Notify("link", static_cast<plat::WPARAM>(link));
        return;
    }
    if (event.type == kEventMouseMove && m_linkCount > 0 && link != m_hoverLink) {
        m_hoverLink = link;
        InvalidateRow();
    }
    if (event.type == kEventMouseLeave && m_hoverLink != -1) {
        m_hoverLink = -1;
        InvalidateRow();
    }
    CListLabelElementUI::HandleEvent(event);
}

SIZE CListTextElementUI::MeasureSize(SIZE available) {
    if (m_row.owner == nullptr) {
        return SIZE{0, 0};
    }
    // The columns give the width; only the height is measured.
    SIZE size = CListLabelElementUI::MeasureSize(available);
    size.cx = m_fixedSize.cx;
    return size;
}

void CListTextElementUI::DrawItemText(plat::HDC hDC, const RECT& rcItem) {
    if (m_row.owner == nullptr) {
        return;
    }
    const ItemAppearance& a = *m_row.owner->GetItemAppearance();
    const uint32_t color = ItemTextColor(a);
    IListTextProviderUI* provider = m_list != nullptr ? m_list->GetTextProvider() : nullptr;
    const int columns = std::min(a.columns, kMaxListColumns);
    int found = 0;
    for (int i = 0; i < columns; ++i) {
        const RECT column{a.columnRects[i].left, rcItem.top, a.columnRects[i].right, rcItem.bottom};
        RECT rc = Shrink(column, a.textPadding);
        const char* text =
            provider != nullptr ? provider->GetItemText(this, m_row.index, i) : GetText(i);
        if (text == nullptr) {
            text = "";
        }
        const plat::UINT style = a.textStyle | plat::DT_SINGLELINE;
        if (a.showHtml) {
            int free = kMaxListLinks - found;
            CUIRender::DrawHtmlText(hDC, m_manager, rc, text, color, &m_links[found],
                                    &m_linkTexts[found], free, style);
            found += free;
        } else {
            CUIRender::DrawText(hDC, m_manager, rc, text, color, a.font, style);
        }
    }
    for (int i = found; i < kMaxListLinks; ++i) {
        m_links[i] = RECT{};
        m_linkTexts[i].Empty();
    }
    m_linkCount = found;
}

// ---- CListContainerElementUI ------------------------------------------------------------------

const char* CListContainerElementUI::ClassName() const {
    return "ListContainerElementUI";
}

void* CListContainerElementUI::Interface(const char* name) {
    if (Is(name, "ListItem")) {
        return static_cast<IListItemUI*>(this);
    }
    if (Is(name, "ListContainerElement")) {
        return this;
    }
    return CContainerUI::Interface(name);
}

void CListContainerElementUI::Paint(plat::HDC hDC, const RECT& rcPaint) {
    if (plat::IsRectEmpty(plat::IntersectRect(rcPaint, m_rcItem))) {
        return;
    }
    PaintRowBackground(this, m_row, hDC);
    CContainerUI::Paint(hDC, rcPaint);
}

// ---- CListHeaderUI ----------------------------------------------------------------------------

const char* CListHeaderUI::ClassName() const {
    return "ListHeaderUI";
}

void* CListHeaderUI::Interface(const char* name) {
    if (Is(name, "ListHeader")) {
        return this;
    }
    return CHorizontalLayoutUI::Interface(name);
}

SIZE CListHeaderUI::MeasureSize(SIZE available) {
    SIZE size{0, m_fixedSize.cy};
    for (int i = 0; i < GetCount(); ++i) {
        size.cx += GetItemAt(i)->MeasureSize(available).cx;
    }
    if (size.cy == 0 && m_manager != nullptr) {
        for (int i = 0; i < GetCount(); ++i) {
            size.cy = std::max(size.cy, GetItemAt(i)->MeasureSize(available).cy);
        }
        size.cy = std::max<int>(size.cy, m_manager->GetDefaultFontInfo()->tm.tmHeight + 6);
    }
    return size;
}

// ---- CListHeaderItemUI ------------------------------------------------------------------------

namespace {
constexpr unsigned int kHeaderFocused = 0x01;
constexpr unsigned int kHeaderHot = 0x08;
constexpr unsigned int kHeaderPushed = 0x10;
constexpr unsigned int kHeaderDragging = 0x40;
} // namespace

CListHeaderItemUI::CListHeaderItemUI() {
    SetMinWidth(16);
}

const char* CListHeaderItemUI::ClassName() const {
    return "ListHeaderItemUI";
}

void* CListHeaderItemUI::Interface(const char* name) {
    if (Is(name, "ListHeaderItem")) {
        return this;
    }
    return CControlUI::Interface(name);
}

unsigned int CListHeaderItemUI::ControlFlags() const {
    return IsEnabled() && m_sepWidth != 0 ? static_cast<unsigned int>(kFlagSetCursor) : 0u;
}

void CListHeaderItemUI::SetEnabled(bool enabled) {
    CControlUI::SetEnabled(enabled);
    if (!IsEnabled()) {
        m_state = 0;
    }
}

void CListHeaderItemUI::SetDragable(bool dragable) {
    m_dragable = dragable;
    if (!dragable) {
        m_state &= ~kHeaderDragging;
    }
}

void CListHeaderItemUI::SetTextStyle(plat::UINT style) {
    m_textStyle = style;
    Invalidate();
}

RECT CListHeaderItemUI::SeparatorRect() const {
    const RECT& rc = m_rcItem;
    return m_sepWidth >= 0 ? RECT{rc.right - m_sepWidth, rc.top, rc.right, rc.bottom}
                           : RECT{rc.left, rc.top, rc.left - m_sepWidth, rc.bottom};
}

RECT CListHeaderItemUI::HitSeparatorRect() const {
    RECT rc = SeparatorRect();
    if (m_sepWidth >= 0) {
        rc.left -= 4;
    } else {
        rc.right += 4;
    }
    return rc;
}

void CListHeaderItemUI::HandleEvent(UIEvent& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (m_parent != nullptr) {
            m_parent->HandleEvent(event);
        } else {
            CControlUI::HandleEvent(event);
        }
        return;
    }
    switch (event.type) {
        case kEventSetFocus:
            m_state |= kHeaderFocused;
            Invalidate();
            return;
        case kEventKillFocus:
            m_state &= ~kHeaderFocused;
            Invalidate();
            return;
        case kEventButtonDown:
        case kEventDblClick:
            if (!IsEnabled()) {
                return;
            }
            if (m_dragable && plat::PtInRect(HitSeparatorRect(), event.mouse)) {
                m_state |= kHeaderDragging;
                m_lastMouse = event.mouse;
            } else {
                m_state |= kHeaderPushed;
                Notify("headerclick");
                Invalidate();
            }
            return;
        case kEventButtonUp:
            if ((m_state & kHeaderDragging) != 0) {
                m_state &= ~kHeaderDragging;
                NeedParentUpdate();
            } else if ((m_state & kHeaderPushed) != 0) {
                m_state &= ~kHeaderPushed;
                Invalidate();
            }
            return;
        case kEventMouseMove:
            if ((m_state & kHeaderDragging) != 0) {
                const int delta = event.mouse.x - m_lastMouse.x;
                const int width = Width() + (m_sepWidth >= 0 ? delta : -delta);
                if (MinWidth() < width) {
                    m_fixedSize.cx = width;
                    m_lastMouse = event.mouse;
                    // The header's parent (the list) lays its columns out again.
                    if (m_parent != nullptr) {
                        m_parent->NeedParentUpdate();
                    }
                }
            }
            return;
        case kEventSetCursor:
            if (IsEnabled() && m_dragable && plat::PtInRect(HitSeparatorRect(), event.mouse)) {
                plat::SetCursor(plat::LoadCursor(nullptr, plat::IDC_SIZEWE));
                return;
            }
            break;
        case kEventMouseEnter:
            if (IsEnabled()) {
                m_state |= kHeaderHot;
                Invalidate();
            }
            return;
        case kEventMouseLeave:
            if (IsEnabled()) {
                m_state &= ~kHeaderHot;
                Invalidate();
            }
            return;
        default:
            break;
    }
    CControlUI::HandleEvent(event);
}

void CListHeaderItemUI::SetAttribute(const char* name, const char* value) {
    auto image = [&](CUIString& field) {
        field = value;
        Invalidate();
    };
    if (Is(name, "dragable")) {
        SetDragable(ParseBool(value));
    } else if (Is(name, "sepwidth")) {
        m_sepWidth = static_cast<int>(std::strtol(value, nullptr, 10));
    } else if (Is(name, "align")) {
        m_textStyle = ApplyAlign(m_textStyle, value);
    } else if (Is(name, "endellipsis")) {
        m_textStyle = ApplyEndEllipsis(m_textStyle, value);
    } else if (Is(name, "font")) {
        m_font = static_cast<int>(std::strtol(value, nullptr, 10));
    } else if (Is(name, "textcolor")) {
        m_textColor = ParseColor(value);
    } else if (Is(name, "textpadding")) {
        m_textPadding = ParseRect(value);
        Invalidate();
    } else if (Is(name, "showhtml")) {
        const bool show = ParseBool(value);
        if (show != m_showHtml) {
            m_showHtml = show;
            Invalidate();
        }
    } else if (Is(name, "normalimage")) {
        image(m_normalImage);
    } else if (Is(name, "hotimage")) {
        image(m_hotImage);
    } else if (Is(name, "pushedimage")) {
        image(m_pushedImage);
    } else if (Is(name, "focusedimage")) {
        image(m_focusedImage);
    } else if (Is(name, "sepimage")) {
        image(m_sepImage);
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

SIZE CListHeaderItemUI::MeasureSize(SIZE) {
    if (m_fixedSize.cy != 0 || m_manager == nullptr) {
        return m_fixedSize;
    }
    return SIZE{m_fixedSize.cx, m_manager->GetDefaultFontInfo()->tm.tmHeight + 14};
}

void CListHeaderItemUI::PaintStatusImage(plat::HDC hDC) {
    CUIString* chosen = &m_normalImage;
    if ((m_state & kHeaderPushed) != 0) {
        chosen = &m_pushedImage;
    } else if ((m_state & kHeaderHot) != 0) {
        chosen = &m_hotImage;
    } else if ((m_state & kHeaderFocused) != 0) {
        chosen = &m_focusedImage;
    }
    if (chosen->IsEmpty()) {
        chosen = &m_normalImage;
    }
    DrawRowImage(this, hDC, *chosen);
    if (m_sepImage.IsEmpty()) {
        return;
    }
    const RECT sep = SeparatorRect();
    char modify[96];
    std::snprintf(modify, sizeof modify, "dest='%d,%d,%d,%d'", sep.left - m_rcItem.left,
                  sep.top - m_rcItem.top, sep.right - m_rcItem.left, sep.bottom - m_rcItem.top);
    m_sepImageModify = modify;
    if (!DrawImage(hDC, m_sepImage, m_sepImageModify.c_str())) {
        m_sepImage.Empty();
    }
}

void CListHeaderItemUI::PaintText(plat::HDC hDC) {
    if (m_text.IsEmpty()) {
        return;
    }
    if (m_textColor == 0 && m_manager != nullptr) {
        m_textColor = m_manager->GetDefaultFontColor();
    }
    RECT rc = Shrink(m_rcItem, m_textPadding);
    const plat::UINT style = m_textStyle | plat::DT_SINGLELINE;
    DrawLineText(hDC, m_manager, rc, m_text, m_textColor, m_font, style, m_showHtml);
}

// ---- CListBodyUI ------------------------------------------------------------------------------

CListBodyUI::CListBodyUI(CListUI* owner) : m_owner(owner) {}

const char* CListBodyUI::ClassName() const {
    return "ListBodyUI";
}

void CListBodyUI::SetPosition(RECT rc) {
    CVerticalLayoutUI::SetPosition(rc);
    // Rows are at least as wide as the columns of the header.
    const int headerWidth = HeaderWidth();
    if (headerWidth == 0) {
        return;
    }
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* row = GetItemAt(i);
        if (row->IsVisible() && !row->IsFloat() && row->Width() < headerWidth) {
            RECT pos = row->Position();
            pos.right = pos.left + headerWidth;
            row->SetPosition(pos);
        }
    }
}

int CListBodyUI::HeaderWidth() {
    CListHeaderUI* header = m_owner != nullptr ? m_owner->GetHeader() : nullptr;
    if (header == nullptr || header->GetCount() == 0) {
        return 0;
    }
    return header->MeasureSize(SIZE{Width(), Height()}).cx;
}

void CListBodyUI::ProcessScrollBar(RECT rc, int cxNeeded, int cyNeeded) {
    if (m_horizontalScrollBar != nullptr && !m_relayingOut) {
        cxNeeded = HeaderWidth();
        IScrollBarUI* bar = ScrollBarPart(m_horizontalScrollBar);
        const int range = cxNeeded - (rc.right - rc.left);
        const bool shown = m_horizontalScrollBar->IsVisible();
        bool again = false;
        if (range > 0 && (!shown || bar->ScrollRange() != range)) {
            m_horizontalScrollBar->SetVisible(true);
            bar->SetScrollRange(range);
            again = true;
        } else if (range <= 0 && shown) {
            m_horizontalScrollBar->SetVisible(false);
            bar->SetScrollPos(0);
            bar->SetScrollRange(0);
            again = true;
        }
        if (again) {
            // Lay out once more with the bar's height and range taken into account.
            m_relayingOut = true;
            SetPosition(m_rcItem);
            m_relayingOut = false;
            return;
        }
    }
    CVerticalLayoutUI::ProcessScrollBar(rc, cxNeeded, cyNeeded);
}

void CListBodyUI::HandleEvent(UIEvent& event) {
    if (m_owner != nullptr) {
        m_owner->HandleEvent(event);
    } else {
        CVerticalLayoutUI::HandleEvent(event);
    }
}

void CListBodyUI::SetScrollPosition(SIZE pos) {
    const SIZE old = ScrollPosition();
    CVerticalLayoutUI::SetScrollPosition(pos);
    const int dx = ScrollPosition().cx - old.cx;
    CListHeaderUI* header = m_owner != nullptr ? m_owner->GetHeader() : nullptr;
    if (dx == 0 || header == nullptr) {
        return;
    }
    for (int i = 0; i < header->GetCount(); ++i) {
        CControlUI* item = header->GetItemAt(i);
        if (item->IsVisible() && !item->IsFloat()) {
            item->SetPosition(plat::OffsetRect(item->Position(), -dx, 0));
        }
    }
    // The columns move at once, so the rows draw their texts under the header.
    ItemAppearance& a = *m_owner->GetItemAppearance();
    for (int i = 0; i < a.columns; ++i) {
        a.columnRects[i] = plat::OffsetRect(a.columnRects[i], -dx, 0);
    }
    header->Invalidate();
}

// ---- CListUI ----------------------------------------------------------------------------------

CListUI::CListUI() {
    m_header = new CListHeaderUI;
    m_body = new CListBodyUI(this);
    // The base's Add would come back through this class's AddAt, which routes to the body.
    CVerticalLayoutUI::AddAt(m_header, 0);
    CVerticalLayoutUI::AddAt(m_body, 1);
}

const char* CListUI::ClassName() const {
    return "ListUI";
}

void* CListUI::Interface(const char* name) {
    if (Is(name, "List")) {
        return this;
    }
    if (Is(name, "IList")) {
        return static_cast<IListUI*>(this);
    }
    if (Is(name, "IListOwner")) {
        return static_cast<IListOwnerUI*>(this);
    }
    if (Is(name, kAutomationStateInterface)) {
        return static_cast<IAutomationStateUI*>(this);
    }
    return CVerticalLayoutUI::Interface(name);
}

unsigned int CListUI::ControlFlags() const {
    return kFlagTabStop;
}

void CListUI::UpdateColumnCount() {
    m_appearance.columns = std::min(m_header->GetCount(), kMaxListColumns);
}

bool CListUI::Add(CControlUI* control) {
    if (control == nullptr) {
        return false;
    }
    if (control->Interface("ListHeader") != nullptr) {
        auto* header = static_cast<CListHeaderUI*>(control->Interface("ListHeader"));
        if (header == m_header) {
            return false; // already the header
        }
        // A header that already has columns is kept; the new one is refused (its caller still
        // owns it) instead of the old one being inserted a second time.
        if (m_header->GetCount() != 0) {
            return false;
        }
        CVerticalLayoutUI::Remove(m_header);
        m_header = header;
        UpdateColumnCount();
        return CVerticalLayoutUI::AddAt(m_header, 0);
    }
    if (std::strstr(control->ClassName(), "ListHeaderItemUI") != nullptr) {
        const bool added = m_header->Add(control);
        UpdateColumnCount();
        return added;
    }
    if (IListItemUI* row = AsListItem(control)) {
        row->SetOwner(this);
        row->SetIndex(m_body->GetCount());
    }
    return m_body->Add(control);
}

bool CListUI::AddAt(CControlUI* control, int index) {
    if (control == nullptr) {
        return false;
    }
    if (control->Interface("ListHeader") != nullptr ||
        std::strstr(control->ClassName(), "ListHeaderItemUI") != nullptr) {
        return Add(control);
    }
    if (!m_body->AddAt(control, index)) {
        return false;
    }
    if (IListItemUI* row = AsListItem(control)) {
        row->SetOwner(this);
    }
    const int at = m_body->GetItemIndex(control);
    RenumberRows(at);
    if (m_curSel >= at) {
        ++m_curSel;
    }
    return true;
}

void CListUI::RenumberRows(int from) {
    for (int i = std::max(0, from); i < m_body->GetCount(); ++i) {
        if (IListItemUI* row = AsListItem(m_body->GetItemAt(i))) {
            row->SetIndex(i);
        }
    }
}

void CListUI::AfterRowRemoved(int removedIndex) {
    RenumberRows(removedIndex);
    if (removedIndex == m_curSel) {
        // The nearest selectable row before the removed one (after it when there is none).
        m_curSel = -1;
        const int count = m_body->GetCount();
        if (count > 0) {
            SelectItem(m_body->FindSelectable(std::min(removedIndex - 1, count - 1), false));
        }
    } else if (removedIndex < m_curSel) {
        --m_curSel;
    }
    if (removedIndex == m_expandedItem) {
        m_expandedItem = -1;
    } else if (removedIndex < m_expandedItem) {
        --m_expandedItem;
    }
}

bool CListUI::Remove(CControlUI* control) {
    if (control == nullptr) {
        return false;
    }
    if (control == m_header || control == m_body) {
        return false; // the list's own parts stay
    }
    if (std::strstr(control->ClassName(), "ListHeaderItemUI") != nullptr &&
        m_header->GetItemIndex(control) >= 0) {
        const bool removed = m_header->Remove(control);
        UpdateColumnCount();
        return removed;
    }
    const int index = m_body->GetItemIndex(control);
    if (index < 0 || !m_body->Remove(control)) {
        return false;
    }
    AfterRowRemoved(index);
    return true;
}

bool CListUI::RemoveAt(int index) {
    if (!m_body->RemoveAt(index)) {
        return false;
    }
    AfterRowRemoved(index);
    return true;
}

void CListUI::RemoveAll() {
    m_curSel = -1;
    m_expandedItem = -1;
    m_body->RemoveAll();
}

CControlUI* CListUI::GetRowAt(int index) const {
    return m_body->GetItemAt(index);
}

int CListUI::GetRowCount() const {
    return m_body->GetCount();
}

int CListUI::GetRowIndex(CControlUI* row) const {
    return m_body->GetItemIndex(row);
}

bool CListUI::SetRowIndex(CControlUI* row, int index) {
    const int old = m_body->GetItemIndex(row);
    if (old < 0 || !m_body->SetItemIndex(row, index)) {
        return false;
    }
    RenumberRows(std::min(old, index));
    // The selection follows its row.
    for (int i = 0; i < m_body->GetCount(); ++i) {
        IListItemUI* item = AsListItem(m_body->GetItemAt(i));
        if (item != nullptr && item->IsSelected()) {
            m_curSel = i;
            break;
        }
    }
    return true;
}

bool CListUI::SelectItem(int index, bool takeFocus) {
    if (index == m_curSel) {
        return true;
    }
    const int old = m_curSel;
    if (m_curSel >= 0) {
        if (IListItemUI* row = AsListItem(GetRowAt(m_curSel))) {
            row->Select(false);
        }
        m_curSel = -1;
    }
    if (index < 0) {
        return false;
    }
    CControlUI* control = GetRowAt(index);
    IListItemUI* row = AsListItem(control);
    if (control == nullptr || row == nullptr || !control->IsVisible() || !control->IsEnabled()) {
        return false;
    }
    m_curSel = index;
    if (!row->Select(true)) {
        m_curSel = -1;
        return false;
    }
    EnsureSelectionVisible();
    if (takeFocus) {
        control->SetFocus();
    }
    Notify("itemselect", static_cast<plat::WPARAM>(m_curSel), static_cast<plat::LPARAM>(old));
    return true;
}

bool CListUI::ExpandItem(int index, bool expand) {
    if (m_expandedItem >= 0 && !m_appearance.multiExpandable) {
        if (IListItemUI* row = AsListItem(GetRowAt(m_expandedItem))) {
            row->Expand(false);
        }
        m_expandedItem = -1;
    }
    if (expand) {
        CControlUI* control = GetRowAt(index);
        IListItemUI* row = AsListItem(control);
        if (control == nullptr || row == nullptr || !control->IsVisible() || !row->Expand(true)) {
            return false;
        }
        m_expandedItem = index;
    }
    NeedUpdate();
    return true;
}

void CListUI::EnsureSelectionVisible() {
    CControlUI* row = m_curSel >= 0 ? GetRowAt(m_curSel) : nullptr;
    if (row == nullptr) {
        return;
    }
    const RECT item = row->Position();
    RECT body = m_body->Position();
    const RECT inset = m_body->Inset();
    body.top += inset.top;
    body.bottom -= inset.bottom;
    CControlUI* bar = m_body->HorizontalScrollBar();
    if (bar != nullptr && bar->IsVisible()) {
        body.bottom -= bar->FixedHeight();
    }
    int dy = 0;
    if (item.top < body.top) {
        dy = item.top - body.top;
    }
    if (item.bottom > body.bottom) {
        dy = item.bottom - body.bottom;
    }
    if (dy != 0) {
        const SIZE pos = m_body->ScrollPosition();
        m_body->SetScrollPosition(SIZE{pos.cx, pos.cy + dy});
    }
}

void CListUI::SelectStep(int from, bool forward) {
    // Past either end the selection stays where it is instead of being cleared.
    const int index = m_body->FindSelectable(from, forward);
    if (index >= 0) {
        SelectItem(index, true);
    }
}

void CListUI::HandleEvent(UIEvent& event) {
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (m_parent != nullptr) {
            m_parent->HandleEvent(event);
        } else {
            CVerticalLayoutUI::HandleEvent(event);
        }
        return;
    }
    switch (event.type) {
        case kEventSetFocus:
            m_focused = true;
            return;
        case kEventKillFocus:
            m_focused = false;
            return;
        case kEventKeyDown:
            switch (static_cast<unsigned char>(event.key)) {
                case plat::VK_RETURN:
                    if (m_curSel >= 0 && GetRowAt(m_curSel) != nullptr) {
                        GetRowAt(m_curSel)->Trigger();
                    }
                    return;
                case plat::VK_PRIOR:
                    PageUp();
                    return;
                case plat::VK_NEXT:
                    PageDown();
                    return;
                case plat::VK_END:
                    SelectStep(GetRowCount() - 1, false);
                    return;
                case plat::VK_HOME:
                    SelectStep(0, true);
                    return;
                case plat::VK_UP:
                    SelectStep(m_curSel - 1, false);
                    return;
                case plat::VK_DOWN:
                    SelectStep(m_curSel + 1, true);
                    return;
                default:
                    break;
            }
            break;
        case kEventScrollWheel:
            if (m_scrollSelect) {
                if (event.wParam == 0) {
                    SelectStep(m_curSel - 1, false);
                } else {
                    SelectStep(m_curSel + 1, true);
                }
            } else if (event.wParam == 0) {
                LineUp();
            } else {
                LineDown();
            }
            return;
        default:
            break;
    }
    CVerticalLayoutUI::HandleEvent(event);
}

void CListUI::SetPosition(RECT rc) {
    CVerticalLayoutUI::SetPosition(rc);
    UpdateColumnCount();
    if (!m_header->IsVisible()) {
        // Hidden, the header still places its items so the columns have their widths.
        const RECT inner = InnerRect();
        m_header->SetPosition(RECT{inner.left, inner.top, inner.right, inner.top});
    }
    // The header's items follow the body's horizontal scroll position, and the columns
    // are where they are.
    const int dx = m_body->ScrollPosition().cx;
    for (int i = 0; i < m_header->GetCount(); ++i) {
        CControlUI* item = m_header->GetItemAt(i);
        if (!item->IsVisible() || item->IsFloat()) {
            continue;
        }
        if (dx != 0) {
            item->SetPosition(plat::OffsetRect(item->Position(), -dx, 0));
        }
        if (i < m_appearance.columns) {
            m_appearance.columnRects[i] = item->Position();
        }
    }
}

void CListUI::SetAttribute(const char* name, const char* value) {
    if (Is(name, "header")) {
        m_header->SetVisible(!Is(value, "hidden"));
    } else if (Is(name, "headerbkimage")) {
        m_header->SetBkImage(value);
    } else if (Is(name, "scrollselect")) {
        m_scrollSelect = ParseBool(value);
    } else if (Is(name, "multiexpanding")) {
        m_appearance.multiExpandable = ParseBool(value);
    } else {
        switch (ApplyItemAttribute(m_appearance, name, value)) {
            case ItemAttributeChange::kNone:
                CVerticalLayoutUI::SetAttribute(name, value);
                break;
            case ItemAttributeChange::kRedraw:
                Invalidate();
                break;
            case ItemAttributeChange::kRelayout:
                NeedUpdate();
                break;
            case ItemAttributeChange::kUnchanged:
                break;
        }
    }
}

SIZE CListUI::ScrollPosition() const {
    return m_body->ScrollPosition();
}
SIZE CListUI::ScrollRange() const {
    return m_body->ScrollRange();
}
void CListUI::SetScrollPosition(SIZE pos) {
    m_body->SetScrollPosition(pos);
}
void CListUI::LineUp() {
    m_body->LineUp();
}
void CListUI::LineDown() {
    m_body->LineDown();
}
void CListUI::PageUp() {
    m_body->PageUp();
}
void CListUI::PageDown() {
    m_body->PageDown();
}
void CListUI::HomeUp() {
    m_body->HomeUp();
}
void CListUI::EndDown() {
    m_body->EndDown();
}
void CListUI::LineLeft() {
    m_body->LineLeft();
}
void CListUI::LineRight() {
    m_body->LineRight();
}
void CListUI::PageLeft() {
    m_body->PageLeft();
}
void CListUI::PageRight() {
    m_body->PageRight();
}
void CListUI::HomeLeft() {
    m_body->HomeLeft();
}
void CListUI::EndRight() {
    m_body->EndRight();
}
void CListUI::EnableScrollBar(bool vertical, bool horizontal) {
    m_body->EnableScrollBar(vertical, horizontal);
}
CControlUI* CListUI::VerticalScrollBar() const {
    return m_body->VerticalScrollBar();
}
CControlUI* CListUI::HorizontalScrollBar() const {
    return m_body->HorizontalScrollBar();
}

} // namespace Pane
