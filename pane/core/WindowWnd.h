#pragma once
// CWindowWnd: wraps one native window — registers its class (or a superclass of an existing
// class), creates the window with itself as creation parameter, routes the window procedure to
// the virtual HandleMessage, and offers modal and modeless showing, centring and closing. The
// object outlives its window; OnFinalMessage runs once the window is gone. UI thread only.

#include "platform/base/WinTypes.h"
#include "platform/win/Window.h"

namespace Pane {

class CWindowWnd {
public:
    CWindowWnd();
    virtual ~CWindowWnd();
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    plat::HWND GetHWND() const { return m_hWnd; }
    operator plat::HWND() const { return m_hWnd; }

    // Registers the class as a new class; an existing class of that name counts as success.
    bool RegisterWindowClass();
    // Registers the class as a copy of the superclass named by GetSuperClassName, whose
    // procedure becomes the previous procedure.
    bool RegisterSuperclass();

    // Registers the class, then creates the window with this object as creation parameter.
    // Null when registering or creating fails.
    plat::HWND Create(plat::HWND parent, const char* name, plat::DWORD style, plat::DWORD exStyle,
                      int x = plat::CW_USEDEFAULT, int y = plat::CW_USEDEFAULT,
                      int cx = plat::CW_USEDEFAULT, int cy = plat::CW_USEDEFAULT,
                      plat::HMENU menu = 0);
    plat::HWND Create(plat::HWND parent, const char* name, plat::DWORD style, plat::DWORD exStyle,
                      const plat::RECT& rc, plat::HMENU menu = 0);
    // Takes over an existing window's procedure (the object is kept in the property "WndX").
    plat::HWND Subclass(plat::HWND hWnd);
    void Unsubclass();

    void ShowWindow(bool show = true, bool takeFocus = true);
    // Shows the window with its owner disabled and runs a nested message loop while it exists;
    // returns the wParam of the close that ended it.
    plat::UINT ShowModal();
    // Posts the close message with the result.
    void Close(plat::UINT result = 1);
    // Centres on the owner (or the work area), kept inside the work area; only the position
    // changes.
    void CenterWindow();
    // Resizes the window so that its client area has this size (negative keeps a dimension).
    void ResizeClient(int cx = -1, int cy = -1);

    plat::LRESULT SendMessage(plat::UINT msg, plat::WPARAM wParam = 0, plat::LPARAM lParam = 0);
    plat::LRESULT PostMessage(plat::UINT msg, plat::WPARAM wParam = 0, plat::LPARAM lParam = 0);

protected:
    virtual const char* GetWindowClassName() const = 0;
    // Null: the window's class is a class of its own.
    virtual const char* GetSuperClassName() const;
    virtual plat::UINT GetClassStyle() const;
    virtual plat::LRESULT HandleMessage(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
    virtual void OnFinalMessage(plat::HWND hWnd);

    // The previous window procedure.
    plat::LRESULT CallDefault(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);

    static plat::LRESULT WndProc(plat::HWND hWnd, plat::UINT msg, plat::WPARAM wParam,
                                 plat::LPARAM lParam);
    static plat::LRESULT ControlProc(plat::HWND hWnd, plat::UINT msg, plat::WPARAM wParam,
                                     plat::LPARAM lParam);

    plat::HWND m_hWnd = nullptr;
    plat::WNDPROC m_oldWndProc;
    bool m_subclassed = false;

private:
    // Both procedures: the object is kept in the window's user data, or in its property "WndX"
    // for superclassed and subclassed windows.
    static plat::LRESULT Route(plat::HWND hWnd, plat::UINT msg, plat::WPARAM wParam,
                               plat::LPARAM lParam, bool inProperty);
    // Unlinks the object from its window (procedure, user data, property).
    void Forget();
};

} // namespace Pane
