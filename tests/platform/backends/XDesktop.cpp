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

} // namespace plat::test
