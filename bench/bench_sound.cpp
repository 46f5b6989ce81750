// What the cue queue costs its caller and how soon it falls silent: the time
// Play takes to return (the window's tick waits that long, whatever the cue),
// and the time from StopAll to the queue's thread having ended, with a long
// cue sounding (the program's close waits that long).
// Runs on SDL's dummy driver unless SDL_AUDIODRIVER names another.
#include <benchmark/benchmark.h>
#include <sndfile.h>
#include <stdlib.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include "platform/sdl/SdlSound.h"

namespace {

constexpr double kCueSeconds = 5.0;
// Time for the queue's thread to open the device and start the cue before it is stopped.
constexpr auto kSounding = std::chrono::milliseconds(300);

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

const std::string& Cue() {
    static const std::string path = WriteCue();
    return path;
}

// Asking while a cue sounds: the request replaces the waiting one and returns.
void BM_PlayReturns(benchmark::State& state) {
    platform::SdlSound sound(std::filesystem::temp_directory_path().string());
    sound.Play(Cue());
    for (auto _ : state) sound.Play(Cue());
}
BENCHMARK(BM_PlayReturns)->Unit(benchmark::kMicrosecond);

// StopAll with a cue sounding, until the queue's thread has ended (the destructor's join).
void BM_StopAllToSilence(benchmark::State& state) {
    for (auto _ : state) {
        auto sound = std::make_unique<platform::SdlSound>(std::filesystem::temp_directory_path().string());
        sound->Play(Cue());
        std::this_thread::sleep_for(kSounding);
        const auto start = std::chrono::steady_clock::now();
        sound->StopAll();
        sound.reset();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}
BENCHMARK(BM_StopAllToSilence)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
