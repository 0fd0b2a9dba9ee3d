// Painting: children paint into their top-level window's back buffer at their offset, after
// their parent and clipped to it; only what was invalidated is painted and presented; the
// pixels can be saved; opacity and region are recorded.

#include "WindowTestSupport.h"

#include "platform/gfx/Canvas.h"
#include "platform/gfx/Image.h"

#include <cstdio>
#include <map>

namespace plat::test {
namespace {

using PaintTest = WindowTest;

constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kGreen = 0xFF00FF00;

class FilledWindows : public PaintTest {
protected:
    void SetUp() override {
        PaintTest::SetUp();
        m_handler = [this](HWND hwnd, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (msg != WM_PAINT)
                return std::nullopt;
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            m_painted.push_back({hwnd, ps.rcPaint});
            RECT all;
            GetClientRect(hwnd, &all);
            if (dc != nullptr)
                dc->FillRect(all, m_colour[hwnd]);
            EndPaint(hwnd, &ps);
            return 0;
        };
    }

    std::map<HWND, COLORREF> m_colour;
    std::vector<std::pair<HWND, RECT>> m_painted;
};

TEST_F(FilledWindows, ChildPaintsAtItsOffsetAfterItsParentAndInsideIt) {
    HWND top = Make(WS_OVERLAPPED, RECT{300, 200, 400, 280});
    HWND child = Make(WS_CHILD | WS_VISIBLE, RECT{10, 20, 40, 50}, top);
    // Half outside its parent: the part outside is cut off.
    HWND grandchild = Make(WS_CHILD | WS_VISIBLE, RECT{20, 20, 60, 40}, child);
    m_colour[top] = RGB(255, 0, 0);
    m_colour[child] = RGB(0, 0, 255);
    m_colour[grandchild] = RGB(0, 255, 0);
    ShowWindow(top, SW_SHOW);
    headless::PumpMessages();

    ASSERT_EQ(m_painted.size(), 3u);
    EXPECT_EQ(m_painted[0].first, top);
    EXPECT_EQ(m_painted[1].first, child);
    EXPECT_EQ(m_painted[2].first, grandchild);

    const Bitmap* px = headless::Pixels(child);
    ASSERT_NE(px, nullptr);
    ASSERT_EQ(px->width, 100);
    ASSERT_EQ(px->height, 80);
    EXPECT_EQ(px->At(9, 19), kRed);
    EXPECT_EQ(px->At(10, 20), kBlue);
    EXPECT_EQ(px->At(29, 39), kBlue);
    EXPECT_EQ(px->At(30, 40), kGreen); // grandchild at 10+20, 20+20
    EXPECT_EQ(px->At(39, 49), kGreen);
    EXPECT_EQ(px->At(40, 45), kRed); // beyond the child's right edge
    EXPECT_EQ(px->At(40, 50), kRed);
    POINT offset;
    EXPECT_EQ(GetWindowBuffer(grandchild, &offset), px);
    EXPECT_EQ(offset.x, 30);
    EXPECT_EQ(offset.y, 40);
}

TEST_F(FilledWindows, OnlyTheInvalidatedPartIsPaintedAndPresented) {
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{0, 0, 100, 80});
    HWND child = Make(WS_CHILD | WS_VISIBLE, RECT{10, 20, 40, 50}, top);
    m_colour[top] = RGB(255, 0, 0);
    m_colour[child] = RGB(0, 0, 255);
    headless::PumpMessages();
    headless::NativeState before;
    ASSERT_TRUE(headless::GetNativeState(top, &before));
    m_painted.clear();

    // The child alone: its parent is not asked.
    InvalidateRect(child, nullptr, false);
    headless::PumpMessages();
    ASSERT_EQ(m_painted.size(), 1u);
    EXPECT_EQ(m_painted[0].first, child);

    // A part of the parent over the child repaints the child's part of it too.
    m_painted.clear();
    RECT part{30, 40, 60, 70};
    InvalidateRect(top, &part, false);
    InvalidateRect(top, &part, false); // twice is still one paint
    headless::PumpMessages();
    ASSERT_EQ(m_painted.size(), 2u);
    EXPECT_EQ(m_painted[0].first, top);
    EXPECT_EQ(m_painted[0].second.left, 30);
    EXPECT_EQ(m_painted[0].second.bottom, 70);
    EXPECT_EQ(m_painted[1].first, child);
    EXPECT_EQ(m_painted[1].second.left, 20);
    EXPECT_EQ(m_painted[1].second.top, 20);
    EXPECT_EQ(m_painted[1].second.right, 30);
    EXPECT_EQ(m_painted[1].second.bottom, 30);
    // The paint was clipped to the update rectangle though the window filled everything.
    const Bitmap* px = headless::Pixels(top);
    EXPECT_EQ(px->At(35, 45), kBlue);
    EXPECT_EQ(px->At(50, 60), kRed);

    headless::NativeState after;
    ASSERT_TRUE(headless::GetNativeState(top, &after));
    EXPECT_EQ(after.presents, before.presents + 2);
    RECT update;
    EXPECT_FALSE(GetUpdateRect(top, &update, false));
}

TEST_F(FilledWindows, ChildBetweenTwoInvalidatedPartsIsPaintedAgain) {
    // The parent paints the rectangle around both parts, over the child between them.
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{0, 0, 100, 80});
    HWND child = Make(WS_CHILD | WS_VISIBLE, RECT{40, 30, 60, 50}, top);
    m_colour[top] = RGB(255, 0, 0);
    m_colour[child] = RGB(0, 0, 255);
    headless::PumpMessages();
    m_painted.clear();
    const RECT first{0, 0, 20, 20};
    const RECT second{80, 60, 100, 80};
    InvalidateRect(top, &first, false);
    InvalidateRect(top, &second, false);
    headless::PumpMessages();
    ASSERT_EQ(m_painted.size(), 2u);
    EXPECT_EQ(m_painted[1].first, child);
    const Bitmap* px = headless::Pixels(top);
    EXPECT_EQ(px->At(50, 40), kBlue);
    EXPECT_EQ(px->At(30, 40), kRed);
}

