#include "platform/gfx/Text.h"
#include "platform/base/TextUtf8.h"

#include <gtest/gtest.h>

#include <string>

using namespace plat;

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;

// Anti-aliasing decides the exact pixels, so these tests look at where the ink is: the
// bounding box of every pixel that is no longer the background.
RECT InkBox(const Bitmap& bmp, uint32_t background = kWhite) {
    RECT box{bmp.width, bmp.height, 0, 0};
    for (int y = 0; y < bmp.height; ++y)
        for (int x = 0; x < bmp.width; ++x)
            if (bmp.At(x, y) != background) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    return box;
}

bool NoInk(const Bitmap& bmp) {
    for (uint32_t px : bmp.pixels)
        if (px != kWhite)
            return false;
    return true;
}

struct Surface {
    Bitmap bmp;
    Canvas canvas;
    HFONT font;
    explicit Surface(int w = 200, int h = 60, FontSpec spec = {"微软雅黑", 12})
        : bmp(w, h, kWhite), canvas(bmp), font(CreateFont(spec)) {
        canvas.SelectFont(font);
        canvas.SetBkMode(TRANSPARENT);
        canvas.SetTextColor(RGB(0, 0, 0));
    }
    ~Surface() { DeleteFont(font); }
    int Draw(const char* text, RECT rc, UINT format) {
        return DrawText(&canvas, text, -1, &rc, format);
    }
    RECT Calc(const char* text, RECT rc, UINT format) {
        DrawText(&canvas, text, -1, &rc, format | DT_CALCRECT);
        return rc;
    }
    TEXTMETRIC Metrics() {
        TEXTMETRIC tm;
        GetTextMetrics(&canvas, &tm);
        return tm;
    }
    int Width(const char* text) {
        SIZE s;
        GetTextExtentPoint32(&canvas, text, -1, &s);
        return s.cx;
    }
};

} // namespace

TEST(Text, CalcRect_SingleLineIsTheExtentAndTheFontHeight) {
    Surface s;
    const char* text = "串口号 COM3";
    RECT r = s.Calc(text, RECT{5, 7, 500, 100}, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 7);
    EXPECT_EQ(r.right - r.left, s.Width(text));
    EXPECT_EQ(r.bottom - r.top, s.Metrics().tmHeight);
    EXPECT_TRUE(NoInk(s.bmp));
    // Nothing to measure gives an empty rectangle.
    RECT e = s.Calc("", RECT{5, 7, 500, 100}, DT_SINGLELINE);
    EXPECT_EQ(e.right, 5);
    EXPECT_EQ(e.bottom, 7);
}

TEST(Text, WordBreak_WrapsAtSpacesAndBetweenChineseCharacters) {
    Surface s(300, 200);
    const int lineHeight = s.Metrics().tmHeight;
    const int word = s.Width("Frequency");
    RECT r = s.Calc("TX Frequency RX Frequency", RECT{0, 0, word + 4, 0}, DT_WORDBREAK);
    EXPECT_LE(r.right, word + 4);
    EXPECT_EQ(r.bottom, 4 * lineHeight) << "TX / Frequency / RX / Frequency";
    const int two = s.Width("频率");
    RECT c = s.Calc("发射频率接收频率", RECT{0, 0, two + 1, 0}, DT_WORDBREAK);
    EXPECT_EQ(c.bottom, 4 * lineHeight);
    EXPECT_EQ(c.right, two);
    // A word longer than the line is broken rather than lost.
    RECT w = s.Calc("ABCDABCDABCDABC", RECT{0, 0, s.Width("ABCD"), 0}, DT_WORDBREAK);
    EXPECT_EQ(w.bottom, 4 * lineHeight);
    EXPECT_EQ(w.right, s.Width("ABCD"));
    // Hard line breaks count without DT_SINGLELINE and are ignored with it.
    EXPECT_EQ(s.Calc("a\nb\r\nc", RECT{0, 0, 100, 0}, 0).bottom, 3 * lineHeight);
    EXPECT_EQ(s.Calc("a\nb\r\nc", RECT{0, 0, 100, 0}, DT_SINGLELINE).bottom, lineHeight);
    // The return value of a drawing is the text height.
    EXPECT_EQ(s.Draw("a\nb", RECT{0, 0, 100, 100}, 0), 2 * lineHeight);
}

