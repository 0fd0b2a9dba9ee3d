// Window icons from embedded "ICON" resources, on the headless backend.

#include "WindowTestSupport.h"

#include "platform/gfx/Image.h"
#include "platform/sys/File.h"
#include "platform/sys/Resource.h"

#include <cstdio>
#include <iterator>

namespace plat::test {
namespace {

class IconTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        m_program = Png(Bitmap(32, 32, 0xFF2060A0));
        m_other = Png(Bitmap(16, 16, 0x80400000)); // translucent, premultiplied
        m_table[0] =
            ResourceEntry{kIconResource, kIconResourceType, m_program.data(), m_program.size()};
        m_table[1] = ResourceEntry{7, "icon", m_other.data(), m_other.size()};
        RegisterResources(m_table, std::size(m_table));
    }
    void TearDown() override {
        WindowTest::TearDown();
        UnregisterResources(m_table);
    }

    static std::vector<uint8_t> Png(const Bitmap& picture) {
        const std::string path = testing::TempDir() + "IconTest.png";
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(WritePngFile(path, picture));
        EXPECT_TRUE(ReadFileBytes(path, &bytes));
        std::remove(path.c_str());
        return bytes;
    }

    static Bitmap Shown(HWND hwnd) {
        headless::NativeState native;
        headless::GetNativeState(hwnd, &native);
        return native.icon;
    }

    std::vector<uint8_t> m_program;
    std::vector<uint8_t> m_other;
    ResourceEntry m_table[2];
};

TEST_F(IconTest, MainWindowsShowTheProgramIconAndSetIconReplacesIt) {
    HWND top = Make(WS_OVERLAPPED | WS_VISIBLE, RECT{0, 0, 100, 100});
    HWND popup = Make(WS_POPUP | WS_VISIBLE, RECT{10, 10, 50, 50}, top);
    const Bitmap program = Shown(top);
    ASSERT_EQ(program.width, 32);
    EXPECT_EQ(program.At(5, 5), 0xFF2060A0u);
    EXPECT_TRUE(Shown(popup).Empty()) << "pop-ups have no icon of their own";

    HICON program_icon = LoadIcon(nullptr, kIconResource);
    ASSERT_NE(program_icon, nullptr);
    EXPECT_EQ(LoadIcon(nullptr, kIconResource), program_icon) << "decoded once";
    EXPECT_EQ(LoadIcon(nullptr, 8), nullptr);
    EXPECT_EQ(SendMessage(top, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(program_icon));

    HICON other = LoadIcon(nullptr, 7);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(SendMessage(top, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(other)),
              reinterpret_cast<LRESULT>(program_icon));
    EXPECT_EQ(Shown(top).width, 16);
    EXPECT_EQ(Shown(top).At(0, 0), 0x80400000u);
    // A small icon alone does not replace the big one the desktop shows.
    SendMessage(top, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(program_icon));
    EXPECT_EQ(Shown(top).width, 16);
    EXPECT_EQ(SendMessage(top, WM_GETICON, ICON_SMALL, 0), reinterpret_cast<LRESULT>(program_icon));
}

} // namespace
} // namespace plat::test
