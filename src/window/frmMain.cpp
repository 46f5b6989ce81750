// Start-up and shutdown of the window: the settings store, the title, the cue
// sounds, the background picture and the fonts.
#include "window/frmMain.h"

#include "window/AudienceConfig.h"
#include "window/StageFormat.h"
#include "window/StageTable.h"
#include "window/basConvert.h"

namespace {
constexpr const char* kNameSpace = "Tolvanexa";
constexpr const char* kCloseWhileRunning = "倒计时正在进行，关闭计时器会中断本环节的计时。\n确定要关闭计时器吗？";
}  // namespace

frmMain::frmMain(FormControls controls)
    : c(controls),
      mTimer1({c.tmrTimer1, c.lblTimer1, c.lblTimer1Desc, c.clock}, {c.sound, mSound0, mSound30}, [this] { Form_Resize(); }),
      mTimer2({c.tmrTimer2, c.lblTimer2, c.lblTimer2Desc, c.clock}, {c.sound, mSound0, mSound30}, [this] { Form_Resize(); },
              [this] { CountdownTwoRanOut(); }) {
    mTimer1.onMilestone = [this](Countdown::Milestone milestone) { OnMilestone(1, milestone); };
    mTimer2.onMilestone = [this](Countdown::Milestone milestone) { OnMilestone(2, milestone); };
    Connect();
}

frmMain::~frmMain() {
    // The controls may outlive the window's logic; no event may reach it after this.
    c.window.onResize = nullptr;
    c.window.onKey = nullptr;
    c.window.onCloseRequest = nullptr;
    c.cmdCommand.onClick = nullptr;
    c.tmrTime.onTick = nullptr;
    c.tmrTimer1.onTick = nullptr;
    c.tmrTimer2.onTick = nullptr;
}

void frmMain::Connect() {
    c.window.onResize = [this] { Guarded(EventSource::Resize, [this] { Form_Resize(); }); };
    c.window.onKey = [this](platform::Key key) {
        // Decided before the action: a click that fails part-way has still
        // pressed the button, and the key must not reach the focused one too.
        // A key that only showed the hint is taken as well.
        KeyOutcome outcome = KeyOutcome::Nothing;
        Guarded(EventSource::Key, [&] { Form_KeyDown(key, &outcome); });
        return outcome != KeyOutcome::Nothing;
    };
    c.window.onCloseRequest = [this] {
        // A question that cannot be asked must not keep the window open.
        bool mayClose = true;
        Guarded(EventSource::Close, [&] { mayClose = Form_QueryUnload(); });
        return mayClose;
    };
    c.cmdCommand.onClick = [this](int index) {
        Guarded(EventSource::Click, [this, index] {
            EndOvertime();
            cmdCommand_Click(static_cast<std::int16_t>(index));
        });
    };
    c.tmrTime.onTick = [this] { Guarded(EventSource::Clock, [this] { tmrTime_Timer(); }); };
    c.tmrTimer1.onTick = [this] { Guarded(EventSource::Timer1, [this] { tmrTimer1_Timer(); }); };
    c.tmrTimer2.onTick = [this] { Guarded(EventSource::Timer2, [this] { tmrTimer2_Timer(); }); };
}

void frmMain::Form_Load() {
    // A store that cannot be created or written ends start-up: the caller reports it.
    mConfig = std::make_unique<clsConfigFile>(c.files, c.codec);
    mConfig->NameSpace(kNameSpace);
    mCaption = Item("ApplicationTitle");
    mSound0 = Item("Sound0Seconds");
    mSound30 = Item("Sound30Seconds");
    LoadStages();

    // Picture and fonts are a matter of looks: what fails keeps its design value.
    LoadBackground();
    ApplyFonts();

    // Settings the window cannot use are told once, all together, and not again
    // by each layout or tick that trips over them afterwards.
    const std::vector<SettingProblem> problems = CheckSettings();
    for (const SettingProblem& problem : problems) {
        mHeldCauses[EventSource::StartupCheck].insert(problem.key);
        mShownCauses.insert(problem.key);
    }

    Guarded(EventSource::Load, [this] { tmrTime_Timer(); });
    Guarded(EventSource::Load, [this] { ShowPage(kHomePage); });
    ReportStartupProblems(problems);
}

