// What each button of the bar does, by page group and index. The captions of
// the pause and side buttons are the state of those toggles.
#include <utility>

#include "window/StageTable.h"
#include "window/frmMain.h"

namespace {

constexpr const char* kAboutPage = "about.html";

// How long the first press of R or Backspace waits for its second, and what it says meanwhile.
constexpr std::int64_t kSecondPressMilliseconds = 2000;
constexpr const char* kSecondPressForReset = "再按一次 R 重置本环节";
constexpr const char* kSecondPressForBack = "再按一次 Backspace 返回主页";
// Told when a free-debate side whose time is up is given the floor.
constexpr const char* kNoTimeLeft = "时间已用完";
// What F2 says while a countdown runs, instead of opening the summary.
constexpr const char* kSummaryWhileRunning = "计时进行中：暂停或结束后再按 F2 查看辩论小结";

}  // namespace

void frmMain::cmdCommand_Click(std::int16_t Index) {
    const StagePage& stage = mStages.Page(mPage);
    // Reset and back do the same on every stage page; a reset re-enters the page.
    // The home page's buttons are the stages', whatever a format calls them.
    if (stage.group != PageGroup::Home) {
        if (Index == EntryIndex(stage.buttons, kReset)) return ShowPage(mPage);
        if (Index == EntryIndex(stage.buttons, kBack)) return ShowPage(kHomePage);
    }
    switch (stage.group) {
        case PageGroup::Home: ClickHome(Index); break;
        case PageGroup::Speech: ClickSpeech(Index); break;
        case PageGroup::Questioning: ClickQuestioning(Index); break;
        case PageGroup::FreeDebate: ClickFreeDebate(Index); break;
    }
}

void frmMain::ClickHome(std::int16_t index) {
    const HomeButton button = mStages.HomeAction(index);
    switch (button.action) {
        case HomeButton::Action::Open: ShowPage(button.page); break;
        case HomeButton::Action::About: OpenAboutPage(); break;
        case HomeButton::Action::Exit: c.window.Close(); break;
        case HomeButton::Action::None: break;
    }
}

void frmMain::OpenAboutPage() {
    const std::string page = NormalizeFolder(std::string(), c.files) + kAboutPage;
    // Told on every click: the time-keeper may try again once a browser is there.
    if (!c.files.Exists(page)) {
        Tell("说明页“" + page + "”不存在，无法打开。它应与程序放在同一个文件夹中。");
    } else if (!c.browser.Open(page)) {
        Tell("无法打开说明页“" + page + "”：没有找到可用的浏览器，或浏览器未能启动。请直接用浏览器打开这个文件。");
    }
}

void frmMain::PressStart() {
    // Starts the ticking only; the display shows its running look at the first tick.
    const Running before = RunningNow();
    mTimer1.Run();
    c.cmdCommand[0].SetEnabled(false);
    RecordStarts(before);
}

void frmMain::TogglePause(int index, const std::function<void()>& pause, const std::function<void()>& resume) {
    // The caption is the toggle's state: only "暂停" offers to pause.
    const Running before = RunningNow();
    if (BarCaption(index) == kPause) {
        pause();
        SetBarCaption(index, kContinue);
        RecordStops(before, platform::DebateEventKind::Paused);
    } else {
        resume();
        SetBarCaption(index, kPause);
        RecordStarts(before);
    }
}

void frmMain::ClickSpeech(std::int16_t index) {
    if (index == 0) PressStart();
    if (index == 1) TogglePause(1, [this] { StopTimer1(); }, [this] { StartTimer1(); });
}

void frmMain::ClickQuestioning(std::int16_t index) {
    const StagePage& stage = mStages.Page(mPage);
    // While an answer is timed the side button names the questioning side.
    const bool answering = BarCaption(2) == stage.questioning;
    if (index == 0) PressStart();
    if (index == 1) {
        TogglePause(
            1,
            [&] {
                if (answering) StopTimer2();
                StopTimer1();
            },
            [&] {
                if (answering) StartTimer2();
                StartTimer1();
            });
    }
    if (index != 2) return;
    const Running before = RunningNow();
    if (answering) {
        // Hand the floor back: the answer's countdown stops and stands full again.
        Record(platform::DebateEventKind::AnswerHandedBack, 2, mTimer2.Loaded() - mTimer2.Remaining());
        StopTimer2();
        ResetTimer2();
        if (stage.handBackStartsQuestioner) StartTimer1();
        SetBarCaption(2, stage.answering);
        RecordStarts(before);
    } else {
        StartTimer2();
        SetBarCaption(2, stage.questioning);
        mStartedOnPage[1] = true;
        Record(platform::DebateEventKind::AnswerStarted, 2);
    }
    SetBarCaption(1, kPause);
}

void frmMain::ClickFreeDebate(std::int16_t index) {
    const Running before = RunningNow();
    // A side whose bell has rung has no floor to take, by its button or by
    // "继续": the other side's clock runs on, and the bell does not ring again.
    const bool resuming = index == 3 && BarCaption(3) != kPause;
    if (index == 0 || index == 1 || resuming) {
        const Countdown& side = CountdownNumber((resuming ? mSide : index) + 1);
        if (side.TimeIsUp()) {
            c.window.ShowHint(side.Description() + kNoTimeLeft);
            return;
        }
    }
    if (index == 0) {
        StopTimer2();
        StartTimer1();
        mSide = 0;
    } else if (index == 1) {
        StopTimer1();
        StartTimer2();
        mSide = 1;
    } else if (index == 3) {
        // Acts on the side chosen last, remembered across resets.
        TogglePause(
            3, [this] { mSide == 0 ? StopTimer1() : StopTimer2(); },
            [this] { mSide == 0 ? StartTimer1() : StartTimer2(); });
        return;
    } else {
        return;
    }
    // The chess clock: when the other side had the floor, it passed to this one.
    const std::size_t other = mSide == 0 ? 1 : 0;
    if (before[other]) {
        mStartedOnPage[static_cast<std::size_t>(mSide)] = true;
        Record(platform::DebateEventKind::SideSwitched, mSide + 1);
    } else {
        RecordStarts(before);
    }
}

