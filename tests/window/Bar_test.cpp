// The button bar: built from a caption list, sized from the settings, rebuilt whole.
#include "WindowFixture.h"

#include "window/StageTable.h"

namespace testsupport {
namespace {

constexpr const char* kHome =
    "正|反方一辩发言||正|反二选择反二、三||正|反三选择反二、三||正|反一辩攻辩小结||自由辩论||反|正方四辩总结陈词||关于||退出";

class BarTest : public WindowTest {};

TEST_F(BarTest, HomeBarHasThirteenButtonsAndSevenGaps) {
    Load();
    EXPECT_EQ(Bar(), kHome);
    ASSERT_EQ(cmdCommand.Count(), 20);
    int visible = 0;
    for (int i = 0; i < 20; ++i) {
        visible += Button(i).Visible() ? 1 : 0;
        EXPECT_EQ(Button(i).Visible(), !Button(i).Caption().empty()) << i;
        EXPECT_TRUE(Button(i).Enabled()) << i;
    }
    EXPECT_EQ(visible, 13);
    EXPECT_DOUBLE_EQ(Button(2).Width(), 300);               // SeparatorWidth 20 pixels
    EXPECT_DOUBLE_EQ(Button(0).Width(), 150 + 150);         // padding + one CJK character
    EXPECT_DOUBLE_EQ(Button(1).Width(), 150 + 6 * 150);
    EXPECT_DOUBLE_EQ(Button(2).Height(), 150 + 240);        // a gap has a height too
}

TEST_F(BarTest, RebuildReplacesEveryButtonButTheFirst) {
    Load();
    for (int i = 0; i < 20; ++i) Button(i).SetEnabled(false);
    cmdCommand.loaded.clear();
    form->BuildButtonBar("开始|暂停|重置||返回");
    EXPECT_EQ(cmdCommand.unloaded, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18,
                                                     19}));
    EXPECT_EQ(cmdCommand.loaded, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(Bar(), "开始|暂停|重置||返回");
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(Button(i).Enabled()) << i;
    EXPECT_FALSE(Button(3).Visible());
    EXPECT_TRUE(Button(4).Visible());
    EXPECT_DOUBLE_EQ(Button(0).Width(), 150 + 300);
}

TEST_F(BarTest, ListWithoutBarsLeavesOnlyButtonZero) {
    Load();
    form->BuildButtonBar("返回");
    EXPECT_EQ(cmdCommand.Count(), 1);
    EXPECT_EQ(Bar(), "返回");
}

TEST_F(BarTest, PaddingIsAddedOnceToWidthAndHeight) {
    Load();
    window.textWidths["X"] = 600;
    form->BuildButtonBar("X");
    EXPECT_DOUBLE_EQ(Button(0).Width(), 750);
    EXPECT_DOUBLE_EQ(Button(0).Height(), 240 + 150);
}

TEST_F(BarTest, SettingsAreReadAtEachRebuild) {
    Load();
    form->Config().Item("ButtonPadding", "2.5");
    form->Config().Item("SeparatorWidth", "4");
    form->BuildButtonBar("A||B");
    EXPECT_DOUBLE_EQ(Button(0).Width(), 37.5 + 75);
    EXPECT_DOUBLE_EQ(Button(1).Width(), 60);
}

TEST_F(BarTest, EntryIndexFindsACaptionInAList) {
    EXPECT_EQ(EntryIndex("正方|反方||暂停||重置||返回", "暂停"), 3);
    EXPECT_EQ(EntryIndex("正方|反方||暂停||重置||返回", "返回"), 7);
    EXPECT_EQ(EntryIndex("开始|暂停|重置||返回", "继续"), std::nullopt);
    EXPECT_EQ(EntryIndex("a||b", ""), 1);
}

}  // namespace
}  // namespace testsupport
