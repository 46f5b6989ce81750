// The window's edge: an error leaving an event is shown once per cause and the
// program goes on; start-up tells of unusable settings in one message; the
// display stays awake while a countdown runs; closing saves or says why not.
#include "WindowFixture.h"

namespace testsupport {

using GuardTest = WindowTest;
const std::string kInFile = std::string("配置文件“") + kConfigPath + "”中";

TEST_F(GuardTest, ACauseIsShownOnceWhileItLastsAndAgainWhenItComesBack) {
    form->Config().Remove("ButtonPadding");
    tmrTime.Tick(30);
    window.Resize(12000, 9000);
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_EQ(errors.messages[0], kInFile + "缺少设置“ButtonPadding”或其值为空。");
    form->Config().Item("ButtonPadding", "10");
    tmrTime.Tick();  // goes well, but the layout still fails with the cause until it goes well too
    form->Config().Item("ButtonPadding", "abc");
    tmrTime.Tick();
    EXPECT_EQ(errors.messages.size(), 1u);
    form->Config().Item("ButtonPadding", "10");
    tmrTime.Tick();
    window.Resize(15000, 10515);  // every event that failed has gone well: the cause is over
    form->Config().Item("ButtonPadding", "abc");
    tmrTime.Tick(2);
    ASSERT_EQ(errors.messages.size(), 2u);
    EXPECT_EQ(errors.messages[1], kInFile + "的设置“ButtonPadding”的值“abc”不是有效的数字。");
}

TEST_F(GuardTest, BadDurationShowsThePageWithoutItsCountdown) {
    form->Config().Item("Stage1Timer1", "99999");
    Click("正");
    EXPECT_EQ(lblCaption.caption, "正方一辩发言");
    EXPECT_EQ(Bar(), "开始|暂停|重置||返回");
    EXPECT_FALSE(lblTimer1.visible || lblTimer1Desc.visible);
    EXPECT_EQ(errors.messages, std::vector<std::string>{kInFile + "的设置“Stage1Timer1”的值“99999”超出范围。"});
}

// A line that is not GBK: the settings are still read, and the file is set aside.
TEST_F(GuardTest, StartUpNamesEveryUnusableSettingAndTheSetAsideInOneMessage) {
    Load({{"ButtonPadding", ""}, {"Stage3Timer1", "abc"}, {"Stage4Timer2", "40000"}, {"SeparatorWidth", "1e9"},
          {"Stage1Timer1", std::string(5000, '9')}},
         "<Tolvanexa>\\Background = \xFF\r\n");
    ASSERT_EQ(errors.messages.size(), 1u);
    const std::string& message = errors.messages[0];
    ASSERT_FALSE(form->Config().SetAsidePath().empty());
    for (const std::string& part : std::initializer_list<std::string>{
             kConfigPath, form->Config().SetAsidePath(), "“ButtonPadding”：缺少设置或值为空",
             "“Stage3Timer1”的值“abc”不是有效的数字", "“Stage4Timer2”的值“40000”超出范围",
             "“SeparatorWidth”的值“1e9”超出范围", "“Stage1Timer1”的值“999"})
        EXPECT_NE(message.find(part), std::string::npos) << part << " missing from " << message;
    EXPECT_LT(message.size(), 1000u);  // a value pasted by mistake is cut short
    // No second message as layouts trip over them; keys must not reach buttons the bar could not build.
    tmrTime.Tick(10);
    window.Resize(15000, 10515);
    cmdCommand.Click(0);
    for (const Key key : {Key::Space, Key::Enter, Key::Left, Key::Right, Key::R, Key::Backspace}) window.onKey(key);
    EXPECT_EQ(form->intPage(), 1);
    EXPECT_EQ(cmdCommand.buttons.size(), 1u);
    EXPECT_EQ(errors.messages.size(), 1u);
}

TEST_F(GuardTest, ClosingSaysWhyTheFileCouldNotBeSavedAndStartUpFailsForIt) {
    files.readOnly = true;
    form->Form_Unload();
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_NE(errors.messages[0].find(kConfigPath), std::string::npos);
    files.unreadable.insert(kConfigPath);  // so start-up must write a new one
    EXPECT_THROW(Load(), platform::FileError);
}

TEST_F(GuardTest, DisplayStaysAwakeExactlyWhileACountdownRuns) {
    form->Config().Item("Stage1Timer1", "1");
    Click("正");
    Click("开始");
    EXPECT_EQ(displaySleep.calls, std::vector<bool>{true});
    tmrTimer1.Tick(2);  // runs out
    EXPECT_EQ(displaySleep.calls, (std::vector<bool>{true, false}));
    Click("重置");
    Click("开始");
    form->Form_Unload();  // closing while it runs lets the display sleep again
    EXPECT_EQ(displaySleep.calls, (std::vector<bool>{true, false, true, false}));
}

}  // namespace testsupport
