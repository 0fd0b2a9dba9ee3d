#pragma once
// WindowImplBase: the ready-made base of the program's framework windows. It turns the native
// window into a borderless, self-drawn one whose client area is the whole window, builds its
// control tree from markup when the window is created (a skin file, or a small built-in skeleton
// for message windows), gives it a caption band to drag, rounded corners, maximised limits and
// Escape to close, and dispatches notifications through message maps (CNotifyPump). The object
// owns its UI manager and outlives its native window. UI thread only.

#include "pane/core/Builder.h"
#include "pane/core/UIManager.h"
#include "pane/core/WindowWnd.h"
#include "pane/utils/StringMap.h"
#include "pane/utils/UIString.h"

namespace Pane {

class CNotifyPump;

// A message map entry's handler, called with the pump it belongs to: signature 1 passes wParam
// and lParam, signature 2 the record. The map macros make them from member functions.
using NotifyHandlerParams = void (*)(CNotifyPump* pump, plat::WPARAM wParam, plat::LPARAM lParam);
using NotifyHandlerMsg = void (*)(CNotifyPump* pump, NotifyMessage& msg);

template <class T, auto Member>
void CallNotifyParams(CNotifyPump* pump, plat::WPARAM wParam, plat::LPARAM lParam) {
    (static_cast<T*>(pump)->*Member)(wParam, lParam);
}

template <class T, auto Member>
void CallNotifyMsg(CNotifyPump* pump, NotifyMessage& msg) {
    (static_cast<T*>(pump)->*Member)(msg);
}

enum NotifySignature : int {
    kNotifySigEnd = 0,
    kNotifySigParams = 1,
    kNotifySigMsg = 2,
};

struct NotifyMapEntry {
    const char* type;    // notification type
    const char* control; // sender name; "" matches any control
    int signature;
    NotifyHandlerParams onParams;
    NotifyHandlerMsg onMsg;
};

// A class's table of entries, ending with an entry of signature 0, and its base class's map.
struct NotifyMap {
    const NotifyMap* (*base)(); // null for CNotifyPump
    const NotifyMapEntry* entries;
};

// Dispatches notifications through the message maps of a class and its bases, and keeps the
// named virtual windows that get the notifications of controls carrying their name.
class CNotifyPump {
public:
    CNotifyPump() = default;
    virtual ~CNotifyPump() = default;
    CNotifyPump(const CNotifyPump&) = delete;
    CNotifyPump& operator=(const CNotifyPump&) = delete;

