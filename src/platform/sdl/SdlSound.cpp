#include "platform/sdl/SdlSound.h"

#include <SDL.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

#include "platform/posix/PosixUserPath.h"
#include "platform/sdl/SdlCueSource.h"

namespace platform {
namespace {

constexpr int kDeviceRate = 44100;
// A short device buffer keeps the wait after the last sample small.
constexpr Uint16 kDeviceSamples = 1024;
// How much converted sound is queued ahead of the device while a file plays.
constexpr double kAheadSeconds = 0.25;
// How often the feed loop looks at the device, and so how soon a stop is heard.
constexpr std::chrono::milliseconds kPoll{5};
constexpr std::size_t kReadFrames = 2048;
// After the queue is empty the device still has its last buffer to play.
// Closing the device waits for that (SDL lets two buffers drain before it
// closes the output); this covers the sound server's own latency on top.
constexpr std::chrono::milliseconds kTail{20};
// A device that stops taking sound (a projector's HDMI output unplugged, a
// stalled server) must not hold the next cue for long: give up this long
// after the cue should have ended.
constexpr double kStallGraceSeconds = 2.0;
// A file's samples end at the longest cue; the queue's own limit, this much
// later, is for a device that plays slower than it should.
constexpr std::chrono::milliseconds kLimitGrace{1000};

struct StreamFree {
    void operator()(SDL_AudioStream* stream) const { SDL_FreeAudioStream(stream); }
};
using StreamHandle = std::unique_ptr<SDL_AudioStream, StreamFree>;

// The output device, opened for one cue and closed after it, so the sound
// follows the desktop's current default output (the projector's, once it is
// plugged in) and no stream is held open between cues.
class OpenDevice final {
public:
    OpenDevice() {
        SDL_AudioSpec want{};
        want.freq = kDeviceRate;
        want.format = AUDIO_F32SYS;
        want.channels = 2;
        want.samples = kDeviceSamples;
        id_ = SDL_OpenAudioDevice(nullptr, 0, &want, &spec_,
                                  SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_FORMAT_CHANGE |
                                      SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
    }
    ~OpenDevice() {
        if (id_ != 0) SDL_CloseAudioDevice(id_);
    }
    OpenDevice(const OpenDevice&) = delete;
    OpenDevice& operator=(const OpenDevice&) = delete;

    bool IsOpen() const { return id_ != 0; }
    SDL_AudioDeviceID Id() const { return id_; }
    const SDL_AudioSpec& Obtained() const { return spec_; }
    double BytesPerSecond() const {
        return static_cast<double>(spec_.freq) * spec_.channels * (SDL_AUDIO_BITSIZE(spec_.format) / 8);
    }

private:
    SDL_AudioDeviceID id_ = 0;
    SDL_AudioSpec spec_{};
};

// Pushes one cue through a converter into the device's queue and waits for
// the device to have played it, or for the stop.
class CuePlayback final {
public:
    CuePlayback(OpenDevice& device, CueSource& source, StreamHandle stream)
        : device_(device), source_(source), stream_(std::move(stream)),
          block_(kReadFrames * static_cast<std::size_t>(source.Channels())) {}

    void Run(const CueStop& stop) {
        // Queue a little before starting so the device never begins on an underrun.
        while (!ended_ && Queued() < kAheadSeconds) Feed();
        SDL_PauseAudioDevice(device_.Id(), 0);
        started_ = SDL_GetTicks64();
        playing_ = true;
        while (!ended_ && !Stalled()) {
            if (Queued() < kAheadSeconds) {
                Feed();
                if (stop.Requested()) return Silence();
            } else if (!stop.WaitFor(kPoll)) {
                return Silence();
            }
        }
        while (SDL_GetQueuedAudioSize(device_.Id()) > 0 && !Stalled()) {
            if (!stop.WaitFor(kPoll)) return Silence();
        }
        if (Stalled()) return Silence();
        stop.WaitFor(kTail);
    }

private:
    // Silenced at once: what is queued is dropped, and the device closes after this.
    void Silence() {
        SDL_PauseAudioDevice(device_.Id(), 1);
        SDL_ClearQueuedAudio(device_.Id());
    }

    double Queued() const { return SDL_GetQueuedAudioSize(device_.Id()) / device_.BytesPerSecond(); }

    bool Stalled() const {
        if (!playing_) return false;
        const double expected = static_cast<double>(queuedBytes_) / device_.BytesPerSecond() + kStallGraceSeconds;
        return static_cast<double>(SDL_GetTicks64() - started_) > expected * 1000.0;
    }

