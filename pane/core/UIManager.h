#pragma once
// CUIManager: one per native window. Owns the window's control tree and what its controls share:
// turns native mouse, keyboard, focus, timer and paint messages into control events, keeps
// hover, capture and focus, lays out and paints the tree through an off-screen bitmap, delivers
// notifications to listeners, passes messages through filters, and keeps fonts, images, colours,
// default attribute lists, option groups and timers. A process-wide list of managers routes
// queued messages. UI thread only; no locks.

#include "pane/core/Control.h"
#include "pane/core/RenderHost.h"
#include "pane/core/ResourceRecord.h"
#include "pane/utils/PtrArray.h"
#include "pane/utils/StringMap.h"
#include "pane/utils/UIString.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/win/Tooltip.h"
#include "platform/win/Window.h"

#include <memory>
#include <vector>

namespace Pane {

// The notification record, delivered synchronously to listeners.
struct NotifyMessage {
    CUIString type;
    CUIString virtualWnd;
    CControlUI* sender = nullptr;
    plat::DWORD timestamp = 0;
    plat::POINT mouse;
    plat::WPARAM wParam = 0;
    plat::LPARAM lParam = 0;
};

class INotifyUI {
public:
    virtual void Notify(NotifyMessage& msg) = 0;

protected:
    ~INotifyUI() = default;
};

// A filter sees messages before the manager; setting handled stops them and gives the result.
class IMessageFilterUI {
public:
    virtual plat::LRESULT MessageHandler(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                         bool& handled) = 0;

protected:
    ~IMessageFilterUI() = default;
};

// Offered each queued message first; a result of 0 means handled.
class ITranslateAccelerator {
public:
    virtual plat::LRESULT TranslateAccelerator(plat::MSG* msg) = 0;

protected:
    ~ITranslateAccelerator() = default;
};

// One control timer: the control's own key and the platform id it runs under.
struct TimerInfo {
    CControlUI* control = nullptr;
    plat::UINT key = 0;
    plat::HWND hWnd = nullptr;
    plat::UINT_PTR id = 0;
    bool killed = false;
};

// The message that runs the delayed clean-up.
constexpr plat::UINT kMsgDelayedCleanup = 0x8001;

class CUIManager : public IRenderHost {
public:
    CUIManager();
    ~CUIManager() override;
    CUIManager(const CUIManager&) = delete;
    CUIManager& operator=(const CUIManager&) = delete;

    // Attaches to the window: keeps the handle and its device context and joins the
    // process-wide list.
    void Init(plat::HWND hWnd);
    plat::HWND GetPaintWindow() const { return m_hWnd; }
    plat::HDC GetPaintDC() const { return m_hDcPaint; }
    plat::HWND GetTooltipWindow() const { return m_hwndTooltip; }

    // Marks the tree for layout at the next paint.
    void NeedUpdate();
    void Invalidate(const plat::RECT& rc);
    void Invalidate();

    plat::POINT GetMousePos() const override { return m_lastMouse; }
    plat::SIZE GetClientSize() const;
    plat::SIZE GetInitSize() const { return m_initSize; }
    void SetInitSize(int cx, int cy);
    plat::RECT GetSizeBox() const { return m_sizeBox; }
    void SetSizeBox(const plat::RECT& rc) { m_sizeBox = rc; }
    plat::RECT GetCaptionRect() const { return m_caption; }
    void SetCaptionRect(const plat::RECT& rc) { m_caption = rc; }
    plat::SIZE GetRoundCorner() const { return m_roundCorner; }
    void SetRoundCorner(int cx, int cy) { m_roundCorner = plat::SIZE{cx, cy}; }
    plat::SIZE GetMinInfo() const { return m_minInfo; }
    void SetMinInfo(int cx, int cy);
    plat::SIZE GetMaxInfo() const { return m_maxInfo; }
    void SetMaxInfo(int cx, int cy);
    // Window opacity 0-255 (layered style added when missing).
    void SetTransparent(int alpha);
    // Background-capture painting ("bktrans").
    void SetBackgroundTransparent(bool on);
    bool IsBackgroundTransparent() const { return m_bkTrans; }
    bool IsShowUpdateRect() const { return m_showUpdateRect; }
    void SetShowUpdateRect(bool show) { m_showUpdateRect = show; }
    bool IsOffscreenPaint() const { return m_offscreenPaint; }
    void SetOffscreenPaint(bool on) { m_offscreenPaint = on; }

