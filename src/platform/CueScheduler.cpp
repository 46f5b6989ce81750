#include "platform/CueScheduler.h"

#include <algorithm>
#include <utility>

#include "platform/CueQueue.h"

namespace platform {

bool CueStop::Requested() const {
    const std::lock_guard lock(mutex_);
    return requested_ || std::chrono::steady_clock::now() >= deadline_;
}

bool CueStop::WaitFor(std::chrono::milliseconds span) const {
    std::unique_lock lock(mutex_);
    const auto until = std::min(std::chrono::steady_clock::now() + span, deadline_);
    wake_.wait_until(lock, until, [this] { return requested_; });
    return !requested_ && std::chrono::steady_clock::now() < deadline_;
}

void CueStop::Begin(std::chrono::steady_clock::time_point deadline) {
    const std::lock_guard lock(mutex_);
    requested_ = false;
    deadline_ = deadline;
}

void CueStop::Request() {
    {
        const std::lock_guard lock(mutex_);
        requested_ = true;
    }
    wake_.notify_all();
}

std::chrono::milliseconds CueScheduler::LongestCue() {
    return std::chrono::milliseconds(static_cast<long long>(CueQueue::kLongestCueSeconds * 1000));
}

CueScheduler::CueScheduler(Player player, std::chrono::milliseconds longest)
    : player_(std::move(player)), longest_(longest), thread_([this] { Run(); }) {}

CueScheduler::~CueScheduler() {
    StopAll();
    thread_.join();
}

void CueScheduler::Ask(const std::string& name) {
    {
        const std::lock_guard lock(mutex_);
        if (closed_) return;
        waiting_ = name;
    }
    wake_.notify_one();
}

void CueScheduler::DropWaiting() {
    const std::lock_guard lock(mutex_);
    waiting_.reset();
}

void CueScheduler::StopAll() {
    {
        const std::lock_guard lock(mutex_);
        closed_ = true;
        waiting_.reset();
        // Under the same lock as the cue's start, so a stop is never lost
        // between taking a cue and beginning to play it.
        stop_.Request();
    }
    wake_.notify_one();
}

void CueScheduler::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return closed_ || waiting_.has_value(); });
        if (closed_) return;
        const std::string name = std::move(*waiting_);
        waiting_.reset();
        stop_.Begin(std::chrono::steady_clock::now() + longest_);
        lock.unlock();
        try {
            player_(name, stop_);
        } catch (...) {
            // A cue that fails is one cue lost; the queue plays the next.
        }
        lock.lock();
    }
}

}  // namespace platform