    // Decodes one block, converts it and queues whatever the converter has ready.
    void Feed() {
        const std::size_t frames = source_.Read(block_.data(), kReadFrames);
        const int bytes = static_cast<int>(frames * static_cast<std::size_t>(source_.Channels()) * sizeof(float));
        const bool put = frames == 0 ? SDL_AudioStreamFlush(stream_.get()) == 0
                                     : SDL_AudioStreamPut(stream_.get(), block_.data(), bytes) == 0;
        if (frames == 0 || !put) ended_ = true;
        const int available = SDL_AudioStreamAvailable(stream_.get());
        if (available <= 0) return;
        converted_.resize(static_cast<std::size_t>(available));
        const int got = SDL_AudioStreamGet(stream_.get(), converted_.data(), available);
        if (got <= 0) return;
        if (SDL_QueueAudio(device_.Id(), converted_.data(), static_cast<Uint32>(got)) != 0) {
            ended_ = true;
            return;
        }
        queuedBytes_ += static_cast<Uint64>(got);
    }

    OpenDevice& device_;
    CueSource& source_;
    StreamHandle stream_;
    std::vector<float> block_;
    std::vector<Uint8> converted_;
    bool ended_ = false;
    bool playing_ = false;
    Uint64 started_ = 0;
    Uint64 queuedBytes_ = 0;
};

// A path as the message names it: whole, whichever folder it was found from.
std::string Absolute(const std::string& path) {
    std::error_code failed;
    const std::filesystem::path whole = std::filesystem::absolute(path, failed);
    return failed ? path : whole.lexically_normal().string();
}

StreamHandle ConverterFor(const CueSource& source, const SDL_AudioSpec& spec) {
    return StreamHandle(SDL_NewAudioStream(AUDIO_F32SYS, static_cast<Uint8>(source.Channels()), source.SampleRate(),
                                           spec.format, spec.channels, spec.freq));
}

}  // namespace

SdlSound::SdlSound(std::string executableFolder)
    : executableFolder_(std::move(executableFolder)),
      queue_(std::make_unique<CueScheduler>(
          [this](const std::string& name, const CueStop& stop) { PlayNow(name, stop); },
          CueScheduler::LongestCue() + kLimitGrace)) {}

SdlSound::~SdlSound() {
    queue_.reset();
    if (audioReady_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlSound::EnsureAudio() {
    if (audioReady_) return true;
    // Sound is all this program asks of SDL: the window's toolkit keeps its
    // own handling of SIGTERM and SIGINT.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Tolvanexa");
    // Tried again at every cue while it fails, so a sound server that comes up
    // after the program started is used from then on.
    audioReady_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    return audioReady_;
}

CueCheck SdlSound::Check(const std::string& name) {
    if (name.empty()) return {};  // the built-in tone, as intended
    const std::string path = ResolveUserPath(name, executableFolder_);
    if (!IsRegularFile(path)) {
        const std::string other = FindAnythingAtUserPath(name, executableFolder_);
        if (other.empty()) return {CueFault::Missing, Absolute(UserPathBesideProgram(name, executableFolder_)), 0};
        return {CueFault::NotAFile, Absolute(other), 0};
    }
    const std::unique_ptr<CueSource> source = OpenSoundFile(path);
    if (!source) return {CueFault::Unplayable, Absolute(path), 0};
    const double seconds = source->Seconds();
    return {seconds > kLongestCueSeconds ? CueFault::TooLong : CueFault::None, Absolute(path), seconds};
}

void SdlSound::PlayNow(const std::string& name, const CueStop& stop) {
    // SDL keeps an error buffer per thread and frees it only for threads it
    // started itself; the queue's thread is ours, so it is freed after each cue.
    struct ThreadStateFree {
        ~ThreadStateFree() { SDL_TLSCleanup(); }
    } const freeThreadState;
    if (!EnsureAudio()) return;
    OpenDevice device;
    if (!device.IsOpen()) return;
    OpenedCue cue = OpenCue(name, executableFolder_);
    StreamHandle stream = ConverterFor(*cue.source, device.Obtained());
    if (!stream) {
        // A rate or layout the converter refuses: sound the stand-in instead.
        cue.source = MakeDefaultTone();
        stream = ConverterFor(*cue.source, device.Obtained());
        if (!stream) return;
    }
    CuePlayback(device, *cue.source, std::move(stream)).Run(stop);
}

}  // namespace platform