TEST(Text, AlignmentFlagsPlaceTheTextInTheRectangle) {
    const RECT rc{10, 5, 190, 55};
    struct Case {
        UINT format;
        int wantX; // -1 left, 0 centre, 1 right
        int wantY; // -1 top, 0 centre, 1 bottom
    };
    const Case cases[] = {
        {DT_SINGLELINE, -1, -1},
        {DT_SINGLELINE | DT_CENTER | DT_VCENTER, 0, 0},
        {DT_SINGLELINE | DT_RIGHT | DT_BOTTOM, 1, 1},
        {DT_SINGLELINE | DT_RIGHT | DT_VCENTER, 1, 0},
        {DT_VCENTER | DT_CENTER, 0, -1}, // vertical placement needs a single line
    };
    for (const Case& c : cases) {
        Surface s;
        const char* text = "Read 读取";
        const int w = s.Width(text);
        const int h = s.Metrics().tmHeight;
        s.Draw(text, rc, c.format);
        RECT ink = InkBox(s.bmp);
        // Expected cell of the text; the ink lies inside it, within two pixels of its sides.
        int left = c.wantX < 0 ? rc.left : c.wantX == 0 ? rc.left + (180 - w) / 2 : rc.right - w;
        int top = c.wantY < 0 ? rc.top : c.wantY == 0 ? rc.top + (50 - h) / 2 : rc.bottom - h;
        EXPECT_GE(ink.left, left - 1) << c.format;
        EXPECT_LE(ink.left, left + 2) << c.format;
        EXPECT_LE(ink.right, left + w + 1) << c.format;
        EXPECT_GE(ink.right, left + w - 3) << c.format;
        EXPECT_GE(ink.top, top) << c.format;
        EXPECT_LE(ink.bottom, top + h) << c.format;
        EXPECT_GT(ink.bottom - ink.top, h / 2) << c.format;
    }
}

