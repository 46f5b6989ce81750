// Cue files found, decoded and played through SDL's dummy driver.
#include <sndfile.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <vector>

#include "platform/sdl/CueSource.h"
#include "platform/sdl/SdlSound.h"
#include "support/TestFolder.h"

namespace {

constexpr double kTone = platform::kDefaultToneSeconds;

// Writes `seconds` of a quiet sawtooth.
bool WriteCue(const std::string& path, int format, double seconds, int rate = 44100, int channels = 1) {
    SF_INFO info{0, rate, channels, format, 0, 0};
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return false;
    std::vector<float> samples(static_cast<std::size_t>(seconds * rate * channels));
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<float>(i % 100) / 400;
    const auto frames = static_cast<sf_count_t>(samples.size()) / channels;
    const bool written = sf_writef_float(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && written;
}

double SecondsToPlay(const std::string& folder, const std::string& cue) {
    platform::SdlSound sound(folder);
    const auto start = std::chrono::steady_clock::now();
    sound.Play(cue);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class PlaySync : public testing::TestWithParam<std::pair<std::string, double>> {};

// The call waits for the cue, then comes back; the window is wide, for a loaded machine.
TEST_P(PlaySync, BlocksForAboutTheCuesLength) {
    testsupport::TestFolder folder;
    std::filesystem::create_directory(folder.File("sounds"));
    ASSERT_TRUE(WriteCue(folder.File("sounds/half.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.5));
    // Resampling to the device's rate must not stretch the cue.
    ASSERT_TRUE(WriteCue(folder.File("slow.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 0.5, 11025, 2));
    ASSERT_TRUE(WriteCue(folder.File("silent.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0));
    folder.Write("text.wav", "RIFF? no, just text\n");
    folder.Write("empty.wav", "");
    ::mkfifo(folder.File("pipe.wav").c_str(), 0600);  // Opened, it would wait for a writer for ever.
    const auto [cue, seconds] = GetParam();
    const double taken = SecondsToPlay(folder.Path(), cue);
    EXPECT_TRUE(taken >= seconds * 0.8 && taken <= seconds + 1.0) << taken << " s for " << cue;
}

// Names are relative to the program's folder, backslashes too; names that give no sound play the tone.
INSTANTIATE_TEST_SUITE_P(Cues, PlaySync,
                         testing::Values(std::pair{"sounds/half.wav", 0.5}, std::pair{"sounds\\half.wav", 0.5},
                                         std::pair{"slow.wav", 0.5}, std::pair{"", kTone}, std::pair{"text.wav", kTone},
                                         std::pair{"empty.wav", kTone}, std::pair{"missing.wav", kTone},
                                         std::pair{"sounds", kTone}, std::pair{"pipe.wav", kTone},
                                         std::pair{"silent.wav", kTone}));

TEST(PlaySync, WithoutAnAudioDriverReturnsAtOnce) {
    const std::string driver = std::getenv("SDL_AUDIODRIVER");
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    const double taken = SecondsToPlay("", "");
    ::setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
    EXPECT_LT(taken, 0.2);
}

// Every form a cue may come in (that this libsndfile can write) decodes to its full length.
TEST(CueSource, DecodesEachFormToItsFullLength) {
    const testsupport::TestFolder folder;
    const std::pair<const char*, int> forms[] = {
        {"pcm16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16}, {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT},
        {"ima.wav", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM}, {"cue.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
        {"cue.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS}, {"cue.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III}};
    for (const auto& [file, format] : forms) {
        if (SF_INFO check{0, 44100, 1, format, 0, 0}; !sf_format_check(&check)) continue;
        ASSERT_TRUE(WriteCue(folder.File(file), format, 0.5)) << file;
        const auto source = platform::OpenSoundFile(folder.File(file));
        ASSERT_NE(source, nullptr) << file;
        std::vector<float> block(1000);
        std::size_t frames = 0;
        while (const std::size_t got = source->Read(block.data(), 1000)) frames += got;
        EXPECT_NEAR(static_cast<double>(frames), 0.5 * 44100, 4100) << file;  // coders pad up to a block
    }
}

}  // namespace
