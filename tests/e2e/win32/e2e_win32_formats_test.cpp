// Each shipped format from the first stage to the last through the real Win32 window under Wine: the file
// copied over Tolvanexa.config with its durations made short, every stage opened from its home button and
// timed to its end, then "退出", and the file written back as it was read.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>

#include "app/FormWiring.h"
#include "config/SettingLines.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Form.h"
#include "platform/win32/GbkCodec.h"
#include "platform/win32/TestMessages.h"
#include "support/FakeControls.h"
#include "support/TestFolder.h"
#include "window/StageFormat.h"

namespace {

using testwin::RunUntil;
using testwin::TextOf;

std::string Shipped(const std::string& name) {
    std::ifstream file(std::string(TOLVANEXA_SOURCE_DIR) + "/assets/formats/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// The window on a folder whose Tolvanexa.config is `file`.
struct Win32Window {
    explicit Win32Window(const std::string& file) {
        folder.Write("Tolvanexa.config", file);
        window.Form_Load();
        form.window.Show();
    }
    testsupport::TestFolder folder{"赛制 计时器"};
    platform::Win32FileSystem files{platform::ExecutableLocation{folder.Path(), "Tolvanexa"}};
    platform::GbkCodec codec;
    platform::Win32Form form{folder.Path()};
    testsupport::FakeSound sound;
    testsupport::FakeBrowser browser;
    testsupport::FakeDisplaySleep displaySleep;
    testsupport::FakeAudienceView audience;
    testsupport::FakeRecorder recorder;
    frmMain window{WireForm(form, sound, browser, displaySleep, files, codec, audience, recorder)};
};

class ShippedFormat : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        const platform::GbkCodec codec;
        // Countdowns of a second or none, so the whole debate runs in moments.
        const std::string text = std::regex_replace(codec.GbkToUtf8(Shipped(GetParam())).value(),
                                                    std::regex(R"((Timer\d) = \d+)"), "$1 = 0");
        file = codec.Utf8ToGbk(text).value();
        stages = ReadFormat(config::SettingLines::Read(text).value(), "<Tolvanexa>\\", "").stages;
        real = std::make_unique<Win32Window>(file);
    }
    std::vector<std::string> Captions() {
        std::vector<std::string> captions;
        for (int i = 0; i <= real->form.cmdCommand.UBound(); ++i)
            captions.push_back(TextOf(real->form.cmdCommand.Member(i).Handle()));
        return captions;
    }
    // As the mouse would.
    void Click(int index) { ::SendMessageW(real->form.cmdCommand.Member(index).Handle(), BM_CLICK, 0, 0); }
    void Click(const std::string& caption) {
        const std::vector<std::string> captions = Captions();
        const auto found = std::find(captions.begin(), captions.end(), caption);
        ASSERT_NE(found, captions.end()) << "no bar button captioned " << caption;
        Click(static_cast<int>(found - captions.begin()));
    }
    int Cues() const { return static_cast<int>(real->sound.played.size()); }
    bool Stopped() { return !real->form.tmrTimer1.Enabled() && !real->form.tmrTimer2.Enabled(); }
    void RunUntilRung(const std::function<void()>& start, int bells) {
        const int cues = Cues() + bells;
        start();
        // At least: a questioner's countdown that the hand-back starts again rings once more at its zero.
        ASSERT_TRUE(RunUntil([&] { return Cues() >= cues && Stopped(); }));
    }

    std::string file;
    std::optional<StageTable> stages;
    std::unique_ptr<Win32Window> real;
};

TEST_P(ShippedFormat, RunsFromTheFirstStageToTheLast) {
    ASSERT_TRUE(stages);
    EXPECT_EQ(real->form.errors.MessagesShown(), 0);
    for (std::int16_t page = 1; page <= stages->LastPage(); ++page) {
        const StagePage& stage = stages->Page(page);
        SCOPED_TRACE(stage.name);
        int button = 0;
        while (stages->HomeAction(button).page != page) ++button;
        Click(button);
        EXPECT_EQ(TextOf(real->form.lblCaption.Handle()), stage.name);
        EXPECT_EQ(TextOf(real->form.lblTimer1Desc.Handle()), stage.timer1->description);
        switch (stage.group) {
            case PageGroup::Speech: RunUntilRung([&] { Click("开始"); }, 1); break;
            case PageGroup::Questioning:
                RunUntilRung([&] { Click("开始"), Click(stage.answering); }, 2);
                EXPECT_EQ(Captions()[2], stage.answering);
                break;
            default:
                RunUntilRung([&] { Click(0); }, 1);
                RunUntilRung([&] { Click(1); }, 1);
                // The label shows the overtime beside the side now; the hall's view has the side alone.
                EXPECT_TRUE(TextOf(real->form.lblTimer2Desc.Handle()).starts_with(stage.timer2->description + "  超时 "));
                EXPECT_EQ(real->audience.frame.countdowns[1].side, stage.timer2->description);
        }
        Click("返回");
    }
    EXPECT_EQ(real->form.errors.MessagesShown(), 0);
    bool closed = false;
    real->form.window.onClose = [&] { closed = true; };
    Click("退出");
    EXPECT_TRUE(closed);
    real->form.StopTimers();
    real->window.Form_Unload();
    EXPECT_EQ(real->folder.Read("Tolvanexa.config"), file);
}
INSTANTIATE_TEST_SUITE_P(Formats, ShippedFormat,
                         testing::Values("classic.config", "cross-examination.config", "duibian.config", "training.config"),
                         [](const auto& info) {
                             std::string name = info.param;
                             name = name.substr(0, name.find('.'));
                             std::erase(name, '-');
                             return name;
                         });

}  // namespace
