#include "platform/gfx/Font.h"

#include <gtest/gtest.h>

#include <thread>

using namespace plat;

namespace {

// Fonts are process-wide; each test makes its own and deletes it.
struct Font {
    HFONT h;
    explicit Font(const FontSpec& spec) : h(CreateFont(spec)) {}
    ~Font() { DeleteFont(h); }
    int Width(const char* text) const {
        SIZE s;
        EXPECT_TRUE(GetTextExtentPoint32(h, text, -1, &s));
        return s.cx;
    }
};

std::string FileOf(HFONT f) {
    std::string path;
    GetFontFile(f, &path, nullptr);
    return path;
}

} // namespace

TEST(Font, WindowsFaceNamesFallBackToInstalledFamilies) {
    Font yahei({"微软雅黑", 12});
    Font tahoma({"Tahoma", 12});
    Font unknown({"No Such Face At All", 12});
    Font fallbackDefault({"", 12});
    ASSERT_NE(yahei.h, nullptr);
    ASSERT_NE(tahoma.h, nullptr);
    ASSERT_NE(unknown.h, nullptr);
    ASSERT_NE(fallbackDefault.h, nullptr);
    EXPECT_NE(FileOf(yahei.h).find("wqy-microhei"), std::string::npos) << FileOf(yahei.h);
    EXPECT_NE(FileOf(tahoma.h).find("DejaVuSans"), std::string::npos) << FileOf(tahoma.h);
    // A face that is nowhere ends with the Chinese-capable sans face.
    EXPECT_EQ(FileOf(unknown.h), FileOf(yahei.h));
    FontSpec spec;
    ASSERT_TRUE(GetFontSpec(tahoma.h, &spec));
    EXPECT_EQ(spec.face, "Tahoma");
    EXPECT_EQ(spec.size, 12);
}

TEST(Font, MetricsFollowTheWindowsDefinitions) {
    for (int size : {11, 12, 13, 24}) {
        Font f({"微软雅黑", size});
        TEXTMETRIC tm;
        ASSERT_TRUE(GetTextMetrics(f.h, &tm));
        EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent) << size;
        EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - size) << size;
        EXPECT_GE(tm.tmHeight, size) << size;
        EXPECT_LE(tm.tmHeight, size * 3 / 2 + 1) << size;
        EXPECT_GT(tm.tmAveCharWidth, 0);
        EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
        EXPECT_GE(tm.tmExternalLeading, 0);
    }
    Font bold({"微软雅黑", 13, true});
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(bold.h, &tm));
    EXPECT_EQ(tm.tmWeight, 700);
    // Negative sizes mean the same em height, as a Windows height of -size does.
    Font negative({"微软雅黑", -12});
    Font positive({"微软雅黑", 12});
    EXPECT_EQ(negative.Width("Connect 连接"), positive.Width("Connect 连接"));
}

TEST(Font, ExtentAddsUpAndStylesWiden) {
    Font f({"微软雅黑", 12});
    EXPECT_EQ(f.Width(""), 0);
    EXPECT_EQ(f.Width("Read"), f.Width("Re") + f.Width("ad"));
    EXPECT_GT(f.Width("串口号"), f.Width("串"));
    EXPECT_GT(f.Width("W"), f.Width("i"));
    SIZE s;
    ASSERT_TRUE(GetTextExtentPoint32(f.h, "abc", 2, &s));
    EXPECT_EQ(s.cx, f.Width("ab"));
    TEXTMETRIC tm;
    GetTextMetrics(f.h, &tm);
    EXPECT_EQ(s.cy, tm.tmHeight);
    // The installed Chinese face has no bold: the synthetic bold is wider.
    Font bold({"微软雅黑", 12, true});
    EXPECT_GT(bold.Width("端口设置 Port"), f.Width("端口设置 Port"));
    Font big({"微软雅黑", 24});
    EXPECT_GT(big.Width("Port"), f.Width("Port") * 3 / 2);
}

TEST(Font, MissingCharactersComeFromTheNextFaceThatHasThem) {
    // The Latin face has no ideographs; they are measured (and drawn) from the Chinese face.
    Font latin({"Tahoma", 12});
    Font chinese({"微软雅黑", 12});
    EXPECT_EQ(latin.Width("波特率"), chinese.Width("波特率"));
    EXPECT_NE(latin.Width("Baud"), chinese.Width("Baud"));
    EXPECT_EQ(latin.Width("Baud 波特率"), latin.Width("Baud ") + chinese.Width("波特率"));
}

TEST(Font, InvalidBytesMeasureAsTheReplacementCharacter) {
    Font f({"微软雅黑", 12});
    const int replacement = f.Width("\xEF\xBF\xBD");
    EXPECT_GT(replacement, 0);
    EXPECT_EQ(f.Width("\xFF"), replacement);
    EXPECT_EQ(f.Width("a\xE4\xB8"), f.Width("a") + 2 * replacement); // cut sequence: 2 bytes
    EXPECT_EQ(f.Width("\xC0\xAF"), 2 * replacement);                 // overlong '/'
    EXPECT_EQ(f.Width("a\r\nb"), f.Width("ab")); // control characters draw nothing
    EXPECT_EQ(f.Width("a\tb"), f.Width("a b"));
}

TEST(Font, HandleLessCallsFailAndTheDefaultFontIsShared) {
    SIZE s;
    TEXTMETRIC tm;
    EXPECT_FALSE(GetTextExtentPoint32(HFONT{nullptr}, "a", 1, &s));
    EXPECT_FALSE(GetTextMetrics(HFONT{nullptr}, &tm));
    HFONT def = GetDefaultGuiFont();
    ASSERT_NE(def, nullptr);
    DeleteFont(def); // ignored: the shared default font stays usable
    EXPECT_TRUE(GetTextMetrics(def, &tm));
    EXPECT_EQ(def, GetDefaultGuiFont());
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, GetDefaultGuiFontSpec().size);
}

TEST(Font, GlyphCacheFillsOnceAndMeasuringFromTwoThreadsAgrees) {
    Font f({"微软雅黑", 17, false, false, true});
    const char* text = "协议类型 Protocol 当前频道 Channel";
    const int first = f.Width(text);
    const std::size_t bytes = GetGlyphCacheBytes();
    EXPECT_GT(bytes, 0u);
    EXPECT_EQ(f.Width(text), first);
    EXPECT_EQ(GetGlyphCacheBytes(), bytes);
    int widths[2] = {0, 0};
    std::thread a([&] {
        for (int i = 0; i < 200; ++i)
            widths[0] = f.Width("工作模式 work mode");
    });
    std::thread b([&] {
        for (int i = 0; i < 200; ++i)
            widths[1] = f.Width("工作模式 work mode");
    });
    a.join();
    b.join();
    EXPECT_EQ(widths[0], widths[1]);
    EXPECT_GT(widths[0], 0);
}
