// Plays the countdown's cues through SDL2 audio (which picks PipeWire,
// PulseAudio or ALSA) and returns only when the cue has been heard to its end,
// so the tick that plays it waits for it.
#pragma once

#include <string>

#include "platform/CueQueue.h"

namespace platform {

class SdlSound final : public CueQueue {
public:
    // Relative sound names that are not found from the current directory are
    // looked for in `executableFolder`.
    explicit SdlSound(std::string executableFolder);
    ~SdlSound() override;
    SdlSound(const SdlSound&) = delete;
    SdlSound& operator=(const SdlSound&) = delete;

    // An empty name or an unplayable file plays a short default tone; without
    // a usable audio device the call returns at once.
    void Play(const std::string& name) override;
    void DropWaiting() override {}
    void StopAll() override {}
    CueCheck Check(const std::string& name) override;

private:
    bool EnsureAudio();

    std::string executableFolder_;
    bool audioReady_ = false;
};

}  // namespace platform
