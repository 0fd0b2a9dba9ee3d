#include "pane/controls/Combo.h"

#include "pane/core/Render.h"
#include "pane/layouts/VerticalLayout.h"
#include "platform/base/Messages.h"
#include "platform/gfx/Text.h"

#include <cstdlib>
#include <cstring>

namespace Pane {

using plat::LPARAM;
using plat::LRESULT;
using plat::RECT;
using plat::SIZE;
using plat::UINT;
using plat::WPARAM;

namespace {

IListItemUI* ListItemOf(CControlUI* control) {
    return control != nullptr ? static_cast<IListItemUI*>(control->Interface("ListItem")) : nullptr;
}

RECT Shrink(RECT rc, const RECT& by) {
    rc.left += by.left;
    rc.top += by.top;
    rc.right -= by.right;
    rc.bottom -= by.bottom;
    return rc;
}

// Maps a rectangle from the client area of `hwnd` to the screen.
RECT ToScreen(plat::HWND hwnd, RECT rc) {
    plat::POINT topLeft{rc.left, rc.top};
    plat::POINT bottomRight{rc.right, rc.bottom};
    plat::ClientToScreen(hwnd, &topLeft);
    plat::ClientToScreen(hwnd, &bottomRight);
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

RECT ParseRect4(const char* value) {
    int parts[4] = {};
    ParseInts(value, parts, 4);
    return RECT{parts[0], parts[1], parts[2], parts[3]};
}

} // namespace

// ---------------------------------------------------------------------------------------------
// CComboWnd

const char* CComboWnd::GetWindowClassName() const {
    return "ComboWnd";
}

UINT CComboWnd::GetClassStyle() const {
    return plat::CS_DROPSHADOW;
}

bool CComboWnd::Init(CComboUI* owner) {
    CUIManager* manager = owner != nullptr ? owner->Manager() : nullptr;
    if (manager == nullptr || manager->GetPaintWindow() == nullptr)
        return false;
    m_owner = owner;
    m_oldSel = owner->m_curSel;
    const plat::HWND host = manager->GetPaintWindow();

    const SIZE box = owner->m_dropBoxSize;
    const RECT owned = owner->Position();
    RECT rc = owned;
    rc.top = owned.bottom;
    rc.bottom = rc.top + box.cy;
    if (box.cx > 0)
        rc.right = rc.left + box.cx;

    const SIZE available{rc.right - rc.left, rc.bottom - rc.top};
    int needed = 0;
    for (int i = 0; i < owner->GetCount(); ++i) {
        CControlUI* child = owner->GetItemAt(i);
        if (child->IsVisible())
            needed += child->MeasureSize(available).cy;
    }
    const int height = needed + 4 < box.cy ? needed + 4 : box.cy;
    rc.bottom = rc.top + height;
    rc = ToScreen(host, rc);

    // The pop-up's own handle does not exist yet: the monitor asked about falls back to the
    // primary one, whose work area decides whether the list opens upwards.
    plat::MONITORINFO info;
    info.cbSize = sizeof(info);
    plat::GetMonitorInfo(plat::MonitorFromWindow(m_hWnd, plat::MONITOR_DEFAULTTOPRIMARY), &info);
    if (rc.bottom > info.rcWork.bottom) {
        rc = owned;
        if (box.cx > 0)
            rc.right = rc.left + box.cx;
        rc.bottom = owned.top;
        rc.top = owned.top - height;
        rc = ToScreen(host, rc);
    }

    if (Create(host, "", plat::WS_POPUP, plat::WS_EX_TOOLWINDOW, rc) == nullptr)
        return false;
    plat::ShowWindow(m_hWnd, plat::SW_SHOW);
    // The main window keeps its active caption while its pop-up has the focus.
    const plat::HWND top = plat::GetAncestorTopLevel(host);
    if (top != nullptr)
        plat::SendMessage(top, plat::WM_NCACTIVATE, 1, 0);
    return true;
}

LRESULT CComboWnd::OnCreate() {
    CUIManager* ownerManager = m_owner->Manager();
    m_manager.Init(m_hWnd);
    m_manager.UseParentResource(ownerManager);
    m_layout = new CVerticalLayoutUI;
    // Attached now so that its attributes find the manager; it becomes the root at the end.
    m_layout->SetManager(&m_manager, nullptr, false);
    if (const char* defaults = ownerManager->GetDefaultAttributeList("VerticalLayout"))
        m_layout->ApplyAttributeList(defaults);
    m_layout->SetInset(RECT{1, 1, 1, 1});
    m_layout->SetBkColor(0xFFFFFFFF);
    m_layout->SetBorderColor(0xFFC6C7D2);
    m_layout->SetBorderSize(1);
    m_layout->SetAutoDestroy(false);
    m_layout->EnableScrollBar(true, false);
    m_layout->ApplyAttributeList(m_owner->m_dropBoxAttributes.GetData());
    for (int i = 0; i < m_owner->GetCount(); ++i)
        m_layout->Add(m_owner->GetItemAt(i));
    m_manager.AttachDialog(m_layout);
    return 0;
}

void CComboWnd::ReturnChildren() {
    if (m_returned || m_owner == nullptr)
        return;
    m_returned = true;
    // The layout keeps pointers to the items but must no longer reach them: the owner is the
    // only container that holds them from here on.
    if (m_layout != nullptr)
        m_layout->RemoveAll();
    m_owner->SetManager(m_owner->Manager(), m_owner->Parent(), false);
    m_owner->SetPosition(m_owner->Position());
    m_owner->SetFocus();
}

void CComboWnd::EnsureVisible(int index) {
    if (m_owner == nullptr || m_layout == nullptr || index < 0)
        return;
    CControlUI* item = m_owner->GetItemAt(index);
    if (item == nullptr)
        return;
    const RECT rcItem = item->Position();
    RECT rcList = m_layout->Position();
    CControlUI* hbar = m_layout->HorizontalScrollBar();
    if (hbar != nullptr && hbar->IsVisible())
        rcList.bottom -= hbar->FixedHeight();
    int dy = 0;
    if (rcItem.top < rcList.top)
        dy = rcItem.top - rcList.top;
    if (rcItem.bottom > rcList.bottom)
        dy = rcItem.bottom - rcList.bottom;
    if (dy != 0) {
        SIZE pos = m_layout->ScrollPosition();
        pos.cy += dy;
        m_layout->SetScrollPosition(pos);
    }
}

LRESULT CComboWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case plat::WM_CREATE:
            return OnCreate();
        case plat::WM_KILLFOCUS:
            if (reinterpret_cast<plat::HWND>(wParam) != m_hWnd)
                PostMessage(plat::WM_CLOSE);
            break;
        case plat::WM_CLOSE:
            ReturnChildren();
            break;
        case plat::WM_KEYDOWN:
            if (wParam == static_cast<WPARAM>(plat::VK_RETURN)) {
                PostMessage(plat::WM_KILLFOCUS);
                return 0;
            }
            if (wParam == static_cast<WPARAM>(plat::VK_ESCAPE)) {
                m_owner->SelectItem(m_oldSel, true);
                EnsureVisible(m_oldSel);
                PostMessage(plat::WM_KILLFOCUS);
                return 0;
            }
            {
                UIEvent event;
                event.type = kEventKeyDown;
                event.key = static_cast<char>(wParam);
                event.wParam = wParam;
                event.timestamp = plat::GetTickCount();
                m_owner->HandleOwnerEvent(event);
                EnsureVisible(m_owner->GetCurSel());
            }
            return 0;
        case plat::WM_LBUTTONUP: {
            plat::POINT pt{static_cast<short>(plat::LOWORD(lParam)),
                           static_cast<short>(plat::HIWORD(lParam))};
            CControlUI* hit = m_manager.FindControl(pt);
            if (hit != nullptr && std::strcmp(hit->ClassName(), "ScrollBarUI") != 0)
                PostMessage(plat::WM_KILLFOCUS);
            break;
        }
        case plat::WM_MOUSEWHEEL: {
            const int delta = static_cast<short>(plat::HIWORD(wParam));
            UIEvent event;
            event.type = kEventScrollWheel;
            event.wParam = delta < 0 ? 1 : 0;
            event.lParam = lParam;
            event.timestamp = plat::GetTickCount();
            m_owner->HandleOwnerEvent(event);
            EnsureVisible(m_owner->GetCurSel());
            return 0;
        }
        default:
            break;
    }
    LRESULT result = 0;
    if (msg != plat::WM_CLOSE && m_manager.MessageHandler(msg, wParam, lParam, result))
        return result;
    return CallDefault(msg, wParam, lParam);
}

