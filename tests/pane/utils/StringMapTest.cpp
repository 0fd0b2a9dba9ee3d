#include "pane/utils/StringMap.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace Pane;

namespace {

// The keys in walk order.
std::vector<std::string> Walk(const CUIStringMap& map) {
    std::vector<std::string> keys;
    for (int i = 0; map.GetAt(i) != nullptr; ++i) {
        keys.push_back(map.GetAt(i));
    }
    return keys;
}

using Keys = std::vector<std::string>;

} // namespace

TEST(UIStringMap, HashFindMoveToFrontAndWalkOrder) {
    // x33 over signed bytes, last byte first.
    unsigned int expected = 0;
    const char key[] = "ab\xE4";
    for (int i = 2; i >= 0; --i) {
        expected = expected * 33 + static_cast<unsigned int>(static_cast<signed char>(key[i]));
    }
    EXPECT_EQ(CUIStringMap::Hash(key), expected);
    EXPECT_EQ(CUIStringMap().GetBucketCount(), 83);

    CUIStringMap map;
    int one = 1, two = 2, three = 3;
    EXPECT_TRUE(map.Insert("one", &one));
    EXPECT_FALSE(map.Insert("one", &two));
    map.Insert("two", &two);
    map.Insert("three", &three);
    EXPECT_EQ(map.Find("two"), &two);
    void* old = nullptr;
    EXPECT_TRUE(map.Set("two", &three, &old));
    EXPECT_EQ(old, &two);
    EXPECT_TRUE(map.Set("four", &one, &old));
    EXPECT_EQ(old, nullptr);
    EXPECT_TRUE(map.Remove("four"));
    EXPECT_EQ(map.Find("two"), &three);
    EXPECT_TRUE(map.Remove("one"));
    EXPECT_EQ(map.Find("one"), nullptr);

    // Walk order: buckets from the last to the first.
    const Keys walked = Walk(map);
    ASSERT_EQ(walked.size(), 2u);
    const unsigned two_bucket = CUIStringMap::Hash("two") % 83;
    const unsigned three_bucket = CUIStringMap::Hash("three") % 83;
    EXPECT_EQ(walked[0], two_bucket > three_bucket ? "two" : "three");
}

TEST(UIStringMap, OneBucketChainMovesHitsToTheFrontAndUnlinksFromAnyPlace) {
    CUIStringMap map(1);
    int a = 1, b = 2, c = 3, d = 4, e = 5;
    for (auto [key, value] : {std::pair{"a", &a}, {"b", &b}, {"c", &c}, {"d", &d}}) {
        ASSERT_TRUE(map.Insert(key, value));
    }
    EXPECT_EQ(Walk(map), (Keys{"d", "c", "b", "a"})); // each insert goes to the head

    EXPECT_EQ(map.Find("b", false), &b);
    EXPECT_EQ(Walk(map), (Keys{"d", "c", "b", "a"}));
    EXPECT_EQ(map.Find("b"), &b);
    EXPECT_EQ(Walk(map), (Keys{"b", "d", "c", "a"}));
    EXPECT_EQ(map.Find("a"), &a); // from the tail
    EXPECT_EQ(Walk(map), (Keys{"a", "b", "d", "c"}));

    // Unlinking from the middle must leave both neighbours pointing at each other: moving the
    // new tail to the front walks its back link.
    EXPECT_TRUE(map.Remove("d"));
    EXPECT_EQ(Walk(map), (Keys{"a", "b", "c"}));
    EXPECT_EQ(map.Find("c"), &c);
    EXPECT_EQ(Walk(map), (Keys{"c", "a", "b"}));

    EXPECT_TRUE(map.Remove("c")); // the head
    EXPECT_TRUE(map.Remove("b")); // the tail
    EXPECT_FALSE(map.Remove("b"));
    EXPECT_EQ(Walk(map), (Keys{"a"}));
    EXPECT_TRUE(map.Insert("e", &e));
    void* old = nullptr;
    EXPECT_TRUE(map.Set("a", &b, &old)); // set finds with move-to-front too
    EXPECT_EQ(old, &a);
    EXPECT_EQ(Walk(map), (Keys{"a", "e"}));
    EXPECT_EQ(map.GetSize(), 2);
}

TEST(UIStringMap, SetOnATableWithoutBucketsFailsAndStoresNothing) {
    int value = 1;
    int other = 2;
    CUIStringMap map(0);
    void* old = &other;
    EXPECT_FALSE(map.Set("key", &value, &old));
    EXPECT_EQ(old, &other);
    EXPECT_EQ(map.GetSize(), 0);
    EXPECT_EQ(map.Find("key"), nullptr);

    CUIStringMap emptied;
    EXPECT_TRUE(emptied.Set("key", &value));
    emptied.Resize(0);
    EXPECT_FALSE(emptied.Set("key", &value));
    EXPECT_FALSE(emptied.Insert("key", &value));
    EXPECT_FALSE(CUIStringMap().Set(nullptr, &value));
}
