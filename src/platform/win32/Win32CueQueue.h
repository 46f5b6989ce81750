// The countdown's cues on Windows: WAV files (the original's cues were WAV
// files too) read by our own reader and played through waveOut, in the order
// and on the thread the shared CueScheduler gives every edition, so the window
// never waits on sound. waveOutReset stops a cue at once, which PlaySound
// cannot: a cue is cut at kLongestCueSeconds and the playing one stops the
// moment the program closes. An empty or unplayable name plays a short
// built-in tone, and without an audio device a cue is skipped at once. Other
// formats (FLAC, Ogg: the Linux edition plays them) get the tone, and start-up
// names them.
#pragma once

#include <memory>
#include <string>

#include "platform/CueQueue.h"
#include "platform/CueScheduler.h"

namespace platform {

class Win32CueQueue final : public CueQueue {
public:
    // Relative sound names that are not found from the current folder are
    // looked for in `executableFolder`.
    explicit Win32CueQueue(std::string executableFolder);
    // Stops a playing cue and waits the few milliseconds its thread takes to end.
    ~Win32CueQueue() override;
    Win32CueQueue(const Win32CueQueue&) = delete;
    Win32CueQueue& operator=(const Win32CueQueue&) = delete;

    void Play(const std::string& name) override { queue_->Ask(name); }
    void DropWaiting() override { queue_->DropWaiting(); }
    void StopAll() override { queue_->StopAll(); }
    CueCheck Check(const std::string& name) override;

private:
    // Plays one cue to its end or its stop; runs on the queue's thread.
    void PlayNow(const std::string& name, const CueStop& stop);

    std::string executableFolder_;
    // Last, so its thread ends before anything the player reads goes.
    std::unique_ptr<CueScheduler> queue_;
};

}  // namespace platform
