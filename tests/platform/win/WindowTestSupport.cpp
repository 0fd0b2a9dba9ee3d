#include "WindowTestSupport.h"

#include <cstdlib>

namespace plat::test {

WindowTest* WindowTest::s_current = nullptr;

void WindowTest::SetUp() {
    setenv("PANE_BACKEND", "headless", 1);
    ASSERT_TRUE(Initialise());
    ASSERT_TRUE(headless::Active());
    s_current = this;
    WNDCLASS wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &WindowTest::Proc;
    wc.hCursor = IDC_ARROW;
    wc.lpszClassName = kClass;
    ASSERT_TRUE(RegisterClass(wc));
}

void WindowTest::TearDown() {
    // The handler may refer to the test's locals, which are gone by now.
    m_handler = nullptr;
    Shutdown();
    s_current = nullptr;
}

HWND WindowTest::Make(DWORD style, RECT rect, HWND parent, DWORD exStyle) {
    return CreateWindowEx(exStyle, kClass, "", style, rect.left, rect.top, rect.right - rect.left,
                          rect.bottom - rect.top, parent, 0, nullptr, nullptr);
}

std::vector<Logged> WindowTest::Of(UINT msg, HWND hwnd) const {
    std::vector<Logged> out;
    for (const Logged& l : m_log)
        if (l.msg == msg && (hwnd == nullptr || l.hwnd == hwnd))
            out.push_back(l);
    return out;
}

std::vector<std::pair<HWND, UINT>> WindowTest::Sequence(std::initializer_list<UINT> kinds) const {
    std::vector<std::pair<HWND, UINT>> out;
    for (const Logged& l : m_log)
        for (UINT k : kinds)
            if (l.msg == k)
                out.emplace_back(l.hwnd, l.msg);
    return out;
}

LRESULT WindowTest::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WindowTest* t = s_current;
    if (t == nullptr)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    t->m_log.push_back(Logged{hwnd, msg, wParam, lParam});
    if (t->m_handler)
        if (auto answer = t->m_handler(hwnd, msg, wParam, lParam))
            return *answer;
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

} // namespace plat::test