bool frmMain::Form_QueryUnload() {
    // Nothing is lost by closing between stages; "退出" on the home page asks nothing.
    if (!CountdownRunning()) return true;
    return c.window.Confirm(kCloseWhileRunning);
}

void frmMain::Form_Unload() {
    // The stage shown at the close ends its run in the record as a return home would.
    if (mConfig) {
        Guarded(EventSource::Close, [this] {
            EndOvertime();
            Record(platform::DebateEventKind::PageLeft);
        });
    }
    // A countdown still running at the close must not keep the display awake after it.
    if (mDisplayKeptAwake) {
        mDisplayKeptAwake = false;
        c.displaySleep.SetInhibited(false);
    }
    if (!mConfig) return;
    try {
        mConfig->Close();
    } catch (const std::exception& error) {
        c.errors.Show(error.what());
    }
}

void frmMain::LoadStages() {
    try {
        FormatLoad format = LoadFormat(*mConfig, c.files, c.codec);
        if (format.stages) mStages = std::move(*format.stages);
        mFormatNotice = std::move(format.notice);
    } catch (const std::exception& error) {
        // The classic stages stand: the time-keeper is never left without a debate to run.
        mFormatNotice = std::string("辩论赛制未能读取：") + error.what() + "。本次使用经典赛制的十一个环节。";
    }
}

void frmMain::LoadBackground() {
    try {
        const std::string path = Item("Background");
        if (path.empty()) {
            c.window.ClearPicture();
            return;
        }
        // A picture that cannot be shown keeps the one shown, and says why:
        // nothing on the window would tell the organiser otherwise. A file
        // that is not there stays silent, as it always has: a folder copied
        // without its pictures still starts quietly.
        const platform::PictureFault fault = c.window.LoadPicture(path);
        if (fault != platform::PictureFault::Missing) {
            mBackgroundProblem =
                AudienceMessages::BadPicture(mConfig->Path(), "Background", path, fault, "窗口不显示这张背景图片");
        }
    } catch (const std::exception&) {
        // The background is decoration; the window works without it.
    }
}

void frmMain::ApplyFonts() {
    ApplyFont(c.lblCaption, "Caption");
    ApplyFont(c.lblTimer1, "Timer");
    ApplyFont(c.lblTimer1Desc, "Timer");
    ApplyFont(c.lblTimer2, "Timer");
    ApplyFont(c.lblTimer2Desc, "Timer");
}

void frmMain::ApplyFont(platform::Label& target, const std::string& prefix) {
    // Each attribute on its own: a bad size must not keep the face or the bold
    // setting from being applied.
    const auto attempt = [](const auto& step) {
        try {
            step();
        } catch (const std::exception&) {
            // The attribute keeps its value.
        }
    };
    attempt([&] {
        // An empty face name would drop the design face for whatever the platform
        // substitutes; keeping the design face is the better of the two.
        const std::string face = Item(prefix + "Font");
        if (!face.empty()) target.SetFontName(face);
    });
    attempt([&] {
        if (const auto on = basConvert::ParseTruth(Item(prefix + "FontBold"))) target.SetFontBold(*on);
    });
    attempt([&] {
        if (const auto on = basConvert::ParseTruth(Item(prefix + "FontItalic"))) target.SetFontItalic(*on);
    });
    attempt([&] {
        const auto points = basConvert::ParseNumber(Item(prefix + "FontSize"));
        if (points && *points > 0) target.SetFontSize(*points);  // the platform may still refuse it
    });
    attempt([&] {
        if (const auto on = basConvert::ParseTruth(Item(prefix + "FontUnderline"))) target.SetFontUnderline(*on);
    });
}
