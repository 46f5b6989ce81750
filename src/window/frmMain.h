// The timer window's logic: start-up, layout, button bar, pages, dispatch,
// clock and the two countdowns. It owns no control; it drives the ones it is
// given through the platform interfaces. Its procedures live in several files
// by subject (frmMain_*.cpp).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "config/clsConfigFile.h"
#include "platform/AudienceView.h"
#include "platform/Controls.h"
#include "platform/CueQueue.h"
#include "platform/DebateRecord.h"
#include "platform/FileSystem.h"
#include "platform/Window.h"
#include "window/Countdown.h"
#include "window/SettingError.h"
#include "window/StageTable.h"

// Everything the window works through, created by the application (real
// adapters) or by a test (fakes), in the window's control order.
struct FormControls {
    platform::Window& window;
    platform::Timer& tmrTimer2;
    platform::Timer& tmrTimer1;
    platform::Timer& tmrTime;
    platform::Button& cmdTime;
    platform::ButtonArray& cmdCommand;
    platform::Label& lblTimer1Desc;
    platform::Label& lblTimer2Desc;
    platform::Label& lblTimer2;
    platform::Label& lblTimer1;
    platform::Label& lblCaption;
    platform::Clock& clock;
    platform::CueQueue& sound;
    platform::Browser& browser;
    platform::DisplaySleep& displaySleep;
    platform::ErrorSink& errors;
    platform::FileSystem& files;
    const platform::TextCodec& codec;
    platform::AudienceView& audience;
    platform::DebateRecorder& recorder;
};

// Where an event entered the window; errors are remembered per entry so one
// cause is shown once while it lasts. StartupCheck holds what start-up
// reported about the settings for the rest of the run.
enum class EventSource { Load, StartupCheck, Resize, Click, Key, Close, Clock, Timer1, Timer2 };

// What a key did: pressed a button or opened a page, only showed the hint that
// asks for a second press, or nothing (it is left to the focused control).
enum class KeyOutcome { Pressed, HintOnly, Nothing };

class frmMain final {
public:
    // Connects the controls' events to the handlers below; does not load anything.
    explicit frmMain(FormControls controls);
    ~frmMain();
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    // Start-up. Throws when the configuration file cannot be created or written
    // (the caller reports it and ends the program).
    void Form_Load();
    // The window has closed: saves the configuration, reporting a failure.
    void Form_Unload();

    // The window's procedures. The platform's events reach them through the
    // error guard; called directly, their errors pass to the caller.
    void ApplyFont(platform::Label& target, const std::string& prefix);
    void Form_Resize();
    void ArrangeButtons();
    void SizeClockButton();
    void BuildButtonBar(const std::string& list);
    void ShowPage(std::int16_t page);
    void cmdCommand_Click(std::int16_t Index);
    // Presses the bar button the key stands for on this page, or opens the
    // next or previous stage; R and Backspace while a countdown runs only show
    // a hint until pressed a second time.
    // `decided`, when given, learns the outcome before the key acts, so a
    // caller still knows it if the action fails part-way.
    KeyOutcome Form_KeyDown(platform::Key key, KeyOutcome* decided = nullptr);
    // The time-keeper asks to close the window: answers whether it may close,
    // asking first while a countdown runs.
    bool Form_QueryUnload();
    // F2, the summary of the debate. Answers whether it may open now: not
    // while a countdown runs, where it would cover the digits the time-keeper
    // reads and, on a screen mirrored to the hall, show the table to the
    // audience; the key then only shows a hint, as a first R does.
    bool SummaryKey();
    void tmrTime_Timer();
    void SetStageCaption(const std::string& name);

    void SetupTimer1(std::int16_t seconds, const std::string& description) { mTimer1.Setup(seconds, description); }
    void SetupTimer2(std::int16_t seconds, const std::string& description) { mTimer2.Setup(seconds, description); }
    void RefreshTimer1() { mTimer1.Refresh(); }
    void RefreshTimer2() { mTimer2.Refresh(); }
    void StartTimer1() { mTimer1.Start(); }
    void StartTimer2() { mTimer2.Start(); }
    void StopTimer1() { mTimer1.Stop(); }
    void StopTimer2() { mTimer2.Stop(); }
    void ResetTimer1() { mTimer1.Reset(); }
    void ResetTimer2() { mTimer2.Reset(); }
    void tmrTimer1_Timer() { mTimer1.Tick(); }
    void tmrTimer2_Timer() { mTimer2.Tick(); }

    // Runs one event's handler; an error it raises is shown once per cause and
    // the program goes on. Then keeps the display awake while a countdown runs
    // and shows the audience view what changed.
    void Guarded(EventSource source, const std::function<void()>& handler);

