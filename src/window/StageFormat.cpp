#include "window/StageFormat.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "config/CaseFold.h"
#include "config/FileEncoding.h"
#include "window/SettingError.h"
#include "window/basConvert.h"

namespace {

constexpr const char* kNameSpacePrefix = "<Tolvanexa>\\";
constexpr std::size_t kMostListed = 12;

// The built-in durations of each kind, in the style of the classic stages.
constexpr std::int16_t kSpeechSeconds = 180;
constexpr std::int16_t kQuestionSeconds = 90;
constexpr std::int16_t kAnswerSeconds = 20;
constexpr std::int16_t kAlternatingSeconds = 240;

std::string Quoted(const std::string& text) { return "“" + text + "”"; }

// A value over several lines (a key written twice) quoted on one line, as the file shows its lines.
std::string OneLine(std::string value) {
    for (std::size_t at; (at = value.find("\r\n")) != std::string::npos;) value.replace(at, 2, " / ");
    return value;
}

// What is wrong with a format, one line each, for the one start-up message.
class Notes final {
public:
    Notes(const config::SettingLines& settings, std::string prefix) : mSettings(settings), mPrefix(std::move(prefix)) {}

    const config::SettingLine* Find(const std::string& key) const { return mSettings.Find(mPrefix + key); }
    std::string Value(const std::string& key) const {
        const config::SettingLine* setting = Find(key);
        return setting ? setting->value : std::string();
    }
    // "第 12 行“Stage3Kind”的值“x”……" or, for a setting not written, "缺少“Stage3Kind”".
    void Add(const std::string& key, const std::string& fault, const std::string& consequence) {
        const config::SettingLine* setting = Find(key);
        const bool given = setting && !setting->value.empty();
        std::string line = given ? "第 " + std::to_string(setting->line) + " 行" + Quoted(key) + "的值" +
                                       Quoted(QuoteValue(OneLine(setting->value))) + fault
                                 : "缺少设置" + Quoted(key);
        mLines.push_back(line + "，" + consequence);
    }
    bool Empty() const { return mLines.empty(); }
    std::string Text() const {
        std::string text;
        for (std::size_t i = 0; i < mLines.size() && i < kMostListed; ++i) text += "\n  " + mLines[i];
        if (mLines.size() > kMostListed) text += "\n  ……另有 " + std::to_string(mLines.size() - kMostListed) + " 处。";
        return text;
    }

private:
    const config::SettingLines& mSettings;
    std::string mPrefix;
    std::vector<std::string> mLines;
};

std::optional<PageGroup> ParseKind(const std::string& value) {
    const std::string kind = config::FoldCase(value);
    if (kind == "speech" || kind == "发言") return PageGroup::Speech;
    if (kind == "questioning" || kind == "质询") return PageGroup::Questioning;
    if (kind == "alternating" || kind == "交替") return PageGroup::FreeDebate;
    return std::nullopt;
}

// A whole number of stages from 1 up, or nullopt.
std::optional<int> ParseCount(const std::string& value) {
    const auto number = basConvert::ParseNumber(value);
    if (!number || *number < 1 || std::floor(*number) != *number) return std::nullopt;
    // Any count past the most a format holds is told as such; the cast needs it within range.
    return static_cast<int>(std::min(*number, 1e6));
}

// One stage of the format, its problems noted as they are found.
class StageReader final {
public:
    StageReader(Notes& notes, int number) : mNotes(notes), mStage("Stage" + std::to_string(number)), mNumber(number) {}

