// When the ticks of a periodic timer fall due: on an absolute schedule, tick
// n at the first tick's due time plus n-1 intervals, however late any tick
// before it was delivered. Counting the ticks of a plain periodic timer would
// let each delivery's lateness add up, and a countdown would drift behind the
// wall clock. Shared by the editions' timers.
#pragma once

#include <cstdint>

namespace platform {

class TickSchedule final {
public:
    // `start` and `interval` in the same units (counter ticks, say); interval
    // above zero. Tick 1 falls due one interval after `start`.
    TickSchedule(std::int64_t start, std::int64_t interval) : start_(start), interval_(interval) {}

    // A schedule whose first tick falls due at `firstDue`.
    static TickSchedule FirstAt(std::int64_t firstDue, std::int64_t interval) {
        return TickSchedule(firstDue - interval, interval);
    }

    // When tick `n` (counted from 1) falls due.
    std::int64_t Due(std::uint64_t n) const { return start_ + static_cast<std::int64_t>(n) * interval_; }
    // How many ticks have fallen due by `now`.
    std::uint64_t DueBy(std::int64_t now) const {
        return now < start_ ? 0 : static_cast<std::uint64_t>((now - start_) / interval_);
    }

private:
    std::int64_t start_;
    std::int64_t interval_;
};

}  // namespace platform
