#include "pane/utils/WindowImplBase.h"

#include "pane/core/Automation.h"
#include "pane/core/Control.h"
#include "pane/dialogs/MessageBox.h"
#include "platform/backends/Headless.h"
#include "platform/base/NameCompare.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Pane {

// --- CNotifyPump ---------------------------------------------------------------------------

namespace {

const NotifyMapEntry kNoEntries[] = {{nullptr, nullptr, kNotifySigEnd, nullptr, nullptr}};

} // namespace

const NotifyMap* CNotifyPump::GetThisMessageMap() {
    static const NotifyMap map{nullptr, kNoEntries};
    return &map;
}

const NotifyMap* CNotifyPump::GetMessageMap() const {
    return GetThisMessageMap();
}

bool CNotifyPump::AddVirtualWnd(const char* name, CNotifyPump* pump) {
    if (name == nullptr || pump == nullptr || m_virtualWnds.Find(name) != nullptr)
        return false;
    return m_virtualWnds.Insert(name, pump);
}

bool CNotifyPump::RemoveVirtualWnd(const char* name) {
    return name != nullptr && m_virtualWnds.Remove(name);
}

void CNotifyPump::NotifyPump(NotifyMessage& msg) {
    if (!msg.virtualWnd.IsEmpty()) {
        for (int i = 0; i < m_virtualWnds.GetSize(); ++i) {
            const char* key = m_virtualWnds.GetAt(i);
            if (key == nullptr || msg.virtualWnd.CompareNoCase(key) != 0)
                continue;
            auto* pump = static_cast<CNotifyPump*>(m_virtualWnds.Find(key, false));
            if (pump != nullptr && pump->LoopDispatch(msg))
                return;
        }
    }
    LoopDispatch(msg);
}

bool CNotifyPump::LoopDispatch(NotifyMessage& msg) {
    const CUIString sender = msg.sender != nullptr ? msg.sender->Name() : CUIString();
    for (const NotifyMap* map = GetMessageMap(); map != nullptr;
         map = map->base != nullptr ? map->base() : nullptr) {
        const NotifyMapEntry* named = nullptr;
        const NotifyMapEntry* anyControl = nullptr;
        for (const NotifyMapEntry* entry = map->entries; entry->signature != kNotifySigEnd;
             ++entry) {
            if (msg.type != entry->type)
                continue;
            if (entry->control[0] == '\0') {
                anyControl = entry; // the last of these is taken
            } else if (sender == entry->control) {
                named = entry;
                break;
            }
        }
        const NotifyMapEntry* hit = named != nullptr ? named : anyControl;
        if (hit == nullptr)
            continue;
        if (hit->signature == kNotifySigParams && hit->onParams != nullptr) {
            hit->onParams(this, msg.wParam, msg.lParam);
            return true;
        }
        if (hit->signature == kNotifySigMsg && hit->onMsg != nullptr) {
            hit->onMsg(this, msg);
            return true;
        }
        return false;
    }
    return false;
}

// --- WindowImplBase ------------------------------------------------------------------------

PANE_BEGIN_MESSAGE_MAP(WindowImplBase, CNotifyPump)
PANE_END_MESSAGE_MAP()

namespace {

// The monitor nearest the window: its whole rectangle and work area.
bool MonitorOf(plat::HWND hWnd, plat::MONITORINFO* info) {
    info->cbSize = sizeof *info;
    return plat::GetMonitorInfo(plat::MonitorFromWindow(hWnd, plat::MONITOR_DEFAULTTONEAREST),
                                info);
}

// The answer of a handler that leaves the message to the manager and default handling.
plat::LRESULT NotHandled(bool& handled) {
    handled = false;
    return 0;
}

// Controls over which the caption band does not drag the window.
bool KeepsClicks(CControlUI* control) {
    const char* name = control->ClassName();
    return plat::SameName(name, "ButtonUI") || plat::SameName(name, "OptionUI") ||
           plat::SameName(name, "TextUI");
}

} // namespace

