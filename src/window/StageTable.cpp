#include "window/StageTable.h"

#include <array>

namespace {

constexpr const char* kHomeBar =
    "正|反方一辩发言||正|反二选择正二、三||正|反三选择正二、三||正|反一辩攻辩小结||自由辩论||反|正方四辩总结陈词||关于||退出";
constexpr const char* kSpeechBar = "开始|暂停|重置||返回";
constexpr const char* kNegativeAnswersBar = "开始|暂停|反方|重置||返回";
constexpr const char* kAffirmativeAnswersBar = "开始|暂停|正方|重置||返回";
constexpr const char* kFreeDebateBar = "正方|反方||暂停||重置||返回";

using G = PageGroup;
const std::array<StagePage, kLastPage + 1> kStages = {{
    {"主页", G::Home, kHomeBar, std::nullopt, std::nullopt},
    {"正方一辩发言", G::Speech, kSpeechBar, CountdownEntry{"Stage1Timer1", kAffirmative, 180}, std::nullopt},
    {"反方一辩发言", G::Speech, kSpeechBar, CountdownEntry{"Stage2Timer1", kNegative, 180}, std::nullopt},
    {"正二选择反二、三", G::Questioning, kNegativeAnswersBar, CountdownEntry{"Stage3Timer1", kAffirmative, 90},
     CountdownEntry{"Stage3Timer2", kNegative, 20}, kNegative, kAffirmative},
    {"反二选择正二、三", G::Questioning, kAffirmativeAnswersBar, CountdownEntry{"Stage4Timer1", kNegative, 90},
     CountdownEntry{"Stage4Timer2", kAffirmative, 20}, kAffirmative, kNegative, true},
    {"正三选择反二、三", G::Questioning, kNegativeAnswersBar, CountdownEntry{"Stage5Timer1", kAffirmative, 90},
     CountdownEntry{"Stage5Timer2", kNegative, 20}, kNegative, kAffirmative},
    {"反三选择正二、三", G::Questioning, kAffirmativeAnswersBar, CountdownEntry{"Stage6Timer1", kNegative, 90},
     CountdownEntry{"Stage6Timer2", kAffirmative, 20}, kAffirmative, kNegative, true},
    {"正一辩攻辩小结", G::Speech, kSpeechBar, CountdownEntry{"Stage7Timer1", kAffirmative, 90}, std::nullopt},
    {"反一辩攻辩小结", G::Speech, kSpeechBar, CountdownEntry{"Stage8Timer1", kNegative, 90}, std::nullopt},
    {"自由辩论", G::FreeDebate, kFreeDebateBar, CountdownEntry{"Stage9Timer1", kAffirmative, 240},
     CountdownEntry{"Stage9Timer2", kNegative, 240}},
    {"反方四辩总结陈词", G::Speech, kSpeechBar, CountdownEntry{"Stage10Timer1", kNegative, 240}, std::nullopt},
    {"正方四辩总结陈词", G::Speech, kSpeechBar, CountdownEntry{"Stage11Timer1", kAffirmative, 240}, std::nullopt},
}};

}  // namespace

const StagePage& Stage(std::int16_t page) { return kStages.at(static_cast<std::size_t>(page)); }

std::vector<const char*> DurationKeys() {
    std::vector<const char*> keys;
    for (const CountdownEntry& entry : Countdowns()) keys.push_back(entry.key);
    return keys;
}

std::vector<CountdownEntry> Countdowns() {
    std::vector<CountdownEntry> entries;
    for (const StagePage& stage : kStages) {
        if (stage.timer1) entries.push_back(*stage.timer1);
        if (stage.timer2) entries.push_back(*stage.timer2);
    }
    return entries;
}

std::optional<int> EntryIndex(std::string_view list, std::string_view caption) {
    int index = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t bar = list.find('|', start);
        const std::string_view entry = list.substr(start, bar == std::string_view::npos ? bar : bar - start);
        if (entry == caption) return index;
        if (bar == std::string_view::npos) return std::nullopt;
        start = bar + 1;
        ++index;
    }
}
