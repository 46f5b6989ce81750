// The countdown's cues on Windows: WAV files (the original's cues were WAV
// files too) read by our own reader and played through waveOut on a thread
// of its own, so the window never waits on sound. waveOutReset stops a cue at
// once, which PlaySound cannot: a cue is cut at kLongestCueSeconds and the
// playing one stops the moment the program closes. An empty or unplayable
// name plays a short built-in tone, and without an audio device a cue is
// skipped at once. Other formats (FLAC, Ogg: the Linux edition plays them)
// get the tone, and start-up names them.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/CueQueue.h"

namespace platform {

class Win32CueQueue final : public CueQueue {
public:
    // Relative sound names that are not found from the current folder are
    // looked for in `executableFolder`.
    explicit Win32CueQueue(std::string executableFolder);
    ~Win32CueQueue() override;
    Win32CueQueue(const Win32CueQueue&) = delete;
    Win32CueQueue& operator=(const Win32CueQueue&) = delete;

    void Play(const std::string& name) override;
    void DropWaiting() override;
    void StopAll() override;
    CueCheck Check(const std::string& name) override;

    // Cues played to their end or cut, and skipped for want of a device; for the tests.
    int Finished() const;

private:
    void Run();
    void PlayOne(const std::string& name);

    std::string executableFolder_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<std::string> waiting_;  // guarded by mutex_
    bool quit_ = false;                   // guarded by mutex_
    int finished_ = 0;                    // guarded by mutex_
    HANDLE stop_ = nullptr;               // set by StopAll, cleared when the next cue is asked for
    std::thread thread_;
};

}  // namespace platform
