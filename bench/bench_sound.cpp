// How long a cue call holds the countdown's tick beyond the cue's own length.
// Runs on SDL's dummy driver unless SDL_AUDIODRIVER names another.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <sndfile.h>
#include <stdlib.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "platform/sdl/CueSource.h"
#include "platform/sdl/SdlSound.h"

namespace {

constexpr double kCueSeconds = 0.5;

std::string WriteCue() {
    const std::string path = (std::filesystem::temp_directory_path() / "tolvanexa-bench-cue.wav").string();
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    std::vector<float> samples(static_cast<std::size_t>(kCueSeconds * info.samplerate));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<float>(0.3 * std::sin(2 * std::numbers::pi * 440.0 * static_cast<double>(i) / 44100));
    }
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
    return path;
}

// Blocking time minus the cue's length, in milliseconds, per call.
void MeasureOverhead(benchmark::State& state, const std::string& name, double cueSeconds) {
    platform::SdlSound sound(std::filesystem::temp_directory_path().string());
    double overheadMs = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        sound.Play(name);
        const double taken = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(taken);
        overheadMs += (taken - cueSeconds) * 1000.0;
    }
    state.counters["overhead_ms"] = benchmark::Counter(overheadMs, benchmark::Counter::kAvgIterations);
}

void BM_FileCue(benchmark::State& state) {
    static const std::string path = WriteCue();
    MeasureOverhead(state, path, kCueSeconds);
}
BENCHMARK(BM_FileCue)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

void BM_DefaultTone(benchmark::State& state) { MeasureOverhead(state, "", platform::kDefaultToneSeconds); }
BENCHMARK(BM_DefaultTone)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
