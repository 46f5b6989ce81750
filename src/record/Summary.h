// The summary of a debate for the adjudicators, computed from its events
// alone, so the window's summary and one made from the file agree: one row per
// run of a stage page, with the time used, overtime, pauses, answers and turns.
//
// A run is each entry of a stage page (a reset enters it afresh). Spans come
// from the events' steady times and are given in whole seconds:
// - a countdown runs from its start (or resume, an answer's start, a switch to
//   its side) to its pause, its time up, an answer handed back, a switch to the
//   other side, or the run's end; the time used is capped at its allowance,
//   the second "00:00" shows before the bell being no part of it;
// - overtime runs from a time up to the overtime's end, the end of the run
//   when none is recorded, each counted in whole seconds; an answer handed
//   back at its zero has none;
// - a pause runs from a countdown's pause until a countdown of the page runs
//   again; a pause never followed by one is the stage's end, not a pause;
// - a free-debate turn is each time a side takes the floor from the other
//   (its first start included, a resume after a pause not).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/DebateRecord.h"
#include "window/StageTable.h"

namespace record {

struct SideTime {
    std::string side;
    int used = 0;   // seconds
    int turns = 0;
};

struct StageRun {
    int page = 0;
    std::string caption;
    // 1, 2, ... when the stage ran more than once; 0 when it ran once.
    int runOfStage = 0;
    PageGroup group = PageGroup::Speech;
    std::string side;    // who speaks; both sides' in free debate
    int allowance = 0;   // seconds; both sides' together in free debate
    int used = 0;
    int overtime = 0;
    int pauses = 0;
    int pausedSeconds = 0;
    int answers = 0;        // questioning
    int longestAnswer = 0;  // questioning, seconds
    std::array<SideTime, 2> sides;  // free debate: 正方, 反方
};

struct Summary {
    std::optional<platform::LocalTime> start;  // the first event's
    std::optional<platform::LocalTime> end;    // the last event's
    std::vector<StageRun> runs;
};

// Takes a debate's events one at a time, in order, so a record file is
// summarised as it is read; the runs are the only thing it keeps.
class Summariser final {
public:
    Summariser();
    ~Summariser();
    Summariser(const Summariser&) = delete;
    Summariser& operator=(const Summariser&) = delete;
    void Take(const platform::DebateEvent& event);
    // How many runs are closed so far.
    std::size_t Runs() const;
    Summary Finish();

private:
    class Splitter;
    std::unique_ptr<Splitter> splitter_;
    Summary summary_;
    std::int64_t lastMs_ = 0;
};

Summary Summarise(const std::vector<platform::DebateEvent>& events);

}  // namespace record