    // Process-wide state.
    static plat::HINSTANCE GetInstance();
    static void SetInstance(plat::HINSTANCE instance);
    // The folder of the program file, ending in a slash.
    static CUIString GetInstancePath();
    static const CUIString& GetResourcePath();
    // A trailing slash is added when the text ends in neither slash nor backslash.
    static void SetResourcePath(const char* path);
    static int GetManagerCount();
    // Managers in the order their windows were attached.
    static CUIManager* GetManager(int index);
    // Runs after every paint pass of any manager (automation dumps the windows there).
    using PaintHook = void (*)(CUIManager* manager);
    static void SetPaintHook(PaintHook hook);

    // Resources: lookups that reach up the parent chain do so through these managers.
    bool UseParentResource(CUIManager* parent);
    CUIManager* GetParentResource() const { return m_parentResource; }

    // Colours: read from the top-most manager of the parent chain.
    uint32_t GetDefaultDisabledColor() const;
    void SetDefaultDisabledColor(uint32_t color);
    uint32_t GetDefaultFontColor() const;
    void SetDefaultFontColor(uint32_t color);
    uint32_t GetDefaultLinkFontColor() const override;
    void SetDefaultLinkFontColor(uint32_t color);
    uint32_t GetDefaultLinkHoverFontColor() const override;
    void SetDefaultLinkHoverFontColor(uint32_t color);
    uint32_t GetDefaultSelectedBkColor() const override;
    void SetDefaultSelectedBkColor(uint32_t color);

    // Fonts.
    const FontInfo* GetDefaultFontInfo();
    bool SetDefaultFont(const char* faceName, int size, bool bold, bool underline, bool italic);
    int GetCustomFontCount() const;
    plat::HFONT AddFont(const char* faceName, int size, bool bold, bool underline,
                        bool italic) override;
    plat::HFONT GetFont(int index) override;
    plat::HFONT FindFont(const char* faceName, int size, bool bold, bool underline,
                         bool italic) override;
    const FontInfo* GetFontInfo(int index) override;
    const FontInfo* GetFontInfo(plat::HFONT font) override;

    // Images.
    const ImageInfo* GetImage(const char* name) const;
    const ImageInfo* GetImageEx(const char* name, const char* type = nullptr,
                                uint32_t mask = 0) override;
    const ImageInfo* AddImage(const char* name, const char* type = nullptr, uint32_t mask = 0);
    const ImageInfo* AddImage(const char* name, std::unique_ptr<ImageInfo> image);

    // Default attribute lists by control class (tag) name; the first list given for a name
    // stays.
    bool AddDefaultAttributeList(const char* controlName, const char* list);
    // Searches this manager and then its parent resource managers; null when none.
    const char* GetDefaultAttributeList(const char* controlName) const;
    bool RemoveDefaultAttributeList(const char* controlName);
    void RemoveAllDefaultAttributeList();

    // The control tree.
    // Clears focus and the hover/press references, hands a previous root to delayed clean-up,
    // stores and initialises the new root and schedules the first layout.
    bool AttachDialog(CControlUI* control);
    // Sets this manager and the parent on the whole sub-tree (with init) and enters every name.
    bool InitControls(CControlUI* control, CControlUI* parent = nullptr);
    // Called by a control being destroyed: forgets every reference to it.
    void ReapObjects(CControlUI* control);
    CControlUI* GetRoot() const { return m_root; }
    // The visible control under the point, top first.
    CControlUI* FindControl(plat::POINT pt) const;
    CControlUI* FindControl(const char* name) const;
    // Searches the sub-tree of parent.
    CControlUI* FindSubControlByPoint(CControlUI* parent, plat::POINT pt) const;
    CControlUI* FindSubControlByName(CControlUI* parent, const char* name) const;

    // Option groups.
    bool AddOptionGroup(const char* groupName, CControlUI* control);
    CUIPtrArray* GetOptionGroup(const char* groupName);
    void RemoveOptionGroup(const char* groupName, CControlUI* control);
    void RemoveAllOptionGroups();

    // Focus.
    CControlUI* GetFocus() const { return m_focus; }
    void SetFocus(CControlUI* control);
    // Focuses the next control at the next paint: clears the focus now, points the focus at the
    // tab stop before control and lets the forward tab move pick control.
    void SetFocusNeeded(CControlUI* control);
    bool SetNextTabControl(bool forward = true);

    // Hover, capture, press.
    CControlUI* GetHoverControl() const { return m_eventHover; }
    CControlUI* GetPressedControl() const { return m_eventClick; }
    void SetCapture();
    void ReleaseCapture();
    bool IsCaptured() const { return m_mouseCapture; }

    // Timers, keyed per control.
    bool SetTimer(CControlUI* control, plat::UINT key, plat::UINT elapseMs);
    bool KillTimer(CControlUI* control, plat::UINT key);
    // Stops and deletes every timer of the control.
    void KillTimer(CControlUI* control);
    void RemoveAllTimers();