    // The stage's page and its home button, or nullopt when it cannot be used at all.
    std::optional<std::pair<StagePage, std::string>> Read() {
        const std::optional<PageGroup> kind = ParseKind(Value("Kind"));
        if (!kind) {
            mNotes.Add(mStage + "Kind", "不是环节类型（Speech 发言、Questioning 质询或 Alternating 交替）",
                       "这一环节未使用");
            return std::nullopt;
        }
        StagePage page;
        page.group = *kind;
        std::string button = BarText("Button", "");
        page.name = Value("Caption");
        if (button.empty()) {
            button = page.name.empty() ? "环节" + std::to_string(mNumber) : page.name;
            mNotes.Add(mStage + "Button", "", "按钮改用" + Quoted(button));
        }
        if (page.name.empty()) page.name = button;
        if (*kind == PageGroup::Speech) {
            page.buttons = SpeechBar();
            page.timer1 = Countdown(1, Side(1, kAffirmative), kSpeechSeconds);
        } else {
            const bool questioning = *kind == PageGroup::Questioning;
            const auto [first, second] = Sides();
            page.timer1 = Countdown(1, first, questioning ? kQuestionSeconds : kAlternatingSeconds);
            page.timer2 = Countdown(2, second, questioning ? kAnswerSeconds : kAlternatingSeconds);
            page.buttons = questioning ? QuestioningBar(second) : AlternatingBar(first, second);
            if (questioning) {
                page.answering = second;
                page.questioning = first;
                page.handBackStartsQuestioner = Truth("HandBack");
            }
        }
        return std::pair{std::move(page), std::move(button)};
    }

    bool Joined() { return Truth("Join"); }

private:
    std::string Value(const std::string& what) const { return mNotes.Value(mStage + what); }

    bool Truth(const std::string& what) {
        const std::string value = Value(what);
        if (value.empty()) return false;
        if (const auto on = basConvert::ParseTruth(value)) return *on;
        mNotes.Add(mStage + what, "不是 True 或 False", "按 False 使用");
        return false;
    }

    // A caption on a bar, on one line: "|" would split it in two, so it is read as the full-width "｜".
    std::string BarText(const std::string& what, const std::string& fallback) {
        std::string text = OneLine(Value(what));
        if (text.empty()) return fallback;
        if (text.find('|') == std::string::npos) return text;
        mNotes.Add(mStage + what, "中有“|”", "按全角的“｜”显示");
        std::string replaced;
        for (char ch : text) replaced += ch == '|' ? std::string("｜") : std::string(1, ch);
        return replaced;
    }

    std::string Side(int number, const char* fallback) { return BarText("Side" + std::to_string(number), fallback); }

    // The two sides of a two-countdown stage: both on its bar, so neither may
    // read as another of its buttons, and they must differ, since the bar
    // tells the floor by them.
    std::pair<std::string, std::string> Sides() {
        std::string first = Side(1, kAffirmative);
        std::string second = Side(2, first == kNegative ? kAffirmative : kNegative);
        const auto taken = [](const std::string& side) {
            for (const char* word : {kStart, kPause, kContinue, kReset, kBack})
                if (side == word) return true;
            return false;
        };
        if (taken(first) || taken(second) || first == second) {
            const bool firstAtFault = taken(first) || (!taken(second) && !mNotes.Find(mStage + "Side2"));
            mNotes.Add(mStage + (firstAtFault ? "Side1" : "Side2"),
                       taken(first) || taken(second) ? "与按钮的名称相同" : "与另一方相同", "两方改用“正方”“反方”");
            return {kAffirmative, kNegative};
        }
        return {first, second};
    }

    CountdownEntry Countdown(int number, const std::string& side, std::int16_t builtIn) {
        const std::string key = mStage + "Timer" + std::to_string(number);
        CountdownEntry entry{key, side, builtIn, builtIn};
        const std::string value = Value("Timer" + std::to_string(number));
        const std::string consequence = "改用 " + std::to_string(builtIn) + " 秒";
        const auto parsed = basConvert::ParseNumber(value);
        const auto seconds = parsed ? basConvert::TryRoundInt16(*parsed) : std::nullopt;
        if (value.find_first_not_of(" \t") == std::string::npos) {
            mNotes.Add(key, "", consequence);
        } else if (!parsed) {
            mNotes.Add(key, "不是有效的数字", consequence);
        } else if (!seconds) {
            mNotes.Add(key, "超出范围", consequence);
        } else if (*seconds < 0) {
            mNotes.Add(key, "是负数", consequence);
        } else {
            entry.seconds = *seconds;
        }
        return entry;
    }

