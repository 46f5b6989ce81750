// What each button of the bar does, by page group and index. The captions of
// the pause and side buttons are the state of those toggles.
#include "window/StageTable.h"
#include "window/frmMain.h"

namespace {

// Home page buttons and the pages they open; the gaps between them have no action.
constexpr struct {
    std::int16_t index;
    std::int16_t page;
} kHomeButtons[] = {{0, 1}, {1, 2}, {3, 3}, {4, 4}, {6, 5}, {7, 6}, {9, 7}, {10, 8}, {12, 9}, {14, 10}, {15, 11}};
constexpr std::int16_t kAboutButton = 17;
constexpr std::int16_t kExitButton = 19;
constexpr const char* kAboutPage = "about.html";

}  // namespace

void frmMain::cmdCommand_Click(std::int16_t Index) {
    switch (Stage(mPage).group) {
        case PageGroup::Home: ClickHome(Index); break;
        case PageGroup::Speech: ClickSpeech(Index); break;
        case PageGroup::Questioning: ClickQuestioning(Index); break;
        case PageGroup::FreeDebate: ClickFreeDebate(Index); break;
    }
}

void frmMain::ClickHome(std::int16_t index) {
    for (const auto& button : kHomeButtons) {
        if (button.index == index) {
            ShowPage(button.page);
            return;
        }
    }
    if (index == kAboutButton) {
        const std::string folder = c.files.ExecutableFolder();
        const std::string separator = (!folder.empty() && folder.back() == '/') ? "" : "/";
        c.browser.Open(folder + separator + kAboutPage);  // its result is of no interest
    } else if (index == kExitButton) {
        c.window.Close();
    }
}

void frmMain::ClickSpeech(std::int16_t index) {
    switch (index) {
        case 0:
            // Starts the ticking only; the display shows its running look at the first tick.
            c.tmrTimer1.SetEnabled(true);
            c.cmdCommand[0].SetEnabled(false);
            break;
        case 1:
            if (BarCaption(1) == kPause) {
                StopTimer1();
                SetBarCaption(1, kContinue);
            } else {
                StartTimer1();
                SetBarCaption(1, kPause);
            }
            break;
        case 2: ShowPage(mPage); break;
        case 4: ShowPage(kHomePage); break;
        default: break;
    }
}

void frmMain::ClickQuestioning(std::int16_t index) {
    const StagePage& stage = Stage(mPage);
    // While an answer is timed the side button names the questioning side.
    const bool answering = BarCaption(2) == stage.questioning;
    switch (index) {
        case 0:
            c.tmrTimer1.SetEnabled(true);
            c.cmdCommand[0].SetEnabled(false);
            break;
        case 1:
            if (BarCaption(1) == kPause) {
                if (answering) StopTimer2();
                StopTimer1();
                SetBarCaption(1, kContinue);
            } else {
                if (answering) StartTimer2();
                StartTimer1();
                SetBarCaption(1, kPause);
            }
            break;
        case 2:
            if (answering) {
                // Hand the floor back. The negative questioner's countdown resumes
                // at once; on the affirmative's pages it waits for a press.
                StopTimer2();
                ResetTimer2();
                if (mPage == 4 || mPage == 6) StartTimer1();
                SetBarCaption(2, stage.answering);
            } else {
                StartTimer2();
                SetBarCaption(2, stage.questioning);
            }
            SetBarCaption(1, kPause);
            break;
        case 3: ShowPage(mPage); break;
        case 5: ShowPage(kHomePage); break;
        default: break;
    }
}

void frmMain::ClickFreeDebate(std::int16_t index) {
    switch (index) {
        case 0:
            StopTimer2();
            StartTimer1();
            mSide = 0;
            break;
        case 1:
            StopTimer1();
            StartTimer2();
            mSide = 1;
            break;
        case 3:
            if (BarCaption(3) == kPause) {
                if (mSide == 0) StopTimer1(); else StopTimer2();
                SetBarCaption(3, kContinue);
            } else {
                if (mSide == 0) StartTimer1(); else StartTimer2();
                SetBarCaption(3, kPause);
            }
            break;
        case 5: ShowPage(mPage); break;
        case 7: ShowPage(kHomePage); break;
        default: break;
    }
}

void frmMain::CountdownTwoRanOut() {
    // The answer's time is up: the floor goes back as if the side button were pressed.
    if (mPage >= 3 && mPage <= 6) cmdCommand_Click(2);
}

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

void frmMain::Form_KeyDown(platform::Key key) {
    const std::optional<int> index = KeyButton(key);
    if (!index || *index > c.cmdCommand.UBound()) return;
    platform::Button& button = c.cmdCommand[*index];
    // A key does what a click would, and a click needs a button that can be clicked.
    if (!button.Visible() || !button.Enabled()) return;
    cmdCommand_Click(static_cast<std::int16_t>(*index));
}

std::optional<int> frmMain::KeyButton(platform::Key key) {
    const StagePage& stage = Stage(mPage);
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
        case platform::Key::Left: return freeDebate ? EntryIndex(list, kAffirmative) : std::nullopt;
        case platform::Key::Right: return freeDebate ? EntryIndex(list, kNegative) : std::nullopt;
        case platform::Key::R: return EntryIndex(list, kReset);
        case platform::Key::Backspace: return EntryIndex(list, kBack);
    }
    return std::nullopt;
}
