// The window tree: creation parameters and the creation messages, refused creation, window
// data and properties, subclassing, coordinates through nested children, relations, text.

#include "WindowTestSupport.h"

#include <cstring>

namespace plat::test {
namespace {

using TreeTest = WindowTest;

TEST_F(TreeTest, CreationParameterReachesNcCreateAndCreateBeforeSizeAndMove) {
    int cookie = 5;
    std::vector<void*> params;
    m_handler = [&](HWND, UINT msg, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (msg == WM_NCCREATE || msg == WM_CREATE)
            params.push_back(reinterpret_cast<CREATESTRUCT*>(lParam)->lpCreateParams);
        return std::nullopt;
    };
    HWND w = CreateWindowEx(0, "testwindow", "Title", WS_OVERLAPPED, 10, 20, 300, 200, nullptr, 0,
                            nullptr, &cookie); // class names ignore case
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(params, (std::vector<void*>{&cookie, &cookie}));
    EXPECT_EQ(Sequence({WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}),
              (std::vector<std::pair<HWND, UINT>>{
                  {w, WM_NCCREATE}, {w, WM_CREATE}, {w, WM_SIZE}, {w, WM_MOVE}}));
    EXPECT_EQ(GetWindowTextString(w), "Title");
    headless::NativeState native;
    ASSERT_TRUE(headless::GetNativeState(w, &native));
    EXPECT_EQ(native.title, "Title");
    EXPECT_FALSE(native.shown);
    EXPECT_FALSE(IsWindowVisible(w));
}

TEST_F(TreeTest, RefusedCreationLeavesNoWindow) {
    m_handler = [&](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg == WM_CREATE)
            return -1;
        return std::nullopt;
    };
    EXPECT_EQ(Make(WS_OVERLAPPED, RECT{0, 0, 10, 10}), nullptr);
    ASSERT_EQ(Of(WM_NCDESTROY).size(), 1u);
    EXPECT_FALSE(IsWindow(Of(WM_NCDESTROY)[0].hwnd));
    EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, 0, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(CreateWindowEx(0, kClass, "", WS_CHILD, 0, 0, 1, 1, nullptr, 0, nullptr, nullptr),
              nullptr); // a child needs a parent
}

TEST_F(TreeTest, UserDataPropertiesAndSubclassing) {
    HWND w = Make(WS_OVERLAPPED, RECT{0, 0, 10, 10});
    EXPECT_EQ(SetWindowLongPtr(w, GWLP_USERDATA, 1234), 0);
    EXPECT_EQ(GetWindowLongPtr(w, GWLP_USERDATA), 1234);
    int a = 0;
    EXPECT_TRUE(SetProp(w, "WndX", &a));
    EXPECT_EQ(GetProp(w, "WndX"), &a);
    EXPECT_EQ(GetProp(w, "Other"), nullptr);
    EXPECT_EQ(RemoveProp(w, "WndX"), &a);
    EXPECT_EQ(GetProp(w, "WndX"), nullptr);

    static WNDPROC s_old = nullptr;
    static int s_seen = 0;
    s_seen = 0;
    s_old = reinterpret_cast<WNDPROC>(GetWindowLongPtr(w, GWLP_WNDPROC));
    auto sub = [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (msg == WM_APP)
            ++s_seen;
        return CallWindowProc(s_old, hwnd, msg, wParam, lParam);
    };
    SetWindowLongPtr(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(static_cast<WNDPROC>(sub)));
    SendMessage(w, WM_APP, 0, 0);
    EXPECT_EQ(s_seen, 1);
    EXPECT_EQ(Of(WM_APP).size(), 1u); // the old procedure still ran

    EXPECT_FALSE(UnregisterClass(kClass, nullptr)); // still in use
    DestroyWindow(w);
    EXPECT_TRUE(UnregisterClass(kClass, nullptr));
    EXPECT_FALSE(GetClassInfo(nullptr, kClass, nullptr));
}

TEST_F(TreeTest, CoordinatesAndRelationsThroughNestedChildren) {
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{100, 50, 400, 250});
    HWND child = Make(WS_CHILD | WS_VISIBLE, RECT{10, 20, 110, 120}, top);
    HWND inner = Make(WS_CHILD | WS_VISIBLE, RECT{5, 6, 25, 26}, child);
    HWND second = Make(WS_CHILD | WS_VISIBLE, RECT{0, 0, 5, 5}, top);
    HWND popup = Make(WS_POPUP, RECT{0, 0, 5, 5}, inner); // owned by the top-level window
    POINT pt{1, 2};
    ASSERT_TRUE(ClientToScreen(inner, &pt));
    EXPECT_EQ(pt.x, 116);
    EXPECT_EQ(pt.y, 78);
    ASSERT_TRUE(ScreenToClient(inner, &pt));
    EXPECT_EQ(pt.x, 1);
    RECT r;
    GetWindowRect(inner, &r);
    EXPECT_EQ(r.left, 115);
    EXPECT_EQ(r.bottom, 96);
    GetClientRect(inner, &r);
    EXPECT_EQ(r.right, 20);
    EXPECT_EQ(GetParent(inner), child);
    EXPECT_EQ(GetParent(popup), top);
    EXPECT_EQ(GetWindow(popup, GW_OWNER), top);
    EXPECT_EQ(GetAncestorTopLevel(inner), top);
    EXPECT_EQ(GetWindow(top, GW_CHILD), second); // the newest child is on top
    EXPECT_EQ(GetWindow(second, GW_HWNDNEXT), child);
    EXPECT_EQ(GetWindow(child, GW_HWNDNEXT), nullptr);

    // Hiding a parent hides its children from view; destroying it takes them and its pop-ups.
    ShowWindow(child, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(inner));
    DestroyWindow(top);
    EXPECT_FALSE(IsWindow(inner));
    EXPECT_FALSE(IsWindow(popup));
}

TEST_F(TreeTest, WindowTextIsCutBeforeACharacterThatDoesNotFit) {
    HWND w = Make(WS_OVERLAPPED, RECT{0, 0, 10, 10});
    ASSERT_TRUE(SetWindowText(w, "a\xE4\xB8\xAD")); // "a" and one three-byte character
    char buffer[5];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(GetWindowText(w, buffer, 3), 1);
    EXPECT_STREQ(buffer, "a");
    EXPECT_EQ(GetWindowText(w, buffer, 4), 1); // room for three bytes: still only "a"
    EXPECT_EQ(GetWindowText(w, buffer, 5), 4);
    EXPECT_STREQ(buffer, "a\xE4\xB8\xAD");
    EXPECT_EQ(GetWindowTextString(w), "a\xE4\xB8\xAD");
}

TEST_F(TreeTest, WorkAreaComesFromTheBackend) {
    headless::SetWorkArea(RECT{0, 0, 1280, 984});
    RECT r;
    ASSERT_TRUE(GetMonitorWorkArea(nullptr, &r));
    EXPECT_EQ(r.bottom, 984);
}

} // namespace
} // namespace plat::test