void CComboWnd::OnFinalMessage(plat::HWND) {
    ReturnChildren();
    if (m_owner != nullptr) {
        m_owner->m_window = nullptr;
        m_owner->m_state &= ~CComboUI::kStatePushed;
        m_owner->Invalidate();
    }
    delete this;
}

void CComboWnd::Release(CControlUI* control) {
    if (m_returned || m_layout == nullptr)
        return;
    m_layout->Remove(control);
    m_manager.ReapObjects(control);
    control->SetManager(m_owner->Manager(), m_owner, false);
}

void CComboWnd::Abandon() {
    if (m_layout != nullptr)
        m_layout->RemoveAll();
    // The items go with their combo, under the combo's manager: none may keep a pointer to this
    // window's manager, which goes with the window before the items do.
    if (m_owner != nullptr && !m_returned) {
        for (int i = 0; i < m_owner->GetCount(); ++i) {
            CControlUI* item = m_owner->GetItemAt(i);
            m_manager.ReapObjects(item);
            item->SetManager(m_owner->Manager(), m_owner, false);
        }
    }
    m_returned = true;
    m_owner = nullptr;
    if (m_hWnd != nullptr && plat::IsWindow(m_hWnd))
        plat::DestroyWindow(m_hWnd);
}

// ---------------------------------------------------------------------------------------------
// CComboUI