WindowImplBase::WindowImplBase(int width, int height)
    : m_markupWidth(width), m_markupHeight(height) {}

WindowImplBase::~WindowImplBase() {
    // A window must not outlive the object its procedure calls into.
    if (m_hWnd != nullptr && plat::IsWindow(m_hWnd))
        plat::DestroyWindow(m_hWnd);
}

CUIString WindowImplBase::BuiltinMarkup(int width, int height) {
    CUIString markup = "<Window caption=\"0,0,0,36\" roundcorner=\"5,5\"";
    CUIString size;
    size.Format(" size=\"%d,%d\" ", width, height);
    markup += size;
    markup += "sizebox=\"6,6,6,6\" defaultfontcolor=\"#FF386382\">"
              "<Font name=\"微软雅黑\" size=\"12\" default=\"true\" />"
              "<Font name=\"微软雅黑\" size=\"13\" bold=\"true\" />"
              "<Font name=\"微软雅黑\" size=\"11\" />"
              "<Default name=\"VScrollBar\" value=\"";
    // Each scroll bar part in its row of the skin picture, each state in its column.
    static const char* const kParts[] = {"button1", "button2", "thumb", "rail", "bk"};
    static const char* const kStates[] = {"normal", "hot", "pushed", "disabled"};
    for (int part = 0; part < 5; ++part) {
        const int y = 90 + part * 18;
        for (int state = 0; state < 4; ++state) {
            const int x = state * 18;
            char attribute[160];
            std::snprintf(attribute, sizeof attribute,
                          "%s%s%simage=&quot;res='159' restype='png' mask='#FFFF00FF' "
                          "source='%d,%d,%d,%d'%s&quot;",
                          part == 0 && state == 0 ? "" : " ", kParts[part], kStates[state], x, y,
                          x + 16, y + 16, part >= 2 ? " corner='2,2,2,2'" : "");
            markup += attribute;
        }
    }
    markup += "\" />"
              "<VerticalLayout name=\"main\" inset=\"2,2,2,2\" bkcolor=\"#FFD1E8F5\" "
              "bkcolor2=\"#FFC6E0F1\" bordersize=\"2\" bordercolor=\"#FF768D9B\" />"
              "</Window>";
    return markup;
}

plat::LRESULT WindowImplBase::MessageHandler(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM,
                                             bool& handled) {
    if (msg == plat::WM_KEYDOWN && (wParam == plat::VK_RETURN || wParam == plat::VK_ESCAPE)) {
        const plat::LRESULT result = ResponseDefaultKeyEvent(wParam);
        handled = result != 0;
        return result;
    }
    return 0;
}

void WindowImplBase::Notify(NotifyMessage& msg) {
    NotifyPump(msg);
}

CControlUI* WindowImplBase::CreateControl(const char*) {
    return nullptr;
}

const char* WindowImplBase::GetWindowClassName() const {
    return "^_^";
}

const char* WindowImplBase::GetSuperClassName() const {
    return nullptr;
}

plat::UINT WindowImplBase::GetClassStyle() const {
    return plat::CS_DBLCLKS;
}

void WindowImplBase::OnFinalMessage(plat::HWND) {
    m_pm.RemovePreMessageFilter(this);
    m_pm.RemoveNotifier(this);
    m_pm.ReapObjects(m_pm.GetRoot());
}

void WindowImplBase::InitWindow() {}

void WindowImplBase::OnPrepare(void*) {}

CUIString WindowImplBase::GetSkinFolder() {
    return {};
}

CUIString WindowImplBase::GetSkinFile() {
    return {};
}

plat::LRESULT WindowImplBase::ResponseDefaultKeyEvent(plat::WPARAM key) {
    if (key == plat::VK_ESCAPE) {
        Close(1);
        return 1;
    }
    return 0;
}

int WindowImplBase::GetResourceType() const {
    return kBuiltinMarkup;
}

