// The collection's order, positions and its three distinct errors, and the
// letter case it ignores across every alphabet a GBK file can hold.
#include <gtest/gtest.h>

#include "config/CaseFold.h"
#include "config/clsConfigItems.h"

namespace {

std::vector<std::string> Keys(const clsConfigItems& items) {
    std::vector<std::string> keys;
    for (const clsConfigItem& item : items) keys.push_back(item.Key);
    return keys;
}

TEST(ConfigItems, KeepsOrderAndClosesGapsOnRemoval) {
    clsConfigItems items;
    EXPECT_EQ(items.Count(), 0);
    EXPECT_EQ(items.begin(), items.end());
    items.Add("A", "1");
    items.Add("B", "2");
    items.Add("C", "3");
    items.Remove("b");
    EXPECT_EQ(Keys(items), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(items.Item(2).Key, "C");
    items.Remove(1);
    EXPECT_EQ(Keys(items), (std::vector<std::string>{"C"}));
}

TEST(ConfigItems, RaisesDistinctErrorsAndChangesNothing) {
    clsConfigItems items;
    items.Add("Alpha", "first");
    EXPECT_THROW(items.Add("ALPHA", "second"), DuplicateKeyError);
    EXPECT_EQ(items.Count(), 1);
    EXPECT_EQ(items.Item("alpha").Value, "first");
    EXPECT_THROW(items.Item(0), PositionOutOfRangeError);
    EXPECT_THROW(items.Item(2), PositionOutOfRangeError);
    EXPECT_THROW(items.Remove(2), PositionOutOfRangeError);
    EXPECT_THROW(items.Item("Beta"), KeyNotFoundError);
    EXPECT_THROW(items.Remove("Beta"), KeyNotFoundError);
    // A text that looks like a number is a key, not position 1.
    EXPECT_THROW(items.Item("1"), KeyNotFoundError);
    EXPECT_EQ(items.Count(), 1);
}

TEST(ConfigItems, FiledKeyOutlivesReassignedKeyField) {
    clsConfigItems items;
    items.Add("Alpha", "1").Key = "Renamed";
    EXPECT_EQ(items.Item("ALPHA").Key, "Renamed");
    EXPECT_THROW(items.Item("Renamed"), KeyNotFoundError);
    items.Remove(1);  // By position: the index entry under "alpha" must go too.
    EXPECT_NO_THROW(items.Add("alpha", "2"));
}

struct SameKey {
    const char* upper;
    const char* lower;
};

class CaseFolding : public testing::TestWithParam<SameKey> {};

TEST_P(CaseFolding, CapitalAndSmallNameOneItem) {
    clsConfigItems items;
    items.Add(GetParam().upper, "value");
    EXPECT_THROW(items.Add(GetParam().lower, "again"), DuplicateKeyError);
    EXPECT_EQ(items.Item(GetParam().lower).Key, GetParam().upper);
}

INSTANTIATE_TEST_SUITE_P(
    LettersGbkHolds, CaseFolding,
    testing::Values(SameKey{"<Tolvanexa>\\Stage1Timer1", "<tolvanexa>\\STAGE1TIMER1"},
                    SameKey{"ＡＢＣＺ", "ａｂｃｚ"},          // full-width Latin
                    SameKey{"ΑΒΓΩ", "αβγω"},                  // Greek
                    SameKey{"АБВЯЁ", "абвяё"},                // Cyrillic, Ё apart from the run
                    SameKey{"ⅠⅡⅫ", "ⅰⅱⅻ"},                    // Roman numerals
                    SameKey{"ÀÉÜ", "àéü"},                    // Latin-1
                    SameKey{"ĀǍǗǛ", "āǎǘǜ"}));                // pinyin tones

TEST(CaseFolding, DifferentLettersStayDifferent) {
    EXPECT_NE(config::FoldCase("ß"), config::FoldCase("ss"));
    EXPECT_NE(config::FoldCase("Ａ"), config::FoldCase("A"));
    EXPECT_NE(config::FoldCase("ς"), config::FoldCase("Σ"));
    // Broken UTF-8 is kept byte for byte, never merged with another key.
    EXPECT_EQ(config::FoldCase("K\xC3"), "k\xC3");
    EXPECT_NE(config::FoldCase("\xC3\x80"), config::FoldCase("\xC3"));
}

}  // namespace