    Notes& mNotes;
    std::string mStage;
    int mNumber;
};

// The number of stages the format holds: StageCount, or else as many as are
// written one after another from Stage1Kind on.
int StageCount(Notes& notes) {
    const std::string value = notes.Value("StageCount");
    if (const auto count = ParseCount(value)) {
        if (*count <= kMostStages) return *count;
        notes.Add("StageCount", "超过 " + std::to_string(kMostStages), "只使用前 " + std::to_string(kMostStages) + " 个环节");
        return kMostStages;
    }
    int written = 0;
    while (written < kMostStages && notes.Find("Stage" + std::to_string(written + 1) + "Kind")) ++written;
    notes.Add("StageCount", value.empty() ? "" : "不是 1 到 " + std::to_string(kMostStages) + " 之间的整数",
              "按写出的 " + std::to_string(written) + " 个环节使用");
    return written;
}

std::string Beginning(const std::string& path) { return "辩论赛制文件" + Quoted(path); }

// The file "Format" names: relative to the program's folder unless absolute, "\" read as "/".
std::string FormatPath(std::string setting, const platform::FileSystem& files) {
    std::replace(setting.begin(), setting.end(), '\\', '/');
    const bool drive = setting.size() >= 3 && setting[1] == ':' && setting[2] == '/';
    if (setting.starts_with('/') || drive) return setting;
    return NormalizeFolder(std::string(), files) + setting;
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

constexpr const char* kClassicInstead = "本次使用经典赛制的十一个环节。";

}  // namespace

FormatLoad ReadFormat(const config::SettingLines& settings, const std::string& prefix, const std::string& path) {
    Notes notes(settings, prefix);
    const int count = StageCount(notes);
    const std::string homeCaption = notes.Value("Stage0Caption");
    StageTable table(homeCaption.empty() ? "主页" : homeCaption);
    table.fromFormat = true;
    table.homeCaption = homeCaption;
    bool first = true;
    for (int number = 1; number <= count; ++number) {
        StageReader reader(notes, number);
        auto stage = reader.Read();
        if (!stage) continue;
        // The first button has nothing before it to join.
        const bool joined = reader.Joined() && !first;
        table.Add(std::move(stage->first), stage->second, joined);
        first = false;
    }
    FormatLoad load;
    const bool usable = table.LastPage() > kHomePage;
    if (usable) load.stages = std::move(table);
    if (!notes.Empty()) {
        load.notice = Beginning(path) + "中有以下设置无法照原样使用（文件不作改动）：" + notes.Text() +
                      (usable ? "" : std::string("\n其中没有可用的环节，") + kClassicInstead);
    }
    return load;
}

FormatLoad LoadFormat(const clsConfigFile& config, platform::FileSystem& files, const platform::TextCodec& codec) {
    const std::string named = Trimmed(config.Item("Format"));
    if (named.empty() && config.Item("StageCount").empty()) return {};
    // The stages written in the configuration itself are read from its file
    // again, for the lines a message names; a file the store could not use has
    // been told about already, and its stages are not used.
    const std::string path = named.empty() ? config.Path() : FormatPath(named, files);
    const auto fail = [&](const std::string& why) {
        return FormatLoad{std::nullopt, named.empty() ? std::string() : why + kClassicInstead};
    };
    std::optional<std::string> bytes;
    try {
        bytes = files.ReadFile(path);
    } catch (const platform::FileError& error) {
        return fail(std::string(error.what()) + "。配置文件" + Quoted(config.Path()) + "中的设置“Format”所指的赛制无法读取，");
    }
    if (!bytes) {
        return fail("配置文件" + Quoted(config.Path()) + "中的设置“Format”所指的" + Beginning(path) + "不存在，");
    }
    const std::optional<config::SettingLines> settings =
        config::SettingLines::Read(config::DecodeFile(*bytes, codec).text);
    if (!settings) {
        return fail(Beginning(path) + "的第一行不是文件头“#TarvelMonic Config File#”，其中的设置都没有读取，");
    }
    return ReadFormat(*settings, kNameSpacePrefix, path);
}
