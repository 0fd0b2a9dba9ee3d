// Invalidation and the paint pass. Every top-level or popup window has one back buffer of its
// client size; its children paint into it at their offsets, after their parent (invalidating a
// window invalidates the children over that part, and the pass walks the tree parent first).
// What was painted is presented once no paint is left in the queue.

#include "platform/win/WindowState.h"

#include <algorithm>

namespace plat {

namespace detail {

namespace {

// The part of w's client area not cut off by its ancestors, in the top window's coordinates.
RECT VisibleInTop(const WindowData* w) {
    const POINT off = OffsetInTop(w);
    RECT visible{off.x, off.y, off.x + w->Width(), off.y + w->Height()};
    for (const WindowData* a = w; a != nullptr && a->IsChild();) {
        a = Find(a->parent);
        if (a == nullptr)
            break;
        const POINT ao = OffsetInTop(a);
        visible = IntersectRect(visible, RECT{ao.x, ao.y, ao.x + a->Width(), ao.y + a->Height()});
    }
    return visible;
}

WindowData* FirstToPaint(WindowData* w, HWND filter, bool inside) {
    if (w == nullptr || !w->Visible())
        return nullptr;
    inside = inside || filter == nullptr || w->handle == filter;
    if (inside && !IsRectEmpty(w->update))
        return w;
    for (HWND child : w->children)
        if (WindowData* found = FirstToPaint(Find(child), filter, inside))
            return found;
    return nullptr;
}

void PaintNow(HWND hwnd) {
    WindowData* w = Find(hwnd);
    if (w == nullptr || !ReallyVisible(w))
        return;
    if (!IsRectEmpty(w->update)) {
        MSG m;
        m.hwnd = hwnd;
        m.message = WM_PAINT;
        DispatchMessage(&m);
    }
    if ((w = Find(hwnd)) == nullptr)
        return;
    const std::vector<HWND> children = w->children;
    for (HWND child : children)
        PaintNow(child);
}

} // namespace

void InvalidateTree(WindowData* w, const RECT& clientRect, bool erase) {
    const RECT r = IntersectRect(clientRect, RECT{0, 0, w->Width(), w->Height()});
    if (IsRectEmpty(r))
        return;
    w->update = UnionRect(w->update, r);
    w->updateErase = w->updateErase || erase;
    // The window paints its whole update rectangle, which may now span children that neither
    // rectangle touched on its own: everything it paints over is painted again on top.
    for (HWND child : w->children) {
        WindowData* c = Find(child);
        if (c == nullptr || !c->Visible())
            continue;
        const RECT part = IntersectRect(w->update, c->rect);
        if (!IsRectEmpty(part))
            InvalidateTree(c, OffsetRect(part, -c->rect.left, -c->rect.top), erase);
    }
}

bool TakePaint(HWND filter, MSG* out) {
    for (HWND top : S().zOrder) {
        WindowData* t = Find(top);
        if (t == nullptr || !ReallyVisible(t) || t->buffer.Empty())
            continue;
        if (WindowData* w = FirstToPaint(t, filter, false)) {
            *out = MSG{};
            out->hwnd = w->handle;
            out->message = WM_PAINT;
            return true;
        }
    }
    return false;
}

void FlushPresents() {
    for (auto& [handle, w] : S().windows) {
        if (!w->native || IsRectEmpty(w->presentDue))
            continue;
        const RECT r = IntersectRect(w->presentDue, RECT{0, 0, w->buffer.width, w->buffer.height});
        w->presentDue = RECT{};
        if (!IsRectEmpty(r) && ReallyVisible(w.get()))
            S().backend->Present(handle, w->buffer, r);
    }
}

void ResizeBuffer(WindowData* w) {
    w->buffer.Resize(w->Width(), w->Height());
    w->presentDue = RECT{};
}

void RefreshHeldDCs(WindowData* w) {
    if (w == nullptr)
        return;
    const POINT off = OffsetInTop(w);
    for (auto& dc : w->held) {
        dc->SetOrigin(off);
        dc->ResetClip();
        dc->IntersectClip(OffsetRect(VisibleInTop(w), -off.x, -off.y));
    }
    for (HWND child : w->children)
        RefreshHeldDCs(Find(child));
}

} // namespace detail

using namespace detail;

bool InvalidateRect(HWND hwnd, const RECT* rect, bool erase) {
    if (!CheckUiThread())
        return false;
    if (hwnd == nullptr) {
        for (auto& [handle, w] : S().windows)
            if (w->native)
                InvalidateTree(w.get(), RECT{0, 0, w->Width(), w->Height()}, erase);
        return true;
    }
    WindowData* w = Find(hwnd);
    if (w == nullptr)
        return false;
    InvalidateTree(w, rect != nullptr ? *rect : RECT{0, 0, w->Width(), w->Height()}, erase);
    return true;
}

bool GetUpdateRect(HWND hwnd, RECT* rect, bool) {
    WindowData* w = Find(hwnd);
    if (w == nullptr)
        return false;
    if (rect != nullptr)
        *rect = w->update;
    return !IsRectEmpty(w->update);
}

bool UpdateWindow(HWND hwnd) {
    if (!CheckUiThread() || Find(hwnd) == nullptr)
        return false;
    PaintNow(hwnd);
    FlushPresents();
    return true;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    WindowData* w = Find(hwnd);
    if (w == nullptr || ps == nullptr)
        return nullptr;
    WindowData* top = TopOf(w);
    *ps = PAINTSTRUCT{};
    ps->rcPaint = w->update;
    ps->fErase = w->updateErase ? 1 : 0;
    w->update = RECT{};
    w->updateErase = false;
    w->beganPaint = true;
    if (top == nullptr || top->buffer.Empty())
        return nullptr;
    auto canvas = std::make_unique<Canvas>(top->buffer);
    const POINT off = OffsetInTop(w);
    canvas->SetOrigin(off);
    const RECT visible = VisibleInTop(w);
    canvas->IntersectClip(OffsetRect(visible, -off.x, -off.y));
    canvas->IntersectClip(ps->rcPaint);
    ps->hdc = canvas.get();
    w->painting = true;
    w->canvases.push_back(std::move(canvas));
    if (ps->fErase != 0)
        CallProc(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(ps->hdc), 0);
    return ps->hdc;
}

bool EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    WindowData* w = Find(hwnd);
    if (w == nullptr || ps == nullptr)
        return false;
    w->painting = false;
    WindowData* top = TopOf(w);
    if (top != nullptr && ps->hdc != nullptr) {
        const POINT off = OffsetInTop(w);
        const RECT painted = IntersectRect(OffsetRect(ps->rcPaint, off.x, off.y), VisibleInTop(w));
        top->presentDue = UnionRect(top->presentDue, painted);
    }
    auto& open = w->canvases;
    open.erase(
        std::remove_if(open.begin(), open.end(),
                       [ps](const std::unique_ptr<Canvas>& c) { return c.get() == ps->hdc; }),
        open.end());
    return true;
}

