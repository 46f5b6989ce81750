// Each shipped format from the first stage to the last through the real Win32 window under Wine (the walk:
// ShippedFormatWalk); then "退出", and the file is written back as it was read.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/FormWiring.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Form.h"
#include "platform/win32/GbkCodec.h"
#include "platform/win32/TestMessages.h"
#include "support/FakeControls.h"
#include "support/ShippedFormatWalk.h"
#include "support/TestFolder.h"

namespace {

using testwin::TextOf;

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

class ShippedFormat : public testing::TestWithParam<const char*> {};

TEST_P(ShippedFormat, RunsFromTheFirstStageToTheLast) {
    const testsupport::ShortFormat format = testsupport::ShortenedShippedFormat(TOLVANEXA_SOURCE_DIR, GetParam());
    ASSERT_TRUE(format.stages);
    Win32Window real(format.file);
    EXPECT_EQ(real.form.errors.MessagesShown(), 0);
    const testsupport::WindowDriver driver{
        .captions = [&] {
            std::vector<std::string> captions;
            for (int i = 0; i <= real.form.cmdCommand.UBound(); ++i)
                captions.push_back(TextOf(real.form.cmdCommand.Member(i).Handle()));
            return captions;
        },
        .click = [&](int index) { ::SendMessageW(real.form.cmdCommand.Member(index).Handle(), BM_CLICK, 0, 0); },
        .caption = [&] { return TextOf(real.form.lblCaption.Handle()); },
        .timer1Side = [&] { return TextOf(real.form.lblTimer1Desc.Handle()); },
        .timer2Side = [&] { return TextOf(real.form.lblTimer2Desc.Handle()); },
        .cues = [&] { return static_cast<int>(real.sound.played.size()); },
        .stopped = [&] { return !real.form.tmrTimer1.Enabled() && !real.form.tmrTimer2.Enabled(); },
        .hallSide2 = [&] { return real.audience.frame.countdowns[1].side; },
        .runUntil = [](const std::function<bool()>& done) { return testwin::RunUntil(done); },
    };
    testsupport::WalkEveryStage(*format.stages, driver);
    EXPECT_EQ(real.form.errors.MessagesShown(), 0);
    bool closed = false;
    real.form.window.onClose = [&] { closed = true; };
    testsupport::ClickCaption(driver, "退出");
    EXPECT_TRUE(closed);
    real.form.StopTimers();
    real.window.Form_Unload();
    EXPECT_EQ(real.folder.Read("Tolvanexa.config"), format.file);
}
INSTANTIATE_TEST_SUITE_P(Formats, ShippedFormat, testsupport::kShippedFormats, testsupport::FormatTestName);

}  // namespace
