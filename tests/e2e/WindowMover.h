#pragma once
// A bare X server has no window manager, and a program's caption drag and its minimise are
// requests to one (_NET_WM_MOVERESIZE, WM_CHANGE_STATE sent to the root window). WindowMover
// answers just those two on a connection of its own, on its own thread, as a window manager
// would: it follows the pointer while the button is held and moves the window, and unmaps a
// window asked to become an icon. Xlib stays in its source file (its macros clash with ours).

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace e2e {

class WindowMover {
public:
    WindowMover() = default;
    ~WindowMover();
    WindowMover(const WindowMover&) = delete;
    WindowMover& operator=(const WindowMover&) = delete;

    // Connects to `display` and starts answering; false when the display cannot be opened.
    bool Start(const std::string& display);

    // How many moves have begun (the pointer is followed from then on) and ended, and how many
    // windows were iconified.
    int MovesBegun() const { return m_movesBegun; }
    int MovesEnded() const { return m_movesEnded; }
    int Iconified() const { return m_iconified; }

private:
    void Run();

    void* m_display = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_movesBegun{0};
    std::atomic<int> m_movesEnded{0};
    std::atomic<int> m_iconified{0};
};

} // namespace e2e
