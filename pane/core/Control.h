#pragma once
// CControlUI: the base of every element of a window's control tree — a rectangle with layout
// hints, colours, a background image, a border, text, a tooltip, state flags and five delegate
// lists. It belongs to at most one manager and one parent container; the parent owns it and
// destroys it (directly or through the manager's delayed clean-up). UI thread only.

#include "pane/utils/Delegate.h"
#include "pane/utils/UIString.h"
#include "platform/base/WinTypes.h"
#include "platform/win/Window.h"

#include <cstdint>

namespace Pane {

// Sizes, paddings and positions come from markup as any int, and layouts add several of them up
// in int. Anything past 2^20 pixels is far beyond any screen; keeping to it keeps those sums
// from overflowing.
inline constexpr int kMaxExtent = 1 << 20;
inline int ClampExtent(int value) {
    return value < -kMaxExtent ? -kMaxExtent : value > kMaxExtent ? kMaxExtent : value;
}

class CUIManager;
class CControlUI;

// Framework event types. Keyboard events lie strictly between kEventKeyBegin and kEventKeyEnd,
// mouse events strictly between kEventMouseBegin and kEventMouseEnd; containers test the ranges.
enum UIEventType : int {
    kEventKeyBegin = 2,
    kEventKeyDown = 3,
    kEventKeyUp = 4,
    kEventChar = 5,
    kEventSysKey = 6,
    kEventKeyEnd = 7,
    kEventMouseBegin = 8,
    kEventMouseMove = 9,
    kEventMouseLeave = 10,
    kEventMouseEnter = 11,
    kEventMouseHover = 12,
    kEventButtonDown = 13,
    kEventButtonUp = 14,
    kEventRButtonDown = 15,
    kEventDblClick = 16,
    kEventContextMenu = 17,
    kEventScrollWheel = 18,
    kEventMouseEnd = 19,
    kEventKillFocus = 20,
    kEventSetFocus = 21,
    kEventWindowSize = 22,
    kEventSetCursor = 23,
    kEventTimer = 24,
};

// Key state bits of an event (the button bits are the reverse of the platform's MK_ flags).
enum UIKeyState : uint16_t {
    kKeyStateRButton = 1,
    kKeyStateLButton = 2,
    kKeyStateShift = 4,
    kKeyStateControl = 8,
    kKeyStateAlt = 32,
};

// FindControl flags.
enum UIFindFlags : uint32_t {
    kFindAll = 0,
    kFindVisible = 1,
    kFindEnabled = 2,
    kFindHitTest = 4,
    kFindTopFirst = 8,
    kFindMeFirst = 0x80000000u,
};

// ControlFlags bits.
enum UIControlFlags : unsigned int {
    kFlagTabStop = 1,
    kFlagSetCursor = 2,
};

// The event record with which the manager drives a control.
struct UIEvent {
    int type = 0;
    CControlUI* sender = nullptr;
    plat::DWORD timestamp = 0; // milliseconds since system start
    plat::POINT mouse;         // client coordinates
    char key = 0;
    uint16_t keyState = 0;
    plat::WPARAM wParam = 0;
    plat::LPARAM lParam = 0;
};

// The relative position record of a floating child: how much of its parent's growth moves
// (move) and widens (zoom) it, in percent.
struct RelativePosUI {
    bool relative = false;
    plat::SIZE parentSize;
    int moveX = 0;
    int moveY = 0;
    int zoomX = 0;
    int zoomY = 0;
};

// Offered each control by FindControl; returns the control to stop the search with, or null.
using FindControlProc = CControlUI* (*)(CControlUI* control, void* data);

// Creates a control from its tag name ("ScrollBar", "Button"...). The dialog builder installs
// its class table here so that the core can make controls it does not know (a container's
// scroll bars). Null when no factory is installed or the tag is unknown.
using ControlFactoryProc = CControlUI* (*)(const char* tagName);
void SetControlFactory(ControlFactoryProc factory);
ControlFactoryProc GetControlFactory();
CControlUI* CreateControlByTag(const char* tagName);

// Parsing helpers shared by the attribute setters of the framework: a colour written in
// hexadecimal with optional leading blanks and "#"; up to `count` decimal numbers separated by
// single characters (missing ones read 0); true only for exactly "true".
uint32_t ParseColor(const char* value);
int ParseInts(const char* value, int* out, int count);
inline bool ParseBool(const char* value) {
    return value != nullptr && value[0] == 't' && value[1] == 'r' && value[2] == 'u' &&
           value[3] == 'e' && value[4] == '\0';
}

class CControlUI {
public:
    CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    // Invokes the on-destroy delegates and makes the manager forget the control.
    virtual ~CControlUI();
    virtual CUIString Name() const;
    virtual void SetName(const char* name);
    virtual const char* ClassName() const;
    // "Control" answers this control; derived classes answer their own names.
    virtual void* Interface(const char* name);
    virtual unsigned int ControlFlags() const;
    // True when visible and enabled; clickable controls act here.
    virtual bool Trigger();

