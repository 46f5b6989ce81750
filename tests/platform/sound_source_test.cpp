// Decoding of cue files and the choice between a file and the default tone.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/sdl/CueSource.h"
#include "sound_test_support.h"

namespace {

using platform::CueKind;
using platform::OpenCue;
using platform::OpenSoundFile;
using soundtest::TempFolder;

struct DecodeCase {
    const char* name;
    const char* file;
    int format;
    int rate;
    int channels;
};

// Names the case in test listings (instead of the struct's bytes).
void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.file; }

class CueDecodes : public testing::TestWithParam<DecodeCase> {};

// Each form a hall's sound files come in must decode to the same sine: right
// length, right level, right pitch (a wrong sample size or byte order would
// give noise with far more zero crossings, or a wrong level).
TEST_P(CueDecodes, ToTheSineThatWasWritten) {
    const DecodeCase& c = GetParam();
    SF_INFO check{};
    check.samplerate = c.rate;
    check.channels = c.channels;
    check.format = c.format;
    if (!sf_format_check(&check)) GTEST_SKIP() << "this libsndfile cannot write " << c.name;
    TempFolder folder;
    const std::string path = folder.File(c.file);
    constexpr double kSeconds = 0.5;
    constexpr double kFrequency = 440.0;
    ASSERT_TRUE(soundtest::WriteSine(path, c.format, c.rate, c.channels, kSeconds, kFrequency));

    auto source = OpenSoundFile(path);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->SampleRate(), c.rate);
    EXPECT_EQ(source->Channels(), c.channels);
    const std::vector<float> samples = soundtest::DecodeAll(*source);
    const double frames = static_cast<double>(samples.size()) / c.channels;
    // Lossy coders pad with up to a few of their blocks.
    EXPECT_NEAR(frames, kSeconds * c.rate, std::max(0.05 * kSeconds * c.rate, 2400.0));
    EXPECT_NEAR(soundtest::Peak(samples), soundtest::kSineLevel, 0.08);
    EXPECT_NEAR(soundtest::UpwardCrossings(samples, c.channels), kFrequency * kSeconds, 0.05 * kFrequency * kSeconds);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CueDecodes,
    testing::Values(DecodeCase{"Wav8BitUnsigned", "u8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 22050, 1},
                    DecodeCase{"Wav16Bit", "s16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1},
                    DecodeCase{"Wav24BitStereo48k", "s24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 48000, 2},
                    DecodeCase{"WavFloat", "f32.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 1},
                    DecodeCase{"WavImaAdpcm", "ima.wav", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 22050, 1},
                    DecodeCase{"WavMsAdpcmStereo", "ms.wav", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 44100, 2},
                    DecodeCase{"Flac", "cue.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, 1},
                    DecodeCase{"OggVorbis", "cue.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 2},
                    DecodeCase{"Mp3", "cue.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 1}),
    [](const testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

TEST(CueDecodes, MoreThanTwoChannelsAreMixedIntoOne) {
    TempFolder folder;
    const std::string path = folder.File("quad.wav");
    ASSERT_TRUE(soundtest::WriteSine(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 4, 0.2));
    auto source = OpenSoundFile(path);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->Channels(), 1);
    const std::vector<float> samples = soundtest::DecodeAll(*source);
    EXPECT_NEAR(static_cast<double>(samples.size()), 0.2 * 44100, 1);
    EXPECT_NEAR(soundtest::Peak(samples), soundtest::kSineLevel, 0.01);
}

TEST(DefaultTone, IsShortModerateAndStartsAndEndsQuietly) {
    auto tone = platform::MakeDefaultTone();
    const std::vector<float> samples = soundtest::DecodeAll(*tone);
    EXPECT_NEAR(static_cast<double>(samples.size()) / tone->SampleRate(), platform::kDefaultToneSeconds, 0.001);
    const double peak = soundtest::Peak(samples);
    EXPECT_GT(peak, 0.1);
    EXPECT_LT(peak, 0.5);
    // Edges faded in and out: no click at either end.
    EXPECT_LT(std::fabs(samples.front()), 0.01);
    EXPECT_LT(std::fabs(samples.back()), 0.01);
}

// A configured name that names nothing playable must give the tone, never an
// error and never a wait: the countdown's tick goes on either way.
struct FallbackCase {
    const char* name;
    void (*make)(const TempFolder&);
    const char* configured;
};

void MakeNothing(const TempFolder&) {}
void MakeTextAsWav(const TempFolder& f) { soundtest::WriteBytes(f.File("text.wav"), "this is not a sound\r\n"); }
void MakeEmptyFile(const TempFolder& f) { soundtest::WriteBytes(f.File("empty.wav"), ""); }
void MakeFolder(const TempFolder& f) { ::mkdir(f.File("folder.wav").c_str(), 0700); }
void MakeFifo(const TempFolder& f) { ::mkfifo(f.File("pipe.wav").c_str(), 0600); }
void MakeHeaderOnly(const TempFolder& f) {
    ASSERT_TRUE(soundtest::WriteSine(f.File("silent.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1, 0.0));
}

void PrintTo(const FallbackCase& c, std::ostream* os) { *os << '"' << c.configured << '"'; }

class CueFallsBackToTone : public testing::TestWithParam<FallbackCase> {};

TEST_P(CueFallsBackToTone, WhenTheNameGivesNoSound) {
    TempFolder folder;
    GetParam().make(folder);
    const std::string configured = GetParam().configured;
    const std::string name = configured.empty() ? configured : folder.File(configured);
    const platform::OpenedCue cue = OpenCue(name, folder.Path());
    EXPECT_EQ(cue.kind, CueKind::DefaultTone);
    ASSERT_NE(cue.source, nullptr);
    EXPECT_EQ(cue.source->Channels(), 1);
}

INSTANTIATE_TEST_SUITE_P(Names, CueFallsBackToTone,
                         testing::Values(FallbackCase{"Empty", MakeNothing, ""},
                                         FallbackCase{"Missing", MakeNothing, "missing.wav"},
                                         FallbackCase{"TextRenamedWav", MakeTextAsWav, "text.wav"},
                                         FallbackCase{"ZeroBytes", MakeEmptyFile, "empty.wav"},
                                         FallbackCase{"Folder", MakeFolder, "folder.wav"},
                                         // Opening a pipe nobody writes would block for ever.
                                         FallbackCase{"Pipe", MakeFifo, "pipe.wav"},
                                         FallbackCase{"NoSamples", MakeHeaderOnly, "silent.wav"}),
                         [](const testing::TestParamInfo<FallbackCase>& info) { return std::string(info.param.name); });

// Relative names are found beside the executable when the current directory
// is elsewhere, and Windows separators from an old configuration still work.
class CueFoundBesideExecutable : public testing::TestWithParam<const char*> {};

TEST_P(CueFoundBesideExecutable, ForRelativeNames) {
    TempFolder folder;
    ASSERT_EQ(::mkdir(folder.File("sounds").c_str(), 0700), 0);
    ASSERT_TRUE(soundtest::WriteSine(folder.File("sounds/cue.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1, 0.1));
    const platform::OpenedCue cue = OpenCue(GetParam(), folder.Path());
    EXPECT_EQ(cue.kind, CueKind::File);
    EXPECT_EQ(cue.path, folder.File("sounds/cue.wav"));
}

INSTANTIATE_TEST_SUITE_P(Names, CueFoundBesideExecutable, testing::Values("sounds/cue.wav", "sounds\\cue.wav"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.index == 0 ? "Slashes" : "Backslashes");
                         });

}  // namespace
