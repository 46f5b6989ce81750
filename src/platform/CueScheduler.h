// The order in which cues play, the same in every edition: a thread of its
// own plays them one after another through a player that the edition gives
// (SDL on Linux, waveOut on Windows), and whoever asks for a cue goes on at
// once. Standard C++ only, so each edition's cue queue is a player and this.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace platform {

// Tells the player that its cue must end now: the program is closing, or the
// cue has played for as long as a cue may.
class CueStop final {
public:
    // Whether the cue must end now. Cheap enough to ask in a feed loop.
    bool Requested() const;
    // Waits up to `span`, or less once the cue must end; true while the cue may
    // go on. A player waits on this rather than sleeping, so a stop is seen at once.
    bool WaitFor(std::chrono::milliseconds span) const;

private:
    friend class CueScheduler;
    void Begin(std::chrono::steady_clock::time_point deadline);
    void Request();

    mutable std::mutex mutex_;
    mutable std::condition_variable wake_;
    bool requested_ = false;
    std::chrono::steady_clock::time_point deadline_;
};

class CueScheduler final {
public:
    // Plays one cue to its end, or until `stop` asks it to end, on the
    // scheduler's thread. What it throws is dropped with its cue.
    using Player = std::function<void(const std::string& name, const CueStop& stop)>;

    // Each cue is stopped `longest` after its player started it.
    explicit CueScheduler(Player player, std::chrono::milliseconds longest = LongestCue());
    // Stops the playing cue and waits for its player to return.
    ~CueScheduler();
    CueScheduler(const CueScheduler&) = delete;
    CueScheduler& operator=(const CueScheduler&) = delete;

    // Plays `name` now when nothing plays, else after the playing cue, in
    // place of any cue already waiting.
    void Ask(const std::string& name);
    // Forgets the waiting cue; the playing one finishes.
    void DropWaiting();
    // Stops the playing cue at once, forgets the waiting one and ignores every
    // later request: the program is closing. Does not wait for the player.
    void StopAll();

    static std::chrono::milliseconds LongestCue();

private:
    void Run();

    Player player_;
    std::chrono::milliseconds longest_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<std::string> waiting_;
    bool closed_ = false;
    CueStop stop_;
    // Last, so it starts once everything it reads is in place.
    std::thread thread_;
};

}  // namespace platform