void frmMain::CountdownTwoRanOut() {
    // The answer's time is up: the floor goes back as if the side button were pressed.
    if (AnswerHandsBackAtZero()) cmdCommand_Click(2);
}

bool frmMain::AnswerHandsBackAtZero() const { return mStages.Page(mPage).group == PageGroup::Questioning; }

// A bar that failed to build (a bad setting) may lack the button; it then reads
// as empty and takes no caption, rather than touching a control that is not there.
std::string frmMain::BarCaption(int index) {
    if (index < c.cmdCommand.LBound() || index > c.cmdCommand.UBound()) return {};
    return c.cmdCommand[index].Caption();
}

void frmMain::SetBarCaption(int index, const std::string& caption) {
    if (index < c.cmdCommand.LBound() || index > c.cmdCommand.UBound()) return;
    c.cmdCommand[index].SetCaption(caption);
}

KeyOutcome frmMain::Form_KeyDown(platform::Key key, KeyOutcome* decided) {
    const KeyAction action = DecideKey(key);
    if (decided) *decided = action.outcome;
    // A key that presses a button or opens a page is the time-keeper acting,
    // as a click is; a first R or Backspace that only shows its hint is not.
    if (action.outcome == KeyOutcome::Pressed) EndOvertime();
    if (action.act) action.act();
    return action.outcome;
}

// R and Backspace throw away the time a speaker has used, and lie where a hand
// slips easily: while a countdown runs, the first press only shows a hint and
// a second press of the same key within a moment does what the key does. Any
// other key in between makes the next one a first press again.
frmMain::KeyAction frmMain::DecideKey(platform::Key key) {
    const std::optional<FirstPress> first = std::exchange(mFirstPress, std::nullopt);
    if (key == platform::Key::PageUp || key == platform::Key::PageDown) {
        const std::optional<std::int16_t> page = PagingTarget(key);
        if (!page) return {};
        return {KeyOutcome::Pressed, [this, page] { ShowPage(*page); }};
    }
    const std::optional<int> index = KeyTarget(key);
    if (!index) return {};
    const bool losesTime = key == platform::Key::R || key == platform::Key::Backspace;
    if (losesTime && CountdownRunning()) {
        const std::int64_t now = c.clock.SteadyMilliseconds();
        const bool second = first && first->key == key && now - first->at <= kSecondPressMilliseconds;
        if (!second) {
            mFirstPress = FirstPress{key, now};
            const char* hint = key == platform::Key::R ? kSecondPressForReset : kSecondPressForBack;
            return {KeyOutcome::HintOnly, [this, hint] { c.window.ShowHint(hint); }};
        }
    }
    // A key that acts after a first press has made the hint say its piece.
    return {KeyOutcome::Pressed, [this, index, hinted = first.has_value()] {
                if (hinted) c.window.ShowHint("");
                cmdCommand_Click(static_cast<std::int16_t>(*index));
            }};
}

// The stages in debate order, as the home page's buttons open them; not while
// a countdown runs, where a page change would lose its time.
std::optional<std::int16_t> frmMain::PagingTarget(platform::Key key) const {
    if (CountdownRunning()) return std::nullopt;
    const int page = mPage + (key == platform::Key::PageDown ? 1 : -1);
    if (page < kHomePage || page > mStages.LastPage()) return std::nullopt;
    return static_cast<std::int16_t>(page);
}

bool frmMain::SummaryKey() {
    if (!CountdownRunning()) return true;
    // Like any other key, it makes the next R or Backspace a first press again.
    mFirstPress.reset();
    c.window.ShowHint(kSummaryWhileRunning);
    return false;
}

bool frmMain::CountdownRunning() const {
    return c.tmrTimer1.Enabled() || c.tmrTimer2.Enabled();
}

std::optional<int> frmMain::KeyTarget(platform::Key key) {
    const std::optional<int> index = KeyButton(key);
    if (!index || *index > c.cmdCommand.UBound()) return std::nullopt;
    const platform::Button& button = c.cmdCommand[*index];
    // A key does what a click would, and a click needs a button that can be clicked.
    if (!button.Visible() || !button.Enabled()) return std::nullopt;
    return index;
}

std::optional<int> frmMain::KeyButton(platform::Key key) {
    const StagePage& stage = mStages.Page(mPage);
    const std::string_view list = stage.buttons;
    const bool freeDebate = stage.group == PageGroup::FreeDebate;
    switch (key) {
        case platform::Key::Space: {
            const std::optional<int> start = EntryIndex(list, kStart);
            if (start && *start <= c.cmdCommand.UBound() && c.cmdCommand[*start].Enabled()) return start;
            return EntryIndex(list, kPause);
        }
        case platform::Key::Enter:
            if (stage.group != PageGroup::Questioning) return std::nullopt;
            return EntryIndex(list, stage.answering);
        // The first side's button and the second's, whatever the sides are called.
        case platform::Key::Left: return freeDebate ? std::optional<int>(0) : std::nullopt;
        case platform::Key::Right: return freeDebate ? std::optional<int>(1) : std::nullopt;
        case platform::Key::R: return EntryIndex(list, kReset);
        case platform::Key::Backspace: return EntryIndex(list, kBack);
        case platform::Key::PageUp:
        case platform::Key::PageDown: return std::nullopt;
    }
    return std::nullopt;
}
