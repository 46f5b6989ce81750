// Where the samples of a cue come from: a sound file decoded by libsndfile,
// or the short built-in tone that stands in for a file that cannot be played.
// Sources are read block by block, so a long file is never held in memory whole.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace platform {

class CueSource {
public:
    virtual ~CueSource() = default;
    // Frames per second of the samples Read() delivers.
    virtual int SampleRate() const = 0;
    // 1 or 2; files with more channels are mixed down to one.
    virtual int Channels() const = 0;
    // The cue's length in seconds as its file states it; 0 when unknown.
    virtual double Seconds() const = 0;
    // Fills `out` with up to `frames` interleaved frames in -1..1 and returns
    // how many it wrote; 0 means the cue has ended.
    virtual std::size_t Read(float* out, std::size_t frames) = 0;
};

enum class CueKind { File, DefaultTone };

struct OpenedCue {
    std::unique_ptr<CueSource> source;
    CueKind kind = CueKind::DefaultTone;
    // The file that is played; empty for the default tone.
    std::string path;
};

// Length of the default tone, for callers and tests that wait for it.
inline constexpr double kDefaultToneSeconds = 0.2;

// Resolves a configured sound name against the executable's folder and opens
// it. A file's sound ends at CueQueue::kLongestCueSeconds. An empty name, a missing file, anything but a regular file (a folder, a
// pipe that would block), and a file that does not decode to at least one
// frame all give the default tone.
OpenedCue OpenCue(const std::string& name, const std::string& executableFolder);

// nullptr when `path` is not a regular file holding decodable sound.
std::unique_ptr<CueSource> OpenSoundFile(const std::string& path);

std::unique_ptr<CueSource> MakeDefaultTone();

}  // namespace platform
