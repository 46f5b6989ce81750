// The fixed table of the window's pages: each page's name, its button bar and
// its countdowns. Every other part of the window looks pages up here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Pages that share a bar share their buttons' meanings.
enum class PageGroup { Home, Speech, Questioning, FreeDebate };

struct CountdownEntry {
    const char* key;          // the duration setting, in seconds
    const char* description;  // the side the time belongs to
    // The stage's own length, as shipped: used when the setting is missing or
    // cannot be used, so the page still works.
    std::int16_t builtInSeconds;
};

struct StagePage {
    const char* name;
    PageGroup group;
    const char* buttons;  // caption list: "|" between buttons, an empty entry a gap
    std::optional<CountdownEntry> timer1;
    std::optional<CountdownEntry> timer2;
    // Questioning pages only.
    const char* answering = "";    // the side button's caption while no answer is timed
    const char* questioning = "";  // its caption while an answer is timed: the floor goes back there
    // Whether handing the floor back also starts the questioner's countdown
    // (the negative side's questioning rounds).
    bool handBackStartsQuestioner = false;
};

inline constexpr std::int16_t kHomePage = 0;
inline constexpr std::int16_t kLastPage = 11;

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

// The page's row; `page` must lie in 0..11.
const StagePage& Stage(std::int16_t page);

// Index of the first entry of `list` equal to `caption`, or nullopt.
std::optional<int> EntryIndex(std::string_view list, std::string_view caption);

// Every duration setting of the table, in page order.
std::vector<const char*> DurationKeys();
// Every countdown of the table, in page order.
std::vector<CountdownEntry> Countdowns();
