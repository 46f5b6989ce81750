// The cue call on SDL's real audio path (the dummy and disk drivers): it
// blocks for about the sound's length, and not at all without a device.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/sdl/SdlSound.h"
#include "sound_test_support.h"

namespace {

using soundtest::EnvOverride;
using soundtest::SecondsTaken;
using soundtest::TempFolder;

// Wide windows: these check that the call waits for the sound and comes back,
// not how precisely; a loaded CI machine may add a few hundred milliseconds.
constexpr double kHalfSecond = 0.5;
constexpr double kSlack = 1.0;

class SoundPlay : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "another test left SDL audio running"; }
    TempFolder folder_;
    EnvOverride driver_{"SDL_AUDIODRIVER", "dummy"};
};

TEST_F(SoundPlay, HalfSecondFileBlocksForAboutHalfASecond) {
    const std::string path = folder_.File("half.wav");
    ASSERT_TRUE(soundtest::WriteSine(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1, kHalfSecond));
    platform::SdlSound sound(folder_.Path());
    const double taken = SecondsTaken([&] { sound.PlaySync(path); });
    EXPECT_GE(taken, kHalfSecond - 0.1);
    EXPECT_LE(taken, kHalfSecond + kSlack);
}

TEST_F(SoundPlay, FileAtAnotherRateStillTakesItsOwnLength) {
    // Resampling to the device's rate must not stretch or shorten the cue.
    const std::string path = folder_.File("slow.wav");
    ASSERT_TRUE(soundtest::WriteSine(path, SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 11025, 2, kHalfSecond));
    platform::SdlSound sound(folder_.Path());
    const double taken = SecondsTaken([&] { sound.PlaySync("slow.wav"); });
    EXPECT_GE(taken, kHalfSecond - 0.1);
    EXPECT_LE(taken, kHalfSecond + kSlack);
}

class SoundPlaysDefaultTone : public SoundPlay, public testing::WithParamInterface<const char*> {};

TEST_P(SoundPlaysDefaultTone, ForNamesThatGiveNoSound) {
    soundtest::WriteBytes(folder_.File("text.wav"), "RIFF? no, just text\n");
    soundtest::WriteBytes(folder_.File("empty.wav"), "");
    platform::SdlSound sound(folder_.Path());
    const double taken = SecondsTaken([&] { sound.PlaySync(GetParam()); });
    EXPECT_GE(taken, platform::kDefaultToneSeconds - 0.05);
    EXPECT_LE(taken, platform::kDefaultToneSeconds + kSlack);
}

constexpr const char* kToneCaseNames[] = {"Empty", "TextRenamedWav", "ZeroBytes", "Missing"};

INSTANTIATE_TEST_SUITE_P(Names, SoundPlaysDefaultTone, testing::Values("", "text.wav", "empty.wav", "missing.wav"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(kToneCaseNames[info.index]);
                         });

TEST_F(SoundPlay, TwoCuesInARowEachBlock) {
    // The device is opened per cue: the second must not find it half closed.
    platform::SdlSound sound(folder_.Path());
    const double taken = SecondsTaken([&] {
        sound.PlaySync("");
        sound.PlaySync("");
    });
    EXPECT_GE(taken, 2 * platform::kDefaultToneSeconds - 0.05);
    EXPECT_LE(taken, 2 * platform::kDefaultToneSeconds + kSlack);
}

TEST_F(SoundPlay, WithoutAnAudioDriverReturnsAtOnce) {
    EnvOverride missing("SDL_AUDIODRIVER", "no-such-driver");
    const std::string path = folder_.File("half.wav");
    ASSERT_TRUE(soundtest::WriteSine(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1, kHalfSecond));
    platform::SdlSound sound(folder_.Path());
    const double taken = SecondsTaken([&] {
        sound.PlaySync(path);
        sound.PlaySync("");
    });
    EXPECT_LT(taken, 0.2);
}

// The disk driver writes what reaches the device to a file: the sine must
// arrive there whole, at its level and pitch, in the device's format (the
// float stereo format asked for, which the disk driver grants as asked).
TEST_F(SoundPlay, SamplesReachTheDeviceUnchanged) {
    const std::string out = folder_.File("device.raw");
    EnvOverride disk("SDL_AUDIODRIVER", "disk");
    EnvOverride file("SDL_DISKAUDIOFILE", out);
    const std::string path = folder_.File("tone.wav");
    constexpr double kSeconds = 0.3;
    constexpr double kFrequency = 440.0;
    ASSERT_TRUE(soundtest::WriteSine(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1, kSeconds, kFrequency));
    {
        platform::SdlSound sound(folder_.Path());
        sound.PlaySync(path);
    }
    std::ifstream in(out, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
    ASSERT_GE(samples.size(), static_cast<std::size_t>(kSeconds * 44100 * 2));
    EXPECT_NEAR(soundtest::Peak(samples), soundtest::kSineLevel, 0.02);
    EXPECT_NEAR(soundtest::UpwardCrossings(samples, 2), kFrequency * kSeconds, 3);
}

}  // namespace