    // Notifications.
    bool AddNotifier(INotifyUI* notifier);
    bool RemoveNotifier(INotifyUI* notifier);
    void SendNotify(NotifyMessage& msg);
    void SendNotify(CControlUI* control, const char* type, plat::WPARAM wParam = 0,
                    plat::LPARAM lParam = 0);
    // Notifications carry the sender's virtual window name once this is set.
    void UsedVirtualWnd(bool used) { m_usedVirtualWnd = used; }

    bool AddPreMessageFilter(IMessageFilterUI* filter);
    bool RemovePreMessageFilter(IMessageFilterUI* filter);
    bool AddMessageFilter(IMessageFilterUI* filter);
    bool RemoveMessageFilter(IMessageFilterUI* filter);

    int GetPostPaintCount() const { return m_postPaintControls.GetSize(); }
    bool AddPostPaint(CControlUI* control);
    bool RemovePostPaint(CControlUI* control);

    // Detaches the control and destroys it when the message kMsgDelayedCleanup is handled.
    void AddDelayedCleanup(CControlUI* control);

    bool AddTranslateAccelerator(ITranslateAccelerator* translator);
    bool RemoveTranslateAccelerator(ITranslateAccelerator* translator);
    bool TranslateAccelerator(plat::MSG* msg);

    // The native message handling; true when handled (result then holds the answer).
    bool MessageHandler(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                        plat::LRESULT& result);
    bool PreMessageHandler(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                           plat::LRESULT& result);

    // Routes a queued message to its manager's accelerators and pre-message handling; true when
    // handled there.
    static bool TranslateMessage(const plat::MSG* msg);
    // Gets, routes, translates and dispatches messages until the quit message.
    static void MessageLoop();

private:
    // Builds an event with the time and the last mouse position and dispatches it.
    void SendEvent(CControlUI* control, int type, CControlUI* sender, plat::WPARAM wParam = 0,
                   plat::LPARAM lParam = 0, uint16_t keyState = 0, char key = 0);
    plat::UINT_PTR NextTimerId();
    // The focused control gets kill focus (sender: the control taking over) and "killfocus".
    void DropFocus(CControlUI* next);
    bool HandlePaint(plat::LRESULT& result);
    // Lays out what needs it: the root for the client area, else each control marked.
    void LayoutPass();
    void HandleMouseMove(plat::POINT pt);
    bool HandleMouseHover();
    void ShowTooltip(CControlUI* control);
    void HideTooltip();
    void RunDelayedCleanup();
    CUIManager* TopManager();
    const CUIManager* TopManager() const;
    static uint16_t KeyStateFromKeyboard();
    static void RunPaintHook(CUIManager* manager);

    plat::HWND m_hWnd = nullptr;
    plat::HDC m_hDcPaint = nullptr;
    plat::Bitmap m_offscreen;
    std::unique_ptr<plat::Canvas> m_offscreenDc;
    plat::Bitmap m_background;
    bool m_backgroundValid = false;
    plat::HWND m_hwndTooltip = nullptr;
    CUIString m_tooltipText;
    plat::TOOLINFO m_toolInfo;

    CControlUI* m_root = nullptr;
    CControlUI* m_focus = nullptr;
    CControlUI* m_eventHover = nullptr;
    CControlUI* m_eventClick = nullptr;
    CControlUI* m_eventKey = nullptr;
    plat::POINT m_lastMouse{-1, -1};

    plat::SIZE m_minInfo;
    plat::SIZE m_maxInfo;
    plat::SIZE m_initSize;
    plat::RECT m_sizeBox;
    plat::RECT m_caption;
    plat::SIZE m_roundCorner;

    plat::UINT m_timerId = 4096;
    bool m_firstLayout = true;
    bool m_updateNeeded = false;
    bool m_focusNeeded = false;
    bool m_offscreenPaint = true;
    bool m_bkTrans = false;
    bool m_showUpdateRect = false;
    bool m_mouseTracking = false;
    bool m_mouseCapture = false;
    bool m_usedVirtualWnd = false;

    CUIPtrArray m_notifiers;
    CUIPtrArray m_preMessageFilters;
    CUIPtrArray m_messageFilters;
    CUIPtrArray m_postPaintControls;
    CUIPtrArray m_delayedCleanup;
    std::vector<std::unique_ptr<TimerInfo>> m_timers;
    CUIPtrArray m_translateAccelerators;

    CUIStringMap m_nameHash;
    CUIStringMap m_optionGroups;     // name -> CUIPtrArray*
    CUIStringMap m_defaultAttrLists; // class name -> CUIString*

    CUIManager* m_parentResource = nullptr;
    CResourceRecord m_resources;
};

} // namespace Pane
