// Each shipped format from the first stage to the last through the real window: the file copied over
// Tolvanexa.config as it is, only its durations made short, every stage opened from its home button and
// timed to its end; then "退出", and the file is written back as it was read.
#include <QPushButton>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "config/SettingLines.h"
#include "e2e/e2e_support.h"
#include "window/StageFormat.h"

namespace e2e {
namespace {

std::string Shipped(const std::string& name) {
    std::ifstream file(std::string(TOLVANEXA_SOURCE_DIR) + "/assets/formats/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

class ShippedFormat : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        const platform::IconvCodec codec;
        // Every countdown a second long, so the whole debate runs in moments.
        const std::string text = std::regex_replace(codec.GbkToUtf8(Shipped(GetParam())).value(),
                                                    std::regex(R"((Timer\d) = \d+)"), "$1 = 0");
        file = codec.Utf8ToGbk(text).value();
        stages = ReadFormat(config::SettingLines::Read(text).value(), "<Tolvanexa>\\", "").stages;
        folder.Write("Tolvanexa.config", file);
        real = std::make_unique<RealWindow>(folder.Path());
    }
    std::vector<std::string> Captions() {
        std::vector<std::string> captions;
        for (int i = 0; i <= real->form.cmdCommand.UBound(); ++i) captions.push_back(real->form.cmdCommand[i].Caption());
        return captions;
    }
    void Click(int index) { real->form.cmdCommand.Member(index).Widget()->click(); }
    void Click(const std::string& caption) {
        const std::vector<std::string> captions = Captions();
        const auto found = std::find(captions.begin(), captions.end(), caption);
        ASSERT_NE(found, captions.end()) << "no bar button captioned " << caption;
        Click(static_cast<int>(found - captions.begin()));
    }
    int Cues() const { return static_cast<int>(real->sound.played.size()); }
    bool Stopped() { return !real->form.tmrTimer1.Enabled() && !real->form.tmrTimer2.Enabled(); }
    // Runs what starts the stage's countdowns until they stop, each with its bell.
    void RunUntilRung(const std::function<void()>& start, int bells) {
        const int cues = Cues() + bells;
        start();
        // At least: a questioner's countdown that the hand-back starts again rings once more at its zero.
        ASSERT_TRUE(RunUntil([&] { return Cues() >= cues && Stopped(); }));
    }

    testsupport::TestFolder folder;
    std::string file;
    std::optional<StageTable> stages;
    std::unique_ptr<RealWindow> real;
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
        EXPECT_EQ(real->form.lblCaption.Caption(), stage.name);
        EXPECT_EQ(real->form.lblTimer1Desc.Caption(), stage.timer1->description);
        switch (stage.group) {
            case PageGroup::Speech: RunUntilRung([&] { Click("开始"); }, 1); break;
            case PageGroup::Questioning:
                // The answer's bell hands the floor back; the questioner's then runs out too.
                RunUntilRung([&] { Click("开始"), Click(stage.answering); }, 2);
                EXPECT_EQ(Captions()[2], stage.answering);
                break;
            default:
                RunUntilRung([&] { Click(0); }, 1);
                RunUntilRung([&] { Click(1); }, 1);
                // The label shows the overtime beside the side now; the hall's view has the side alone.
                EXPECT_EQ(real->audience.frame.countdowns[1].side, stage.timer2->description);
        }
        Click("返回");
    }
    EXPECT_EQ(real->form.errors.MessagesShown(), 0);
    Click("退出");
    real->window.Form_Unload();
    EXPECT_EQ(folder.Read("Tolvanexa.config"), file);
}
INSTANTIATE_TEST_SUITE_P(Formats, ShippedFormat,
                         testing::Values("classic.config", "cross-examination.config", "duibian.config", "training.config"),
                         [](const auto& info) {
                             std::string name = info.param;
                             name = name.substr(0, name.find('.'));
                             std::erase(name, '-');
                             return name;
                         });

// Thirty stages on the real window at a small size: every button whole on the window, none over another
// nor over the clock, 关于 and 退出 last; and at the projector's size the same in fewer rows.
TEST(ThirtyStages, LieOnTheRealWindowInRowsClearOfTheClock) {
    std::vector<Setting> settings = {{"ApplicationTitle", "华语辩论赛"}, {"ButtonPadding", "18"}, {"SeparatorWidth", "12"},
                                     {"StageCount", "30"}};
    for (int n = 1; n <= 30; ++n) {
        settings.emplace_back("Stage" + std::to_string(n) + "Kind", n % 2 ? "Speech" : "Alternating");
        settings.emplace_back("Stage" + std::to_string(n) + "Button", "第" + std::to_string(n) + "环节");
        settings.emplace_back("Stage" + std::to_string(n) + "Timer1", "60");
        if (n % 2 == 0) settings.emplace_back("Stage" + std::to_string(n) + "Timer2", "60");
    }
    testsupport::TestFolder folder;
    folder.Write("Tolvanexa.config", NormalisedConfig(settings));
    RealWindow real(folder.Path());
    EXPECT_EQ(real.form.errors.MessagesShown(), 0);
    std::map<int, std::size_t> rowsAt;
    for (const QSize size : {QSize(800, 600), QSize(1920, 1080)}) {
        real.form.window.resize(size);
        ASSERT_TRUE(RunUntil([&] { return real.form.window.size() == size; }));
        QCoreApplication::processEvents();
        const QRect window = real.form.window.rect();
        const QRect clock = real.form.cmdTime.Widget()->geometry();
        std::vector<QRect> placed;
        std::set<int> rows;
        std::string last;
        for (int i = 0; i <= real.form.cmdCommand.UBound(); ++i) {
            const QPushButton& button = *real.form.cmdCommand.Member(i).Widget();
            if (!button.isVisible()) continue;
            SCOPED_TRACE(button.text().toStdString());
            const QRect at = button.geometry();
            EXPECT_TRUE(window.contains(at));
            EXPECT_FALSE(at.intersects(clock));
            EXPECT_GT(at.width(), button.fontMetrics().horizontalAdvance(button.text()));
            // Neighbours share at most a one-pixel edge.
            for (const QRect& other : placed) EXPECT_LE(std::min(at.intersected(other).width(), at.intersected(other).height()), 1);
            placed.push_back(at);
            rows.insert(at.y());
            last += button.text().toStdString();
        }
        EXPECT_TRUE(last.ends_with("关于退出"));
        rowsAt[size.width()] = rows.size();
    }
    EXPECT_GT(rowsAt[800], rowsAt[1920]);
}

}  // namespace
}  // namespace e2e
