// The window and its cues: a tick goes on while its cue sounds, a page left drops a waiting cue, bad cue files are named.
#include "WindowFixture.h"
#include "support/HeldPlayer.h"

namespace testsupport {

using platform::CueCheck;
using platform::CueFault;

// Cues that play until the test lets them end, on the queue's real order.
class HeldCueTest : public WindowTest {
protected:
    void SetUp() override {
        cues = &held;
        Load();
    }
    std::vector<std::string> Sounding() { return held.player.StartedCues(); }
    std::vector<std::string> Ended() { return held.player.EndedCues(); }

    HeldCueQueue held;
};

using Names = std::vector<std::string>;

// The answer's bell holds neither the questioner's countdown ("00:29" shows as it sounds) nor the floor's return.
TEST_F(HeldCueTest, TheAnswersBellLeavesTheQuestionerCounting) {
    Load({{"Stage3Timer2", "20"}});  // as shipped: the answer has no chime of its own
    form->ShowPage(3);
    Click("开始");
    Click("反方");
    tmrTimer1.Tick(150);  // to 00:30 left
    tmrTimer2.Tick(21);   // the answer down to zero, then the zero tick: the bell sounds
    ASSERT_TRUE(held.player.Started(1));
    EXPECT_EQ(Running() + Button(2).caption, "1反方");
    tmrTimer1.Tick();
    EXPECT_EQ(lblTimer1.caption, "00:29");
    EXPECT_EQ(Ended(), Names{});
    // The questioner's chime waits behind the bell, and sounds when it ends.
    held.player.Finish();
    ASSERT_TRUE(held.player.Started(2));
    EXPECT_EQ(Sounding(), (Names{"zero.wav", "thirty.wav"}));
    held.player.Finish();
}

// A cue not yet begun belongs to the page it was asked on.
TEST_F(WindowTest, LeavingOrResettingAPageDropsTheWaitingCue) {
    const int atStart = sound.drops;
    Click("正");
    Click("开始");
    Click("重置");
    Click("返回");
    EXPECT_EQ(sound.drops - atStart, 3);
    EXPECT_EQ(sound.stops, 0);  // only the program's close silences a cue
}

class CueReportTest : public WindowTest {
protected:
    void LoadWith(const std::map<std::string, CueCheck>& checks,
                  const std::map<std::string, std::string>& changes = {}) {
        sound.checks = checks;
        errors.messages.clear();
        Load(changes);
    }
};

TEST_F(CueReportTest, StartUpNamesEachCueThatWillNotSoundAsConfigured) {
    LoadWith({{"thirty.wav", {CueFault::Missing, "/opt/Tolvanexa/thirty.wav", 0}},
              {"zero.wav", {CueFault::TooLong, "/opt/Tolvanexa/zero.wav", 7265.4}}});
    EXPECT_EQ(errors.messages,
              Names{std::string("配置文件“") + kConfigPath + "”中的提示音设置有以下问题：\n"
                    "  “Sound30Seconds”（剩余 30 秒的提示音）的值“thirty.wav”：找不到文件“/opt/Tolvanexa/thirty.wav”，"
                    "届时将改为播放内置的短提示音。\n"
                    "  “Sound0Seconds”（时间到的提示音）的值“zero.wav”：文件“/opt/Tolvanexa/zero.wav”长 121 分 5 秒，"
                    "提示音最多播放 10 秒，之后的部分将被截去。\n"
                    "如需更换提示音，请修改配置文件后重新启动程序。"});
}

// An empty setting asks for the built-in tone; cues that play as configured say nothing.
TEST_F(CueReportTest, EmptyOrPlayableCuesAreNoFault) {
    LoadWith({{"", {CueFault::Missing, "/opt/Tolvanexa/", 0}}, {"thirty.wav", {CueFault::None, "/srv/thirty.wav", 3}}},
             {{"Sound0Seconds", ""}});
    EXPECT_EQ(errors.messages, Names{});
}

// Cue files and unusable settings are told together, in the one start-up message.
TEST_F(CueReportTest, JoinTheSettingsInTheOneStartUpMessage) {
    LoadWith({{"zero.wav", {CueFault::Missing, "/opt/Tolvanexa/zero.wav", 0}}}, {{"ButtonPadding", "abc"}});
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_NE(errors.messages[0].find("“ButtonPadding”的值“abc”"), std::string::npos);
    EXPECT_NE(errors.messages[0].find("\n\n配置文件“" + kConfigPath + "”中的提示音设置"), std::string::npos);
}

}  // namespace testsupport