    virtual CUIManager* Manager() const;
    // Sets manager and parent; with init and a parent, the control is initialised (Init).
    virtual void SetManager(CUIManager* manager, CControlUI* parent, bool init = true);
    virtual CControlUI* Parent() const;

    virtual CUIString GetText() const;
    virtual void SetText(const char* text);

    virtual const plat::RECT& Position() const;
    virtual void SetPosition(plat::RECT rc);
    virtual int Width() const;
    virtual int Height() const;
    virtual int X() const;
    virtual int Y() const;
    virtual plat::RECT Padding() const;
    virtual void SetPadding(plat::RECT padding);
    virtual plat::SIZE FixedXY() const;
    virtual void SetFixedXY(plat::SIZE xy);
    virtual int FixedWidth() const;
    virtual void SetFixedWidth(int cx);
    virtual int FixedHeight() const;
    virtual void SetFixedHeight(int cy);
    virtual int MinWidth() const;
    virtual void SetMinWidth(int cx);
    virtual int MaxWidth() const;
    virtual void SetMaxWidth(int cx);
    virtual int MinHeight() const;
    virtual void SetMinHeight(int cy);
    virtual int MaxHeight() const;
    virtual void SetMaxHeight(int cy);
    // Move and zoom percentages; the control becomes relative.
    virtual void SetRelativePos(plat::SIZE move, plat::SIZE zoom);
    virtual void SetRelativeParentSize(plat::SIZE size);
    virtual RelativePosUI RelativePos() const;
    virtual bool IsRelative() const;

    virtual CUIString ToolTip() const;
    // Every "<n>" becomes a line break (CR LF).
    virtual void SetToolTip(const char* text);
    virtual void SetToolTipWidth(int width);
    virtual int ToolTipWidth() const;
    virtual char Shortcut() const;
    virtual void SetShortcut(char ch);
    virtual bool IsContextMenuUsed() const;
    virtual void SetContextMenuUsed(bool used);
    virtual const CUIString& UserData() const;
    virtual void SetUserData(const char* text);
    virtual uintptr_t Tag() const;
    virtual void SetTag(uintptr_t tag);

    // Visible and not hidden by an ancestor.
    virtual bool IsVisible() const;
    virtual void SetVisible(bool visible = true);
    // Set by the parent: false while an ancestor is hidden.
    virtual void SetInnerVisible(bool visible = true);
    virtual bool IsEnabled() const;
    virtual void SetEnabled(bool enabled = true);
    virtual bool IsMouseEnabled() const;
    virtual void SetMouseEnabled(bool enabled = true);
    virtual bool IsKeyboardEnabled() const;
    virtual void SetKeyboardEnabled(bool enabled = true);
    virtual bool IsFocused() const;
    // Asks the manager to focus this control.
    virtual void SetFocus();
    virtual bool IsFloat() const;
    virtual void SetFloat(bool isFloat = true);

    virtual CControlUI* FindControl(FindControlProc proc, void* data, uint32_t flags);

    // Runs InitSelf, then the on-init delegates.
    virtual void Init();
    virtual void InitSelf();

    // The on-event delegates first; HandleEvent only when all of them answer true.
    virtual void DispatchEvent(UIEvent& event);
    virtual void HandleEvent(UIEvent& event);

    virtual void SetAttribute(const char* name, const char* value);

    virtual plat::SIZE MeasureSize(plat::SIZE available);

    virtual void Paint(plat::HDC hDC, const plat::RECT& rcPaint);
    virtual void PaintBackColor(plat::HDC hDC);
    virtual void PaintBackImage(plat::HDC hDC);
    virtual void PaintStatusImage(plat::HDC hDC);
    virtual void PaintText(plat::HDC hDC);
    virtual void PaintBorder(plat::HDC hDC);
    // Called by the manager after the whole tree is painted, for controls on its post-paint list.
    virtual void PaintOverlay(plat::HDC hDC, const plat::RECT& rcPaint);