TEST_F(FilledWindows, HiddenWindowsAreNotPaintedAndShowingPaintsThem) {
    HWND top = Make(WS_OVERLAPPED, RECT{0, 0, 100, 80});
    m_colour[top] = RGB(0, 255, 0);
    InvalidateRect(top, nullptr, false);
    headless::PumpMessages();
    EXPECT_TRUE(m_painted.empty());
    ShowWindow(top, SW_SHOW);
    UpdateWindow(top);
    ASSERT_EQ(m_painted.size(), 1u);
    EXPECT_EQ(headless::Pixels(top)->At(50, 40), kGreen);
}

TEST_F(PaintTest, DeviceContextOutsidePaintDrawsAtTheOffsetAndIsPresented) {
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{0, 0, 50, 50});
    HWND child = Make(WS_CHILD | WS_VISIBLE, RECT{10, 10, 20, 20}, top);
    headless::PumpMessages();
    headless::NativeState before;
    headless::GetNativeState(top, &before);
    HDC dc = GetDC(child);
    ASSERT_NE(dc, nullptr);
    dc->FillRect(RECT{-5, -5, 100, 100}, RGB(0, 0, 255)); // clipped to the child
    EXPECT_TRUE(ReleaseDC(child, dc));
    EXPECT_FALSE(ReleaseDC(child, dc));
    headless::PumpMessages();
    const Bitmap* px = headless::Pixels(top);
    EXPECT_EQ(px->At(10, 10), kBlue);
    EXPECT_EQ(px->At(19, 19), kBlue);
    EXPECT_NE(px->At(9, 9), kBlue);
    EXPECT_NE(px->At(20, 20), kBlue);
    headless::NativeState after;
    headless::GetNativeState(top, &after);
    EXPECT_EQ(after.presents, before.presents + 1);
}

TEST_F(PaintTest, AProcedureThatIgnoresPaintIsNotAskedForEver) {
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{0, 0, 50, 50});
    m_handler = [](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg == WM_PAINT)
            return 0;
        return std::nullopt;
    };
    InvalidateRect(top, nullptr, false);
    EXPECT_LT(headless::PumpMessages(), 5);
    EXPECT_EQ(Of(WM_PAINT, top).size(), 1u);
}

TEST_F(FilledWindows, SavedPictureReadsBackAsThePixels) {
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{0, 0, 64, 32});
    HWND child = Make(WS_CHILD | WS_VISIBLE, RECT{32, 0, 64, 32}, top);
    m_colour[top] = RGB(255, 0, 0);
    m_colour[child] = RGB(0, 0, 255);
    headless::PumpMessages();
    const std::string path = ::testing::TempDir() + "window-paint-test.png";
    ASSERT_TRUE(headless::SavePng(child, path));
    Bitmap back;
    ASSERT_TRUE(LoadImageFile(path, &back));
    std::remove(path.c_str());
    EXPECT_EQ(back.width, 64);
    EXPECT_EQ(back.pixels, headless::Pixels(top)->pixels);
    EXPECT_FALSE(headless::SavePng(nullptr, path));
}

TEST_F(PaintTest, OpacityAndRoundedRegionAreRecorded) {
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{0, 0, 100, 80}, nullptr, WS_EX_LAYERED);
    HWND child = Make(WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, top);
    EXPECT_TRUE(SetLayeredWindowAttributes(top, 0, 128, LWA_ALPHA));
    EXPECT_FALSE(SetLayeredWindowAttributes(child, 0, 128, LWA_ALPHA));
    EXPECT_TRUE(SetWindowRgn(top, RECT{0, 0, 101, 81}, 5, 5, true));
    headless::NativeState native;
    ASSERT_TRUE(headless::GetNativeState(top, &native));
    EXPECT_EQ(native.opacity, 128);
    EXPECT_EQ(GetWindowOpacity(top), 128);
    EXPECT_EQ(native.region.right, 101);
    EXPECT_EQ(native.regionEx, 5);
    RECT r;
    int ex = 0, ey = 0;
    EXPECT_TRUE(GetWindowRgn(top, &r, &ex, &ey));
    EXPECT_EQ(ey, 5);
    EXPECT_TRUE(SetWindowRgn(top, RECT{}, 0, 0, true));
    EXPECT_FALSE(GetWindowRgn(top, &r, &ex, &ey));
}

TEST_F(PaintTest, ResizingATopLevelWindowResizesItsBufferAndTellsIt) {
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{10, 10, 110, 90});
    ClearLog();
    EXPECT_TRUE(MoveWindow(top, 20, 30, 200, 100, true));
    EXPECT_EQ(headless::Pixels(top)->width, 200);
    EXPECT_EQ(headless::Pixels(top)->height, 100);
    ASSERT_EQ(Of(WM_SIZE, top).size(), 1u);
    EXPECT_EQ(Of(WM_SIZE, top)[0].lParam, MAKELPARAM(200, 100));
    ASSERT_EQ(Of(WM_MOVE, top).size(), 1u);
    headless::NativeState native;
    ASSERT_TRUE(headless::GetNativeState(top, &native));
    EXPECT_EQ(native.rect.top, 30);
    EXPECT_EQ(native.rect.bottom, 130);
    RECT update;
    EXPECT_TRUE(GetUpdateRect(top, &update, false));
    EXPECT_EQ(update.right, 200);
}

} // namespace
} // namespace plat::test
