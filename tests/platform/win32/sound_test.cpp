// The WAV reader and the cue queue's start-up check. Wine runs without an audio device here: a cue is skipped.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

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

// The order of cues is the shared scheduler's (tests/queue); here only that the Win32 player lets the
// program close while cues are asked for (without a device, as under Wine, each cue is skipped).
TEST(CueQueue, ClosesWhileCuesAreAskedFor) {
    const testsupport::TestFolder folder;
    folder.Write("cue.wav", Wav(1, 1, 8000, 16, std::string(16000, '\0')));
    platform::Win32CueQueue cues(folder.Path());
    for (int i = 0; i < 10; ++i) cues.Play(i % 2 ? "cue.wav" : "");
}

}  // namespace
