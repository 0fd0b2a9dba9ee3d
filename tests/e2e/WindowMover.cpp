#include "tests/e2e/WindowMover.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>

namespace e2e {

namespace {

// The move action of _NET_WM_MOVERESIZE.
constexpr long kMoveAction = 8;

} // namespace

WindowMover::~WindowMover() {
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_display != nullptr)
        XCloseDisplay(static_cast<Display*>(m_display));
}

bool WindowMover::Start(const std::string& display) {
    Display* d = XOpenDisplay(display.c_str());
    if (d == nullptr)
        return false;
    m_display = d;
    // Requests sent to the root window reach every client that watches its substructure.
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    // Programs look the move request's atom up without creating it: make sure it exists.
    XInternAtom(d, "_NET_WM_MOVERESIZE", False);
    XSync(d, False);
    m_thread = std::thread([this] { Run(); });
    return true;
}

void WindowMover::Run() {
    Display* d = static_cast<Display*>(m_display);
    const Window root = DefaultRootWindow(d);
    const Atom moveResize = XInternAtom(d, "_NET_WM_MOVERESIZE", False);
    const Atom changeState = XInternAtom(d, "WM_CHANGE_STATE", False);
    Window moving = None;
    long pressX = 0;
    long pressY = 0;
    int windowX = 0;
    int windowY = 0;
    while (!m_stop) {
        if (XPending(d) == 0) {
            pollfd pfd{ConnectionNumber(d), POLLIN, 0};
            ::poll(&pfd, 1, 50);
            continue;
        }
        XEvent event;
        XNextEvent(d, &event);
        if (event.type == ClientMessage && event.xclient.message_type == moveResize &&
            event.xclient.data.l[2] == kMoveAction) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(d, event.xclient.window, &attributes) == 0)
                continue;
            // The program let go of the pointer before asking; take it to follow the drag.
            if (XGrabPointer(d, root, False, PointerMotionMask | ButtonReleaseMask, GrabModeAsync,
                             GrabModeAsync, None, None, CurrentTime) != GrabSuccess)
                continue;
            moving = event.xclient.window;
            pressX = event.xclient.data.l[0];
            pressY = event.xclient.data.l[1];
            windowX = attributes.x;
            windowY = attributes.y;
            XSync(d, False);
            ++m_movesBegun;
        } else if (event.type == ClientMessage && event.xclient.message_type == changeState &&
                   event.xclient.data.l[0] == IconicState) {
            XUnmapWindow(event.xclient.display, event.xclient.window);
            XSync(d, False);
            ++m_iconified;
        } else if (event.type == MotionNotify && moving != None) {
            XMoveWindow(d, moving, windowX + static_cast<int>(event.xmotion.x_root - pressX),
                        windowY + static_cast<int>(event.xmotion.y_root - pressY));
            XSync(d, False);
        } else if (event.type == ButtonRelease && moving != None) {
            XUngrabPointer(d, CurrentTime);
            XSync(d, False);
            moving = None;
            ++m_movesEnded;
        }
    }
}

} // namespace e2e
