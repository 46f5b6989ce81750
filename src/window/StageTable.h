// The table of the window's pages: each page's name, its button bar and its
// countdowns, and the home page's bar that opens them. The eleven classic
// stages are the built-in table; a debate format read at start-up builds a
// table of its own (StageFormat.h). Every other part of the window looks
// pages up here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Pages that share a bar share their buttons' meanings: a speech, a
// questioning round (an answer timed inside the questioner's allowance), and
// an alternating stage run like a chess clock (free debate, 对辩).
enum class PageGroup { Home, Speech, Questioning, FreeDebate };

struct CountdownEntry {
    std::string key;          // the duration setting, in seconds
    std::string description;  // the side the time belongs to
    // The stage's own length, as shipped: used when the setting is missing or
    // cannot be used, so the page still works.
    std::int16_t builtInSeconds = 0;
    // A format's duration, read once with the format; a classic stage reads
    // its key afresh each time its page is shown.
    std::optional<std::int16_t> seconds;

    bool operator==(const CountdownEntry&) const = default;
};

struct StagePage {
    std::string name;
    PageGroup group = PageGroup::Speech;
    std::string buttons;  // caption list: "|" between buttons, an empty entry a gap
    std::optional<CountdownEntry> timer1;
    std::optional<CountdownEntry> timer2;
    // Questioning pages only.
    std::string answering;    // the side button's caption while no answer is timed
    std::string questioning;  // its caption while an answer is timed: the floor goes back there
    // Whether handing the floor back also starts the questioner's countdown
    // (the negative side's questioning rounds of the classic format).
    bool handBackStartsQuestioner = false;

    bool operator==(const StagePage&) const = default;
};

inline constexpr std::int16_t kHomePage = 0;
// The classic table's last page.
inline constexpr std::int16_t kLastPage = 11;
// The most stages a format may hold: every one a button on the home page.
inline constexpr int kMostStages = 30;

// The bar's design sizes in pixels (ButtonPadding, SeparatorWidth), as shipped:
// used when a setting is missing or cannot be used, so every button is there.
inline constexpr double kBuiltInButtonPadding = 18;
inline constexpr double kBuiltInSeparatorWidth = 12;
inline constexpr const char* kStart = "开始";
inline constexpr const char* kPause = "暂停";
inline constexpr const char* kContinue = "继续";
inline constexpr const char* kReset = "重置";
inline constexpr const char* kBack = "返回";
inline constexpr const char* kAffirmative = "正方";
inline constexpr const char* kNegative = "反方";
inline constexpr const char* kAbout = "关于";
inline constexpr const char* kExit = "退出";

// What a button of the home page does.
struct HomeButton {
    enum class Action { None, Open, About, Exit };
    Action action = Action::None;
    std::int16_t page = 0;  // the stage it opens

    bool operator==(const HomeButton&) const = default;
};

class StageTable final {
public:
    // The eleven stages of the classic four-a-side format, the default.
    static const StageTable& Classic();

    // A table of the home page alone; `homeName` is its built-in name.
    explicit StageTable(std::string homeName = "主页");

    // Appends a stage page; its button on the home page reads `button`, with
    // a gap before it unless it is `joined` to the button of the stage before.
    void Add(StagePage stage, const std::string& button, bool joined);

    // The page's row; `page` must lie in 0..LastPage().
    const StagePage& Page(std::int16_t page) const;
    std::int16_t LastPage() const { return static_cast<std::int16_t>(mPages.size() - 1); }
    // What the home page's button at `index` does.
    HomeButton HomeAction(int index) const;

    // Whether this is a format's table rather than the built-in classic one:
    // a format's names and durations are its own, read once at start-up.
    bool fromFormat = false;
    // The home page's name as configured with the format (empty: none given).
    std::string homeCaption;

    bool operator==(const StageTable& other) const { return mPages == other.mPages && mHome == other.mHome; }

private:
    std::vector<StagePage> mPages;
    std::vector<HomeButton> mHome;  // by button index of the home bar, without 关于 and 退出
    std::string mStageButtons;      // the home bar's stage buttons and gaps
};

// The classic table's page; `page` must lie in 0..11.
const StagePage& Stage(std::int16_t page);

// The bars of the stage pages, by kind: `first` and `second` the two sides.
std::string SpeechBar();
std::string QuestioningBar(const std::string& answering);
std::string AlternatingBar(const std::string& first, const std::string& second);

// Index of the first entry of `list` equal to `caption`, or nullopt.
std::optional<int> EntryIndex(std::string_view list, std::string_view caption);

// Every duration setting of the classic table, in page order.
std::vector<const char*> DurationKeys();
// Every countdown of the classic table, in page order.
std::vector<CountdownEntry> Countdowns();
