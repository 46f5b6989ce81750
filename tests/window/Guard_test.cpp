// The window's edge: an error leaving an event is shown once per cause and the
// program goes on; start-up tells of unusable settings in one message; the
// display stays awake while a countdown runs; closing saves or says why not.
#include "WindowFixture.h"

namespace testsupport {
namespace {

constexpr const char* kPath = "/opt/Tolvanexa/Tolvanexa.config";

class GuardTest : public WindowTest {
protected:
    bool Mentions(const std::string& text) const {
        for (const std::string& message : errors.messages)
            if (message.find(text) != std::string::npos) return true;
        return false;
    }
};

TEST_F(GuardTest, PaddingLostAtRunTimeIsShownOnceAcrossManyTicks) {
    Load();
    form->Config().Item("ButtonPadding", "abc");
    for (int i = 0; i < 30; ++i) tmrTime.Tick();
    window.Resize(12000, 9000);
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_EQ(errors.messages[0],
              std::string("配置文件“") + kPath + "”中的设置“ButtonPadding”的值“abc”不是有效的数字。");
}

TEST_F(GuardTest, CauseIsShownAgainAfterItClearedAndCameBack) {
    Load();
    form->Config().Remove("ButtonPadding");
    tmrTime.Tick();
    tmrTime.Tick();
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_EQ(errors.messages[0], std::string("配置文件“") + kPath + "”中缺少设置“ButtonPadding”或其值为空。");
    form->Config().Item("ButtonPadding", "10");
    tmrTime.Tick();  // succeeds: the cause is over
    form->Config().Item("ButtonPadding", "");
    tmrTime.Tick();
    tmrTime.Tick();
    EXPECT_EQ(errors.messages.size(), 2u);
}

// Another entry that still fails with the same cause keeps it from being shown twice.
TEST_F(GuardTest, CauseLastsWhileAnyEventStillFailsWithIt) {
    Load();
    form->Config().Item("ButtonPadding", "x");
    tmrTime.Tick();
    window.Resize(14000, 10000);
    Click("关于");  // a click that needs no layout succeeds
    tmrTime.Tick();
    EXPECT_EQ(errors.messages.size(), 1u);
}

TEST_F(GuardTest, BadDurationShowsThePageWithoutItsCountdown) {
    Load();
    form->Config().Item("Stage1Timer1", "99999");
    Click("正");
    EXPECT_EQ(form->intPage(), 1);
    EXPECT_EQ(lblCaption.Caption(), "正方一辩发言");
    EXPECT_EQ(Bar(), "开始|暂停|重置||返回");
    EXPECT_FALSE(lblTimer1.Visible());
    EXPECT_FALSE(lblTimer1Desc.Visible());
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_EQ(errors.messages[0], std::string("配置文件“") + kPath + "”中的设置“Stage1Timer1”的值“99999”超出范围。");
    Click("返回");
    Click("正");  // entering the page again fails again, after a click that went well
    EXPECT_EQ(errors.messages.size(), 2u);
}

TEST_F(GuardTest, StartUpNamesEveryUnusableSettingInOneMessage) {
    Settings settings = Without(StandardSettings(), "ButtonPadding");
    settings = With(settings, "Stage3Timer1", "abc");
    settings = With(settings, "Stage4Timer2", "40000");
    settings = With(settings, "SeparatorWidth", "1e9");
    Load(settings);
    ASSERT_EQ(errors.messages.size(), 1u);
    const std::string& message = errors.messages[0];
    EXPECT_NE(message.find(kPath), std::string::npos);
    EXPECT_NE(message.find("“ButtonPadding”：缺少设置或值为空"), std::string::npos) << message;
    EXPECT_NE(message.find("“Stage3Timer1”的值“abc”不是有效的数字"), std::string::npos) << message;
    EXPECT_NE(message.find("“Stage4Timer2”的值“40000”超出范围"), std::string::npos) << message;
    EXPECT_NE(message.find("“SeparatorWidth”的值“1e9”超出范围"), std::string::npos) << message;
    EXPECT_EQ(message.find("Stage1Timer1"), std::string::npos);

    // The layout failing every second is the same cause: no second dialog. Without
    // a padding no bar can be built: only its first button stands.
    for (int i = 0; i < 10; ++i) tmrTime.Tick();
    window.Resize(15000, 10515);
    ASSERT_EQ(cmdCommand.Count(), 1);
    cmdCommand.Click(0);
    EXPECT_EQ(form->intPage(), 1);
    EXPECT_EQ(errors.messages.size(), 1u);
}

TEST_F(GuardTest, StartUpReportedDurationDoesNotComeBackOnItsPage) {
    Load(With(StandardSettings(), "Stage3Timer1", ""));
    ASSERT_EQ(errors.messages.size(), 1u);
    Click("正");
    Click("返回");
    cmdCommand.Click(3);
    EXPECT_EQ(form->intPage(), 3);
    EXPECT_EQ(Bar(), "开始|暂停|反方|重置||返回");
    EXPECT_FALSE(lblTimer1.Visible());
    EXPECT_EQ(errors.messages.size(), 1u);
}

TEST_F(GuardTest, LongValuesAreCutInMessages) {
    Load(With(StandardSettings(), "Stage1Timer1", std::string(5000, '9')));
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_LT(errors.messages[0].size(), 600u);
    EXPECT_NE(errors.messages[0].find("…"), std::string::npos);
}

TEST_F(GuardTest, FileSetAsideIsToldWhereItsCopyIs) {
    files.files[files.ConfigPath()] = "this is no configuration file\r\n";
    form = std::make_unique<frmMain>(Controls());
    form->Form_Load();
    const std::string aside = form->Config().SetAsidePath();
    ASSERT_FALSE(aside.empty());
    EXPECT_TRUE(Mentions(aside));
    EXPECT_EQ(errors.messages.size(), 1u);  // with the missing settings, in one message
}

TEST_F(GuardTest, StartUpFailsWhenTheFileCannotBeWritten) {
    files.readOnly = true;
    form = std::make_unique<frmMain>(Controls());
    EXPECT_THROW(form->Form_Load(), platform::FileError);
}

TEST_F(GuardTest, ClosingSavesTheFileOrSaysWhyNot) {
    Load();
    files.files.erase(files.ConfigPath());
    form->Form_Unload();
    EXPECT_TRUE(files.Exists(files.ConfigPath()));
    EXPECT_TRUE(errors.messages.empty());

    Load();
    files.readOnly = true;
    form->Form_Unload();
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_TRUE(Mentions("Tolvanexa.config"));
    files.readOnly = false;
}

TEST_F(GuardTest, DisplayStaysAwakeExactlyWhileACountdownRuns) {
    Load();
    Click("正");
    EXPECT_TRUE(displaySleep.calls.empty());
    Click("开始");
    Tick1(5);
    EXPECT_EQ(displaySleep.calls, std::vector<bool>{true});
    Click("暂停");
    EXPECT_EQ(displaySleep.calls, (std::vector<bool>{true, false}));
    Click("继续");
    Click("返回");  // leaving the page stops it
    EXPECT_EQ(displaySleep.calls, (std::vector<bool>{true, false, true, false}));
    Click("正");
    Click("开始");
    form->Form_Unload();  // closing while it runs lets the display sleep again
    EXPECT_EQ(displaySleep.calls, (std::vector<bool>{true, false, true, false, true, false}));
}

TEST_F(GuardTest, DisplaySleepsAgainWhenTheCountdownRunsOut) {
    Load(With(StandardSettings(), "Stage1Timer1", "1"));
    Click("正");
    Click("开始");
    Tick1(2);
    EXPECT_FALSE(tmrTimer1.Enabled());
    EXPECT_EQ(displaySleep.calls, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace testsupport
