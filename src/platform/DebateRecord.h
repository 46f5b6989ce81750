// The debate as it happens, for the adjudicators: the window's logic tells the
// recorder each event, and the recorder keeps it (on a thread of its own, so
// the window never waits on the disk).
#pragma once

#include <cstdint>
#include <string>

#include "platform/Window.h"

namespace platform {

enum class DebateEventKind {
    PageEntered,       // a stage page was shown (a reset shows it afresh)
    PageLeft,
    Started,           // a countdown started
    Paused,
    Resumed,
    AnswerStarted,     // questioning: the answering side has the floor
    AnswerHandedBack,  // questioning: the floor went back; `seconds` is the answer's length
    SideSwitched,      // free debate: the other side's clock runs
    ThirtySeconds,     // a countdown found 30 seconds left
    TimeUp,            // the tick that stops a countdown at zero and asks for the bell
    OvertimeEnded,     // the time-keeper's next action after time up; `seconds` is the overtime
    Reset,
};

// The kind of stage an event's page is. A debate on the classic stages leaves
// it unsaid (its pages' kinds follow from their numbers, as in every record
// written before formats); a debate on a format of its own says it.
enum class StageKind { Classic, Speech, Questioning, Alternating };

struct DebateEvent {
    DebateEventKind kind = DebateEventKind::PageEntered;
    LocalTime wall;                // local time of day and date, to the second
    std::int64_t steadyMs = 0;     // monotonic milliseconds, for spans between events
    int page = 0;                  // 1..11, or 1..30 on a format
    std::string caption;           // the stage's caption as shown
    int countdown = 0;             // 1 or 2; 0 for an event of the page
    std::string side;              // "正方" or "反方" for a countdown's event
    int remaining = 0;             // that countdown's seconds left
    int allowance = 0;             // that countdown's seconds at the page's start
    int seconds = 0;               // the answer's or the overtime's length, where the kind has one
    StageKind stage = StageKind::Classic;

    bool operator==(const DebateEvent&) const = default;
};

class DebateRecorder {
public:
    virtual ~DebateRecorder() = default;
    // Returns at once; the event is kept in order with the ones before it.
    virtual void Record(const DebateEvent& event) = 0;
};

// Recording turned off.
class NoRecorder final : public DebateRecorder {
public:
    void Record(const DebateEvent& /*event*/) override {}
};

}  // namespace platform
