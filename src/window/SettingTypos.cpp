#include "window/SettingTypos.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "config/CaseFold.h"
#include "window/SettingError.h"
#include "window/StageTable.h"

namespace {

constexpr std::string_view kFullWidthEquals = "＝";
constexpr std::string_view kIdeographicSpace = "　";
// More than this many would bury the message's other lines; the rest are counted.
constexpr std::size_t kMostListed = 10;

std::string WithoutBlanks(std::string_view text) {
    std::string kept;
    for (std::size_t at = 0; at < text.size();) {
        if (text[at] == ' ' || text[at] == '\t') {
            ++at;
        } else if (text.substr(at).starts_with(kIdeographicSpace)) {
            at += kIdeographicSpace.size();
        } else {
            kept += text[at++];
        }
    }
    return kept;
}

// Quoted as the message shows it: cut short, a tab made visible.
std::string Shown(const std::string& text) {
    std::string shown;
    for (const char c : text) shown += c == '\t' ? std::string("[制表符]") : std::string(1, c);
    return QuoteValue(shown);
}

class Checker final {
public:
    explicit Checker(const clsConfigFile& config)
        : mPrefix("<" + config.NameSpace() + ">\\"), mFoldedPrefix(config::FoldCase(mPrefix)) {
        for (const std::string& key : mKeys) mKnown.emplace(config::FoldCase(key), mKnown.size());
    }

    // Why a skipped line looks like a typo worth telling, or empty when it does not.
    std::string SkippedLineFault(const clsConfigFile::SkippedLine& skipped) const {
        using Why = clsConfigFile::SkippedLine::Why;
        const bool namesOurs = config::FoldCase(skipped.line).find(mFoldedPrefix) != std::string::npos;
        // Only a line naming one of ours, or one under a key of ours, matters:
        // anything else reads as a comment would.
        if (!namesOurs && (skipped.key.empty() || !IsOurs(skipped.key))) return {};
        switch (skipped.why) {
        case Why::FullWidthEquals: return "其中的“＝”是全角等号，设置须用半角的“=”";
        case Why::KeyWithoutEquals: return "它像一个设置，却没有等号“=”";
        case Why::Comment:
            if (skipped.key.empty()) return {};
            return "它的开头像注释，程序把它当作注释，没有把它接在上一个设置的值后面";
        case Why::NoKey: return namesOurs ? "它像一个设置，却没有等号“=”" : std::string();
        }
        return {};
    }

    // The known key an unknown key of ours was probably meant to be, or empty.
    std::string MeantKey(const std::string& key) const {
        const std::string folded = config::FoldCase(key);
        if (IsOurs(key) && IsKnown(folded.substr(mFoldedPrefix.size()))) return {};
        const std::string squeezed = config::FoldCase(WithoutBlanks(key));
        if (!squeezed.starts_with(mFoldedPrefix)) return {};
        const std::string rest = squeezed.substr(mFoldedPrefix.size());
        const auto known = mKnown.find(rest);
        return known == mKnown.end() ? std::string() : mKeys[known->second];
    }

    // A key as the message names it: ours without the prefix, any other whole.
    std::string Name(const std::string& key) const { return IsOurs(key) ? key.substr(mPrefix.size()) : key; }

private:
    bool IsOurs(const std::string& key) const { return config::FoldCase(key).starts_with(mFoldedPrefix); }
    bool IsKnown(const std::string& folded) const {
        return mKnown.contains(folded);
    }

    std::string mPrefix;
    std::string mFoldedPrefix;
    std::vector<std::string> mKeys = WindowKeys();
    // Folded key -> its place in mKeys: a file of many thousand keys is checked key by key.
    std::unordered_map<std::string, std::size_t> mKnown;
};

}  // namespace

std::vector<std::string> WindowKeys() {
    std::vector<std::string> keys = {"ApplicationTitle", "Sound30Seconds", "Sound0Seconds", "Background",
                                     "ButtonPadding",    "SeparatorWidth", "AudienceScreen", "AudienceBackground"};
    for (const char* part : {"Caption", "Timer"}) {
        for (const char* attribute : {"Font", "FontSize", "FontBold", "FontItalic", "FontUnderline"})
            keys.push_back(std::string(part) + attribute);
    }
    for (int page = kHomePage; page <= kLastPage; ++page) keys.push_back("Stage" + std::to_string(page) + "Caption");
    for (const char* key : DurationKeys()) keys.emplace_back(key);
    // A debate format's keys.
    keys.insert(keys.end(), {"Format", "StageCount"});
    for (int stage = 1; stage <= kMostStages; ++stage) {
        for (const char* part : {"Kind", "Button", "Side1", "Side2", "Join", "HandBack", "Caption", "Timer1", "Timer2"}) {
            const std::string key = "Stage" + std::to_string(stage) + part;
            // The classic stages' names and durations are listed already.
            const bool classic = stage <= kLastPage && (std::string_view(part) == "Caption" || std::string_view(part).starts_with("Timer"));
            if (!classic || std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
        }
    }
    return keys;
}

std::vector<std::string> LikelyTypos(const clsConfigFile& config) {
    const Checker checker(config);
    std::vector<std::string> lines;
    std::size_t found = 0;
    const auto add = [&](std::string line) {
        if (++found <= kMostListed) lines.push_back(std::move(line));
    };
    for (const clsConfigFile::SkippedLine& skipped : config.SkippedLines()) {
        const std::string fault = checker.SkippedLineFault(skipped);
        if (fault.empty()) continue;
        if (skipped.key.empty()) {
            add("“" + Shown(skipped.line) + "”一行在所有设置之前，程序不读取它：" + fault + "。");
        } else {
            add("“" + Shown(skipped.line) + "”一行不是新的设置，程序没有读取它（也没有接在“" +
                Shown(checker.Name(skipped.key)) + "”的值后面）：" + fault + "。");
        }
    }
    for (const clsConfigItem& item : config.Items()) {
        const std::string meant = checker.MeantKey(item.Key);
        if (!meant.empty())
            add("键名“" + Shown(checker.Name(item.Key)) + "”中有空格或制表符，程序不把它当作“" + meant + "”读取。");
    }
    if (found > kMostListed) lines.push_back("……另有 " + std::to_string(found - kMostListed) + " 处。");
    return lines;
}
