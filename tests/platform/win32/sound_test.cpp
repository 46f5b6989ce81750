// The WAV reader, the cue queue's start-up check and its player on Wine's sound driver.
#include <windows.h>
// After <windows.h>, which it needs.
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/win32/Sound.h"
#include "platform/win32/WavReader.h"
#include "support/TestFolder.h"

namespace {

using namespace std::string_literals;

void Put(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFFu);
}

// A WAV file: `format` 1 (PCM), 3 (float) or 0xFFFE (extensible around `sub`), then an odd chunk, then the samples.
std::string Wav(int format, int channels, int rate, int bits, const std::string& data, int sub = 1) {
    std::string fmt;
    Put(fmt, static_cast<std::uint32_t>(format), 2);
    Put(fmt, static_cast<std::uint32_t>(channels), 2);
    Put(fmt, static_cast<std::uint32_t>(rate), 4);
    Put(fmt, static_cast<std::uint32_t>(rate * channels * bits / 8), 4);
    Put(fmt, static_cast<std::uint32_t>(channels * bits / 8), 2);
    Put(fmt, static_cast<std::uint32_t>(bits), 2);
    if (format == 0xFFFE) {
        Put(fmt, 22, 2);
        Put(fmt, static_cast<std::uint32_t>(bits), 2);
        Put(fmt, 0, 4);
        Put(fmt, static_cast<std::uint32_t>(sub), 2);
        fmt += std::string(14, '\0');
    }
    std::string body = "WAVEfmt ";
    Put(body, static_cast<std::uint32_t>(fmt.size()), 4);
    body += fmt + "LIST";
    Put(body, 3, 4);
    body += std::string("abc") + '\0';  // an odd chunk is padded to an even length
    body += "data";
    Put(body, static_cast<std::uint32_t>(data.size()), 4);
    body += data;
    std::string file = "RIFF";
    Put(file, static_cast<std::uint32_t>(body.size()), 4);
    return file + body;
}

std::string Floats(std::initializer_list<float> values) {
    std::string out(values.size() * 4, '\0');
    std::memcpy(out.data(), values.begin(), out.size());
    return out;
}

// A file whose samples end before its header says they do: an interrupted copy.
std::string CutShort(const std::string& file) { return file.substr(0, file.size() - 2); }

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
                    // A file cut short plays as far as it goes.
                    WavCase{"CutShort", CutShort(Wav(1, 1, 8000, 16, "\x00\x40\x00\x40"s)), 1, {16384}}),
    [](const testing::TestParamInfo<WavCase>& info) { return std::string(info.param.name); });

TEST(WavReader, OtherLayoutsAndFormatsAreToldApartAndLongCuesCut) {
    EXPECT_EQ(platform::ClassifySoundFile(Wav(2, 1, 8000, 4, "ab")), platform::SoundFileKind::OtherWav);  // ADPCM
    EXPECT_EQ(platform::ClassifySoundFile(Wav(1, 1, 10, 16, "ab")), platform::SoundFileKind::OtherWav);  // 10 Hz
    EXPECT_EQ(platform::ClassifySoundFile("fLaC\0\0\0\""s), platform::SoundFileKind::OtherFormat);
    EXPECT_EQ(platform::ClassifySoundFile("OggS\0\x02"s), platform::SoundFileKind::OtherFormat);
    EXPECT_EQ(platform::ClassifySoundFile("not a sound"), platform::SoundFileKind::OtherWav);
    const std::optional<platform::Pcm16> cut = platform::DecodeWav(Wav(1, 1, 1000, 16, std::string(2 * 3000, '\0')), 2);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->samples.size(), 2000u);
    EXPECT_NEAR(platform::DefaultTone().Seconds(), 0.2, 1e-9);
}

TEST(CueQueue, StartUpCheckNamesMissingFoldersOtherFormatsAndLongCues) {
    const testsupport::TestFolder folder("提示音");
    folder.Write("good.wav", Wav(1, 1, 8000, 16, std::string(16000, '\0')));
    folder.Write("long.wav", Wav(1, 1, 1000, 16, std::string(2 * 11000, '\0')));
    folder.Write("bell.flac", "fLaC\0\0\0\"rest"s);
    folder.Write("broken.wav", "RIFF\0\0\0\0WAVEjunk"s);
    platform::Win32CueQueue cues(folder.Path());
    const std::pair<std::string, platform::CueFault> cases[] = {
        {"", platform::CueFault::None},          {"good.wav", platform::CueFault::None},
        {"missing.wav", platform::CueFault::Missing}, {"NUL", platform::CueFault::NotAFile},
        {"bell.flac", platform::CueFault::UnsupportedFormat}, {"broken.wav", platform::CueFault::Unplayable},
        {"long.wav", platform::CueFault::TooLong}};
    for (const auto& [name, fault] : cases) EXPECT_EQ(cues.Check(name).fault, fault) << name;
    EXPECT_NEAR(cues.Check("long.wav").seconds, 11, 1e-9);
    EXPECT_EQ(cues.Check("good.wav").path, folder.Path() + "/good.wav");
}

// What the sound device has been given since it was last opened: the tests run Wine's ALSA driver into
// ALSA's file plugin (tests/CMakeLists.txt), which writes it to this file.
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
    // Waits until the device has been given at least `bytes`; a player that never plays gives up after a while.
    bool Given(std::size_t bytes) const {
        for (int waits = 0; waits < 3000 && Played().size() < bytes; ++waits)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return Played().size() >= bytes;
    }

    const std::filesystem::path played = std::getenv("TOLVANEXA_SOUND_FILE") ? std::getenv("TOLVANEXA_SOUND_FILE") : "";
    testsupport::TestFolder folder;
};

// The order of cues is the shared scheduler's (tests/queue); here the Win32 player: a cue's own samples
// reach the device whole, and the program's close silences a long one before its end.
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