CUIString WindowImplBase::GetSkinArchive() {
    return {};
}

const char* WindowImplBase::GetResourceId() const {
    return "";
}

plat::LRESULT WindowImplBase::OnClose(plat::UINT, plat::WPARAM, plat::LPARAM, bool& handled) {
    return NotHandled(handled);
}

plat::LRESULT WindowImplBase::OnDestroy(plat::UINT, plat::WPARAM, plat::LPARAM, bool& handled) {
    return NotHandled(handled);
}

plat::LRESULT WindowImplBase::OnNcActivate(plat::UINT, plat::WPARAM wParam, plat::LPARAM,
                                           bool& handled) {
    // Minimised, the default handling draws the task bar's button; otherwise there is no frame
    // to draw active or inactive.
    if (plat::IsIconic(m_hWnd))
        return NotHandled(handled);
    return wParam == 0 ? 1 : 0;
}

plat::LRESULT WindowImplBase::OnNcCalcSize(plat::UINT, plat::WPARAM, plat::LPARAM lParam, bool&) {
    // The client area is the whole window: there is no frame to take off. A maximised window
    // fills the work area exactly.
    plat::RECT work;
    if (lParam != 0 && plat::IsZoomed(m_hWnd) && plat::GetMonitorWorkArea(m_hWnd, &work)) {
        // With wParam TRUE the first rectangle of the parameters is the proposed client area,
        // with FALSE the single rectangle given: either way a rectangle at lParam.
        auto* proposed = reinterpret_cast<plat::RECT*>(lParam);
        proposed->right = proposed->left + (work.right - work.left);
        proposed->bottom = proposed->top + (work.bottom - work.top);
        return plat::WVR_REDRAW;
    }
    return 0;
}

plat::LRESULT WindowImplBase::OnNcPaint(plat::UINT, plat::WPARAM, plat::LPARAM, bool&) {
    return 0;
}

plat::LRESULT WindowImplBase::OnNcHitTest(plat::UINT, plat::WPARAM, plat::LPARAM lParam, bool&) {
    plat::POINT pt{plat::GET_X_LPARAM(lParam), plat::GET_Y_LPARAM(lParam)};
    plat::ScreenToClient(m_hWnd, &pt);
    plat::RECT client;
    plat::GetClientRect(m_hWnd, &client);
    const plat::RECT caption = m_pm.GetCaptionRect();
    if (pt.x < client.left + caption.left || pt.x >= client.right - caption.right)
        return plat::HTCLIENT;
    if (pt.y >= caption.top && pt.y < caption.bottom) {
        CControlUI* control = m_pm.FindControl(pt);
        if (control != nullptr && !KeepsClicks(control))
            return plat::HTCAPTION;
    }
    return plat::HTCLIENT;
}

plat::LRESULT WindowImplBase::OnGetMinMaxInfo(plat::UINT, plat::WPARAM, plat::LPARAM lParam,
                                              bool& handled) {
    handled = false;
    auto* info = reinterpret_cast<plat::MINMAXINFO*>(lParam);
    plat::MONITORINFO monitor;
    if (info == nullptr || !MonitorOf(m_hWnd, &monitor))
        return 0;
    const plat::RECT& work = monitor.rcWork;
    info->ptMaxPosition =
        plat::POINT{work.left - monitor.rcMonitor.left, work.top - monitor.rcMonitor.top};
    info->ptMaxSize = plat::POINT{work.right - work.left, work.bottom - work.top};
    info->ptMinTrackSize = plat::POINT{m_pm.GetMinInfo().cx, m_pm.GetMinInfo().cy};
    return 0;
}

plat::LRESULT WindowImplBase::OnMouseWheel(plat::UINT, plat::WPARAM, plat::LPARAM, bool& handled) {
    return NotHandled(handled);
}

plat::LRESULT WindowImplBase::OnMouseHover(plat::UINT, plat::WPARAM, plat::LPARAM, bool& handled) {
    return NotHandled(handled);
}

