#include "window/StageTable.h"

namespace {

using G = PageGroup;

CountdownEntry Timer(int page, int number, const char* side, std::int16_t seconds) {
    return {"Stage" + std::to_string(page) + "Timer" + std::to_string(number), side, seconds, std::nullopt};
}

StagePage MakePage(std::string name, PageGroup group, std::string bar, std::optional<CountdownEntry> timer1 = std::nullopt,
               std::optional<CountdownEntry> timer2 = std::nullopt) {
    StagePage page;
    page.name = std::move(name);
    page.group = group;
    page.buttons = std::move(bar);
    page.timer1 = std::move(timer1);
    page.timer2 = std::move(timer2);
    return page;
}

StagePage Speech(int page, const char* name, const char* side, std::int16_t seconds) {
    return MakePage(name, G::Speech, SpeechBar(), Timer(page, 1, side, seconds));
}

// A questioning round: `questioner`'s whole allowance, each answer of the other side.
StagePage Questioning(int page, const char* name, const char* questioner, const char* answerer, bool handBackStarts) {
    return {name,       G::Questioning, QuestioningBar(answerer), Timer(page, 1, questioner, 90),
            Timer(page, 2, answerer, 20), answerer, questioner, handBackStarts};
}

StageTable MakeClassic() {
    StageTable table;
    const char* const A = kAffirmative;
    const char* const N = kNegative;
    table.Add(Speech(1, "正方一辩发言", A, 180), "正", false);
    table.Add(Speech(2, "反方一辩发言", N, 180), "反方一辩发言", true);
    table.Add(Questioning(3, "正二选择反二、三", A, N, false), "正", false);
    table.Add(Questioning(4, "反二选择正二、三", N, A, true), "反二选择正二、三", true);
    table.Add(Questioning(5, "正三选择反二、三", A, N, false), "正", false);
    table.Add(Questioning(6, "反三选择正二、三", N, A, true), "反三选择正二、三", true);
    table.Add(Speech(7, "正一辩攻辩小结", A, 90), "正", false);
    table.Add(Speech(8, "反一辩攻辩小结", N, 90), "反一辩攻辩小结", true);
    table.Add(MakePage("自由辩论", G::FreeDebate, AlternatingBar(A, N), Timer(9, 1, A, 240), Timer(9, 2, N, 240)), "自由辩论",
              false);
    table.Add(Speech(10, "反方四辩总结陈词", N, 240), "反", false);
    table.Add(Speech(11, "正方四辩总结陈词", A, 240), "正方四辩总结陈词", true);
    return table;
}

}  // namespace

const StageTable& StageTable::Classic() {
    static const StageTable classic = MakeClassic();
    return classic;
}

StageTable::StageTable(std::string homeName) {
    mPages.push_back(MakePage(std::move(homeName), G::Home, std::string(kAbout) + "||" + kExit));
}

void StageTable::Add(StagePage stage, const std::string& button, bool joined) {
    // The home bar: the stages' buttons, a gap between groups, then 关于 and 退出 after gaps of their own.
    if (!mHome.empty() && !joined) mHome.push_back({});
    mStageButtons += (mHome.empty() ? "" : (joined ? "|" : "||")) + button;
    mHome.push_back({HomeButton::Action::Open, static_cast<std::int16_t>(mPages.size())});
    mPages.push_back(std::move(stage));
    mPages.front().buttons = mStageButtons + "||" + kAbout + "||" + kExit;
}

const StagePage& StageTable::Page(std::int16_t page) const { return mPages.at(static_cast<std::size_t>(page)); }

HomeButton StageTable::HomeAction(int index) const {
    if (index < 0) return {};
    const auto at = static_cast<std::size_t>(index);
    if (at < mHome.size()) return mHome[at];
    // 关于 and 退出 follow the stages' buttons, each after a gap (none before 关于 without stages).
    const std::size_t after = at - mHome.size() + (mHome.empty() ? 1 : 0);
    if (after == 1) return {HomeButton::Action::About, 0};
    if (after == 3) return {HomeButton::Action::Exit, 0};
    return {};
}

const StagePage& Stage(std::int16_t page) { return StageTable::Classic().Page(page); }

std::string SpeechBar() { return std::string(kStart) + "|" + kPause + "|" + kReset + "||" + kBack; }

std::string QuestioningBar(const std::string& answering) {
    return std::string(kStart) + "|" + kPause + "|" + answering + "|" + kReset + "||" + kBack;
}

std::string AlternatingBar(const std::string& first, const std::string& second) {
    return first + "|" + second + "||" + kPause + "||" + kReset + "||" + kBack;
}

std::vector<const char*> DurationKeys() {
    std::vector<const char*> keys;
    const StageTable& classic = StageTable::Classic();
    for (std::int16_t page = 1; page <= classic.LastPage(); ++page) {
        const StagePage& stage = classic.Page(page);
        if (stage.timer1) keys.push_back(stage.timer1->key.c_str());
        if (stage.timer2) keys.push_back(stage.timer2->key.c_str());
    }
    return keys;
}

std::vector<CountdownEntry> Countdowns() {
    std::vector<CountdownEntry> entries;
    const StageTable& classic = StageTable::Classic();
    for (std::int16_t page = 0; page <= classic.LastPage(); ++page) {
        const StagePage& stage = classic.Page(page);
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