TEST(Text, NothingIsDrawnOutsideTheRectangleOrTheClip) {
    Surface s;
    s.Draw("A very long line of text 很长很长的一行文字", RECT{20, 10, 80, 30}, DT_SINGLELINE);
    RECT ink = InkBox(s.bmp);
    EXPECT_GE(ink.left, 20);
    EXPECT_LE(ink.right, 80);
    EXPECT_GE(ink.top, 10);
    EXPECT_LE(ink.bottom, 30);
    Surface t;
    t.canvas.IntersectClip(RECT{0, 0, 40, 60});
    t.Draw("Clipped by the canvas", RECT{0, 0, 200, 60}, DT_SINGLELINE);
    EXPECT_LE(InkBox(t.bmp).right, 40);
    // DT_NOCLIP lets the text run past the rectangle (but never past the canvas clip).
    Surface u;
    u.Draw("Runs past the rectangle", RECT{0, 0, 30, 20}, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(InkBox(u.bmp).right, 60);
}

TEST(Text, EndEllipsisCutsTheTextAndKeepsItInside) {
    Surface s;
    const char* text = "Disconnect from the radio 断开连接";
    const int box = s.Width("Disconnect");
    RECT r = s.Calc(text, RECT{0, 0, box, 20}, DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_LE(r.right, box);
    EXPECT_GT(r.right, box - s.Width("W...") - 1);
    s.Draw(text, RECT{0, 0, box, 20}, DT_SINGLELINE | DT_END_ELLIPSIS);
    RECT ink = InkBox(s.bmp);
    EXPECT_LE(ink.right, box);
    // The three dots sit at the right end: the last columns hold ink only at dot height.
    Surface plain;
    plain.Draw("Disconnect", RECT{0, 0, 200, 20}, DT_SINGLELINE);
    EXPECT_LT(ink.right - ink.left, InkBox(plain.bmp).right - InkBox(plain.bmp).left + 1);
    // A text that fits is left whole.
    RECT fits = s.Calc("OK", RECT{0, 0, 100, 20}, DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(fits.right, s.Width("OK"));
}

TEST(Text, PrefixAmpersandUnderlinesUnlessNoPrefix) {
    Surface s;
    EXPECT_EQ(s.Calc("&File", RECT{0, 0, 200, 20}, DT_SINGLELINE).right, s.Width("File"));
    EXPECT_EQ(s.Calc("&File", RECT{0, 0, 200, 20}, DT_SINGLELINE | DT_NOPREFIX).right,
              s.Width("&File"));
    EXPECT_EQ(s.Calc("A&&B", RECT{0, 0, 200, 20}, DT_SINGLELINE).right, s.Width("A&B"));
    // The underline of the prefixed letter lies below the baseline, under that letter only.
    Surface u, plain;
    u.Draw("&File", RECT{0, 0, 200, 30}, DT_SINGLELINE);
    plain.Draw("File", RECT{0, 0, 200, 30}, DT_SINGLELINE);
    EXPECT_GT(InkBox(u.bmp).bottom, InkBox(plain.bmp).bottom);
}

TEST(Text, MixedChineseAndLatinInOneLineUsesBothFaces) {
    Surface s(300, 30, FontSpec{"Tahoma", 12});
    const char* text = "Port 端口 38400";
    s.Draw(text, RECT{0, 0, 300, 30}, DT_SINGLELINE | DT_VCENTER);
    RECT ink = InkBox(s.bmp);
    EXPECT_GT(ink.right - ink.left, s.Width(text) - 4);
    // Ink in the Chinese part: the columns between the two Latin words are not blank.
    const int from = s.Width("Port "), to = s.Width("Port 端口");
    int inked = 0;
    for (int x = from; x < to; ++x)
        for (int y = 0; y < 30; ++y)
            inked += s.bmp.At(x, y) != kWhite;
    EXPECT_GT(inked, 20);
}

TEST(Text, ColourAndOpaqueBackground) {
    Surface s(200, 40, FontSpec{"微软雅黑", 24});
    s.canvas.SetTextColor(RGB(255, 0, 0));
    s.canvas.SetBkMode(OPAQUE);
    s.canvas.SetBkColor(RGB(0, 0, 255));
    s.Draw("II", RECT{0, 0, 200, 40}, DT_SINGLELINE);
    const int w = s.Width("II"), h = s.Metrics().tmHeight;
    int red = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t px = s.bmp.At(x, y);
            EXPECT_EQ(px & 0x00FF00, 0u); // only red text on blue
            red += px == 0xFFFF0000u;
        }
    EXPECT_GT(red, 0);
    EXPECT_EQ(s.bmp.At(w + 1, 1), kWhite);
    EXPECT_EQ(s.bmp.At(0, h), kWhite);
}

TEST(Text, GradientBrushColoursTheTextAlongTheBrush) {
    LinearGradientBrush brush{{0, 0}, {0, 10}, 0xFFFF0000, 0xFF0000FF};
    EXPECT_EQ(BrushColourAt(brush, 3, 0), 0xFFFF0000u);
    EXPECT_EQ(BrushColourAt(brush, 3, 5), 0xFF800080u);
    EXPECT_EQ(BrushColourAt(brush, 99, 15), 0xFF800080u); // tiled
    EXPECT_EQ(BrushColourAt(brush, 0, -5), 0xFF800080u);
    LinearGradientBrush alpha{{0, 0}, {4, 0}, 0x00FFFFFF, 0xFFFFFFFF};
    EXPECT_EQ(BrushColourAt(alpha, 2, 7), 0x80FFFFFFu);

    Surface s(200, 40, FontSpec{"微软雅黑", 24, true});
    LinearGradientBrush tall{{0, 0}, {0, 80}, 0xFFFF0000, 0xFF0000FF};
    ASSERT_TRUE(DrawStringGradient(&s.canvas, "渐变 Text", -1, s.font, RectF{0, 0, 200, 40},
                                   StringFormat{StringAlignment::Center, StringAlignment::Center},
                                   tall));
    RECT ink = InkBox(s.bmp);
    ASSERT_LT(ink.left, ink.right);
    const int w = s.Width("渐变 Text");
    EXPECT_NEAR((ink.left + ink.right) / 2, 100, 3 + (ink.right - ink.left - w) / 2 + 2);
    EXPECT_NEAR((ink.top + ink.bottom) / 2, 20, 5);
    // Fully covered pixels are pure brush colours: redder at the top than at the bottom.
    auto redness = [&](int y) {
        for (int x = ink.left; x < ink.right; ++x) {
            uint32_t px = s.bmp.At(x, y);
            if (px != kWhite && (px & 0xFF00) == 0)
                return static_cast<int>((px >> 16) & 0xFF) - static_cast<int>(px & 0xFF);
        }
        return -1000;
    };
    int top = -1000, bottom = -1000;
    for (int y = ink.top; y < ink.bottom && top == -1000; ++y)
        top = redness(y);
    for (int y = ink.bottom - 1; y >= ink.top && bottom == -1000; --y)
        bottom = redness(y);
    EXPECT_GT(top, bottom);
    // Clipped to the layout rectangle; a brush without direction draws nothing.
    Surface c(200, 40, FontSpec{"微软雅黑", 24});
    DrawStringGradient(&c.canvas, "Clipped text here", -1, c.font, RectF{0, 0, 50, 40},
                       StringFormat{}, tall);
    EXPECT_LE(InkBox(c.bmp).right, 50);
    Surface d;
    EXPECT_FALSE(DrawStringGradient(&d.canvas, "x", -1, d.font, RectF{0, 0, 50, 40}, StringFormat{},
                                    LinearGradientBrush{{3, 3}, {3, 3}}));
    EXPECT_TRUE(NoInk(d.bmp));
}

TEST(Text, Utf8HelpersNeverSplitOrLoseBytes) {
    struct Case {
        std::string bytes;
        std::vector<uint32_t> want;
    };
    const Case cases[] = {
        {"A\xE4\xB8\xAD", {'A', 0x4E2D}},
        {"\xF0\x9F\x98\x80", {0x1F600}},
        {"\xE4\xB8", {0xFFFD, 0xFFFD}},                         // cut short
        {"\xC0\x80", {0xFFFD, 0xFFFD}},                         // overlong zero
        {"\xED\xA0\x80", {0xFFFD, 0xFFFD, 0xFFFD}},             // surrogate
        {"\xF4\x90\x80\x80", {0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD}}, // above U+10FFFF
        {"\x80z", {0xFFFD, 'z'}},
    };
    for (const Case& c : cases) {
        std::vector<uint32_t> got;
        const char* p = c.bytes.data();
        const char* end = p + c.bytes.size();
        while (p < end)
            got.push_back(Utf8Decode(p, end));
        EXPECT_EQ(got, c.want) << c.bytes;
        if (c.want.size() == 1 || c.want[0] != 0xFFFD) {
            std::string back;
            for (uint32_t cp : got)
                Utf8Append(back, cp);
            EXPECT_EQ(back, c.bytes);
        }
    }
    const std::string mixed = "ab中文"; // 2 + 3 + 3 bytes
    EXPECT_EQ(Utf8PrefixLength(mixed.data(), mixed.size(), 4), 2u);
    EXPECT_EQ(Utf8PrefixLength(mixed.data(), mixed.size(), 5), 5u);
    EXPECT_EQ(Utf8PrefixLength(mixed.data(), mixed.size(), 7), 5u);
    EXPECT_EQ(Utf8PrefixLength(mixed.data(), mixed.size(), 100), 8u);
    EXPECT_EQ(CodePageLength(mixed.data(), mixed.size()), 6u);
}
