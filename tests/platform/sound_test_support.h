// Sound files made on the spot with libsndfile, and measures of decoded
// samples, for the cue tests.
#pragma once

#include <sndfile.h>
#include <stdlib.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "platform/sdl/CueSource.h"

namespace soundtest {

// A private folder under the system's temporary folder, removed afterwards.
class TempFolder final {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tolvanexa-sound-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline constexpr double kSineLevel = 0.5;

// Writes `seconds` of a sine at `frequency` Hz and level 0.5 into every channel.
inline bool WriteSine(const std::string& path, int format, int rate, int channels, double seconds,
                      double frequency = 440.0) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return false;
    const auto frames = static_cast<std::size_t>(seconds * rate);
    std::vector<float> samples(frames * static_cast<std::size_t>(channels));
    for (std::size_t f = 0; f < frames; ++f) {
        const double t = static_cast<double>(f) / rate;
        const auto v = static_cast<float>(kSineLevel * std::sin(2.0 * std::numbers::pi * frequency * t));
        for (int c = 0; c < channels; ++c) samples[f * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)] = v;
    }
    const bool ok = sf_writef_float(file, samples.data(), static_cast<sf_count_t>(frames)) ==
                    static_cast<sf_count_t>(frames);
    return sf_close(file) == 0 && ok;
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Every frame the source delivers, interleaved.
inline std::vector<float> DecodeAll(platform::CueSource& source) {
    std::vector<float> all;
    std::vector<float> block(1000 * static_cast<std::size_t>(source.Channels()));
    while (const std::size_t got = source.Read(block.data(), 1000)) {
        all.insert(all.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(got * source.Channels()));
    }
    return all;
}

inline double Peak(const std::vector<float>& samples) {
    double peak = 0;
    for (float s : samples) peak = std::max(peak, std::fabs(static_cast<double>(s)));
    return peak;
}

// Upward zero crossings of channel 0: a sine of f Hz over t seconds has f * t.
// The signal must swing clear of a small band around zero, so a lossy coder's
// noise near a crossing does not count twice.
inline int UpwardCrossings(const std::vector<float>& samples, int channels) {
    constexpr float kBand = 0.1f;
    int crossings = 0;
    bool below = false;
    for (std::size_t i = 0; i < samples.size(); i += static_cast<std::size_t>(channels)) {
        if (samples[i] < -kBand) below = true;
        if (below && samples[i] > kBand) {
            ++crossings;
            below = false;
        }
    }
    return crossings;
}

// Sets an environment variable for the life of the object, then restores it.
class EnvOverride final {
public:
    EnvOverride(std::string name, const std::string& value) : name_(std::move(name)) {
        if (const char* old = std::getenv(name_.c_str())) old_ = old;
        ::setenv(name_.c_str(), value.c_str(), 1);
    }
    ~EnvOverride() {
        if (old_) {
            ::setenv(name_.c_str(), old_->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }
    EnvOverride(const EnvOverride&) = delete;
    EnvOverride& operator=(const EnvOverride&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

template <typename F>
double SecondsTaken(F&& action) {
    const auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace soundtest
