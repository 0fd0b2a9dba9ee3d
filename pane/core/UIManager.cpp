#include "pane/core/UIManager.h"

#include "pane/core/ResourcePath.h"
#include "platform/base/Rect.h"
#include "platform/sys/ProgramFolder.h"

#include <cctype>
#include <cstring>

namespace Pane {

using plat::HWND;
using plat::POINT;
using plat::RECT;
using plat::UINT;

namespace {

// Process-wide state: the managers in the order they were attached, the module instance and
// the hook run after every paint pass.
CUIPtrArray& Managers() {
    static CUIPtrArray managers;
    return managers;
}

plat::HINSTANCE g_instance = nullptr;
CUIManager::PaintHook g_paintHook = nullptr;

CControlUI* FindControlFromPoint(CControlUI* control, void* data) {
    return plat::PtInRect(control->Position(), *static_cast<POINT*>(data)) ? control : nullptr;
}

CControlUI* FindControlFromName(CControlUI* control, void* data) {
    const char* name = static_cast<const char*>(data);
    return control->Name() == name ? control : nullptr;
}

// The tab walk: remembers the last tab stop seen and picks the one after (forward) or before
// (backward) the focused control.
struct TabSearch {
    CControlUI* focus = nullptr;
    CControlUI* last = nullptr;
    bool forward = true;
    bool nextIsIt = false;
};

CControlUI* FindControlFromTab(CControlUI* control, void* data) {
    auto* search = static_cast<TabSearch*>(data);
    if (control == search->focus) {
        if (search->forward) {
            search->nextIsIt = true;
        }
        return search->forward ? nullptr : search->last;
    }
    if ((control->ControlFlags() & kFlagTabStop) == 0) {
        return nullptr;
    }
    search->last = control;
    if (search->nextIsIt || search->focus == nullptr) {
        return control;
    }
    return nullptr;
}

} // namespace

CUIManager::CUIManager() = default;

CUIManager::~CUIManager() {
    RunDelayedCleanup();
    // The tree goes first: its controls reap themselves from this manager as they go.
    delete m_root;
    m_root = nullptr;
    RemoveAllDefaultAttributeList();
    RemoveAllOptionGroups();
    RemoveAllTimers();
    if (m_hwndTooltip != nullptr && plat::IsWindow(m_hwndTooltip)) {
        plat::DestroyWindow(m_hwndTooltip);
    }
    m_hwndTooltip = nullptr;
    m_offscreenDc.reset();
    if (m_hDcPaint != nullptr) {
        plat::ReleaseDC(m_hWnd, m_hDcPaint);
    }
    const int index = Managers().Find(this);
    if (index >= 0) {
        Managers().Remove(index);
    }
}

void CUIManager::Init(HWND hWnd) {
    if (m_hDcPaint != nullptr) {
        plat::ReleaseDC(m_hWnd, m_hDcPaint);
    }
    m_hWnd = hWnd;
    m_hDcPaint = plat::GetDC(hWnd);
    if (Managers().Find(this) < 0) {
        Managers().Add(this);
    }
}

void CUIManager::NeedUpdate() {
    m_updateNeeded = true;
}

void CUIManager::Invalidate(const RECT& rc) {
    if (m_hWnd != nullptr) {
        plat::InvalidateRect(m_hWnd, &rc, false);
    }
}

void CUIManager::Invalidate() {
    if (m_hWnd != nullptr) {
        plat::InvalidateRect(m_hWnd, nullptr, false);
    }
}

plat::SIZE CUIManager::GetClientSize() const {
    RECT rc;
    plat::GetClientRect(m_hWnd, &rc);
    return plat::SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

void CUIManager::SetInitSize(int cx, int cy) {
    m_initSize = plat::SIZE{cx, cy};
    // Before the tree exists the window takes the size at once, where it is, without coming
    // forward.
    if (m_root == nullptr && m_hWnd != nullptr) {
        plat::SetWindowPos(m_hWnd, nullptr, 0, 0, cx, cy,
                           plat::SWP_NOZORDER | plat::SWP_NOMOVE | plat::SWP_NOACTIVATE);
    }
}

void CUIManager::SetMinInfo(int cx, int cy) {
    if (cx >= 0 && cy >= 0) {
        m_minInfo = plat::SIZE{cx, cy};
    }
}

void CUIManager::SetMaxInfo(int cx, int cy) {
    if (cx >= 0 && cy >= 0) {
        m_maxInfo = plat::SIZE{cx, cy};
    }
}

void CUIManager::SetTransparent(int alpha) {
    if (m_hWnd == nullptr) {
        return;
    }
    alpha = alpha < 0 ? 0 : (alpha > 255 ? 255 : alpha);
    const auto exStyle =
        static_cast<plat::DWORD>(plat::GetWindowLongPtr(m_hWnd, plat::GWL_EXSTYLE));
    if ((exStyle & plat::WS_EX_LAYERED) == 0) {
        plat::SetWindowLongPtr(m_hWnd, plat::GWL_EXSTYLE, exStyle | plat::WS_EX_LAYERED);
    }
    // The platform offers the call directly; there is no library to look it up in.
    plat::SetLayeredWindowAttributes(m_hWnd, 0, static_cast<plat::BYTE>(alpha), plat::LWA_ALPHA);
}

void CUIManager::SetBackgroundTransparent(bool on) {
    m_bkTrans = on;
}

plat::HINSTANCE CUIManager::GetInstance() {
    return g_instance;
}

void CUIManager::SetInstance(plat::HINSTANCE instance) {
    g_instance = instance;
}

CUIString CUIManager::GetInstancePath() {
    const std::string folder = plat::GetProgramFolder();
    if (folder.empty()) {
        return CUIString();
    }
    CUIString path(folder.c_str());
    if (folder.back() != '/') {
        path += "/";
    }
    return path;
}

const CUIString& CUIManager::GetResourcePath() {
    return Pane::GetResourcePath();
}

void CUIManager::SetResourcePath(const char* path) {
    Pane::SetResourcePath(path);
}

int CUIManager::GetManagerCount() {
    return Managers().GetSize();
}

CUIManager* CUIManager::GetManager(int index) {
    return static_cast<CUIManager*>(Managers().GetAt(index));
}

void CUIManager::SetPaintHook(PaintHook hook) {
    g_paintHook = hook;
}

void CUIManager::RunPaintHook(CUIManager* manager) {
    if (g_paintHook != nullptr) {
        g_paintHook(manager);
    }
}

bool CUIManager::UseParentResource(CUIManager* parent) {
    // A chain that leads back here would make every lookup endless.
    for (CUIManager* m = parent; m != nullptr; m = m->m_parentResource) {
        if (m == this) {
            return false;
        }
    }
    m_parentResource = parent;
    return true;
}

CUIManager* CUIManager::TopManager() {
    CUIManager* top = this;
    while (top->m_parentResource != nullptr) {
        top = top->m_parentResource;
    }
    return top;
}

const CUIManager* CUIManager::TopManager() const {
    return const_cast<CUIManager*>(this)->TopManager();
}

uint32_t CUIManager::GetDefaultDisabledColor() const {
    return TopManager()->m_resources.GetDefaultDisabledColor();
}

void CUIManager::SetDefaultDisabledColor(uint32_t color) {
    m_resources.SetDefaultDisabledColor(color);
}

uint32_t CUIManager::GetDefaultFontColor() const {
    return TopManager()->m_resources.GetDefaultFontColor();
}

void CUIManager::SetDefaultFontColor(uint32_t color) {
    m_resources.SetDefaultFontColor(color);
}

uint32_t CUIManager::GetDefaultLinkFontColor() const {
    return TopManager()->m_resources.GetDefaultLinkFontColor();
}

void CUIManager::SetDefaultLinkFontColor(uint32_t color) {
    m_resources.SetDefaultLinkFontColor(color);
}

uint32_t CUIManager::GetDefaultLinkHoverFontColor() const {
    return TopManager()->m_resources.GetDefaultLinkHoverFontColor();
}

void CUIManager::SetDefaultLinkHoverFontColor(uint32_t color) {
    m_resources.SetDefaultLinkHoverFontColor(color);
}

uint32_t CUIManager::GetDefaultSelectedBkColor() const {
    return TopManager()->m_resources.GetDefaultSelectedBkColor();
}

void CUIManager::SetDefaultSelectedBkColor(uint32_t color) {
    m_resources.SetDefaultSelectedBkColor(color);
}

const FontInfo* CUIManager::GetDefaultFontInfo() {
    return TopManager()->m_resources.GetDefaultFontInfo();
}

bool CUIManager::SetDefaultFont(const char* faceName, int size, bool bold, bool underline,
                                bool italic) {
    return m_resources.SetDefaultFont(faceName, size, bold, underline, italic);
}

int CUIManager::GetCustomFontCount() const {
    return m_resources.GetFontCount();
}

plat::HFONT CUIManager::AddFont(const char* faceName, int size, bool bold, bool underline,
                                bool italic) {
    return m_resources.AddFont(faceName, size, bold, underline, italic);
}

plat::HFONT CUIManager::GetFont(int index) {
    if (index >= 0 && index < m_resources.GetFontCount()) {
        return m_resources.GetFont(index);
    }
    return GetDefaultFontInfo()->hFont;
}

plat::HFONT CUIManager::FindFont(const char* faceName, int size, bool bold, bool underline,
                                 bool italic) {
    for (CUIManager* m = this; m != nullptr; m = m->m_parentResource) {
        if (plat::HFONT font = m->m_resources.FindFont(faceName, size, bold, underline, italic)) {
            return font;
        }
    }
    return nullptr;
}

const FontInfo* CUIManager::GetFontInfo(int index) {
    if (index >= 0 && index < m_resources.GetFontCount()) {
        return m_resources.GetFontInfo(index);
    }
    return GetDefaultFontInfo();
}

const FontInfo* CUIManager::GetFontInfo(plat::HFONT font) {
    for (CUIManager* m = this; m != nullptr; m = m->m_parentResource) {
        if (const FontInfo* info = m->m_resources.GetFontInfo(font)) {
            return info;
        }
    }
    return nullptr;
}

const ImageInfo* CUIManager::GetImage(const char* name) const {
    return m_resources.GetImage(name);
}

const ImageInfo* CUIManager::GetImageEx(const char* name, const char* type, uint32_t mask) {
    return m_resources.GetImageEx(name, type, mask);
}

const ImageInfo* CUIManager::AddImage(const char* name, const char* type, uint32_t mask) {
    return m_resources.AddImage(name, type, mask);
}

const ImageInfo* CUIManager::AddImage(const char* name, std::unique_ptr<ImageInfo> image) {
    return m_resources.AddImage(name, std::move(image));
}

bool CUIManager::AddDefaultAttributeList(const char* controlName, const char* list) {
    if (controlName == nullptr || list == nullptr ||
        m_defaultAttrLists.Find(controlName, false) != nullptr) {
        return false;
    }
    auto* text = new CUIString(list);
    if (!m_defaultAttrLists.Insert(controlName, text)) {
        delete text;
        return false;
    }
    return true;
}

const char* CUIManager::GetDefaultAttributeList(const char* controlName) const {
    if (controlName == nullptr) {
        return nullptr;
    }
    for (const CUIManager* m = this; m != nullptr; m = m->m_parentResource) {
        if (auto* text = static_cast<CUIString*>(m->m_defaultAttrLists.Find(controlName))) {
            return text->GetData();
        }
    }
    return nullptr;
}

bool CUIManager::RemoveDefaultAttributeList(const char* controlName) {
    auto* text = static_cast<CUIString*>(m_defaultAttrLists.Find(controlName, false));
    if (text == nullptr) {
        return false;
    }
    delete text;
    return m_defaultAttrLists.Remove(controlName);
}

void CUIManager::RemoveAllDefaultAttributeList() {
    for (int i = 0; i < m_defaultAttrLists.GetSize(); ++i) {
        delete static_cast<CUIString*>(m_defaultAttrLists.Find(m_defaultAttrLists[i], false));
    }
    m_defaultAttrLists.Resize();
}

bool CUIManager::AttachDialog(CControlUI* control) {
    SetFocus(nullptr);
    m_eventKey = nullptr;
    m_eventHover = nullptr;
    m_eventClick = nullptr;
    if (m_root != nullptr) {
        m_postPaintControls.Empty();
        AddDelayedCleanup(m_root);
    }
    m_root = control;
    m_updateNeeded = true;
    m_firstLayout = true;
    m_focusNeeded = true;
    return InitControls(control);
}

bool CUIManager::InitControls(CControlUI* control, CControlUI* parent) {
    if (control == nullptr) {
        return false;
    }
    CControlUI* owner = parent != nullptr ? parent : control->Parent();
    control->SetManager(this, owner, true);
    // A control without a parent (the root) is initialised here: SetManager initialises only
    // controls that have one, and every control of the tree is initialised once.
    if (owner == nullptr) {
        control->Init();
    }
    // Scroll bars come before children and a container after its children, so a later name
    // replaces an earlier one in that order.
    control->FindControl(
        [](CControlUI* c, void* data) -> CControlUI* {
            const CUIString name = c->Name();
            if (!name.IsEmpty()) {
                static_cast<CUIStringMap*>(data)->Set(name, c);
            }
            return nullptr;
        },
        &m_nameHash, kFindAll);
    return true;
}

void CUIManager::ReapObjects(CControlUI* control) {
    if (control == nullptr) {
        return;
    }
    if (control == m_eventKey) {
        m_eventKey = nullptr;
    }
    if (control == m_eventHover) {
        m_eventHover = nullptr;
    }
    if (control == m_eventClick) {
        m_eventClick = nullptr;
    }
    if (control == m_focus) {
        m_focus = nullptr;
    }
    KillTimer(control);
    // A control gone must not be painted over the tree later.
    const int postPaint = m_postPaintControls.Find(control);
    if (postPaint >= 0) {
        m_postPaintControls.Remove(postPaint);
    }
    const CUIString name = control->Name();
    if (!name.IsEmpty() && m_nameHash.Find(name, false) == control) {
        m_nameHash.Remove(name);
    }
}

CControlUI* CUIManager::FindControl(POINT pt) const {
    return m_root != nullptr ? m_root->FindControl(FindControlFromPoint, &pt,
                                                   kFindVisible | kFindHitTest | kFindTopFirst)
                             : nullptr;
}

CControlUI* CUIManager::FindControl(const char* name) const {
    return name != nullptr ? static_cast<CControlUI*>(m_nameHash.Find(name)) : nullptr;
}

CControlUI* CUIManager::FindSubControlByPoint(CControlUI* parent, POINT pt) const {
    if (parent == nullptr) {
        return FindControl(pt);
    }
    return parent->FindControl(FindControlFromPoint, &pt,
                               kFindVisible | kFindHitTest | kFindTopFirst);
}

CControlUI* CUIManager::FindSubControlByName(CControlUI* parent, const char* name) const {
    if (parent == nullptr) {
        parent = m_root;
    }
    if (parent == nullptr || name == nullptr) {
        return nullptr;
    }
    return parent->FindControl(FindControlFromName, const_cast<char*>(name), kFindAll);
}

bool CUIManager::AddOptionGroup(const char* groupName, CControlUI* control) {
    if (groupName == nullptr || control == nullptr) {
        return false;
    }
    if (auto* group = static_cast<CUIPtrArray*>(m_optionGroups.Find(groupName))) {
        if (group->Find(control) >= 0) {
            return false;
        }
        return group->Add(control);
    }
    auto* group = new CUIPtrArray(6);
    group->Add(control);
    if (!m_optionGroups.Insert(groupName, group)) {
        delete group;
        return false;
    }
    return true;
}

CUIPtrArray* CUIManager::GetOptionGroup(const char* groupName) {
    return groupName != nullptr ? static_cast<CUIPtrArray*>(m_optionGroups.Find(groupName))
                                : nullptr;
}

void CUIManager::RemoveOptionGroup(const char* groupName, CControlUI* control) {
    auto* group = GetOptionGroup(groupName);
    if (group == nullptr) {
        return;
    }
    const int index = group->Find(control);
    if (index >= 0) {
        group->Remove(index);
    }
    if (group->IsEmpty()) {
        delete group;
        m_optionGroups.Remove(groupName);
    }
}

void CUIManager::RemoveAllOptionGroups() {
    for (int i = 0; i < m_optionGroups.GetSize(); ++i) {
        delete static_cast<CUIPtrArray*>(m_optionGroups.Find(m_optionGroups[i], false));
    }
    m_optionGroups.Resize();
}

void CUIManager::SendEvent(CControlUI* control, int type, CControlUI* sender, plat::WPARAM wParam,
                           plat::LPARAM lParam, uint16_t keyState, char key) {
    UIEvent event;
    event.type = type;
    event.sender = sender;
    event.timestamp = plat::GetTickCount();
    event.mouse = m_lastMouse;
    event.key = key;
    event.keyState = keyState;
    event.wParam = wParam;
    event.lParam = lParam;
    control->DispatchEvent(event);
}

void CUIManager::DropFocus(CControlUI* next) {
    if (m_focus == nullptr) {
        return;
    }
    CControlUI* old = m_focus;
    SendEvent(old, kEventKillFocus, next);
    SendNotify(old, "killfocus");
    m_focus = nullptr;
}

void CUIManager::SetFocus(CControlUI* control) {
    if (m_hWnd != nullptr && plat::GetFocus() != m_hWnd && control != m_focus) {
        plat::SetFocus(m_hWnd);
    }
    if (control == m_focus) {
        return;
    }
    DropFocus(control);
    if (control == nullptr || control->Manager() != this || !control->IsVisible() ||
        !control->IsEnabled()) {
        return;
    }
    m_focus = control;
    SendEvent(control, kEventSetFocus, control);
    SendNotify(control, "setfocus");
}

void CUIManager::SetFocusNeeded(CControlUI* control) {
    if (m_hWnd != nullptr) {
        plat::SetFocus(m_hWnd);
    }
    if (control == nullptr) {
        return;
    }
    DropFocus(control);
    TabSearch search;
    search.focus = control;
    search.forward = false;
    if (m_root != nullptr) {
        m_root->FindControl(FindControlFromTab, &search,
                            kFindVisible | kFindEnabled | kFindMeFirst);
    }
    // Only the reference: the forward tab move at the next paint starts after this control.
    m_focus = search.last;
    m_focusNeeded = true;
    if (m_root != nullptr) {
        m_root->NeedUpdate();
    }
}

bool CUIManager::SetNextTabControl(bool forward) {
    if (m_updateNeeded && forward) {
        // The layout is not done: the move waits for the next paint.
        m_focusNeeded = true;
        Invalidate();
        return true;
    }
    if (m_root == nullptr) {
        m_focusNeeded = false;
        return false;
    }
    const uint32_t flags = kFindVisible | kFindEnabled | kFindMeFirst;
    TabSearch first;
    first.focus = m_focus;
    first.forward = forward;
    CControlUI* next = m_root->FindControl(FindControlFromTab, &first, flags);
    if (next == nullptr) {
        if (forward) {
            // Past the last tab stop: wrap to the first.
            TabSearch wrap;
            wrap.forward = true;
            next = m_root->FindControl(FindControlFromTab, &wrap, flags);
        } else {
            next = first.last;
        }
    }
    if (next != nullptr) {
        SetFocus(next);
    }
    m_focusNeeded = false;
    return true;
}

void CUIManager::SetCapture() {
    if (m_hWnd != nullptr) {
        plat::SetCapture(m_hWnd);
    }
    m_mouseCapture = true;
}

void CUIManager::ReleaseCapture() {
    plat::ReleaseCapture();
    m_mouseCapture = false;
}

plat::UINT_PTR CUIManager::NextTimerId() {
    // The counter runs modulo 255. An id still held by a record of this window (live, or
    // killed and kept for a restart) is passed over, and so is 0: two timers under one id
    // would replace each other.
    for (int tries = 0; tries < 256; ++tries) {
        m_timerId = (m_timerId + 1) % 255;
        bool taken = m_timerId == 0;
        for (const auto& timer : m_timers) {
            taken = taken || (timer->hWnd == m_hWnd && timer->id == m_timerId);
        }
        if (!taken) {
            return m_timerId;
        }
    }
    return 0;
}

bool CUIManager::SetTimer(CControlUI* control, UINT key, UINT elapseMs) {
    if (control == nullptr || m_hWnd == nullptr) {
        return false;
    }
    for (const auto& timer : m_timers) {
        if (timer->control == control && timer->hWnd == m_hWnd && timer->key == key) {
            if (!timer->killed) {
                return false;
            }
            if (plat::SetTimer(m_hWnd, timer->id, elapseMs) == 0) {
                return false;
            }
            timer->killed = false;
            return true;
        }
    }
    const plat::UINT_PTR id = NextTimerId();
    if (id == 0 || plat::SetTimer(m_hWnd, id, elapseMs) == 0) {
        return false;
    }
    auto timer = std::make_unique<TimerInfo>();
    timer->control = control;
    timer->key = key;
    timer->hWnd = m_hWnd;
    timer->id = id;
    m_timers.push_back(std::move(timer));
    return true;
}

bool CUIManager::KillTimer(CControlUI* control, UINT key) {
    for (const auto& timer : m_timers) {
        if (timer->control == control && timer->hWnd == m_hWnd && timer->key == key &&
            !timer->killed) {
            if (plat::IsWindow(m_hWnd)) {
                plat::KillTimer(timer->hWnd, timer->id);
            }
            timer->killed = true;
            return true;
        }
    }
    return false;
}

void CUIManager::KillTimer(CControlUI* control) {
    for (auto it = m_timers.begin(); it != m_timers.end();) {
        if ((*it)->control == control && (*it)->hWnd == m_hWnd) {
            if (!(*it)->killed && plat::IsWindow(m_hWnd)) {
                plat::KillTimer((*it)->hWnd, (*it)->id);
            }
            it = m_timers.erase(it);
        } else {
            ++it;
        }
    }
}

void CUIManager::RemoveAllTimers() {
    for (const auto& timer : m_timers) {
        if (!timer->killed && plat::IsWindow(timer->hWnd)) {
            plat::KillTimer(timer->hWnd, timer->id);
        }
    }
    m_timers.clear();
}

namespace {

bool AddOnce(CUIPtrArray& list, void* item) {
    return item != nullptr && list.Find(item) < 0 && list.Add(item);
}

bool RemoveFrom(CUIPtrArray& list, void* item) {
    const int index = list.Find(item);
    return index >= 0 && list.Remove(index);
}

} // namespace

bool CUIManager::AddNotifier(INotifyUI* notifier) {
    return AddOnce(m_notifiers, notifier);
}

bool CUIManager::RemoveNotifier(INotifyUI* notifier) {
    return RemoveFrom(m_notifiers, notifier);
}

void CUIManager::SendNotify(NotifyMessage& msg) {
    msg.mouse = m_lastMouse;
    msg.timestamp = plat::GetTickCount();
    if (m_usedVirtualWnd && msg.sender != nullptr) {
        msg.virtualWnd = msg.sender->GetVirtualWnd();
    }
    if (msg.sender != nullptr) {
        msg.sender->OnNotify(&msg);
    }
    // A listener may add or remove listeners (itself included) while it is called: the walk
    // goes on after the listener just called, wherever it now stands.
    for (int i = 0; i < m_notifiers.GetSize();) {
        auto* listener = static_cast<INotifyUI*>(m_notifiers[i]);
        listener->Notify(msg);
        const int now = m_notifiers.Find(listener);
        i = now >= 0 ? now + 1 : i;
    }
}

void CUIManager::SendNotify(CControlUI* control, const char* type, plat::WPARAM wParam,
                            plat::LPARAM lParam) {
    NotifyMessage msg;
    msg.type = type;
    msg.sender = control;
    msg.wParam = wParam;
    msg.lParam = lParam;
    SendNotify(msg);
}

bool CUIManager::AddPreMessageFilter(IMessageFilterUI* filter) {
    return AddOnce(m_preMessageFilters, filter);
}

bool CUIManager::RemovePreMessageFilter(IMessageFilterUI* filter) {
    return RemoveFrom(m_preMessageFilters, filter);
}

bool CUIManager::AddMessageFilter(IMessageFilterUI* filter) {
    return AddOnce(m_messageFilters, filter);
}

bool CUIManager::RemoveMessageFilter(IMessageFilterUI* filter) {
    return RemoveFrom(m_messageFilters, filter);
}

bool CUIManager::AddPostPaint(CControlUI* control) {
    return AddOnce(m_postPaintControls, control);
}

bool CUIManager::RemovePostPaint(CControlUI* control) {
    return RemoveFrom(m_postPaintControls, control);
}

void CUIManager::AddDelayedCleanup(CControlUI* control) {
    if (control == nullptr) {
        return;
    }
    control->SetManager(this, nullptr, false);
    if (m_delayedCleanup.Find(control) < 0) {
        m_delayedCleanup.Add(control);
    }
    if (m_hWnd != nullptr) {
        plat::PostMessage(m_hWnd, kMsgDelayedCleanup, 0, 0);
    }
}

void CUIManager::RunDelayedCleanup() {
    // Destroying a control may queue more: they wait for the next round.
    CUIPtrArray doomed(m_delayedCleanup);
    m_delayedCleanup.Empty();
    for (int i = 0; i < doomed.GetSize(); ++i) {
        delete static_cast<CControlUI*>(doomed[i]);
    }
}

bool CUIManager::AddTranslateAccelerator(ITranslateAccelerator* translator) {
    return AddOnce(m_translateAccelerators, translator);
}

bool CUIManager::RemoveTranslateAccelerator(ITranslateAccelerator* translator) {
    return RemoveFrom(m_translateAccelerators, translator);
}

bool CUIManager::TranslateAccelerator(plat::MSG* msg) {
    for (int i = 0; i < m_translateAccelerators.GetSize(); ++i) {
        auto* translator = static_cast<ITranslateAccelerator*>(m_translateAccelerators[i]);
        if (translator->TranslateAccelerator(msg) == 0) {
            return true;
        }
    }
    return false;
}

bool CUIManager::TranslateMessage(const plat::MSG* msg) {
    if (msg == nullptr || msg->hwnd == nullptr) {
        return false;
    }
    const auto style = static_cast<plat::DWORD>(plat::GetWindowLongPtr(msg->hwnd, plat::GWL_STYLE));
    const bool child = (style & plat::WS_CHILD) != 0;
    for (int i = 0; i < Managers().GetSize(); ++i) {
        CUIManager* manager = GetManager(i);
        bool mine = manager->m_hWnd == msg->hwnd;
        // A child window's message belongs to the manager of any window above it.
        for (HWND w = child ? plat::GetParent(msg->hwnd) : nullptr; w != nullptr && !mine;
             w = plat::GetParent(w)) {
            mine = w == manager->m_hWnd;
        }
        if (!mine) {
            continue;
        }
        plat::MSG copy = *msg;
        if (manager->TranslateAccelerator(&copy)) {
            return true;
        }
        plat::LRESULT result = 0;
        return manager->PreMessageHandler(msg->message, msg->wParam, msg->lParam, result);
    }
    return false;
}

void CUIManager::MessageLoop() {
    plat::MSG msg;
    while (plat::GetMessage(&msg, nullptr, 0, 0) != 0) {
        if (!TranslateMessage(&msg)) {
            plat::TranslateMessage(&msg);
            plat::DispatchMessage(&msg);
        }
    }
}

uint16_t CUIManager::KeyStateFromKeyboard() {
    uint16_t state = 0;
    if (plat::GetKeyState(plat::VK_CONTROL) < 0) {
        state |= kKeyStateControl;
    }
    if (plat::GetKeyState(plat::VK_RBUTTON) < 0) {
        state |= kKeyStateRButton;
    }
    if (plat::GetKeyState(plat::VK_LBUTTON) < 0) {
        state |= kKeyStateLButton;
    }
    if (plat::GetKeyState(plat::VK_SHIFT) < 0) {
        state |= kKeyStateShift;
    }
    if (plat::GetKeyState(plat::VK_MENU) < 0) {
        state |= kKeyStateAlt;
    }
    return state;
}

} // namespace Pane
