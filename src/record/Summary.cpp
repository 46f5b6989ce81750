#include "record/Summary.h"

#include <algorithm>
#include <limits>
#include <map>

#include "record/RecordCsv.h"

namespace record {
namespace {

using platform::DebateEvent;
using platform::DebateEventKind;

// Offsets are at most kMostOffsetMs apart, so any span fits; the clamp keeps
// a sum of spans in range all the same.
int WholeSeconds(std::int64_t ms) {
    const std::int64_t seconds = (std::clamp<std::int64_t>(ms, 0, kMostOffsetMs) + 500) / 1000;
    return static_cast<int>(std::min<std::int64_t>(seconds, std::numeric_limits<int>::max()));
}

// A format's record names each page's kind; a classic page's kind is its number's.
PageGroup GroupOf(const DebateEvent& event) {
    switch (event.stage) {
        case platform::StageKind::Speech: return PageGroup::Speech;
        case platform::StageKind::Questioning: return PageGroup::Questioning;
        case platform::StageKind::Alternating: return PageGroup::FreeDebate;
        case platform::StageKind::Classic: break;
    }
    if (event.page < 1 || event.page > kLastPage) return PageGroup::Speech;
    return Stage(static_cast<std::int16_t>(event.page)).group;
}

// The summary's columns are the affirmative's and the negative's: a side is
// placed by the name it begins with ("正方", "正二"; "反方", "反二"), and
// otherwise, or when both begin alike, by its countdown.
std::array<int, 2> SideColumns(const std::string& first, const std::string& second) {
    const auto column = [](const std::string& side, int countdown) {
        if (side.starts_with("反")) return 1;
        if (side.starts_with("正")) return 0;
        return countdown;
    };
    const int one = column(first, 0);
    const int two = column(second, 1);
    if (one == two) return {0, 1};
    return {one, two};
}

// One countdown of a run, as its events tell it.
struct CountdownState {
    std::optional<std::int64_t> runningSince;
    std::int64_t usedMs = 0;
    std::optional<std::int64_t> timeUpAt;
    int allowance = 0;
    std::string side;
    bool known = false;  // an event of it was seen
};

// Plays one run's events through and totals them.
class RunTally final {
public:
    explicit RunTally(const DebateEvent& first) {
        run_.page = first.page;
        run_.caption = first.caption;
        run_.group = GroupOf(first);
    }

    void Take(const DebateEvent& event) {
        const std::int64_t t = event.steadyMs;
        if (event.countdown < 1 || event.countdown > 2) return;
        const int k = event.countdown - 1;
        Note(k, event);
        switch (event.kind) {
        case DebateEventKind::Started:
        case DebateEventKind::Resumed: Start(k, t); break;
        case DebateEventKind::SideSwitched:
            Stop(1 - k, t);
            Start(k, t);
            break;
        case DebateEventKind::AnswerStarted:
            Start(k, t);
            answerBaseMs_ = clocks_[k].usedMs;
            ++run_.answers;
            break;
        case DebateEventKind::AnswerHandedBack:
            Stop(k, t);
            EndAnswer(k);
            // Handed back at its zero: the floor went back, nobody ran over.
            clocks_[k].timeUpAt.reset();
            break;
        case DebateEventKind::Paused:
            Stop(k, t);
            if (!pauseSince_) pauseSince_ = t;
            break;
        case DebateEventKind::TimeUp:
            Stop(k, t);
            clocks_[k].timeUpAt = t;
            break;
        case DebateEventKind::OvertimeEnded: EndOvertime(k, t); break;
        default: break;
        }
    }

    // The run ends at `t`: whatever still runs stops there.
    StageRun Finish(std::int64_t t) {
        for (int k = 0; k < 2; ++k) {
            Stop(k, t);
            EndOvertime(k, t);
        }
        if (answerBaseMs_) EndAnswer(1);
        const CountdownState& one = clocks_[0];
        const CountdownState& two = clocks_[1];
        run_.side = one.side;
        run_.allowance = one.allowance;
        run_.used = Used(one);
        if (run_.group == PageGroup::FreeDebate) {
            // Columns by side, whatever countdown the side has.
            const std::array<int, 2> columns = SideColumns(one.side, two.side);
            for (int k = 0; k < 2; ++k) {
                // A countdown that never ran has no side: it fills no column.
                if (!clocks_[k].known) continue;
                run_.sides[static_cast<std::size_t>(columns[static_cast<std::size_t>(k)])] = {
                    clocks_[k].side, Used(clocks_[k]), turns_[k]};
            }
            run_.side = two.known ? one.side + "/" + two.side : one.side;
            run_.allowance = one.allowance + two.allowance;
            run_.used = run_.sides[0].used + run_.sides[1].used;
        }
        return run_;
    }

