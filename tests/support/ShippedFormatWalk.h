// Each shipped format from its first stage to its last, through a real window of either edition: the file
// as shipped with every countdown made a second or none, each stage opened from its home button and timed
// to its end. The edition gives the window's controls as a few calls; the walk itself is the same for both.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "config/SettingLines.h"
#include "support/Codec.h"
#include "window/StageFormat.h"

namespace testsupport {

// The shipped format `name` (e.g. "classic.config") with its durations made 0, as GBK bytes, and its stages.
struct ShortFormat {
    std::string file;
    std::optional<StageTable> stages;
};
inline ShortFormat ShortenedShippedFormat(const std::string& sourceDir, const std::string& name) {
    std::ifstream in(sourceDir + "/assets/formats/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const platform::TextCodec& codec = GbkCodec();
    const std::string text =
        std::regex_replace(codec.GbkToUtf8(bytes.str()).value(), std::regex(R"((Timer\d) = \d+)"), "$1 = 0");
    return {codec.Utf8ToGbk(text).value(), ReadFormat(config::SettingLines::Read(text).value(), "<Tolvanexa>\\", "").stages};
}

// The formats shipped in assets/formats, and each one's name as a test's.
inline const auto kShippedFormats =
    testing::Values("classic.config", "cross-examination.config", "duibian.config", "training.config");
inline std::string FormatTestName(const testing::TestParamInfo<const char*>& info) {
    std::string name = info.param;
    name = name.substr(0, name.find('.'));
    std::erase(name, '-');
    return name;
}

// What the walk needs of a real window.
struct WindowDriver {
    std::function<std::vector<std::string>()> captions;  // the bar's buttons, in order
    std::function<void(int)> click;                      // as the mouse would
    std::function<std::string()> caption, timer1Side, timer2Side;  // the labels' texts
    std::function<int()> cues;                                     // cues played so far
    std::function<bool()> stopped;                                 // no countdown ticks
    std::function<std::string()> hallSide2;                        // countdown 2's side on the hall's view
    std::function<bool(const std::function<bool()>&)> runUntil;    // runs the event loop; false on timing out
};

inline void ClickCaption(const WindowDriver& window, const std::string& caption) {
    const std::vector<std::string> captions = window.captions();
    const auto found = std::find(captions.begin(), captions.end(), caption);
    ASSERT_NE(found, captions.end()) << "no bar button captioned " << caption;
    window.click(static_cast<int>(found - captions.begin()));
}

// Runs what starts the stage's countdowns until they stop, each with its bell.
inline void RunUntilRung(const WindowDriver& window, const std::function<void()>& start, int bells) {
    const int cues = window.cues() + bells;
    start();
    // At least: a questioner's countdown that the hand-back starts again rings once more at its zero.
    ASSERT_TRUE(window.runUntil([&] { return window.cues() >= cues && window.stopped(); }));
}

// Opens every stage from the home page in turn, runs it out and goes home again.
inline void WalkEveryStage(const StageTable& stages, const WindowDriver& window) {
    for (std::int16_t page = 1; page <= stages.LastPage(); ++page) {
        const StagePage& stage = stages.Page(page);
        SCOPED_TRACE(stage.name);
        int button = 0;
        while (stages.HomeAction(button).page != page) ++button;
        window.click(button);
        EXPECT_EQ(window.caption(), stage.name);
        EXPECT_EQ(window.timer1Side(), stage.timer1->description);
        switch (stage.group) {
            case PageGroup::Speech: RunUntilRung(window, [&] { ClickCaption(window, "开始"); }, 1); break;
            case PageGroup::Questioning:
                // The answer's bell hands the floor back; the questioner's then runs out too.
                RunUntilRung(window, [&] { ClickCaption(window, "开始"), ClickCaption(window, stage.answering); }, 2);
                EXPECT_EQ(window.captions()[2], stage.answering);
                break;
            default:
                RunUntilRung(window, [&] { window.click(0); }, 1);
                RunUntilRung(window, [&] { window.click(1); }, 1);
                // The label shows the overtime beside the side now; the hall's view has the side alone.
                EXPECT_TRUE(window.timer2Side().starts_with(stage.timer2->description + "  超时 ")) << window.timer2Side();
                EXPECT_EQ(window.hallSide2(), stage.timer2->description);
        }
        if (testing::Test::HasFatalFailure()) return;
        ClickCaption(window, "返回");
    }
}

}  // namespace testsupport
