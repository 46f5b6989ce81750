#include "platform/win32/WavReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace platform {
namespace {

constexpr int kLowestRate = 1000;
constexpr int kHighestRate = 384000;
constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
constexpr int kToneRate = 44100;
constexpr double kToneSeconds = 0.2;

std::uint32_t Little(const std::string& bytes, std::uint64_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

bool Starts(const std::string& bytes, std::uint64_t at, const char* tag) {
    return bytes.size() >= at + 4 && std::memcmp(bytes.data() + at, tag, 4) == 0;
}

bool Playable(const WavHeader& header) {
    if (header.channels < 1 || header.channels > 32 || header.rate < kLowestRate || header.rate > kHighestRate) {
        return false;
    }
    if (header.isFloat) return header.bitsPerSample == 32 || header.bitsPerSample == 64;
    return header.bitsPerSample == 8 || header.bitsPerSample == 16 || header.bitsPerSample == 24 ||
           header.bitsPerSample == 32;
}

// One sample in -1..1.
double Sample(const std::string& bytes, std::uint64_t at, const WavHeader& header) {
    if (header.isFloat) {
        if (header.bitsPerSample == 32) {
            float value = 0;
            std::memcpy(&value, bytes.data() + at, sizeof value);
            return std::isfinite(value) ? value : 0.0;
        }
        double value = 0;
        std::memcpy(&value, bytes.data() + at, sizeof value);
        return std::isfinite(value) ? value : 0.0;
    }
    switch (header.bitsPerSample) {
    case 8: return (static_cast<unsigned char>(bytes[at]) - 128) / 128.0;
    case 16: return static_cast<std::int16_t>(Little(bytes, at, 2)) / 32768.0;
    case 24: return static_cast<std::int32_t>(Little(bytes, at, 3) << 8) / 2147483648.0;
    default: return static_cast<std::int32_t>(Little(bytes, at, 4)) / 2147483648.0;
    }
}

std::int16_t ToPcm16(double value) {
    return static_cast<std::int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * 32767.0));
}

}  // namespace

double WavHeader::Seconds() const {
    const double frameBytes = static_cast<double>(channels) * bitsPerSample / 8;
    return frameBytes > 0 && rate > 0 ? static_cast<double>(dataBytes) / frameBytes / rate : 0;
}

double Pcm16::Seconds() const {
    return rate > 0 ? static_cast<double>(samples.size()) / channels / rate : 0;
}

SoundFileKind ClassifySoundFile(const std::string& bytes, WavHeader* header) {
    if (!Starts(bytes, 0, "RIFF") || !Starts(bytes, 8, "WAVE")) {
        const bool known = Starts(bytes, 0, "fLaC") || Starts(bytes, 0, "OggS") || Starts(bytes, 0, "FORM") ||
                           bytes.starts_with("ID3") ||
                           (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
                            (static_cast<unsigned char>(bytes[1]) & 0xE0) == 0xE0);
        return known ? SoundFileKind::OtherFormat : SoundFileKind::OtherWav;
    }
    WavHeader found;
    bool haveFormat = false;
    std::uint16_t format = 0;
    // Chunks follow one another, each padded to an even length.
    for (std::uint64_t at = 12; at + 8 <= bytes.size();) {
        const std::uint64_t size = Little(bytes, at + 4, 4);
        const std::uint64_t body = at + 8;
        if (Starts(bytes, at, "fmt ") && size >= 16 && body + 16 <= bytes.size()) {
            format = static_cast<std::uint16_t>(Little(bytes, body, 2));
            found.channels = static_cast<int>(Little(bytes, body + 2, 2));
            found.rate = static_cast<int>(Little(bytes, body + 4, 4));
            found.bitsPerSample = static_cast<int>(Little(bytes, body + 14, 2));
            // The extensible header names the real format in its sub-format's first two bytes.
            if (format == kFormatExtensible && size >= 40 && body + 26 <= bytes.size()) {
                format = static_cast<std::uint16_t>(Little(bytes, body + 24, 2));
            }
            haveFormat = true;
        } else if (Starts(bytes, at, "data") && haveFormat) {
            found.dataOffset = body;
            found.dataBytes = std::min<std::uint64_t>(size, bytes.size() - std::min<std::uint64_t>(body, bytes.size()));
            found.isFloat = format == kFormatFloat;
            if ((format != kFormatPcm && format != kFormatFloat) || !Playable(found)) return SoundFileKind::OtherWav;
            if (header != nullptr) *header = found;
            return SoundFileKind::Wav;
        }
        at = body + size + (size & 1);
    }
    return SoundFileKind::OtherWav;
}

std::optional<Pcm16> DecodeWav(const std::string& bytes, double maxSeconds) {
    WavHeader header;
    if (ClassifySoundFile(bytes, &header) != SoundFileKind::Wav) return std::nullopt;
    const std::uint64_t sampleBytes = static_cast<std::uint64_t>(header.bitsPerSample / 8);
    const std::uint64_t frameBytes = sampleBytes * static_cast<std::uint64_t>(header.channels);
    std::uint64_t frames = header.dataBytes / frameBytes;
    frames = std::min<std::uint64_t>(frames, static_cast<std::uint64_t>(maxSeconds * header.rate));
    if (frames == 0) return std::nullopt;
    Pcm16 pcm;
    pcm.rate = header.rate;
    pcm.channels = header.channels > 2 ? 1 : header.channels;
    pcm.samples.reserve(frames * static_cast<std::uint64_t>(pcm.channels));
    for (std::uint64_t frame = 0; frame < frames; ++frame) {
        const std::uint64_t at = header.dataOffset + frame * frameBytes;
        if (header.channels <= 2) {
            for (int c = 0; c < header.channels; ++c) pcm.samples.push_back(ToPcm16(Sample(bytes, at + c * sampleBytes, header)));
            continue;
        }
        // More channels than a cue needs: mix them all into one.
        double sum = 0;
        for (int c = 0; c < header.channels; ++c) sum += Sample(bytes, at + c * sampleBytes, header);
        pcm.samples.push_back(ToPcm16(sum / header.channels));
    }
    return pcm;
}

Pcm16 DefaultTone() {
    constexpr double kFrequency = 880.0;
    constexpr double kLevel = 0.3;
    constexpr double kFadeSeconds = 0.01;
    Pcm16 tone;
    tone.rate = kToneRate;
    tone.channels = 1;
    const auto total = static_cast<std::size_t>(kToneSeconds * kToneRate);
    tone.samples.reserve(total);
    for (std::size_t i = 0; i < total; ++i) {
        const double t = static_cast<double>(i) / kToneRate;
        const double edge = std::min(t, kToneSeconds - t) / kFadeSeconds;
        const double envelope = edge >= 1.0 ? 1.0 : 0.5 - 0.5 * std::cos(std::numbers::pi * edge);
        tone.samples.push_back(ToPcm16(kLevel * envelope * std::sin(2.0 * std::numbers::pi * kFrequency * t)));
    }
    return tone;
}

}  // namespace platform