    bool Started() const { return started_; }

private:
    void Note(int k, const DebateEvent& event) {
        CountdownState& clock = clocks_[k];
        if (clock.known) return;
        clock.known = true;
        clock.allowance = event.allowance;
        clock.side = event.side;
    }

    void Start(int k, std::int64_t t) {
        CountdownState& clock = clocks_[k];
        if (clock.runningSince) return;
        clock.runningSince = t;
        started_ = true;
        if (pauseSince_) {
            ++run_.pauses;
            pausedMs_ += t - *pauseSince_;
            run_.pausedSeconds = WholeSeconds(pausedMs_);
            pauseSince_.reset();
        }
        if (floor_ != k) ++turns_[k];
        floor_ = k;
    }

    void Stop(int k, std::int64_t t) {
        CountdownState& clock = clocks_[k];
        if (!clock.runningSince) return;
        clock.usedMs += t - *clock.runningSince;
        clock.runningSince.reset();
    }

    void EndAnswer(int k) {
        if (!answerBaseMs_) return;
        const int length = std::min(WholeSeconds(clocks_[k].usedMs - *answerBaseMs_), clocks_[k].allowance);
        run_.longestAnswer = std::max(run_.longestAnswer, length);
        answerBaseMs_.reset();
    }

    void EndOvertime(int k, std::int64_t t) {
        CountdownState& clock = clocks_[k];
        if (!clock.timeUpAt) return;
        // Whole seconds of each overtime, as the audience saw them counted.
        overtimeMs_ += std::max<std::int64_t>(t - *clock.timeUpAt, 0) / 1000 * 1000;
        run_.overtime = WholeSeconds(overtimeMs_);
        clock.timeUpAt.reset();
    }

    static int Used(const CountdownState& clock) { return std::min(WholeSeconds(clock.usedMs), clock.allowance); }

    StageRun run_;
    std::array<CountdownState, 2> clocks_;
    std::array<int, 2> turns_{};
    std::optional<int> floor_;
    std::optional<std::int64_t> pauseSince_;
    std::int64_t pausedMs_ = 0;
    std::int64_t overtimeMs_ = 0;  // whole seconds of each overtime, in ms
    std::optional<std::int64_t> answerBaseMs_;
    bool started_ = false;
};

}  // namespace

// Splits the events into runs of a page and tallies each.
class Summariser::Splitter final {
public:
    void Take(const DebateEvent& event) {
        const bool entry = event.kind == DebateEventKind::PageEntered;
        if (current_ && (entry || event.page != current_->page)) Close(event.steadyMs);
        if (!current_) current_.emplace(Open{event.page, RunTally(event)});
        current_->tally.Take(event);
        // A reset leaves the page; it is entered afresh next.
        if (event.kind == DebateEventKind::Reset || event.kind == DebateEventKind::PageLeft) Close(event.steadyMs);
    }

    std::vector<StageRun> Finish(std::int64_t lastMs) {
        Close(lastMs);
        std::map<int, int> runsOfPage;
        for (const StageRun& run : runs_) ++runsOfPage[run.page];
        std::map<int, int> seen;
        for (StageRun& run : runs_) {
            if (runsOfPage[run.page] > 1) run.runOfStage = ++seen[run.page];
        }
        return std::move(runs_);
    }

private:
    struct Open {
        int page;
        RunTally tally;
    };

    void Close(std::int64_t t) {
        if (!current_) return;
        // A run in which no countdown started tells the adjudicators nothing.
        if (current_->tally.Started()) runs_.push_back(current_->tally.Finish(t));
        current_.reset();
    }

    std::optional<Open> current_;
    std::vector<StageRun> runs_;

public:
    std::size_t Closed() const { return runs_.size(); }
};

Summariser::Summariser() : splitter_(std::make_unique<Splitter>()) {}

Summariser::~Summariser() = default;

void Summariser::Take(const DebateEvent& event) {
    if (!summary_.start) summary_.start = event.wall;
    summary_.end = event.wall;
    lastMs_ = event.steadyMs;
    splitter_->Take(event);
}

std::size_t Summariser::Runs() const { return splitter_->Closed(); }

Summary Summariser::Finish() {
    if (summary_.start) summary_.runs = splitter_->Finish(lastMs_);
    return std::move(summary_);
}

Summary Summarise(const std::vector<DebateEvent>& events) {
    Summariser summariser;
    for (const DebateEvent& event : events) summariser.Take(event);
    return summariser.Finish();
}

}  // namespace record
