// A small reader of WAV files, the one sound format the Windows edition
// plays: RIFF WAVE with integer PCM (8, 16, 24 or 32 bits) or IEEE float (32
// or 64 bits), plain or in the extensible header. The samples come out as
// 16-bit PCM, mono or stereo (more channels are mixed into one), at the
// file's own rate, ready for waveOut. Standard C++ only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class SoundFileKind {
    Wav,        // RIFF WAVE in a layout this reader plays
    OtherWav,   // RIFF WAVE in another layout (ADPCM, A-law, broken header): not played
    OtherFormat,  // FLAC, Ogg, MP3 and the like: a format the Windows edition does not play
};

struct WavHeader {
    int channels = 0;
    int rate = 0;
    int bitsPerSample = 0;
    bool isFloat = false;
    std::uint64_t dataOffset = 0;
    std::uint64_t dataBytes = 0;  // as far as the file goes, whatever the header claims
    double Seconds() const;
};

// What kind of sound file `bytes` begins, and for a WAV its header. Reads no
// more than the header's chunks.
SoundFileKind ClassifySoundFile(const std::string& bytes, WavHeader* header = nullptr);

struct Pcm16 {
    int channels = 1;  // 1 or 2
    int rate = 44100;
    std::vector<std::int16_t> samples;  // interleaved
    double Seconds() const;
};

// The file's samples, at most `maxSeconds` of them; nullopt for anything but
// a playable WAV with at least one frame, or a rate outside 1 kHz-384 kHz.
std::optional<Pcm16> DecodeWav(const std::string& bytes, double maxSeconds);

// The built-in tone for an empty or unplayable cue: 880 Hz for 0.2 s with
// soft edges, well below full scale.
Pcm16 DefaultTone();

}  // namespace platform
