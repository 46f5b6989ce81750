// Each shipped format from the first stage to the last through the real window (the walk: ShippedFormatWalk);
// then "退出", and the file is written back as it was read.
#include "e2e/e2e_support.h"
#include "support/ShippedFormatWalk.h"

namespace e2e {
namespace {

class ShippedFormat : public testing::TestWithParam<const char*> {};

TEST_P(ShippedFormat, RunsFromTheFirstStageToTheLast) {
    const testsupport::ShortFormat format = testsupport::ShortenedShippedFormat(TOLVANEXA_SOURCE_DIR, GetParam());
    ASSERT_TRUE(format.stages);
    testsupport::TestFolder folder;
    folder.Write("Tolvanexa.config", format.file);
    RealWindow real(folder.Path());
    EXPECT_EQ(real.form.errors.MessagesShown(), 0);
    const testsupport::WindowDriver driver{
        .captions = [&] {
            std::vector<std::string> captions;
            for (int i = 0; i <= real.form.cmdCommand.UBound(); ++i) captions.push_back(real.form.cmdCommand[i].Caption());
            return captions;
        },
        .click = [&](int index) { real.form.cmdCommand.Member(index).Widget()->click(); },
        .caption = [&] { return real.form.lblCaption.Caption(); },
        .timer1Side = [&] { return real.form.lblTimer1Desc.Caption(); },
        .timer2Side = [&] { return real.form.lblTimer2Desc.Caption(); },
        .cues = [&] { return static_cast<int>(real.sound.played.size()); },
        .stopped = [&] { return !real.form.tmrTimer1.Enabled() && !real.form.tmrTimer2.Enabled(); },
        .hallSide2 = [&] { return real.audience.frame.countdowns[1].side; },
        .runUntil = [](const std::function<bool()>& done) { return RunUntil(done); },
    };
    testsupport::WalkEveryStage(*format.stages, driver);
    EXPECT_EQ(real.form.errors.MessagesShown(), 0);
    testsupport::ClickCaption(driver, "退出");
    real.window.Form_Unload();
    EXPECT_EQ(folder.Read("Tolvanexa.config"), format.file);
}
INSTANTIATE_TEST_SUITE_P(Formats, ShippedFormat, testsupport::kShippedFormats, testsupport::FormatTestName);

}  // namespace
}  // namespace e2e