CComboUI::CComboUI() = default;

CComboUI::~CComboUI() {
    // The open pop-up holds the items in its layout: it lets go of them before they go.
    if (m_window != nullptr) {
        CComboWnd* window = m_window;
        m_window = nullptr;
        window->Abandon();
    }
}

const char* CComboUI::ClassName() const {
    return "ComboUI";
}

void* CComboUI::Interface(const char* name) {
    if (name != nullptr) {
        if (std::strcmp(name, "Combo") == 0)
            return static_cast<CComboUI*>(this);
        if (std::strcmp(name, "IListOwner") == 0)
            return static_cast<IListOwnerUI*>(this);
        if (std::strcmp(name, kAutomationStateInterface) == 0)
            return static_cast<IAutomationStateUI*>(this);
    }
    return CContainerUI::Interface(name);
}

unsigned int CComboUI::ControlFlags() const {
    return kFlagTabStop;
}

bool CComboUI::Trigger() {
    if (!IsVisible() || !IsEnabled())
        return false;
    if (m_window != nullptr)
        return true;
    auto* window = new CComboWnd;
    m_window = window;
    if (!window->Init(this)) {
        // Nothing was created, so no final message will free it.
        m_window = nullptr;
        delete window;
        return false;
    }
    Notify("dropdown", 0, 0);
    Invalidate();
    return true;
}

CUIString CComboUI::GetText() const {
    if (!m_standInText.IsEmpty())
        return m_standInText;
    if (m_curSel < 0)
        return CUIString();
    CControlUI* item = GetItemAt(m_curSel);
    return item != nullptr ? item->GetText() : CUIString();
}

void CComboUI::SetEnabled(bool enabled) {
    CContainerUI::SetEnabled(enabled);
    if (!IsEnabled())
        m_state = 0;
}

void CComboUI::Renumber(int from) {
    for (int i = from < 0 ? 0 : from; i < GetCount(); ++i) {
        if (IListItemUI* item = ListItemOf(GetItemAt(i)))
            item->SetIndex(i);
    }
}

bool CComboUI::Add(CControlUI* control) {
    return AddAt(control, GetCount());
}

bool CComboUI::AddAt(CControlUI* control, int index) {
    if (!CContainerUI::AddAt(control, index))
        return false;
    m_standInText.Empty();
    if (IListItemUI* item = ListItemOf(control)) {
        item->SetOwner(this);
        item->SetIndex(index);
    }
    Renumber(index + 1);
    if (m_curSel >= index)
        ++m_curSel;
    return true;
}

bool CComboUI::SetItemIndex(CControlUI* control, int index) {
    const int old = GetItemIndex(control);
    if (old == -1 || old == index)
        return old != -1 && CContainerUI::SetItemIndex(control, index);
    const int selected = m_curSel;
    if (!CContainerUI::SetItemIndex(control, index))
        return false;
    const int low = old < index ? old : index;
    const int high = old < index ? index : old;
    // The selection follows its item: the moved one, or one shifted by the move.
    if (selected == old)
        m_curSel = index;
    else if (selected >= low && selected <= high)
        m_curSel += old < index ? -1 : 1;
    for (int i = low; i <= high && i < GetCount(); ++i) {
        if (IListItemUI* item = ListItemOf(GetItemAt(i)))
            item->SetIndex(i);
    }
    return true;
}

void CComboUI::AfterRemove(int index) {
    m_standInText.Empty();
    Renumber(index);
    if (index == m_curSel) {
        // The nearest selectable item before the removed one; the item that moved into its
        // place only when none is before it.
        m_curSel = -1;
        if (GetCount() > 0) {
            const int last = GetCount() - 1;
            const int from = index - 1 > last ? last : index - 1;
            SelectItem(FindSelectable(from < 0 ? 0 : from, false));
        }
    } else if (index < m_curSel) {
        --m_curSel;
    }
}

