#include "pane/core/Render.h"
#include "pane/core/RenderResources.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

using Pane::CUIRender;
using plat::RECT;

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kBlack = 0xFF000000;

struct TextFixture : ::testing::Test {
    Pane::CRenderResources host;
    plat::Bitmap bitmap{300, 120, kWhite};
    plat::Canvas canvas{bitmap};

    int LineHeight() {
        const Pane::FontInfo* f = host.GetFontInfo(-1);
        return f->tm.tmHeight + f->tm.tmExternalLeading;
    }
    RECT Measure(const char* text, RECT rc = RECT{10, 10, 290, 110}, plat::UINT style = 0) {
        int links = 0;
        CUIRender::DrawHtmlText(&canvas, &host, rc, text, kBlack, nullptr, nullptr, links,
                                style | plat::DT_CALCRECT);
        return rc;
    }
    int MeasureWidth(const char* text) {
        RECT rc = Measure(text);
        return rc.right - rc.left;
    }
    // True when some pixel in r has red well above blue (the hover or a red text colour).
    bool HasReddish(const RECT& r) const {
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                const uint32_t p = bitmap.At(x, y);
                if (static_cast<int>((p >> 16) & 0xFF) > static_cast<int>(p & 0xFF) + 60) {
                    return true;
                }
            }
        }
        return false;
    }
    bool HasInk(const RECT& r) const {
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                if (bitmap.At(x, y) != kWhite) {
                    return true;
                }
            }
        }
        return false;
    }
};

} // namespace

TEST_F(TextFixture, LinesEndAtNewlinesBreakTagsAndParagraphs) {
    const int h = LineHeight();
    ASSERT_GT(h, 0);
    EXPECT_EQ(Measure("abc").bottom - 10, h);
    EXPECT_EQ(Measure("abc\ndef").bottom - 10, 2 * h);
    EXPECT_EQ(Measure("abc<n>def{n}ghi").bottom - 10, 3 * h);
    // A paragraph starts a new line only after text, and its spacing raises its lines.
    EXPECT_EQ(Measure("<p 6>abc</p>").bottom - 10, h + 6);
    EXPECT_EQ(Measure("abc<p>def</p>ghi").bottom - 10, 3 * h);
    EXPECT_EQ(Measure("ab<y 40>c").bottom - 10, 40);
    // Single-line measures the first line only.
    EXPECT_EQ(Measure("abc\ndef", RECT{10, 10, 290, 110}, plat::DT_SINGLELINE).bottom - 10, h);
}

TEST_F(TextFixture, WordBreakWrapsAfterSpacesAndPlainWrapAtCharacters) {
    const int h = LineHeight();
    const int word = MeasureWidth("aaaa ");
    RECT narrow{10, 10, 10 + word + 2, 110};
    RECT wrapped = Measure("aaaa bbbb cccc", narrow, plat::DT_WORDBREAK);
    EXPECT_EQ(wrapped.bottom - 10, 3 * h);
    EXPECT_LE(wrapped.right, narrow.right);
    // A word longer than the line is cut where it stops fitting, at least a character a line.
    RECT tiny{10, 10, 11, 110};
    EXPECT_EQ(Measure("abc", tiny, plat::DT_WORDBREAK).bottom - 10, 3 * h);
    EXPECT_EQ(Measure("abc", tiny).bottom - 10, 3 * h);
    // Chinese text breaks between any two characters.
    const int han = MeasureWidth("中文");
    RECT cjk{10, 10, 10 + han, 110};
    EXPECT_EQ(Measure("中文中文中文", cjk, plat::DT_WORDBREAK).bottom - 10, 3 * h);
}

TEST_F(TextFixture, MalformedBytesWrapWhereTheirGlyphsEnd) {
    // "\xE4" starts a three-byte character but "A" follows: the byte is drawn as a glyph of its
    // own, so a line exactly as wide as it and "A" holds both and "B" wraps to the next line.
    const char* text = "\xE4"
                       "AB";
    plat::SIZE two{};
    ASSERT_TRUE(plat::GetTextExtentPoint32(host.GetFont(-1), text, 2, &two));
    const int h = LineHeight();
    const RECT rc{10, 10, 10 + two.cx, 110};
    EXPECT_EQ(Measure(text, rc).bottom - 10, 2 * h);
    RECT drawn = rc;
    int links = 0;
    CUIRender::DrawHtmlText(&canvas, &host, drawn, text, kBlack, nullptr, nullptr, links, 0);
    EXPECT_TRUE(HasInk(RECT{10, 10 + h, 10 + two.cx, 10 + 2 * h}));
}

