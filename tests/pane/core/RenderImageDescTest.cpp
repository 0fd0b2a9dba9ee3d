#include "pane/core/RenderImageDesc.h"

#include <gtest/gtest.h>

#include <vector>

using Pane::CImageDescParser;
using Pane::ImageDrawParams;
using plat::RECT;

namespace {

const RECT kItem{10, 20, 110, 70};

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

struct Parsed {
    ImageDrawParams final;
    std::vector<ImageDrawParams> drawnBefore;
};

Parsed ParseBoth(const char* desc, const char* modify = nullptr) {
    Parsed out;
    CImageDescParser::SetDefaults(out.final, desc, kItem);
    auto pending = [&](const ImageDrawParams& p) { out.drawnBefore.push_back(p); };
    CImageDescParser::Parse(desc, kItem, out.final, pending);
    CImageDescParser::Parse(modify, kItem, out.final, pending);
    return out;
}

} // namespace

TEST(RenderImageDesc, BareNameIsTheWholeStringWithDefaults) {
    Parsed p = ParseBoth("images/button normal.png");
    EXPECT_EQ(p.final.name, "images/button normal.png");
    EXPECT_TRUE(p.final.resType.empty());
    EXPECT_TRUE(SameRect(p.final.dest, kItem));
    EXPECT_TRUE(SameRect(p.final.source, RECT{}));
    EXPECT_EQ(p.final.fade, 255);
    EXPECT_FALSE(p.final.hole || p.final.xTiled || p.final.yTiled);
    EXPECT_TRUE(p.drawnBefore.empty());
}

TEST(RenderImageDesc, EveryKeyIsRead) {
    Parsed p = ParseBoth("res='174' restype='png' source='1,2,30,40' corner='3,4,5,6' "
                         "mask='#FFFF00FF' fade='128' hole='true' xtiled='true' ytiled='yes' "
                         "dest='5,6,50,40' unknown='7'");
    EXPECT_EQ(p.final.name, "174");
    EXPECT_EQ(p.final.resType, "png");
    EXPECT_TRUE(SameRect(p.final.source, RECT{1, 2, 30, 40}));
    EXPECT_TRUE(SameRect(p.final.corners, RECT{3, 4, 5, 6}));
    EXPECT_EQ(p.final.mask, 0xFFFF00FFu);
    EXPECT_EQ(p.final.fade, 128);
    EXPECT_TRUE(p.final.hole);
    EXPECT_TRUE(p.final.xTiled);
    EXPECT_FALSE(p.final.yTiled); // only the exact text "true" is true
    EXPECT_TRUE(SameRect(p.final.dest, RECT{15, 26, 60, 60}));
    EXPECT_TRUE(p.drawnBefore.empty());
}

TEST(RenderImageDesc, DestRightAndBottomStayInsideTheControl) {
    Parsed p = ParseBoth("file='a.png' dest='-4,0,500,500'");
    EXPECT_TRUE(SameRect(p.final.dest, RECT{6, 20, 110, 70}));
}

TEST(RenderImageDesc, MalformedPairsStopParsingButKeepWhatWasRead) {
    struct Case {
        const char* desc;
        const char* name;
        uint8_t fade;
    };
    const Case cases[] = {
        {"file='a.png' fade='9' junk", "a.png", 9},    // key without "="
        {"file='a.png' fade=9", "a.png", 255},         // value without quotes
        {"file='a.png' fade='9", "a.png", 255},        // unterminated value
        {"file='a.png'fade='9'", "a.png", 255},        // no space after the quote
        {"file='a.png',fade='9'", "a.png", 255},       // wrong separator
        {"file = 'a.png'  fade  =  '9' ", "a.png", 9}, // blanks around "=" and keys
        {"file='' fade='7'", "file='' fade='7'", 7},   // empty value skipped
        {"fade='300' file='b'", "b", 255},             // fade limited to a byte
        {"=", "=", 255},
        {"", "", 255},
    };
    for (const Case& c : cases) {
        Parsed p = ParseBoth(c.desc);
        EXPECT_EQ(p.final.name, c.name) << c.desc;
        EXPECT_EQ(p.final.fade, c.fade) << c.desc;
    }
}

TEST(RenderImageDesc, ModifierOverridesTheFirstDescription) {
    Parsed p = ParseBoth("file='a.png' source='0,0,10,10' fade='100'", "source='10,0,20,10'");
    EXPECT_EQ(p.final.name, "a.png");
    EXPECT_TRUE(SameRect(p.final.source, RECT{10, 0, 20, 10}));
    EXPECT_EQ(p.final.fade, 100);
    EXPECT_TRUE(p.drawnBefore.empty());
}

TEST(RenderImageDesc, LaterImageKeysDrawTheImageSetUpSoFar) {
    Parsed p = ParseBoth("file='a.png' dest='0,0,10,10' file='b.png' dest='10,0,20,10'");
    ASSERT_EQ(p.drawnBefore.size(), 1u);
    EXPECT_EQ(p.drawnBefore[0].name, "a.png");
    EXPECT_TRUE(SameRect(p.drawnBefore[0].dest, RECT{10, 20, 20, 30}));
    EXPECT_EQ(p.final.name, "b.png");
    EXPECT_TRUE(SameRect(p.final.dest, RECT{20, 20, 30, 30}));

    // "res" alone does not count as an image key; "restype" does.
    Parsed r = ParseBoth("res='1' res='2' restype='png' res='3'");
    ASSERT_EQ(r.drawnBefore.size(), 1u);
    EXPECT_EQ(r.drawnBefore[0].name, "2");
    EXPECT_EQ(r.final.name, "3");
    EXPECT_EQ(r.final.resType, "png");
}

TEST(RenderImageDesc, ImageKeysAreCountedPerString) {
    // A modifier that names the image again overrides it; nothing is drawn before.
    Parsed r = ParseBoth("res='1' restype='png' source='0,0,50,10'",
                         "res='1' restype='png' source='10,0,20,10'");
    EXPECT_TRUE(r.drawnBefore.empty());
    EXPECT_EQ(r.final.name, "1");
    EXPECT_TRUE(SameRect(r.final.source, RECT{10, 0, 20, 10}));

    // A second image key inside the modifier still draws what the modifier set up so far.
    Parsed f = ParseBoth("file='a.png'", "file='b.png' dest='0,0,5,5' file='c.png'");
    ASSERT_EQ(f.drawnBefore.size(), 1u);
    EXPECT_EQ(f.drawnBefore[0].name, "b.png");
    EXPECT_TRUE(SameRect(f.drawnBefore[0].dest, RECT{10, 20, 15, 25}));
    EXPECT_EQ(f.final.name, "c.png");
}

TEST(RenderImageDesc, FourNumbersNeverReadPastTheEnd) {
    EXPECT_TRUE(SameRect(Pane::ParseFourNumbers("7"), RECT{7, 0, 0, 0}));
    EXPECT_TRUE(SameRect(Pane::ParseFourNumbers("1,2,"), RECT{1, 2, 0, 0}));
    EXPECT_TRUE(SameRect(Pane::ParseFourNumbers("1 2x3,-4"), RECT{1, 2, 3, -4}));
}