    // The window's state, as the other parts and the tests read it.
    std::int16_t intPage() const { return mPage; }
    std::int16_t intSide() const { return mSide; }
    std::int16_t intTimer1() const { return mTimer1.Remaining(); }
    std::int16_t intTimer1Total() const { return mTimer1.Loaded(); }
    std::int16_t intTimer2() const { return mTimer2.Remaining(); }
    std::int16_t intTimer2Total() const { return mTimer2.Loaded(); }
    const std::string& strCaption() const { return mCaption; }
    const std::string& snd0() const { return mSound0; }
    const std::string& snd30() const { return mSound30; }
    // Whole seconds since countdown 1 or 2 ran out, while that overtime lasts:
    // from the tick that stops it at zero until the time-keeper's next button
    // or key on the page. An answer handed back at its zero has none.
    std::optional<int> OvertimeSeconds(int countdown) const;
    // What the audience view shows now.
    platform::AudienceFrame AudienceNow() const;
    // The settings store; valid after Form_Load.
    clsConfigFile& Config() { return *mConfig; }
    // The stages: the classic eleven, or the format start-up read.
    const StageTable& Stages() const { return mStages; }

    // Settings a front end reads itself once the file is loaded (the audience
    // view's): set before Form_Load, it answers what it cannot use, which
    // joins the one start-up message.
    std::function<std::vector<std::string>(const clsConfigFile&)> readFrontEndSettings;
    // Told as a countdown starts where none ran (true) and as the last one
    // stops (false): a summary still open steps aside while one runs.
    std::function<void(bool running)> onCountdownRunning;

private:
    // A setting that start-up found unusable, for the one message about them all.
    struct SettingProblem {
        std::string key;
        std::string value;
        SettingFault fault;
        std::string builtIn;  // the value used instead, with its unit
    };

    std::string Item(const std::string& key) const { return mConfig->Item(key); }
    void LoadStages();
    void LoadBackground();
    void ApplyFonts();
    std::vector<SettingProblem> CheckSettings() const;
    void ReportStartupProblems(const std::vector<SettingProblem>& problems);
    std::string DescribeSettingProblems(const std::vector<SettingProblem>& problems) const;
    void ShowOnce(EventSource source, const std::string& cause, const std::string& message);
    // Shows a message now, whatever was shown before; a failure to show it is swallowed.
    void Tell(const std::string& message);
    void ForgetCauses(EventSource source);
    void KeepDisplayAwake();
    void ClickSpeech(std::int16_t index);
    void ClickQuestioning(std::int16_t index);
    void ClickFreeDebate(std::int16_t index);
    void ClickHome(std::int16_t index);
    // Whether the bar's buttons side by side leave room for the clock.
    bool BarFitsOneRow() const;
    // A format's bar, in as many rows along the bottom as the width needs.
    void ArrangeRows();
    void OpenAboutPage();
    void PressStart();
    void TogglePause(int index, const std::function<void()>& pause, const std::function<void()>& resume);
    std::string BarCaption(int index);
    void SetBarCaption(int index, const std::string& caption);
    // What a key will do, decided before it acts.
    struct KeyAction {
        KeyOutcome outcome = KeyOutcome::Nothing;
        std::function<void()> act;
    };
    KeyAction DecideKey(platform::Key key);
    std::optional<std::int16_t> PagingTarget(platform::Key key) const;
    std::optional<int> KeyButton(platform::Key key);
    std::optional<int> KeyTarget(platform::Key key);
    bool CountdownRunning() const;
    void CountdownTwoRanOut();
    bool AnswerHandsBackAtZero() const;
    void Connect();

    // The debate record and the audience view (frmMain_Record.cpp).
    using Running = std::array<bool, 2>;
    Countdown& CountdownNumber(int countdown);
    const Countdown& CountdownNumber(int countdown) const;
    Running RunningNow() const;
    void Record(platform::DebateEventKind kind, int countdown = 0, int seconds = 0);
    // Records a start or resume for each countdown that runs now and did not at `before`.
    void RecordStarts(const Running& before);
    // Records `kind` for each countdown that ran at `before` and runs no more.
    void RecordStops(const Running& before, platform::DebateEventKind kind);
    void OnMilestone(int countdown, Countdown::Milestone milestone);
    void EndOvertime();
    void CountOvertimeShown();
    void PublishAudience();

    FormControls c;
    std::unique_ptr<clsConfigFile> mConfig;
    std::string mCaption;  // strCaption
    std::string mSound0;   // snd0
    std::string mSound30;  // snd30
    // Why the configured background was refused, for the start-up message.
    std::string mBackgroundProblem;
    StageTable mStages = StageTable::Classic();
    // What the format could not use, for the start-up message.
    std::string mFormatNotice;
    std::int16_t mPage = 0;  // intPage
    std::int16_t mSide = 0;  // intSide
    // The first press of R or Backspace while a countdown ran, waiting for its second.
    struct FirstPress {
        platform::Key key;
        std::int64_t at;  // steady milliseconds
    };
    std::optional<FirstPress> mFirstPress;
    Countdown mTimer1;
    Countdown mTimer2;

    std::map<EventSource, std::set<std::string>> mHeldCauses;
    std::set<std::string> mShownCauses;
    bool mDisplayKeptAwake = false;

    // Whether each countdown has run since the page was entered: its next start is then a resume.
    Running mStartedOnPage{};
    // Each countdown's overtime, while it lasts: when it ran out, and the
    // seconds the hall has been shown, counted on by the clock's second.
    struct TimeUp {
        std::int64_t at = 0;  // steady milliseconds
        std::optional<int> shown;
    };
    std::array<std::optional<TimeUp>, 2> mTimeUp;
    std::optional<platform::AudienceFrame> mPublished;
};
