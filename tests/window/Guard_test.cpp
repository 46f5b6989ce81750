// Errors shown once per cause, start-up's single message, the display kept awake, closing's save.
#include <gmock/gmock.h>

#include "WindowFixture.h"

namespace testsupport {

using GuardTest = WindowTest;
const std::string kInFile = std::string("配置文件“") + kConfigPath + "”中";

// A padding within range on its own that the clock's size cannot hold fails the layout at every tick.
TEST_F(GuardTest, ACauseIsShownOnceWhileItLastsAndAgainWhenItComesBack) {
    const auto tickWith = [&](const char* padding) { form->Config().Item("ButtonPadding", padding), tmrTime.Tick(); };
    const auto tooLarge = [&](const char* padding) {
        return kInFile + "的设置“ButtonPadding”的值“" + padding + "”超出范围。";
    };
    form->Config().Item("ButtonPadding", "2180");
    tmrTime.Tick(30);
    window.Resize(12000, 9000);
    tickWith("10");  // goes well, but the layout still fails with the cause until it goes well too
    tickWith("2150");
    EXPECT_EQ(errors.messages, std::vector{tooLarge("2180")});
    tickWith("10");
    window.Resize(15000, 10515);  // every event that failed has gone well: the cause is over
    tickWith("2150");
    tmrTime.Tick();
    EXPECT_EQ(errors.messages, (std::vector{tooLarge("2180"), tooLarge("2150")}));
}

// A line that is not GBK: the settings are still read, and the file is set aside.
TEST_F(GuardTest, StartUpNamesEveryUnusableSettingAndTheSetAsideInOneMessage) {
    frontEndSettings = [](const clsConfigFile&) { return std::vector<std::string>{"观众屏幕的背景图片无法使用"}; };
    window.pictureFault = platform::PictureFault::OverBudget;
    Load({{"ButtonPadding", ""}, {"Stage3Timer1", "abc"}, {"Stage4Timer2", "40000"}, {"SeparatorWidth", "1e9"},
          {"Stage1Timer1", std::string(5000, '9')}, {"Stage5Timer1", "-5"}},
         "<Tolvanexa>\\Background = \xFF\r\n");
    ASSERT_EQ(errors.messages.size(), 1u);
    const std::string& message = errors.messages[0];
    ASSERT_FALSE(form->Config().SetAsidePath().empty());
    for (const std::string& part : std::initializer_list<std::string>{
             kConfigPath, form->Config().SetAsidePath(), "“ButtonPadding”：缺少设置或值为空，改用 18 像素",
             "“Stage3Timer1”的值“abc”不是有效的数字，改用 90 秒", "“Stage4Timer2”的值“40000”超出范围，改用 20 秒",
             "“SeparatorWidth”的值“1e9”超出范围，改用 12 像素", "“Stage5Timer1”的值“-5”是负数，改用 90 秒",
             "“Stage1Timer1”的值“999", "观众屏幕的背景图片无法使用", "“Background”的值“",
             "要按原尺寸整张解码", "窗口不显示这张背景图片"})
        EXPECT_NE(message.find(part), std::string::npos) << part << " missing from " << message;
    EXPECT_LT(message.size(), 1500u);  // a value pasted by mistake is cut short
    // No second message as layouts trip over them; the bar is whole and the page works on the built-in values.
    tmrTime.Tick(10);
    window.Resize(15000, 10515);
    cmdCommand.Click(0);
    EXPECT_EQ(form->intPage(), 1);
    EXPECT_EQ(Bar(), "开始|暂停|重置||返回");
    window.onKey(Key::Space);
    tmrTimer1.Tick();
    EXPECT_EQ(lblTimer1.caption, "02:59");
    EXPECT_EQ(errors.messages.size(), 1u);
}

// Only a save that failed or was refused is told at the close (the program's exit status follows it):
// nothing new to write, or a file in a folder only it may be written to (never rewritten in place: it would
// only be tidied), is a clean close.
// A folder copied without its pictures starts quietly, as it always has; any other picture fault is told.
TEST_F(GuardTest, AMissingBackgroundStaysSilent) {
    window.pictureFault = platform::PictureFault::Missing;
    Load({{"Background", "hall.png"}});
    EXPECT_EQ(window.pictures, std::vector<std::string>{"hall.png"});
    EXPECT_TRUE(errors.messages.empty());
}

TEST_F(GuardTest, ClosingTellsOnlyOfASaveThatFailedAndStartUpFailsWhenItCannotWriteANewFile) {
    files.Fail(SaveStep::CreateTemporary, 99);  // a folder only the file in it may be written to
    form->Form_Unload();  // nothing new to write
    Load({}, "<Tolvanexa>\\Extra=1\r\n");  // a line the save would write tidily
    const std::string before = files.files[kConfigPath];
    form->Form_Unload();
    EXPECT_TRUE(errors.messages.empty());
    EXPECT_EQ(files.files[kConfigPath], before);
    files.unreadable.insert(kConfigPath);  // so start-up must write a new one
    EXPECT_THROW(Load(), platform::FileError);
}

// The summary is told to step aside at the same moments.
TEST_F(GuardTest, DisplayStaysAwakeExactlyWhileACountdownRuns) {
    std::vector<bool> told;
    form->onCountdownRunning = [&told](bool running) { told.push_back(running); };
    form->Config().Item("Stage1Timer1", "1");
    for (const char* caption : {"正", "开始"}) Click(caption);
    EXPECT_EQ(displaySleep.calls, std::vector<bool>{true});
    tmrTimer1.Tick(2);  // runs out
    EXPECT_EQ(displaySleep.calls, (std::vector<bool>{true, false}));
    for (const char* caption : {"重置", "开始"}) Click(caption);
    EXPECT_EQ(told, displaySleep.calls);
    form->Form_Unload();  // closing while it runs lets the display sleep again
    EXPECT_EQ(displaySleep.calls, (std::vector<bool>{true, false, true, false}));
}

}  // namespace testsupport
