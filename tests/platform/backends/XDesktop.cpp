#include "XDesktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace plat::test {

bool ReadDesktopIcon(const std::string& display, unsigned long window, int* width, int* height,
                     uint32_t* firstPixel) {
    Display* x = XOpenDisplay(display.c_str());
    if (x == nullptr)
        return false;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const Atom icon = XInternAtom(x, "_NET_WM_ICON", False);
    bool ok = XGetWindowProperty(x, window, icon, 0, 1 << 20, False, XA_CARDINAL, &type, &format,
                                 &count, &after, &data) == Success &&
              data != nullptr && format == 32 && count >= 3;
    if (ok) {
        // Format-32 properties come as longs whatever their size.
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        *width = static_cast<int>(values[0]);
        *height = static_cast<int>(values[1]);
        *firstPixel = static_cast<uint32_t>(values[2]);
    }
    if (data != nullptr)
        XFree(data);
    XCloseDisplay(x);
    return ok;
}

bool BindSpareKey(const std::string& display, const char* keysymName) {
    Display* x = XOpenDisplay(display.c_str());
    if (x == nullptr)
        return false;
    const KeySym wanted = XStringToKeysym(keysymName);
    if (wanted == NoSymbol) {
        XCloseDisplay(x);
        return false;
    }
    int low = 0, high = 0;
    XDisplayKeycodes(x, &low, &high);
    bool ok = XKeysymToKeycode(x, wanted) != 0;
    int perCode = 0;
    KeySym* map = XGetKeyboardMapping(x, static_cast<KeyCode>(low), high - low + 1, &perCode);
    // The server ignores changes to some unused keycodes (those its keyboard description lacks):
    // each binding is read back.
    for (int code = low; !ok && map != nullptr && code <= high; ++code) {
        bool unused = true;
        for (int i = 0; i < perCode; ++i)
            unused = unused && map[(code - low) * perCode + i] == NoSymbol;
        if (!unused)
            continue;
        KeySym syms[2] = {wanted, wanted};
        XChangeKeyboardMapping(x, code, 2, syms, 1);
        int perBound = 0;
        KeySym* bound = XGetKeyboardMapping(x, static_cast<KeyCode>(code), 1, &perBound);
        ok = bound != nullptr && perBound > 0 && bound[0] == wanted;
        if (bound != nullptr)
            XFree(bound);
    }
    if (map != nullptr)
        XFree(map);
    XSync(x, False);
    XCloseDisplay(x);
    return ok;
}

} // namespace plat::test