TEST_F(TextFixture, FontTagsAddDerivedFontsToTheHost) {
    EXPECT_EQ(host.GetFontCount(), 0);
    Measure("<b>bold</b> <u>under</u> <i>italic</i>");
    EXPECT_EQ(host.GetFontCount(), 3);
    const Pane::FontInfo* base = host.GetFontInfo(-1);
    EXPECT_NE(host.FindFont(base->faceName.GetData(), base->size, true, false, false), nullptr);
    EXPECT_NE(host.FindFont(base->faceName.GetData(), base->size, false, true, false), nullptr);
    EXPECT_NE(host.FindFont(base->faceName.GetData(), base->size, false, false, true), nullptr);
    Measure("<b>again</b>"); // found, not added twice
    EXPECT_EQ(host.GetFontCount(), 3);
    // A face, size and style words; the taller font raises the line.
    RECT big = Measure("x<f Arial 30 bold italic>Big</f>x");
    EXPECT_NE(host.FindFont("Arial", 30, true, false, true), nullptr);
    EXPECT_GT(big.bottom - 10, LineHeight());
    // A number picks the host's font of that index.
    EXPECT_EQ(Measure("<f 3>Big</f>").bottom, big.bottom);
}

TEST_F(TextFixture, LiteralBracketsRawTextAndUnmatchedTags) {
    EXPECT_GT(MeasureWidth("<{>"), 0);
    EXPECT_EQ(MeasureWidth("<{>"), MeasureWidth("<r>{</r>"));
    EXPECT_EQ(MeasureWidth("{<}"), MeasureWidth("{r}<{/r}"));
    EXPECT_EQ(MeasureWidth("<r><b></r>"), MeasureWidth("<r><</r>b>"));
    // A tag without its closing bracket is text; closings without openings change nothing.
    EXPECT_EQ(MeasureWidth("<b"), MeasureWidth("<r><b</r>"));
    EXPECT_EQ(MeasureWidth("</b></c></f></a></i></u>xy"), MeasureWidth("xy"));
    EXPECT_EQ(MeasureWidth("<z>xy<q 5>"), MeasureWidth("xy"));
    EXPECT_EQ(MeasureWidth("<x 17>"), 17);
}

TEST_F(TextFixture, LinksAreRecordedWithNamesAndCapacity) {
    RECT rects[8] = {};
    Pane::CUIString names[8];
    int count = 8;
    RECT rc{10, 10, 290, 110};
    CUIRender::DrawHtmlText(&canvas, &host, rc, "go <a one>first</a> or {a two}second{/a}", kBlack,
                            rects, names, count, 0);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(names[0], "one");
    EXPECT_EQ(names[1], "two");
    EXPECT_GT(rects[0].right, rects[0].left);
    EXPECT_GE(rects[1].left, rects[0].right);
    EXPECT_EQ(rects[0].top, 10);
    EXPECT_EQ(rects[0].bottom, 10 + LineHeight());
    EXPECT_TRUE(HasInk(rects[0]));

    int one = 1;
    CUIRender::DrawHtmlText(&canvas, &host, rc, "<a one>first</a> <a two>second</a>", kBlack, rects,
                            names, one, 0);
    EXPECT_EQ(one, 1);
    int none = 0;
    CUIRender::DrawHtmlText(&canvas, &host, rc, "<a one>first</a>", kBlack, rects, names, none, 0);
    EXPECT_EQ(none, 0);
}

TEST_F(TextFixture, AWrappedLinkGetsOneRectanglePerLine) {
    const int word = MeasureWidth("alpha ");
    RECT rects[8] = {};
    Pane::CUIString names[8];
    int count = 8;
    RECT rc{10, 10, 10 + word + 2, 110};
    CUIRender::DrawHtmlText(&canvas, &host, rc, "<a both>alpha beta</a>", kBlack, rects, names,
                            count, plat::DT_WORDBREAK);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(names[0], "both");
    EXPECT_EQ(names[1], "both");
    EXPECT_EQ(rects[1].top, rects[0].bottom);
    EXPECT_EQ(rects[1].left, 10);
}

