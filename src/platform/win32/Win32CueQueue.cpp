#include "platform/win32/Win32CueQueue.h"

#include <windows.h>
// After <windows.h>, which it needs.
#include <mmsystem.h>

#include <algorithm>
#include <chrono>
#include <optional>

#include "platform/win32/Win32UserPath.h"
#include "platform/win32/WavReader.h"
#include "platform/win32/Wide.h"

namespace platform {
namespace {

// Enough for any header: a WAV file's chunks before its samples are small.
constexpr std::size_t kHeaderBytes = 64 * 1024;
// A device that stops taking sound (a projector's output unplugged) must not
// hold the next cue for long: past the cue's end it has this long to finish.
constexpr std::chrono::milliseconds kStallGrace{500};
// How often the player looks whether the device is done, and so how soon
// after its end the next cue starts. A stop is seen at once.
constexpr std::chrono::milliseconds kPoll{5};
// A file's samples end at the longest cue; the queue's own limit, this much
// later, is for a device that plays slower than it should.
constexpr std::chrono::milliseconds kLimitGrace{1000};

// The first `limit` bytes of a regular file, or nullopt.
std::optional<std::string> ReadStart(const std::string& path, std::uint64_t limit) {
    const HANDLE file = ::CreateFileW(NativePath(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::string> bytes;
    if (::GetFileType(file) == FILE_TYPE_DISK) {
        bytes.emplace();
        std::string buffer(1 << 16, '\0');
        DWORD got = 0;
        while (bytes->size() < limit &&
               ::ReadFile(file, buffer.data(),
                          static_cast<DWORD>(std::min<std::uint64_t>(buffer.size(), limit - bytes->size())), &got,
                          nullptr) &&
               got > 0) {
            bytes->append(buffer.data(), got);
        }
    }
    ::CloseHandle(file);
    return bytes;
}

// The samples of a cue, at most kLongestCueSeconds of them: the file's, or the tone.
Pcm16 LoadCue(const std::string& path) {
    if (path.empty() || !IsRegularFile(path)) return DefaultTone();
    const std::optional<std::string> start = ReadStart(path, kHeaderBytes);
    WavHeader header;
    if (!start || ClassifySoundFile(*start, &header) != SoundFileKind::Wav) return DefaultTone();
    const double frameBytes = static_cast<double>(header.channels) * header.bitsPerSample / 8;
    const auto needed = static_cast<std::uint64_t>(header.dataOffset +
                                                   frameBytes * header.rate * CueQueue::kLongestCueSeconds);
    const std::optional<std::string> bytes = needed <= start->size() ? start : ReadStart(path, needed);
    if (!bytes) return DefaultTone();
    std::optional<Pcm16> pcm = DecodeWav(*bytes, CueQueue::kLongestCueSeconds);
    return pcm ? std::move(*pcm) : DefaultTone();
}

// The output device, opened for one cue and closed after it, so the sound
// follows the system's current default output (the projector's, once plugged in).
class OpenDevice final {
public:
    explicit OpenDevice(const Pcm16& cue) {
        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = static_cast<WORD>(cue.channels);
        format.nSamplesPerSec = static_cast<DWORD>(cue.rate);
        format.wBitsPerSample = 16;
        format.nBlockAlign = static_cast<WORD>(cue.channels * 2);
        format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
        if (::waveOutOpen(&device_, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) device_ = nullptr;
    }
    ~OpenDevice() {
        if (device_ != nullptr) ::waveOutClose(device_);
    }
    OpenDevice(const OpenDevice&) = delete;
    OpenDevice& operator=(const OpenDevice&) = delete;

    HWAVEOUT Handle() const { return device_; }

private:
    HWAVEOUT device_ = nullptr;
};

}  // namespace

Win32CueQueue::Win32CueQueue(std::string executableFolder)
    : executableFolder_(std::move(executableFolder)),
      queue_(std::make_unique<CueScheduler>(
          [this](const std::string& name, const CueStop& stop) { PlayNow(name, stop); },
          CueScheduler::LongestCue() + kLimitGrace)) {}

Win32CueQueue::~Win32CueQueue() { queue_.reset(); }

CueCheck Win32CueQueue::Check(const std::string& name) {
    if (name.empty()) return {};
    const std::string path = ResolveUserPath(name, executableFolder_);
    if (Win32PathKind(path) == PathKind::Nothing) {
        // Named where it belongs beside the program, for the time-keeper to put it there.
        return {CueFault::Missing, UserPathBesideProgram(name, executableFolder_), 0};
    }
    if (!IsRegularFile(path)) return {CueFault::NotAFile, path, 0};
    const std::optional<std::string> start = ReadStart(path, kHeaderBytes);
    WavHeader header;
    const SoundFileKind kind = start ? ClassifySoundFile(*start, &header) : SoundFileKind::OtherWav;
    if (kind == SoundFileKind::OtherFormat) return {CueFault::UnsupportedFormat, path, 0};
    if (kind != SoundFileKind::Wav || header.dataBytes == 0) return {CueFault::Unplayable, path, 0};
    const double seconds = header.Seconds();
    return {seconds > kLongestCueSeconds ? CueFault::TooLong : CueFault::None, path, seconds};
}

void Win32CueQueue::PlayNow(const std::string& name, const CueStop& stop) {
    // No device: skipped at once, before any file is read.
    if (::waveOutGetNumDevs() == 0) return;
    const Pcm16 cue = LoadCue(name.empty() ? name : ResolveUserPath(name, executableFolder_));
    const OpenDevice device(cue);
    if (device.Handle() == nullptr) return;
    WAVEHDR block{};
    block.lpData = reinterpret_cast<LPSTR>(const_cast<std::int16_t*>(cue.samples.data()));
    block.dwBufferLength = static_cast<DWORD>(cue.samples.size() * sizeof(std::int16_t));
    if (::waveOutPrepareHeader(device.Handle(), &block, sizeof block) != MMSYSERR_NOERROR) return;
    if (::waveOutWrite(device.Handle(), &block, sizeof block) == MMSYSERR_NOERROR) {
        const auto stalled = std::chrono::steady_clock::now() +
                             std::chrono::milliseconds(static_cast<long long>(cue.Seconds() * 1000)) + kStallGrace;
        // The device marks the block done when it has played it.
        while ((block.dwFlags & WHDR_DONE) == 0 && std::chrono::steady_clock::now() < stalled && stop.WaitFor(kPoll)) {
        }
        ::waveOutReset(device.Handle());  // silent at once; marks the block done
    }
    ::waveOutUnprepareHeader(device.Handle(), &block, sizeof block);
}

}  // namespace platform
