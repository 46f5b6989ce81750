#include "platform/sdl/SdlCueSource.h"

#include <fcntl.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "platform/CueQueue.h"
#include "platform/posix/PosixUserPath.h"
#include "platform/posix/PosixRegularFile.h"

namespace platform {
namespace {

// Rates outside this range are not sound a hall can hear, and the device's
// resampler refuses some of them; such a file is treated as unplayable.
constexpr int kLowestRate = 1000;
constexpr int kHighestRate = 384000;
// Frames decoded at a time: small enough to start quickly, large enough to
// keep the decoder's per-call cost negligible.
constexpr sf_count_t kBlockFrames = 4096;

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

class SoundFileSource final : public CueSource {
public:
    SoundFileSource(SndfileHandle file, const SF_INFO& info)
        : file_(std::move(file)), fileChannels_(info.channels), rate_(info.samplerate),
          // A stream of unknown length (some MPEG files) states the largest count.
          seconds_(info.frames > 0 && info.frames < SF_COUNT_MAX ? static_cast<double>(info.frames) / rate_ : 0) {}

    int SampleRate() const override { return rate_; }
    int Channels() const override { return fileChannels_ > 2 ? 1 : fileChannels_; }
    double Seconds() const override { return seconds_; }

    std::size_t Read(float* out, std::size_t frames) override {
        frames = std::min(frames, limit_ - delivered_);
        std::size_t done = 0;
        while (done < frames && pendingFrame_ < PendingFrames()) {
            const std::size_t n = std::min(frames - done, PendingFrames() - pendingFrame_);
            const std::size_t ch = static_cast<std::size_t>(Channels());
            std::copy_n(pending_.begin() + static_cast<std::ptrdiff_t>(pendingFrame_ * ch), n * ch,
                        out + done * ch);
            pendingFrame_ += n;
            done += n;
        }
        if (done < frames) done += Decode(out + done * Channels(), frames - done);
        delivered_ += done;
        return done;
    }

    // Decodes the first block ahead, so that a file whose header parses but
    // whose data does not is found out before it is chosen over the tone.
    bool Prime() {
        pending_.resize(static_cast<std::size_t>(kBlockFrames * Channels()));
        const std::size_t got = Decode(pending_.data(), static_cast<std::size_t>(kBlockFrames));
        pending_.resize(got * static_cast<std::size_t>(Channels()));
        return got > 0;
    }

private:
    std::size_t PendingFrames() const { return pending_.size() / static_cast<std::size_t>(Channels()); }

    std::size_t Decode(float* out, std::size_t frames) {
        if (fileChannels_ <= 2) {
            const sf_count_t got = sf_readf_float(file_.get(), out, static_cast<sf_count_t>(frames));
            return got > 0 ? static_cast<std::size_t>(got) : 0;
        }
        // More channels than a cue needs: mix them all into one.
        scratch_.resize(frames * static_cast<std::size_t>(fileChannels_));
        const sf_count_t got = sf_readf_float(file_.get(), scratch_.data(), static_cast<sf_count_t>(frames));
        if (got <= 0) return 0;
        for (sf_count_t f = 0; f < got; ++f) {
            float sum = 0;
            for (int c = 0; c < fileChannels_; ++c) sum += scratch_[static_cast<std::size_t>(f * fileChannels_ + c)];
            out[f] = sum / static_cast<float>(fileChannels_);
        }
        return static_cast<std::size_t>(got);
    }

    SndfileHandle file_;
    int fileChannels_;
    int rate_;
    double seconds_;
    // A longer file is cut here, at its last whole frame within the longest cue.
    std::size_t limit_ = static_cast<std::size_t>(CueQueue::kLongestCueSeconds * rate_);
    std::size_t delivered_ = 0;
    std::vector<float> pending_;
    std::size_t pendingFrame_ = 0;
    std::vector<float> scratch_;
};

// An 880 Hz sine with short raised-cosine edges, at a level well below full
// scale: audible as "something was meant to sound here" without startling.
class DefaultToneSource final : public CueSource {
public:
    int SampleRate() const override { return kRate; }
    int Channels() const override { return 1; }
    double Seconds() const override { return kDefaultToneSeconds; }

    std::size_t Read(float* out, std::size_t frames) override {
        std::size_t done = 0;
        for (; done < frames && next_ < kTotal; ++done, ++next_) out[done] = Sample(next_);
        return done;
    }

private:
    static constexpr int kRate = 44100;
    static constexpr double kFrequency = 880.0;
    static constexpr double kLevel = 0.3;
    static constexpr double kFadeSeconds = 0.01;
    static constexpr std::size_t kTotal = static_cast<std::size_t>(kDefaultToneSeconds * kRate);

    static float Sample(std::size_t i) {
        const double t = static_cast<double>(i) / kRate;
        const double edge = std::min(t, kDefaultToneSeconds - t) / kFadeSeconds;
        const double envelope = edge >= 1.0 ? 1.0 : 0.5 - 0.5 * std::cos(std::numbers::pi * edge);
        return static_cast<float>(kLevel * envelope * std::sin(2.0 * std::numbers::pi * kFrequency * t));
    }

    std::size_t next_ = 0;
};

}  // namespace

std::unique_ptr<CueSource> OpenSoundFile(const std::string& path) {
    // Only regular files: opening a pipe or a device named in the
    // configuration could block the cue thread, and the close, for good. The
    // file is opened without waiting and checked as opened, so one swapped
    // for a pipe after any earlier look is still refused, never waited on.
    if (path.empty()) return nullptr;
    RegularFile opened = OpenRegularFile(path, O_RDONLY);
    if (opened.outcome != OpenOutcome::Opened) return nullptr;
    SF_INFO info{};
    SndfileHandle file(sf_open_fd(opened.fd.Release(), SFM_READ, &info, SF_TRUE));
    if (!file) return nullptr;
    if (info.channels < 1 || info.samplerate < kLowestRate || info.samplerate > kHighestRate) return nullptr;
    auto source = std::make_unique<SoundFileSource>(std::move(file), info);
    if (!source->Prime()) return nullptr;
    return source;
}

std::unique_ptr<CueSource> MakeDefaultTone() { return std::make_unique<DefaultToneSource>(); }

OpenedCue OpenCue(const std::string& name, const std::string& executableFolder) {
    if (!name.empty()) {
        const std::string path = ResolveUserPath(name, executableFolder);
        if (auto file = OpenSoundFile(path)) return {std::move(file), CueKind::File, path};
    }
    return {MakeDefaultTone(), CueKind::DefaultTone, {}};
}

}  // namespace platform