TEST_F(TextFixture, TheLinkUnderTheMouseTakesTheHoverColour) {
    RECT rects[8] = {};
    Pane::CUIString names[8];
    int count = 8;
    RECT rc{10, 10, 290, 110};
    const char* text = "<a x>link text</a>";
    CUIRender::DrawHtmlText(&canvas, &host, rc, text, kBlack, rects, names, count, 0);
    ASSERT_EQ(count, 1);
    EXPECT_FALSE(HasReddish(rects[0])); // link colour is blue
    host.SetMousePos(plat::POINT{rects[0].left + 2, rects[0].top + 2});
    CUIRender::DrawHtmlText(&canvas, &host, rc, text, kBlack, rects, names, count, 0);
    EXPECT_TRUE(HasReddish(rects[0]));
}

TEST_F(TextFixture, ColourAndSelectionTags) {
    RECT rc{10, 10, 290, 110};
    int links = 0;
    CUIRender::DrawHtmlText(&canvas, &host, rc, "{c #FFFF0000}red{/c}", kBlack, nullptr, nullptr,
                            links, 0);
    EXPECT_TRUE(HasReddish(RECT{10, 10, 60, 10 + LineHeight()}));
    RECT sel{10, 60, 290, 110};
    CUIRender::DrawHtmlText(&canvas, &host, sel, "<s>ab</s>cd", kBlack, nullptr, nullptr, links, 0);
    EXPECT_EQ(bitmap.At(10, 60), 0xFFBAE4FFu); // selected background, opaque
    const int ab = MeasureWidth("ab");
    EXPECT_EQ(bitmap.At(10 + ab + 1, 60), kWhite); // selection ended
}

TEST_F(TextFixture, InlineImagesAreFramesCentredOnTheLine) {
    auto image = std::make_unique<Pane::ImageInfo>();
    image->bitmap = plat::Bitmap(8, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x) {
            image->bitmap.At(x, y) = x < 2 ? 0xFFFF0000 : x < 4 ? 0xFF00FF00 : 0xFF0000FF;
        }
    }
    image->width = 8;
    image->height = 4;
    host.AddImage("frames", std::move(image));
    EXPECT_EQ(MeasureWidth("{i frames 0}"), 8); // a count of 0 is one frame
    EXPECT_EQ(MeasureWidth("{i frames 4 1}"), 2);
    EXPECT_EQ(MeasureWidth("{i frames 4 9}"), 2);
    EXPECT_EQ(MeasureWidth("<i file='frames' 4 2>"), 2);
    EXPECT_EQ(MeasureWidth("{i missing 4 1}"), 0);
    RECT rc{10, 10, 290, 110};
    int links = 0;
    CUIRender::DrawHtmlText(&canvas, &host, rc, "{i frames 4 1}", kBlack, nullptr, nullptr, links,
                            0);
    const int top = 10 + (LineHeight() - 4) / 2;
    EXPECT_EQ(bitmap.At(10, top), 0xFF00FF00u);
    EXPECT_EQ(bitmap.At(11, top + 3), 0xFF00FF00u);
    EXPECT_EQ(bitmap.At(12, top), kWhite);
    EXPECT_EQ(bitmap.At(10, top - 1), kWhite);
}

TEST_F(TextFixture, AlignmentPlacesTheTextAndClipsToTheRectangle) {
    RECT rc{0, 0, 300, 60};
    int links = 0;
    CUIRender::DrawHtmlText(&canvas, &host, rc, "mid", kBlack, nullptr, nullptr, links,
                            plat::DT_CENTER | plat::DT_VCENTER | plat::DT_SINGLELINE);
    const int w = MeasureWidth("mid");
    const int h = LineHeight();
    EXPECT_FALSE(HasInk(RECT{0, 0, 150 - w / 2 - 2, 60}));
    EXPECT_TRUE(HasInk(RECT{150 - w / 2 - 1, 30 - h / 2 - 1, 150 + w / 2 + 2, 30 + h / 2 + 2}));
    EXPECT_FALSE(HasInk(RECT{0, 0, 300, 30 - h / 2 - 1}));

    plat::Bitmap other(300, 120, kWhite);
    plat::Canvas c2(other);
    RECT clip{20, 70, 40, 80};
    CUIRender::DrawHtmlText(&c2, &host, clip, "a long line that does not fit", kBlack, nullptr,
                            nullptr, links, plat::DT_SINGLELINE);
    for (int y = 0; y < 120; ++y) {
        for (int x = 0; x < 300; ++x) {
            if (x < 20 || x >= 40 || y < 70 || y >= 80) {
                ASSERT_EQ(other.At(x, y), kWhite) << x << "," << y;
            }
        }
    }
}