plat::LRESULT WindowImplBase::OnSize(plat::UINT, plat::WPARAM wParam, plat::LPARAM, bool& handled) {
    const plat::SIZE round = m_pm.GetRoundCorner();
    if (wParam != plat::SIZE_MINIMIZED && (round.cx != 0 || round.cy != 0)) {
        plat::RECT rc;
        plat::GetWindowRect(m_hWnd, &rc);
        const plat::RECT region{0, 0, rc.right - rc.left + 1, rc.bottom - rc.top + 1};
        plat::SetWindowRgn(m_hWnd, region, round.cx, round.cy, true);
    }
    // The manager lays the tree out for the new size too.
    return NotHandled(handled);
}

plat::LRESULT WindowImplBase::OnChar(plat::UINT, plat::WPARAM, plat::LPARAM, bool& handled) {
    return NotHandled(handled);
}

plat::LRESULT WindowImplBase::OnSysCommand(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                           bool&) {
    if (wParam == plat::SC_CLOSE) {
        // Closing from the system menu ends the whole program's message loop.
        plat::PostQuitMessage(0);
        return 0;
    }
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

plat::LRESULT WindowImplBase::OnCreate(plat::UINT, plat::WPARAM, plat::LPARAM, bool&) {
    plat::SetWindowLongPtr(m_hWnd, plat::GWL_STYLE, GetStyle() | kStyleAdd);
    plat::RECT rc;
    plat::GetClientRect(m_hWnd, &rc);
    plat::SetWindowPos(m_hWnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                       plat::SWP_FRAMECHANGED);

    m_pm.Init(m_hWnd);
    m_pm.AddPreMessageFilter(this);
    StartAutomation();

    if (CUIManager::GetResourcePath().IsEmpty())
        CUIManager::SetResourcePath((CUIManager::GetInstancePath() + GetSkinFolder()).GetData());

    CUIBuilder builder;
    CControlUI* root = nullptr;
    if (GetResourceType() == kBuiltinMarkup) {
        const CUIString markup = BuiltinMarkup(m_markupWidth, m_markupHeight);
        root = builder.Create(markup.GetData(), nullptr, this, &m_pm);
    } else {
        const CUIString skin = GetSkinFile();
        root = builder.Create(skin.GetData(), nullptr, this, &m_pm);
    }
    if (root == nullptr) {
        // A window without its tree cannot go on. The line on standard error stays for
        // consoles and logs; the message box is shown wherever someone can answer it (the
        // headless backend has no one to press OK, and would wait for ever).
        std::fprintf(stderr, "%s: %s\n", kLoadFailedCaption, kLoadFailedText);
        std::fflush(nullptr);
        if (!plat::headless::Active())
            CMessageBoxWnd::Show(plat::GetWindow(m_hWnd, plat::GW_OWNER), kLoadFailedText,
                                 kLoadFailedCaption, MessageIcon::Error);
        std::_Exit(1);
    }

    m_pm.AttachDialog(root);
    m_pm.AddNotifier(this);
    m_pm.SetBackgroundTransparent(true);
    InitWindow();
    return 0;
}

plat::LRESULT WindowImplBase::OnKeyDown(plat::UINT, plat::WPARAM, plat::LPARAM, bool& handled) {
    return NotHandled(handled);
}

plat::LRESULT WindowImplBase::OnKeyUp(plat::UINT, plat::WPARAM, plat::LPARAM, bool& handled) {
    return NotHandled(handled);
}

plat::LRESULT WindowImplBase::OnKillFocus(plat::UINT, plat::WPARAM, plat::LPARAM, bool& handled) {
    return NotHandled(handled);
}

plat::LRESULT WindowImplBase::OnSetFocus(plat::UINT, plat::WPARAM, plat::LPARAM, bool& handled) {
    return NotHandled(handled);
}

plat::LRESULT WindowImplBase::OnLButtonDown(plat::UINT, plat::WPARAM, plat::LPARAM, bool& handled) {
    return NotHandled(handled);
}

plat::LRESULT WindowImplBase::OnLButtonUp(plat::UINT, plat::WPARAM, plat::LPARAM, bool& handled) {
    return NotHandled(handled);
}

plat::LRESULT WindowImplBase::OnMouseMove(plat::UINT, plat::WPARAM, plat::LPARAM, bool& handled) {
    return NotHandled(handled);
}

plat::LRESULT WindowImplBase::HandleCustomMessage(plat::UINT, plat::WPARAM, plat::LPARAM,
                                                  bool& handled) {
    return NotHandled(handled);
}

plat::LONG_PTR WindowImplBase::GetStyle() {
    return plat::GetWindowLongPtr(m_hWnd, plat::GWL_STYLE) & kStyleMask;
}

plat::LRESULT WindowImplBase::HandleMessage(plat::UINT msg, plat::WPARAM wParam,
                                            plat::LPARAM lParam) {
    plat::LRESULT result = 0;
    bool handled = true;
    switch (msg) {
        case plat::WM_CREATE:
            result = OnCreate(msg, wParam, lParam, handled);
            break;
        case plat::WM_CLOSE:
            result = OnClose(msg, wParam, lParam, handled);
            break;
        case plat::WM_DESTROY:
            result = OnDestroy(msg, wParam, lParam, handled);
            break;
        case plat::WM_NCACTIVATE:
            result = OnNcActivate(msg, wParam, lParam, handled);
            break;
        case plat::WM_NCCALCSIZE:
            result = OnNcCalcSize(msg, wParam, lParam, handled);
            break;
        case plat::WM_NCPAINT:
            result = OnNcPaint(msg, wParam, lParam, handled);
            break;
        case plat::WM_NCHITTEST:
            result = OnNcHitTest(msg, wParam, lParam, handled);
            break;
        case plat::WM_GETMINMAXINFO:
            result = OnGetMinMaxInfo(msg, wParam, lParam, handled);
            break;
        case plat::WM_MOUSEWHEEL:
            result = OnMouseWheel(msg, wParam, lParam, handled);
            break;
        case plat::WM_SIZE:
            result = OnSize(msg, wParam, lParam, handled);
            break;
        case plat::WM_CHAR:
            result = OnChar(msg, wParam, lParam, handled);
            break;
        case plat::WM_SYSCOMMAND:
            result = OnSysCommand(msg, wParam, lParam, handled);
            break;
        case plat::WM_KEYDOWN:
            result = OnKeyDown(msg, wParam, lParam, handled);
            break;
        case plat::WM_KEYUP:
            result = OnKeyUp(msg, wParam, lParam, handled);
            break;
        case plat::WM_KILLFOCUS:
            result = OnKillFocus(msg, wParam, lParam, handled);
            break;
        case plat::WM_SETFOCUS:
            result = OnSetFocus(msg, wParam, lParam, handled);
            break;
        case plat::WM_LBUTTONUP:
            result = OnLButtonUp(msg, wParam, lParam, handled);
            break;
        case plat::WM_LBUTTONDOWN:
            result = OnLButtonDown(msg, wParam, lParam, handled);
            break;
        case plat::WM_MOUSEMOVE:
            result = OnMouseMove(msg, wParam, lParam, handled);
            break;
        case plat::WM_MOUSEHOVER:
            result = OnMouseHover(msg, wParam, lParam, handled);
            break;
        case plat::WM_NCLBUTTONDBLCLK:
            // No maximising by a double click on the caption.
            result = 0;
            break;
        default:
            handled = false;
            break;
    }
    if (handled)
        return result;
    result = HandleCustomMessage(msg, wParam, lParam, handled);
    if (handled)
        return result;
    if (m_pm.MessageHandler(msg, wParam, lParam, result))
        return result;
    return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

} // namespace Pane