bool CComboUI::Remove(CControlUI* control) {
    const int index = GetItemIndex(control);
    if (index < 0)
        return false;
    if (m_window != nullptr)
        m_window->Release(control);
    if (!CContainerUI::Remove(control))
        return false;
    AfterRemove(index);
    return true;
}

bool CComboUI::RemoveAt(int index) {
    CControlUI* control = GetItemAt(index);
    return control != nullptr && Remove(control);
}

void CComboUI::RemoveAll() {
    m_curSel = -1;
    m_standInText.Empty();
    if (m_window != nullptr) {
        for (int i = 0; i < GetCount(); ++i)
            m_window->Release(GetItemAt(i));
    }
    CContainerUI::RemoveAll();
}

ItemAppearance* CComboUI::GetItemAppearance() {
    return &m_appearance;
}

int CComboUI::GetCurSel() const {
    return m_curSel;
}

bool CComboUI::SelectItem(int index, bool takeFocus) {
    // Any change of selection closes the drop-down.
    if (m_window != nullptr && plat::IsWindow(m_window->GetHWND()))
        m_window->PostMessage(plat::WM_CLOSE, 1);
    if (index == m_curSel)
        return true;
    m_standInText.Empty();
    const int old = m_curSel;
    if (m_curSel >= 0) {
        CControlUI* current = GetItemAt(m_curSel);
        if (current == nullptr)
            return false;
        if (IListItemUI* item = ListItemOf(current))
            item->Select(false);
        m_curSel = -1;
    }
    if (index < 0 || GetCount() == 0)
        return false;
    if (index >= GetCount())
        index = GetCount() - 1;
    CControlUI* control = GetItemAt(index);
    IListItemUI* item = ListItemOf(control);
    if (control == nullptr || !control->IsVisible() || !control->IsEnabled() || item == nullptr)
        return false;
    m_curSel = index;
    if (m_window != nullptr || takeFocus)
        control->SetFocus();
    item->Select(true);
    Notify("itemselect", static_cast<WPARAM>(m_curSel), static_cast<LPARAM>(old));
    Invalidate();
    return true;
}

void CComboUI::HandleOwnerEvent(UIEvent& event) {
    HandleEvent(event);
}

void CComboUI::HandleEvent(UIEvent& event) {
    if (!IsMouseEnabled() && event.type > kEventMouseBegin && event.type < kEventMouseEnd) {
        if (m_parent != nullptr)
            m_parent->HandleEvent(event);
        else
            CContainerUI::HandleEvent(event);
        return;
    }
    switch (event.type) {
        case kEventSetFocus:
        case kEventKillFocus:
            Invalidate();
            break;
        case kEventButtonDown:
            if (IsEnabled()) {
                Trigger();
                m_state |= kStateCaptured | kStatePushed;
            }
            return;
        case kEventButtonUp:
            if ((m_state & kStateCaptured) != 0) {
                m_state &= ~kStateCaptured;
                Invalidate();
            }
            return;
        case kEventMouseMove:
        case kEventContextMenu:
            return;
        case kEventKeyDown:
            switch (event.wParam) {
                case plat::VK_PRIOR:
                case plat::VK_UP:
                    SelectItem(FindSelectable(m_curSel - 1, false));
                    return;
                case plat::VK_NEXT:
                case plat::VK_DOWN:
                    SelectItem(FindSelectable(m_curSel + 1, true));
                    return;
                case plat::VK_END:
                    SelectItem(FindSelectable(GetCount() - 1, true));
                    return;
                case plat::VK_HOME:
                    SelectItem(FindSelectable(0, false));
                    return;
                case plat::VK_F4:
                    Trigger();
                    return;
                default:
                    break;
            }
            break;
        case kEventScrollWheel:
            if (event.wParam == 1)
                SelectItem(FindSelectable(m_curSel + 1, true));
            else
                SelectItem(FindSelectable(m_curSel - 1, false));
            return;
        case kEventMouseEnter:
            if (plat::PtInRect(m_rcItem, event.mouse)) {
                m_state |= kStateHot;
                Invalidate();
            }
            return;
        case kEventMouseLeave:
            if ((m_state & kStateHot) != 0) {
                m_state &= ~kStateHot;
                Invalidate();
            }
            return;
        default:
            break;
    }
    CControlUI::HandleEvent(event);
}

void CComboUI::SetTextPadding(RECT rc) {
    m_textPadding = rc;
    Invalidate();
}

