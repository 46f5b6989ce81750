// A cue player for the cue queue's own tests and the window's: each cue plays until the test lets it end,
// so what happens while a cue plays can be seen without timing anything.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/CueQueue.h"
#include "platform/CueScheduler.h"

namespace testsupport {

// Long enough that only a broken queue reaches it; it keeps a hang from holding the test run.
constexpr std::chrono::seconds kHangGuard{30};

// Plays a cue until the test ends it. A cue named "endless" ends only when told to stop; "throws" fails at once.
class HeldPlayer final {
public:
    platform::CueScheduler::Player Player() {
        return [this](const std::string& name, const platform::CueStop& stop) { Play(name, stop); };
    }
    // Waits until `count` cues have begun, or ended.
    bool Started(std::size_t count) { return WaitFor([&] { return started_.size() >= count; }); }
    bool Ended(std::size_t count) { return WaitFor([&] { return ended_.size() >= count; }); }
    // Lets the playing cue end, and waits until its player has returned.
    void Finish() {
        { const std::lock_guard lock(mutex_); ++released_; }
        changed_.notify_all();
        WaitFor([&] { return heldEnded_ == released_; });
    }
    // Lets every cue, playing or to come, end at once.
    void FinishAll() {
        { const std::lock_guard lock(mutex_); released_ = static_cast<std::size_t>(-1); }
        changed_.notify_all();
    }
    std::vector<std::string> StartedCues() { const std::lock_guard lock(mutex_); return started_; }
    std::vector<std::string> EndedCues() { const std::lock_guard lock(mutex_); return ended_; }

private:
    template <class Done> bool WaitFor(Done done) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kHangGuard, done);
    }
    void Play(const std::string& name, const platform::CueStop& stop) {
        std::unique_lock lock(mutex_);
        started_.push_back(name);
        changed_.notify_all();
        if (name == "throws") {
            ended_.push_back(name);
            changed_.notify_all();
            throw std::runtime_error("no device");
        }
        if (name == "endless") {
            lock.unlock();
            while (stop.WaitFor(std::chrono::hours(1))) {
            }
            lock.lock();
            ended_.push_back(name + " stopped");
        } else {
            const std::size_t mine = ++held_;
            changed_.wait_for(lock, kHangGuard, [&] { return released_ >= mine; });
            ended_.push_back(name);
            ++heldEnded_;
        }
        changed_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> started_, ended_;
    // Cues held until Finish(), in the order they began, and how many of them were let go and have ended.
    std::size_t held_ = 0, released_ = 0, heldEnded_ = 0;
};

// A cue queue as the editions build theirs, on the held player.
class HeldCueQueue final : public platform::CueQueue {
public:
    ~HeldCueQueue() override { player.FinishAll(); }
    void Play(const std::string& name) override { queue.Ask(name); }
    void DropWaiting() override { queue.DropWaiting(); }
    void StopAll() override { queue.StopAll(); }
    platform::CueCheck Check(const std::string& /*name*/) override { return {}; }

    HeldPlayer player;
    platform::CueScheduler queue{player.Player()};
};

}  // namespace testsupport