TEST_F(TextFixture, PlainTextUsesTheFontByIndexAndNoPrefix) {
    RECT a{10, 10, 290, 110};
    CUIRender::DrawText(&canvas, &host, a, "&File", kBlack, 99, plat::DT_CALCRECT);
    RECT b{10, 10, 290, 110};
    CUIRender::DrawText(&canvas, &host, b, "&File", kBlack, -1, plat::DT_CALCRECT);
    EXPECT_EQ(a.right, b.right); // out of range: the default font
    RECT c{10, 10, 290, 110};
    CUIRender::DrawText(&canvas, &host, c, "File", kBlack, -1, plat::DT_CALCRECT);
    EXPECT_GT(b.right, c.right); // the ampersand is drawn, not taken as a prefix
}

TEST_F(TextFixture, EndEllipsisCutsTwoCharactersEarly) {
    const int fits = MeasureWidth("abcdef");
    RECT narrow{10, 10, 10 + fits + 1, 110};
    // "abcdef" fits, so the text is cut to "abcd" with "..." behind it.
    RECT cut = Measure("abcdefghij", narrow, plat::DT_SINGLELINE | plat::DT_END_ELLIPSIS);
    EXPECT_EQ(cut.right - 10, MeasureWidth("abcd") + MeasureWidth("..."));
    // Text that fits is left alone.
    RECT whole = Measure("abc", narrow, plat::DT_SINGLELINE | plat::DT_END_ELLIPSIS);
    EXPECT_EQ(whole.right - 10, MeasureWidth("abc"));
}

TEST_F(TextFixture, RightBottomAndWrappedCentringPlaceTheInk) {
    const int h = LineHeight();
    const int w = MeasureWidth("end");
    RECT corner{0, 0, 300, 120};
    int links = 0;
    CUIRender::DrawHtmlText(&canvas, &host, corner, "end", kBlack, nullptr, nullptr, links,
                            plat::DT_RIGHT | plat::DT_BOTTOM | plat::DT_SINGLELINE);
    EXPECT_FALSE(HasInk(RECT{0, 0, 300 - w - 1, 120}));
    EXPECT_FALSE(HasInk(RECT{0, 0, 300, 120 - h - 1}));
    EXPECT_TRUE(HasInk(RECT{300 - w, 120 - h, 300, 120}));

    // Wrapped text is centred by the height of its wrapped lines: three lines around the
    // middle, nothing in the bands above and below them.
    plat::Bitmap other(300, 120, kWhite);
    plat::Canvas c2(other);
    const int word = MeasureWidth("aaaa ");
    RECT column{10, 0, 10 + word + 2, 120};
    CUIRender::DrawHtmlText(&c2, &host, column, "aaaa bbbb cccc", kBlack, nullptr, nullptr, links,
                            plat::DT_WORDBREAK | plat::DT_VCENTER);
    const int top = (120 - 3 * h) / 2;
    auto inkIn = [&](int y0, int y1) {
        for (int y = std::max(y0, 0); y < std::min(y1, 120); ++y) {
            for (int x = 0; x < 300; ++x) {
                if (other.At(x, y) != kWhite) {
                    return true;
                }
            }
        }
        return false;
    };
    EXPECT_FALSE(inkIn(0, top - 1));
    EXPECT_TRUE(inkIn(top + 2 * h, top + 3 * h));
    EXPECT_FALSE(inkIn(top + 3 * h + 1, 120));
}

TEST_F(TextFixture, RunsOfASmallerFontSitAtTheBottomOfATallLine) {
    const int small = LineHeight();
    const int xWidth = MeasureWidth("x");
    RECT rc{10, 10, 290, 110};
    const RECT line = Measure("x<f Arial 30>Big</f>", rc);
    const int bottom = line.bottom;
    ASSERT_GT(bottom - 10, small + 4);
    int links = 0;
    CUIRender::DrawHtmlText(&canvas, &host, rc, "x<f Arial 30>Big</f>", kBlack, nullptr, nullptr,
                            links, 0);
    // The small "x" is drawn in the last `small` rows of the line, not at its top.
    EXPECT_FALSE(HasInk(RECT{10, 10, 10 + xWidth, bottom - small}));
    EXPECT_TRUE(HasInk(RECT{10, bottom - small, 10 + xWidth, bottom}));
    EXPECT_TRUE(HasInk(RECT{10 + xWidth, 10, 290, bottom - small})); // the tall run reaches up
}
