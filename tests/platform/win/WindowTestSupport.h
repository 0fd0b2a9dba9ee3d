#pragma once
// A fixture for window system tests on the headless backend: starts and stops the window
// system around each test and offers a window class that records every message it gets and
// lets the test answer any of them.

#include "platform/backends/Headless.h"
#include "platform/win/Window.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

namespace plat::test {

struct Logged {
    HWND hwnd = nullptr;
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class WindowTest : public ::testing::Test {
public:
    // Answers a message instead of DefWindowProc when it returns a value.
    using Handler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

    static constexpr const char* kClass = "TestWindow";

protected:
    void SetUp() override;
    void TearDown() override;

    // A window of the recording class (double clicks on); shown unless the style says child
    // without WS_VISIBLE.
    HWND Make(DWORD style, RECT rect, HWND parent = nullptr, DWORD exStyle = 0);

    // The recorded messages of one kind (any window when hwnd is null).
    std::vector<Logged> Of(UINT msg, HWND hwnd = nullptr) const;
    // The recorded messages among `kinds`, in order, as (window, message) pairs.
    std::vector<std::pair<HWND, UINT>> Sequence(std::initializer_list<UINT> kinds) const;
    void ClearLog() { m_log.clear(); }

    Handler m_handler;
    std::vector<Logged> m_log;

private:
    static LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static WindowTest* s_current;
};

} // namespace plat::test
