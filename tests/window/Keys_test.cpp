// Keys press the page's buttons: each acts exactly as a click on its button,
// and does nothing where the page has no such button.
#include "WindowFixture.h"

namespace testsupport {
namespace {

using platform::Key;

class KeysTest : public WindowTest {
protected:
    void SetUp() override { Load(); }
};

TEST_F(KeysTest, HomePageHasNoButtonForAnyKey) {
    for (const Key key : {Key::Space, Key::Enter, Key::Left, Key::Right, Key::R, Key::Backspace}) window.Press(key);
    EXPECT_EQ(form->intPage(), 0);
    EXPECT_TRUE(browser.opened.empty());
    EXPECT_EQ(window.closes, 0);
    EXPECT_TRUE(errors.messages.empty());
}

TEST_F(KeysTest, SpaceStartsThenPausesAndContinues) {
    form->ShowPage(1);
    window.Press(Key::Space);
    EXPECT_TRUE(tmrTimer1.Enabled());
    EXPECT_FALSE(Button(0).Enabled());
    window.Press(Key::Space);
    EXPECT_FALSE(tmrTimer1.Enabled());
    EXPECT_EQ(Button(1).Caption(), "继续");
    window.Press(Key::Space);
    EXPECT_TRUE(tmrTimer1.Enabled());
    EXPECT_EQ(Button(1).Caption(), "暂停");
    window.Press(Key::Enter);  // no side button here
    window.Press(Key::Left);
    EXPECT_FALSE(tmrTimer2.Enabled());
    Tick1(4);
    window.Press(Key::R);
    EXPECT_EQ(form->intTimer1(), 180);
    EXPECT_FALSE(tmrTimer1.Enabled());
    window.Press(Key::Backspace);
    EXPECT_EQ(form->intPage(), 0);
}

TEST_F(KeysTest, EnterHandsTheFloorOverOnQuestioningPages) {
    form->ShowPage(4);
    window.Press(Key::Space);
    window.Press(Key::Enter);
    EXPECT_TRUE(tmrTimer2.Enabled());
    EXPECT_EQ(Button(2).Caption(), "反方");
    window.Press(Key::Enter);  // the same button, now handing back
    EXPECT_FALSE(tmrTimer2.Enabled());
    EXPECT_EQ(Button(2).Caption(), "正方");
    window.Press(Key::R);
    EXPECT_EQ(Bar(), "开始|暂停|正方|重置||返回");
}

TEST_F(KeysTest, ArrowsChooseTheSideInFreeDebate) {
    form->ShowPage(9);
    window.Press(Key::Right);
    EXPECT_TRUE(tmrTimer2.Enabled());
    EXPECT_EQ(form->intSide(), 1);
    window.Press(Key::Left);
    EXPECT_TRUE(tmrTimer1.Enabled());
    EXPECT_FALSE(tmrTimer2.Enabled());
    window.Press(Key::Space);  // no start button: the pause button
    EXPECT_FALSE(tmrTimer1.Enabled());
    EXPECT_EQ(Button(3).Caption(), "继续");
    window.Press(Key::Enter);
    EXPECT_FALSE(tmrTimer2.Enabled());
    window.Press(Key::Backspace);
    EXPECT_EQ(form->intPage(), 0);
}

TEST_F(KeysTest, KeysOnAPageWhoseBarFailedDoNotCrash) {
    form->Config().Remove("ButtonPadding");
    cmdCommand.Click(3);  // page 3, but its bar cannot be built
    ASSERT_EQ(cmdCommand.Count(), 1);
    for (const Key key : {Key::Space, Key::Enter, Key::Left, Key::Right, Key::R, Key::Backspace}) window.Press(key);
    EXPECT_EQ(form->intPage(), 3);
    EXPECT_EQ(errors.messages.size(), 1u);
}

}  // namespace
}  // namespace testsupport