void CComboUI::SetDropBoxAttributeList(const char* list) {
    m_dropBoxAttributes = list != nullptr ? list : "";
}

void CComboUI::SetDropBoxSize(SIZE size) {
    m_dropBoxSize = size;
}

void CComboUI::SetStandInText(const char* text) {
    m_standInText = text != nullptr ? text : "";
    Invalidate();
}

void CComboUI::SetAttribute(const char* name, const char* value) {
    auto is = [name](const char* n) { return std::strcmp(name, n) == 0; };
    auto image = [this, value](CUIString& field) {
        field = value;
        Invalidate();
    };
    if (is("textpadding")) {
        SetTextPadding(ParseRect4(value));
    } else if (is("normalimage")) {
        image(m_normalImage);
    } else if (is("hotimage")) {
        image(m_hotImage);
    } else if (is("pushedimage")) {
        image(m_pushedImage);
    } else if (is("focusedimage")) {
        image(m_focusedImage);
    } else if (is("disabledimage")) {
        image(m_disabledImage);
    } else if (is("dropbox")) {
        SetDropBoxAttributeList(value);
    } else if (is("dropboxsize")) {
        int parts[2] = {};
        ParseInts(value, parts, 2);
        SetDropBoxSize(SIZE{parts[0], parts[1]});
    } else {
        const ItemAttributeChange change = ApplyItemAttribute(m_appearance, name, value);
        if (change == ItemAttributeChange::kNone)
            CContainerUI::SetAttribute(name, value);
        else if (change != ItemAttributeChange::kUnchanged)
            Invalidate();
    }
}

void CComboUI::SetPosition(RECT rc) {
    // The items live in the pop-up; here they take no room.
    for (int i = 0; i < GetCount(); ++i)
        GetItemAt(i)->SetPosition(RECT{0, 0, 0, 0});
    CControlUI::SetPosition(rc);
}

SIZE CComboUI::MeasureSize(SIZE) {
    if (m_fixedSize.cy != 0 || m_manager == nullptr)
        return SIZE{m_fixedSize.cx, m_fixedSize.cy};
    const FontInfo* info = m_manager->GetFontInfo(-1);
    return SIZE{m_fixedSize.cx, (info != nullptr ? info->tm.tmHeight : 0) + 12};
}

void CComboUI::Paint(plat::HDC hDC, const RECT& rcPaint) {
    CControlUI::Paint(hDC, rcPaint);
}

void CComboUI::SyncState() {
    if (IsFocused())
        m_state |= kStateFocused;
    else
        m_state &= ~kStateFocused;
    if (!IsEnabled())
        m_state |= kStateDisabled;
    else
        m_state &= ~kStateDisabled;
}

bool CComboUI::DrawStateImage(plat::HDC hDC, CUIString& image, const char* modify) {
    if (image.IsEmpty())
        return false;
    if (DrawImage(hDC, image.GetData(), modify))
        return true;
    image.Empty();
    return false;
}

void CComboUI::PaintStatusImage(plat::HDC hDC) {
    SyncState();
    CUIString* state = nullptr;
    if ((m_state & kStateDisabled) != 0)
        state = &m_disabledImage;
    else if ((m_state & kStatePushed) != 0)
        state = &m_pushedImage;
    else if ((m_state & kStateHot) != 0)
        state = &m_hotImage;
    else if ((m_state & kStateFocused) != 0)
        state = &m_focusedImage;
    if (state != nullptr && DrawStateImage(hDC, *state))
        return;
    DrawStateImage(hDC, m_normalImage);
}

void CComboUI::PaintText(plat::HDC hDC) {
    PaintItemText(hDC, Shrink(m_rcItem, m_textPadding));
}

void CComboUI::PaintItemText(plat::HDC hDC, RECT rcText) {
    if (!m_standInText.IsEmpty()) {
        // Drawn the way the selected item draws itself.
        RECT rc = Shrink(rcText, m_appearance.textPadding);
        CUIRender::DrawText(hDC, m_manager, rc, m_standInText.GetData(),
                            m_appearance.selectedTextColor, m_appearance.font,
                            m_appearance.textStyle | plat::DT_SINGLELINE);
        return;
    }
    if (m_curSel < 0)
        return;
    CControlUI* control = GetItemAt(m_curSel);
    if (control == nullptr)
        return;
    if (IListItemUI* item = ListItemOf(control)) {
        item->DrawItemText(hDC, rcText);
        return;
    }
    const RECT old = control->Position();
    control->SetPosition(rcText);
    control->Paint(hDC, rcText);
    control->SetPosition(old);
}

} // namespace Pane
