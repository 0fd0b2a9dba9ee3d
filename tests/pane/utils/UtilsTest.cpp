#include "pane/utils/PtrArray.h"
#include "pane/utils/UIString.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Pane;

TEST(UIString, InlineBufferBoundaryAndReturnToInline) {
    CUIString s(std::string(62, 'a').c_str());
    EXPECT_TRUE(s.IsInline());
    s = std::string(63, 'b').c_str();
    EXPECT_FALSE(s.IsInline());
    EXPECT_EQ(s.GetLength(), 63);
    s = std::string(62, 'c').c_str();
    EXPECT_TRUE(s.IsInline());
    EXPECT_EQ(std::string(s.GetData()), std::string(62, 'c'));

    CUIString grown(std::string(60, 'x').c_str());
    grown += "yzw";
    EXPECT_EQ(std::string(grown.GetData()), std::string(60, 'x') + "yzw");
    grown += grown; // appending itself must not read freed memory
    EXPECT_EQ(grown.GetLength(), 126);
    EXPECT_EQ(std::string(grown.GetData()),
              std::string(60, 'x') + "yzw" + std::string(60, 'x') + "yzw");
}

TEST(UIString, FormatKeepsFirst63CharactersAndReplaceTerminates) {
    CUIString s;
    s.Format("%s-%d", std::string(70, 'q').c_str(), 7);
    EXPECT_EQ(std::string(s.GetData()), std::string(63, 'q'));
    s.Format("dest='%d,%d,%d,%d'", 1, 2, 3, 4);
    EXPECT_STREQ(s.GetData(), "dest='1,2,3,4'");

    CUIString r("a,b,,c");
    EXPECT_EQ(r.Replace(",", ";;"), 3);
    EXPECT_STREQ(r.GetData(), "a;;b;;;;c");
    EXPECT_EQ(r.Replace("", "x"), 0); // an empty search text must not loop forever
    EXPECT_STREQ(r.Mid(100).GetData(), "");
}

TEST(UIPtrArray, GrowsTo11ThenDoublesAndKeepsOrder) {
    CUIPtrArray a;
    std::vector<int> items(30);
    EXPECT_TRUE(a.Add(&items[0]));
    EXPECT_EQ(a.GetCapacity(), 11);
    for (int i = 1; i < 10; ++i) {
        a.Add(&items[i]);
    }
    EXPECT_EQ(a.GetCapacity(), 11);
    a.Add(&items[10]); // the 11th add
    EXPECT_EQ(a.GetCapacity(), 22);
    EXPECT_TRUE(a.InsertAt(0, &items[20]));
    EXPECT_TRUE(a.Remove(5));
    EXPECT_EQ(a.GetAt(0), &items[20]);
    EXPECT_EQ(a.GetAt(5), &items[5]);
    EXPECT_EQ(a.Find(&items[4]), -1);
    EXPECT_EQ(a.GetAt(-1), nullptr);
    EXPECT_EQ(a.GetAt(a.GetSize()), nullptr);
}
