// Labels and texts: the align words, colours and measuring, effect mode (stored text, defaults,
// pixels of its alphas, outline and shadow), shadow offsets, error texts, text links, and the
// pixels of the label sample.
#include "CaptionTestSupport.h"

#include "pane/controls/Text.h"
#include "pane/core/UIManager.h"
#include "platform/backends/Headless.h"
#include "platform/sys/File.h"

#include <gtest/gtest.h>

namespace Pane::test {
namespace {

using plat::RECT;

TEST(LabelAttributes, AlignWordsApplyWhereverTheyOccur) {
    struct Case {
        const char* value;
        unsigned int style;
    };
    // Every case starts from the initial style 4 (DT_VCENTER).
    const Case cases[] = {
        {"vcenter", 0x25},       // "center" matches too
        {"right vcenter", 0x27}, // "vcenter" sets DT_CENTER after "right" cleared it
        {"left", 0x00},          {"center", 0x05},       {"right", 0x02}, {"top", 0x20},
        {"bottom", 0x28},        {"right bottom", 0x2A}, {"LEFT", 0x04}, // case-sensitive
    };
    for (const Case& c : cases) {
        CLabelUI label;
        label.SetAttribute("align", c.value);
        EXPECT_EQ(label.TextStyle(), c.style) << c.value;
    }
    CLabelUI label;
    label.SetAttribute("endellipsis", "true");
    EXPECT_EQ(label.TextStyle(), 0x8004u);
    label.SetAttribute("endellipsis", "yes");
    EXPECT_EQ(label.TextStyle(), 0x4u);
}

TEST(LabelAttributes, ValuesAndEffectAccessors) {
    CLabelUI label;
    label.SetAttribute("textcolor", "#FF102030");
    CLabelUI plain;
    plain.SetAttribute("textcolor", "FF102030");
    EXPECT_EQ(label.TextColor(), plain.TextColor());
    EXPECT_EQ(label.TextColor(), 0xFF102030u);
    label.SetAttribute("textpadding", "1,2,3,4");
    EXPECT_EQ(label.TextPadding().left, 1);
    EXPECT_EQ(label.TextPadding().bottom, 4);
    label.SetAttribute("rhaa", "9");
    EXPECT_EQ(label.GetTextRenderingHintAntiAlias(), 0);
    label.SetAttribute("rhaa", "4");
    EXPECT_EQ(label.GetTextRenderingHintAntiAlias(), 4);
    label.SetAttribute("transtext1", "12");
    label.SetAttribute("transstroke", "34");
    label.SetAttribute("strokecolor", "#FF00FF00");
    label.SetAttribute("textshadowcolorb", "FF0000FF");
    EXPECT_EQ(label.GetTransText1(), 12);
    EXPECT_EQ(label.GetTransStroke(), 34);
    EXPECT_EQ(label.GetStrokeColor(), 0xFF00FF00u);
    EXPECT_EQ(label.GetTextShadowColorB(), 0xFF0000FFu);
    // Defaults of the effect fields.
    CLabelUI fresh;
    EXPECT_EQ(fresh.GetTransText(), 168);
    EXPECT_EQ(fresh.GetTransShadow(), 60);
    EXPECT_EQ(fresh.GetTextColor1(), 0xFFFFFFFFu);
    EXPECT_EQ(fresh.GetTextShadowColorA(), 0xFF000000u);
}

TEST(LabelEffect, TextSetBeforeTheModeStaysOutOfIt) {
    CLabelUI label;
    label.SetAttribute("text", "before");
    label.SetAttribute("enabledeffect", "true");
    EXPECT_STREQ(label.GetText(), "");
    label.SetText("after");
    EXPECT_STREQ(label.GetText(), "after");
    label.SetEnabledEffect(false);
    EXPECT_STREQ(label.GetText(), "before");
}

TEST(LabelEffect, ShadowOffsetFollowsTheAngleRule) {
    struct Case {
        int angle;
        float x, y;
    };
    // Before any layout the position is all zero, so the offsets are pure.
    const Case cases[] = {{0, -3, -3},  {90, -3, -3}, {91, -3, 3}, {180, -3, 3}, {-1, 3, -3},
                          {-89, 3, -3}, {-90, 3, 0},  {-91, 3, 3}, {-179, 3, 3}, {-180, 0, 3}};
    for (const Case& c : cases) {
        CLabelUI label;
        label.SetShadowOffset(3, c.angle);
        EXPECT_EQ(label.GetShadowOffset().x, c.x) << c.angle;
        EXPECT_EQ(label.GetShadowOffset().y, c.y) << c.angle;
    }
    CLabelUI label;
    label.SetAttribute("shadowoffset", "2,45");
    label.SetShadowOffset(5, 181); // out of range: unchanged
    EXPECT_EQ(label.GetShadowOffset().x, -2);
    // After layout the position's top and left are the base.
    label.SetPosition(RECT{10, 20, 50, 40});
    label.SetShadowOffset(2, 45);
    EXPECT_EQ(label.GetShadowOffset().x, 18);
    EXPECT_EQ(label.GetShadowOffset().y, 8);
}

class LabelWindowTest : public CaptionTest {};

TEST_F(LabelWindowTest, MeasuresByFontHeight) {
    Open("<Window><Font name=\"微软雅黑\" size=\"12\" default=\"true\"/><Container>"
         "<Label name=\"l\" text=\"x\"/><Label name=\"fixed\" height=\"30\"/>"
         "<Text name=\"t\" text=\"one two three four five six seven eight nine ten\"/>"
         "</Container></Window>",
         200, 100);
    CUIManager& manager = m_window->GetManager();
    const int fontHeight = manager.GetFontInfo(-1)->tm.tmHeight;
    ASSERT_GT(fontHeight, 0);
    EXPECT_EQ(Find<CLabelUI>("l")->MeasureSize({200, 100}).cy, fontHeight + 4);
    EXPECT_EQ(Find<CLabelUI>("fixed")->MeasureSize({200, 100}).cy, 30);
    // A text wraps to the width it is given and grows by lines.
    CTextUI* text = Find<CTextUI>("t");
    const int wide = text->MeasureSize({400, 0}).cy;
    const int narrow = text->MeasureSize({60, 0}).cy;
    EXPECT_EQ(wide, fontHeight);
    EXPECT_GT(narrow, 2 * fontHeight);
    EXPECT_LE(text->MeasureSize({60, 0}).cx, 60);
}

// The darkest pixel of a region, as 0xAARRGGBB.
uint32_t Darkest(const plat::Bitmap& bitmap) {
    uint32_t best = 0xFFFFFFFF;
    int bestSum = 3 * 255 + 1;
    for (uint32_t px : bitmap.pixels) {
        const int sum = static_cast<int>(((px >> 16) & 0xFF) + ((px >> 8) & 0xFF) + (px & 0xFF));
        if (sum < bestSum) {
            bestSum = sum;
            best = px;
        }
    }
    return best;
}

bool HasColour(const plat::Bitmap& bitmap, uint32_t colour) {
    for (uint32_t px : bitmap.pixels) {
        if (px == colour)
            return true;
    }
    return false;
}

TEST_F(LabelWindowTest, EffectTextIsDrawnAtTheTransAlphas) {
    Open("<Window><Font name=\"微软雅黑\" size=\"24\" bold=\"true\" default=\"true\"/>"
         "<Container bkcolor=\"#FFFFFFFF\">"
         // Default alphas: black text at 168 over white; shadow colour A is black but the shadow
         // is off.
         "<Label name=\"plain\" float=\"true\" pos=\"0,0,100,40\" enabledeffect=\"true\" "
         "text=\"HH\" textcolor=\"#FF000000\" shadowoffset=\"20,-135\"/>"
         "<Label name=\"opaque\" float=\"true\" pos=\"0,40,100,80\" enabledeffect=\"true\" "
         "transtext=\"255\" transtext1=\"255\" text=\"HH\" textcolor=\"#00000000\"/>"
         // Shadow on, moved 20 pixels right and down, in red at full alpha.
         "<Label name=\"shadow\" float=\"true\" pos=\"0,80,100,140\" enabledeffect=\"true\" "
         "text=\"H\" textcolor=\"#FF0000FF\" transtext=\"255\" transtext1=\"255\" "
         "enabledshadow=\"true\" textshadowcolora=\"#FFFF0000\" transshadow=\"255\" "
         "transshadow1=\"255\" shadowoffset=\"20,-135\"/>"
         // Outline in green around white text.
         "<Label name=\"stroke\" float=\"true\" pos=\"0,140,100,180\" enabledeffect=\"true\" "
         "text=\"H\" textcolor=\"#FFFFFFFF\" transtext=\"255\" transtext1=\"255\" "
         "enabledstroke=\"true\" strokecolor=\"#FF00FF00\"/>"
         "</Container></Window>",
         100, 180);
    // 255 - 168 = 87 of white stays in the fully covered pixels.
    EXPECT_EQ(Darkest(Pixels(RECT{0, 0, 100, 40})), 0xFF575757u);
    // Nothing right of the text's own glyphs: no shadow while it is off.
    EXPECT_EQ(Darkest(Pixels(RECT{60, 0, 100, 40})), 0xFFFFFFFFu);
    // A colour of alpha 0 is drawn at the trans alpha: only the channels count.
    EXPECT_EQ(Darkest(Pixels(RECT{0, 40, 100, 80})), 0xFF000000u);
    // The shadow shows right and below of the text in pure red, the text in pure blue.
    EXPECT_TRUE(HasColour(Pixels(RECT{0, 80, 100, 140}), 0xFFFF0000u));
    EXPECT_TRUE(HasColour(Pixels(RECT{0, 80, 100, 140}), 0xFF0000FFu));
    EXPECT_TRUE(HasColour(Pixels(RECT{0, 140, 100, 180}), 0xFF00FF00u));
}

TEST_F(LabelWindowTest, TextLinksAnswerTheHandCursorAndSendTheirIndex) {
    Open("<Window><Container bkcolor=\"#FFFFFFFF\">"
         "<Text name=\"t\" float=\"true\" pos=\"0,0,300,40\" showhtml=\"true\" "
         "text=\"&lt;a a&gt;one&lt;/a&gt; &lt;a b&gt;two&lt;/a&gt; &lt;a c&gt;three&lt;/a&gt;\"/>"
         "<Text name=\"plain\" float=\"true\" pos=\"0,40,300,80\" text=\"no links\"/>"
         "</Container></Window>",
         300, 80);
    CTextUI* text = Find<CTextUI>("t");
    ASSERT_EQ(text->LinkCount(), 3);
    EXPECT_STREQ(text->LinkTarget(2), "c");
    EXPECT_EQ(text->ControlFlags(), unsigned{kFlagSetCursor});
    const RECT third = text->LinkRect(2);
    const plat::POINT at{(third.left + third.right) / 2, (third.top + third.bottom) / 2};
    MoveTo(at);
    EXPECT_EQ(text->HoverLink(), 2);
    EXPECT_EQ(plat::headless::Cursor(), plat::LoadCursor(nullptr, plat::IDC_HAND));
    Down(at);
    Up(at);
    EXPECT_EQ(m_window->Take(), (std::vector<NotifyRecord>{{"link", "t", 2}}));
    // Between the links: no notification, hover cleared.
    MoveTo(plat::POINT{third.right + 20, at.y});
    EXPECT_EQ(text->HoverLink(), -1);
    Down(plat::POINT{third.right + 20, at.y});
    Up(plat::POINT{third.right + 20, at.y});
    EXPECT_TRUE(m_window->Take().empty());
    // Without inline tags the count stays at the capacity.
    EXPECT_EQ(Find<CTextUI>("plain")->LinkCount(), CTextUI::kMaxLinks);
}

TEST_F(LabelWindowTest, SampleMatchesItsReference) {
    std::string markup;
    ASSERT_TRUE(plat::ReadFileText(
        std::string(ZELTA_SOURCE_DIR) + "/tools/pane-view/samples/labels.xml", &markup));
    Open(markup, 480, 400);
    EXPECT_TRUE(MatchesReference(Pixels(RECT{0, 0, 480, 400}), "labels"));
}

} // namespace
} // namespace Pane::test