HDC GetDC(HWND hwnd) {
    WindowData* w = Find(hwnd);
    WindowData* top = TopOf(w);
    if (top == nullptr || !CheckUiThread())
        return nullptr;
    auto canvas = std::make_unique<Canvas>(top->buffer);
    const POINT off = OffsetInTop(w);
    canvas->SetOrigin(off);
    canvas->IntersectClip(OffsetRect(VisibleInTop(w), -off.x, -off.y));
    HDC dc = canvas.get();
    w->held.push_back(std::move(canvas));
    return dc;
}

bool ReleaseDC(HWND hwnd, HDC dc) {
    WindowData* w = Find(hwnd);
    if (w == nullptr || dc == nullptr)
        return false;
    auto& open = w->held;
    const auto it = std::find_if(open.begin(), open.end(),
                                 [dc](const std::unique_ptr<Canvas>& c) { return c.get() == dc; });
    if (it == open.end())
        return false;
    open.erase(it);
    if (WindowData* top = TopOf(w))
        top->presentDue = UnionRect(top->presentDue, VisibleInTop(w));
    return true;
}

Bitmap* GetWindowBuffer(HWND hwnd, POINT* offset) {
    WindowData* w = Find(hwnd);
    WindowData* top = TopOf(w);
    if (top == nullptr)
        return nullptr;
    if (offset != nullptr)
        *offset = OffsetInTop(w);
    return &top->buffer;
}

} // namespace plat
