// The countdown's cue queue on Linux: cues play through SDL2 audio (which picks
// PipeWire, PulseAudio or ALSA) on the queue's own thread, so the window that
// asks for one goes on at once.
#pragma once

#include <memory>
#include <string>

#include "platform/CueQueue.h"
#include "platform/CueScheduler.h"

namespace platform {

class SdlSound final : public CueQueue {
public:
    // Relative sound names that are not found from the current directory are
    // looked for in `executableFolder`.
    explicit SdlSound(std::string executableFolder);
    // Stops a playing cue and waits the few milliseconds its thread takes to end.
    ~SdlSound() override;
    SdlSound(const SdlSound&) = delete;
    SdlSound& operator=(const SdlSound&) = delete;

    void Play(const std::string& name) override { queue_->Ask(name); }
    void DropWaiting() override { queue_->DropWaiting(); }
    void StopAll() override { queue_->StopAll(); }
    CueCheck Check(const std::string& name) override;

private:
    // Plays one cue to its end or its stop; runs on the queue's thread.
    void PlayNow(const std::string& name, const CueStop& stop);
    bool EnsureAudio();

    std::string executableFolder_;
    bool audioReady_ = false;  // the queue's thread alone uses SDL
    // Ended in the destructor before SDL's audio is shut down.
    std::unique_ptr<CueScheduler> queue_;
};

}  // namespace platform