    // The pump is not owned; a name already in use is refused.
    bool AddVirtualWnd(const char* name, CNotifyPump* pump);
    bool RemoveVirtualWnd(const char* name);
    // The virtual windows named as the notification says (ignoring case) first; the first that
    // handles it ends the dispatch, otherwise this pump's own maps get it.
    void NotifyPump(NotifyMessage& msg);
    // Searches this class's map towards its bases; true when a handler ran.
    bool LoopDispatch(NotifyMessage& msg);

protected:
    static const NotifyMap* GetThisMessageMap();
    virtual const NotifyMap* GetMessageMap() const;

private:
    CUIStringMap m_virtualWnds; // name -> CNotifyPump*
};

// Declares the message map of a class derived from CNotifyPump.
#define PANE_DECLARE_MESSAGE_MAP()                                                                 \
protected:                                                                                         \
    static const ::Pane::NotifyMap* GetThisMessageMap();                                           \
    const ::Pane::NotifyMap* GetMessageMap() const override;

// Defines it: PANE_BEGIN_MESSAGE_MAP(MyWindow, WindowImplBase), entries, PANE_END_MESSAGE_MAP().
#define PANE_BEGIN_MESSAGE_MAP(theClass, baseClass)                                                \
    const ::Pane::NotifyMap* theClass::GetMessageMap() const {                                     \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const ::Pane::NotifyMap* theClass::GetThisMessageMap() {                                       \
        using ThisClass [[maybe_unused]] = theClass;                                               \
        using BaseClass = baseClass;                                                               \
        static const ::Pane::NotifyMapEntry entries[] = {
// handler(WPARAM, LPARAM)
#define PANE_ON_NOTIFY(type, control, handler)                                                     \
    {type, control, ::Pane::kNotifySigParams,                                                      \
     &::Pane::CallNotifyParams<ThisClass, &ThisClass::handler>, nullptr},
// handler(NotifyMessage&)
#define PANE_ON_NOTIFY_MSG(type, control, handler)                                                 \
    {type, control, ::Pane::kNotifySigMsg, nullptr,                                                \
     &::Pane::CallNotifyMsg<ThisClass, &ThisClass::handler>},
#define PANE_END_MESSAGE_MAP()                                                                     \
    { nullptr, nullptr, ::Pane::kNotifySigEnd, nullptr, nullptr }                                  \
    }                                                                                              \
    ;                                                                                              \
    static const ::Pane::NotifyMap map{&BaseClass::GetThisMessageMap, entries};                    \
    return &map;                                                                                   \
    }

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback {
public:
    // Resource type that selects the built-in skeleton markup.
    static constexpr int kBuiltinMarkup = 3;
    // Caption-bit mask applied to the window style on creation, and the styles added.
    static constexpr plat::DWORD kStyleMask = 0xFF3FFFFF;
    static constexpr plat::DWORD kStyleAdd = plat::WS_CLIPCHILDREN | plat::WS_CLIPSIBLINGS;
    static constexpr const char* kLoadFailedText = "加载资源文件失败";
    static constexpr const char* kLoadFailedCaption = "Pane";

    // The width and height go into the built-in skeleton's "size".
    explicit WindowImplBase(int width = 0, int height = 0);
    // Destroys the native window if it still exists.
    ~WindowImplBase() override;

    CUIManager& GetManager() { return m_pm; }
    // The built-in skeleton markup for a window of this size.
    static CUIString BuiltinMarkup(int width, int height);

    // IMessageFilterUI: Return and Escape key-downs go to ResponseDefaultKeyEvent.
    plat::LRESULT MessageHandler(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                 bool& handled) override;
    // INotifyUI: virtual windows first, then this window's message maps.
    void Notify(NotifyMessage& msg) override;
    // IDialogBuilderCallback: the base makes no controls.
    CControlUI* CreateControl(const char* className) override;

protected:
    const char* GetWindowClassName() const override;
    const char* GetSuperClassName() const override;
    plat::UINT GetClassStyle() const override;
    plat::LRESULT HandleMessage(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) override;
    // Removes the filter and notifier and lets the manager forget the tree.
    void OnFinalMessage(plat::HWND hWnd) override;

    virtual void InitWindow();
    virtual void OnPrepare(void* param);
    virtual CUIString GetSkinFolder();
    // A file name relative to the resource path, or markup text starting with "<".
    virtual CUIString GetSkinFile();
    // Escape closes the window (true); Return and other keys are not consumed (false).
    virtual plat::LRESULT ResponseDefaultKeyEvent(plat::WPARAM key);
    // kBuiltinMarkup builds the skeleton; anything else GetSkinFile.
    virtual int GetResourceType() const;
    virtual CUIString GetSkinArchive();
    virtual const char* GetResourceId() const;

    virtual plat::LRESULT OnClose(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                  bool& handled);
    virtual plat::LRESULT OnDestroy(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                    bool& handled);
    virtual plat::LRESULT OnNcActivate(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                       bool& handled);
    virtual plat::LRESULT OnNcCalcSize(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                       bool& handled);
    virtual plat::LRESULT OnNcPaint(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                    bool& handled);
    virtual plat::LRESULT OnNcHitTest(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                      bool& handled);
    virtual plat::LRESULT OnGetMinMaxInfo(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                          bool& handled);
    virtual plat::LRESULT OnMouseWheel(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                       bool& handled);
    virtual plat::LRESULT OnMouseHover(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                       bool& handled);
    virtual plat::LRESULT OnSize(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                 bool& handled);
    virtual plat::LRESULT OnChar(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                 bool& handled);
    virtual plat::LRESULT OnSysCommand(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                       bool& handled);
    virtual plat::LRESULT OnCreate(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                   bool& handled);
    virtual plat::LRESULT OnKeyDown(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                    bool& handled);
    virtual plat::LRESULT OnKeyUp(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                  bool& handled);
    virtual plat::LRESULT OnKillFocus(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                      bool& handled);
    virtual plat::LRESULT OnSetFocus(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                     bool& handled);
    virtual plat::LRESULT OnLButtonDown(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                        bool& handled);
    virtual plat::LRESULT OnLButtonUp(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                      bool& handled);
    virtual plat::LRESULT OnMouseMove(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam,
                                      bool& handled);
    virtual plat::LRESULT HandleCustomMessage(plat::UINT msg, plat::WPARAM wParam,
                                              plat::LPARAM lParam, bool& handled);
    virtual plat::LONG_PTR GetStyle();

    PANE_DECLARE_MESSAGE_MAP()

protected:
    int m_markupWidth;
    int m_markupHeight;
    CUIManager m_pm;
};

} // namespace Pane
