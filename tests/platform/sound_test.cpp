// Cue files found, checked, decoded and played through SDL's disk driver.
#include <sndfile.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "platform/sdl/SdlCueSource.h"
#include "platform/sdl/SdlSound.h"
#include "support/TestFolder.h"

namespace {

using platform::CueFault;
using platform::CueKind;

constexpr double kTone = platform::kDefaultToneSeconds;
constexpr double kLongest = platform::CueQueue::kLongestCueSeconds;

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

// Seconds of sound a source gives, read to its end.
double SecondsOf(platform::CueSource& source) {
    std::vector<float> block(4096 * 2);
    std::size_t frames = 0;
    while (const std::size_t got = source.Read(block.data(), 4096)) frames += got;
    return static_cast<double>(frames) / source.SampleRate();
}

struct CueCase {
    const char* label;
    const char* name;
    CueFault fault;
    const char* path;  // the file Check names, under the folder
    CueKind plays;
    double seconds;    // of sound played
};

// Every kind of cue a configuration may name, in a folder laid out like the program's.
class Cues : public testing::TestWithParam<CueCase> {
protected:
    static void SetUpTestSuite() {
        folder = new testsupport::TestFolder;
        std::filesystem::create_directory(folder->File("sounds"));
        ASSERT_TRUE(WriteCue(folder->File("sounds/half.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.5));
        // Resampling to the device's rate must not stretch the cue.
        ASSERT_TRUE(WriteCue(folder->File("slow.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 0.5, 11025, 2));
        ASSERT_TRUE(WriteCue(folder->File("silent.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0));
        ASSERT_TRUE(WriteCue(folder->File("long.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, kLongest + 1));
        folder->Write("text.wav", "RIFF? no, just text\n");
        ::mkfifo(folder->File("pipe.wav").c_str(), 0600);  // Opened, it would wait for a writer for ever.
    }
    static void TearDownTestSuite() { delete folder; }
    static inline testsupport::TestFolder* folder = nullptr;
};

// What start-up is told of a cue, and what then plays: names are relative to the
// program's folder, backslashes too; names that give no sound play the tone; a long file is cut.
TEST_P(Cues, AreCheckedAsTheyWillPlay) {
    const CueCase& cue = GetParam();
    platform::SdlSound sound(folder->Path());
    const platform::CueCheck check = sound.Check(cue.name);
    EXPECT_EQ(check.fault, cue.fault);
    EXPECT_EQ(check.path, *cue.path ? folder->File(cue.path) : "");
    if (cue.fault == CueFault::TooLong) { EXPECT_NEAR(check.seconds, kLongest + 1, 0.01); }
    const platform::OpenedCue opened = platform::OpenCue(cue.name, folder->Path());
    EXPECT_EQ(opened.kind, cue.plays);
    EXPECT_NEAR(SecondsOf(*opened.source), cue.seconds, 0.01);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Cues,
    testing::Values(CueCase{"File", "sounds/half.wav", CueFault::None, "sounds/half.wav", CueKind::File, 0.5},
                    CueCase{"Backslashes", "sounds\\half.wav", CueFault::None, "sounds/half.wav", CueKind::File, 0.5},
                    CueCase{"Resampled", "slow.wav", CueFault::None, "slow.wav", CueKind::File, 0.5},
                    CueCase{"Empty", "", CueFault::None, "", CueKind::DefaultTone, kTone},
                    CueCase{"TooLong", "long.wav", CueFault::TooLong, "long.wav", CueKind::File, kLongest},
                    CueCase{"Missing", "missing.wav", CueFault::Missing, "missing.wav", CueKind::DefaultTone, kTone},
                    CueCase{"Folder", "sounds", CueFault::NotAFile, "sounds", CueKind::DefaultTone, kTone},
                    CueCase{"Pipe", "pipe.wav", CueFault::NotAFile, "pipe.wav", CueKind::DefaultTone, kTone},
                    CueCase{"Text", "text.wav", CueFault::Unplayable, "text.wav", CueKind::DefaultTone, kTone},
                    CueCase{"NoFrames", "silent.wav", CueFault::Unplayable, "silent.wav", CueKind::DefaultTone, kTone}),
    [](const auto& info) { return std::string(info.param.label); });

// SDL's disk driver writes what the device plays to a file, at the pace a sound card would.
class DiskDriver : public testing::Test {
protected:
    void SetUp() override {
        driver = std::getenv("SDL_AUDIODRIVER") ? std::getenv("SDL_AUDIODRIVER") : "";
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", folder.File("played.raw").c_str(), 1);
    }
    void TearDown() override { ::setenv("SDL_AUDIODRIVER", driver.c_str(), 1); }
    std::uintmax_t Played() const {
        std::error_code absent;
        const std::uintmax_t bytes = std::filesystem::file_size(folder.File("played.raw"), absent);
        return absent ? 0 : bytes;
    }
    // Waits for the device to have played something; a queue that never plays gives up after a while.
    bool Heard() const {
        for (int waits = 0; waits < 3000 && Played() == 0; ++waits)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return Played() > 0;
    }

    testsupport::TestFolder folder;
    std::string driver;
};

// The window's tick asks and goes on: the cue plays after the call has returned. The
// program's close silences it within a device buffer or two, not at its end or its cut.
TEST_F(DiskDriver, PlayReturnsBeforeTheCueAndStopAllSilencesIt) {
    ASSERT_TRUE(WriteCue(folder.File("bell.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 30));
    std::uintmax_t atStop = 0;
    {
        platform::SdlSound sound(folder.Path());
        sound.Play("bell.wav");
        ASSERT_TRUE(Heard());
        atStop = Played();
        sound.StopAll();
    }
    // Far short of the cut at ten seconds, however loaded the machine (stereo floats at 44.1 kHz).
    EXPECT_LT(Played(), atStop + 5 * 44100 * 2 * 4);
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
        EXPECT_NEAR(SecondsOf(*source), 0.5, 0.093) << file;  // coders pad up to a block
    }
}

}  // namespace