    // Not virtual.

    // The control's own virtual window name, else its nearest ancestor's; empty when none.
    CUIString GetVirtualWnd() const;
    void SetVirtualWnd(const char* name);

    // Invalidates the item rectangle clipped by every ancestor's rectangle (nothing when hidden
    // or when the clipping empties it).
    void Invalidate();
    bool IsUpdateNeeded() const { return m_updateNeeded; }
    void NeedUpdate();
    void NeedParentUpdate();

    // Applies name="value" pairs separated by one space, in order, up to the first malformed one.
    void ApplyAttributeList(const char* list);

    uint32_t BkColor() const { return m_bkColor; }
    void SetBkColor(uint32_t color);
    uint32_t BkColor2() const { return m_bkColor2; }
    void SetBkColor2(uint32_t color);
    uint32_t BkColor3() const { return m_bkColor3; }
    void SetBkColor3(uint32_t color);
    const CUIString& BkImage() const { return m_bkImage; }
    void SetBkImage(const char* image);
    const CUIString& ForeImage() const { return m_foreImage; }
    void SetForeImage(const char* image);
    uint32_t BorderColor() const { return m_borderColor; }
    void SetBorderColor(uint32_t color);
    uint32_t FocusBorderColor() const { return m_focusBorderColor; }
    void SetFocusBorderColor(uint32_t color);
    bool IsColorHSL() const { return m_colorHSL; }
    void SetColorHSL(bool hsl);
    int BorderSize() const { return m_borderSize; }
    void SetBorderSize(int size);
    // The four per-side widths (left, top, right, bottom); the border size stays.
    void SetBorderSize(plat::RECT sides);
    plat::RECT BorderSides() const { return m_borderSides; }
    void SetLeftBorderSize(int size);
    void SetTopBorderSize(int size);
    void SetRightBorderSize(int size);
    void SetBottomBorderSize(int size);
    int BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(int style);
    plat::SIZE BorderRound() const { return m_borderRound; }
    void SetBorderRound(plat::SIZE round);
    const plat::RECT& PaintRect() const { return m_rcPaint; }

    // Draws an image description over the item rectangle within the paint rectangle through the
    // manager's image table. False without a manager or when the image cannot be drawn.
    bool DrawImage(plat::HDC hDC, const char* image, const char* modify = nullptr);

    // Sends a notification through the manager with this control as sender (nothing without a
    // manager).
    void Notify(const char* type, plat::WPARAM wParam = 0, plat::LPARAM lParam = 0);

    CDelegateList OnInit;
    CDelegateList OnDestroy;
    CDelegateList OnSize;
    CDelegateList OnEvent;
    CDelegateList OnNotify;

protected:
    // The colour as painted: adjusted when the colour-adjust flag is set.
    uint32_t PaintColor(uint32_t color) const;

    CUIManager* m_manager = nullptr;
    CControlUI* m_parent = nullptr;
    CUIString m_virtualWnd;
    CUIString m_name;
    bool m_updateNeeded = true;
    bool m_menuUsed = false;
    plat::RECT m_rcItem;
    plat::RECT m_rcPadding;
    plat::SIZE m_fixedXY;
    plat::SIZE m_fixedSize;
    plat::SIZE m_minSize;
    plat::SIZE m_maxSize{9999, 9999};
    bool m_visible = true;
    bool m_innerVisible = true;
    bool m_enabled = true;
    bool m_mouseEnabled = true;
    bool m_keyboardEnabled = true;
    bool m_focused = false;
    bool m_float = false;
    bool m_inSizeCallback = false;
    RelativePosUI m_relativePos;

    CUIString m_text;
    CUIString m_toolTip;
    char m_shortcut = 0;
    CUIString m_userData;
    uintptr_t m_tag = 0;

    uint32_t m_bkColor = 0;
    uint32_t m_bkColor2 = 0;
    uint32_t m_bkColor3 = 0;
    CUIString m_bkImage;
    CUIString m_foreImage;
    uint32_t m_borderColor = 0;
    uint32_t m_focusBorderColor = 0;
    bool m_colorHSL = false;
    int m_borderSize = 0;
    int m_borderStyle = 0;
    int m_toolTipWidth = 300;
    plat::SIZE m_borderRound;
    plat::RECT m_borderSides;
    plat::RECT m_rcPaint;
};

} // namespace Pane
