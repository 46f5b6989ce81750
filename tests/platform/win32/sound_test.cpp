// The WAV reader, the cue queue's start-up check and its player on Wine's sound driver.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/win32/Win32CueQueue.h"
#include "platform/win32/WavReader.h"
#include "support/TestFolder.h"

namespace {

using namespace std::string_literals;

// Little-endian fields of the given sizes in bytes.
std::string Fields(std::initializer_list<std::pair<std::uint32_t, int>> fields) {
    std::string out;
    for (const auto& [value, bytes] : fields)
        for (int i = 0; i < bytes; ++i) out += static_cast<char>(i < 4 ? (value >> (8 * i)) & 0xFFu : 0);
    return out;
}

// A WAV file: `format` 1 (PCM), 3 (float) or 0xFFFE (extensible around `sub`), then an odd chunk, then the samples.
std::string Wav(std::uint32_t format, std::uint32_t channels, std::uint32_t rate, std::uint32_t bits, const std::string& data,
                std::uint32_t sub = 1) {
    std::string fmt = Fields({{format, 2}, {channels, 2}, {rate, 4}, {rate * channels * bits / 8, 4}, {channels * bits / 8, 2}, {bits, 2}});
    if (format == 0xFFFE) fmt += Fields({{22, 2}, {bits, 2}, {0, 4}, {sub, 2}, {0, 14}});
    // An odd chunk is padded to an even length.
    const std::string body = "WAVEfmt " + Fields({{static_cast<std::uint32_t>(fmt.size()), 4}}) + fmt + "LIST" +
                             Fields({{3, 4}}) + "abc" + '\0' + "data" +
                             Fields({{static_cast<std::uint32_t>(data.size()), 4}}) + data;
    return "RIFF" + Fields({{static_cast<std::uint32_t>(body.size()), 4}}) + body;
}

std::string Floats(std::initializer_list<float> values) {
    std::string out(values.size() * 4, '\0');
    std::memcpy(out.data(), values.begin(), out.size());
    return out;
}

struct WavCase {
    const char* name;
    std::string file;
    int channels;
    std::vector<std::int16_t> samples;
};
void PrintTo(const WavCase& wavCase, std::ostream* out) { *out << wavCase.name; }

class WavDecoding : public testing::TestWithParam<WavCase> {};

TEST_P(WavDecoding, GivesSixteenBitSamples) {
    const std::optional<platform::Pcm16> pcm = platform::DecodeWav(GetParam().file, 10);
    ASSERT_TRUE(pcm);
    EXPECT_EQ(pcm->channels, GetParam().channels);
    EXPECT_EQ(pcm->samples, GetParam().samples);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, WavDecoding,
    testing::Values(WavCase{"Pcm16Mono", Wav(1, 1, 8000, 16, "\x00\x40\x00\xC0"s), 1, {16384, -16384}},
                    WavCase{"Pcm8", Wav(1, 1, 8000, 8, "\x80\xC0"s), 1, {0, 16384}},
                    WavCase{"Pcm24Stereo", Wav(1, 2, 8000, 24, std::string("\x00\x00\x40\x00\x00\xC0", 6)), 2,
                            {16384, -16384}},
                    WavCase{"Float32", Wav(3, 1, 8000, 32, Floats({0.5f, -2.0f})), 1, {16384, -32767}},
                    WavCase{"ExtensibleFloat", Wav(0xFFFE, 1, 8000, 32, Floats({0.25f}), 3), 1, {8192}},
                    // Four channels are mixed into one.
                    WavCase{"FourChannelsMixed", Wav(3, 4, 8000, 32, Floats({1, 0, 0, 0})), 1, {8192}},
                    // An interrupted copy, two bytes short of its 60, plays as far as it goes.
                    WavCase{"CutShort", Wav(1, 1, 8000, 16, "\x00\x40\x00\x40"s).substr(0, 58), 1, {16384}},
                    // A cue longer than the longest played is cut there.
                    WavCase{"LongCut", Wav(1, 1, 1000, 16, std::string(2 * 11000, '\0')), 1, std::vector<std::int16_t>(10000)}),
    [](const testing::TestParamInfo<WavCase>& info) { return std::string(info.param.name); });

TEST(CueQueue, StartUpCheckNamesMissingFoldersOtherFormatsAndLongCues) {
    const testsupport::TestFolder folder("提示音");
    folder.Write("good.wav", Wav(1, 1, 8000, 16, std::string(16000, '\0')));
    folder.Write("long.wav", Wav(1, 1, 1000, 16, std::string(2 * 11000, '\0')));
    folder.Write("bell.flac", "fLaC\0\0\0\"rest"s);
    folder.Write("broken.wav", "RIFF\0\0\0\0WAVEjunk"s);
    folder.Write("adpcm.wav", Wav(2, 1, 8000, 4, "ab"));
    folder.Write("slow.wav", Wav(1, 1, 10, 16, "ab"));
    folder.Write("bell.ogg", "OggS\0\x02"s);
    platform::Win32CueQueue cues(folder.Path());
    const std::pair<std::string, platform::CueFault> cases[] = {
        {"", platform::CueFault::None},          {"good.wav", platform::CueFault::None},
        {"missing.wav", platform::CueFault::Missing}, {"NUL", platform::CueFault::NotAFile},
        {"bell.flac", platform::CueFault::UnsupportedFormat}, {"broken.wav", platform::CueFault::Unplayable},
        {"long.wav", platform::CueFault::TooLong}, {"adpcm.wav", platform::CueFault::Unplayable},
        {"slow.wav", platform::CueFault::Unplayable}, {"bell.ogg", platform::CueFault::UnsupportedFormat}};
    for (const auto& [name, fault] : cases) EXPECT_EQ(cues.Check(name).fault, fault) << name;
    EXPECT_NEAR(cues.Check("long.wav").seconds, 11, 1e-9);
    EXPECT_EQ(cues.Check("good.wav").path, folder.Path() + "/good.wav");
}

// What the sound device has been given: Wine's ALSA driver writes it to this file (scripts/wine-env).
class SoundDevice : public testing::Test {
protected:
    void SetUp() override {
        if (::waveOutGetNumDevs() == 0 || !std::getenv("TOLVANEXA_SOUND_FILE")) GTEST_SKIP() << "no sound device";
        std::filesystem::remove(played);
    }
    std::string Played() const {
        std::ifstream in(played, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // Waits up to 30 s until the device has been given at least `bytes`.
    bool Given(std::size_t bytes) const {
        for (int waits = 0; waits < 3000 && Played().size() < bytes; ++waits) ::Sleep(10);
        return Played().size() >= bytes;
    }

    const std::filesystem::path played = std::getenv("TOLVANEXA_SOUND_FILE") ? std::getenv("TOLVANEXA_SOUND_FILE") : "";
    testsupport::TestFolder folder;
};

// A cue's own samples reach the device whole, and the program's close silences a long one before its end.
TEST_F(SoundDevice, ACueReachesItWholeAndClosingSilencesALongOne) {
    constexpr std::size_t kSecond = 8000 * 2;  // bytes of 8 kHz mono 16-bit
    folder.Write("bell.wav", Wav(1, 1, 8000, 16, std::string(kSecond / 2, '\x10')));
    folder.Write("long.wav", Wav(1, 1, 8000, 16, std::string(10 * kSecond, '\x10')));
    {
        platform::Win32CueQueue cues(folder.Path());
        cues.Play("bell.wav");
        ASSERT_TRUE(Given(kSecond / 2));
        EXPECT_EQ(Played().substr(0, 4), "\x10\x10\x10\x10");  // the file's, not the built-in tone
    }
    std::filesystem::remove(played);
    {
        platform::Win32CueQueue cues(folder.Path());
        cues.Play("long.wav");
        ASSERT_TRUE(Given(1));
        // Wine's driver takes sound into a file about four times as fast as it plays: a test thread held up
        // for seconds by a busy machine may find the whole cue given before it stops anything.
        if (Played().size() >= 10 * kSecond) GTEST_SKIP() << "the whole cue was given before the stop";
        cues.StopAll();
    }
    // A close that waited for the cue's end would leave the whole cue here.
    EXPECT_LT(Played().size(), 10 * kSecond);
}

}  // namespace
