#include "platform/win32/Sound.h"

#include <mmsystem.h>

#include <algorithm>
#include <stdexcept>

#include "platform/win32/UserPath.h"
#include "platform/win32/WavReader.h"
#include "platform/win32/Wide.h"

namespace platform {
namespace {

// Enough for any header: a WAV file's chunks before its samples are small.
constexpr std::size_t kHeaderBytes = 64 * 1024;
// Past the cue's end the device may still hold its last buffer.
constexpr DWORD kGraceMilliseconds = 500;

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

}  // namespace

Win32CueQueue::Win32CueQueue(std::string executableFolder) : executableFolder_(std::move(executableFolder)) {
    stop_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (stop_ == nullptr) throw std::runtime_error("无法准备播放提示音");
    thread_ = std::thread([this] { Run(); });
}

Win32CueQueue::~Win32CueQueue() {
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
        waiting_.reset();
    }
    ::SetEvent(stop_);
    wake_.notify_all();
    thread_.join();
    ::CloseHandle(stop_);
}

void Win32CueQueue::Play(const std::string& name) {
    {
        const std::lock_guard lock(mutex_);
        if (quit_) return;
        waiting_ = name;  // a newer request replaces a waiting one
    }
    ::ResetEvent(stop_);
    wake_.notify_all();
}

void Win32CueQueue::DropWaiting() {
    const std::lock_guard lock(mutex_);
    waiting_.reset();
}

void Win32CueQueue::StopAll() {
    {
        const std::lock_guard lock(mutex_);
        waiting_.reset();
    }
    ::SetEvent(stop_);
}

int Win32CueQueue::Finished() const {
    const std::lock_guard lock(mutex_);
    return finished_;
}

CueCheck Win32CueQueue::Check(const std::string& name) {
    if (name.empty()) return {};
    const std::string path = ResolveUserPath(name, executableFolder_);
    if (::GetFileAttributesW(NativePath(path).c_str()) == INVALID_FILE_ATTRIBUTES) {
        // Named where it belongs beside the program, for the time-keeper to put it there.
        const bool absolute = name.find(':') != std::string::npos || name[0] == '/' || name[0] == '\\';
        return {CueFault::Missing, absolute ? name : executableFolder_ + "/" + name, 0};
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

void Win32CueQueue::Run() {
    for (;;) {
        std::string name;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return quit_ || waiting_.has_value(); });
            if (quit_) return;
            name = std::move(*waiting_);
            waiting_.reset();
        }
        PlayOne(name);
        const std::lock_guard lock(mutex_);
        ++finished_;
    }
}

void Win32CueQueue::PlayOne(const std::string& name) {
    // No device: skipped at once, before any file is read.
    if (::waveOutGetNumDevs() == 0) return;
    const Pcm16 cue = LoadCue(name.empty() ? name : ResolveUserPath(name, executableFolder_));
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(cue.channels);
    format.nSamplesPerSec = static_cast<DWORD>(cue.rate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(cue.channels * 2);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    const HANDLE done = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HWAVEOUT device = nullptr;
    if (done == nullptr || ::waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(done), 0,
                                         CALLBACK_EVENT) != MMSYSERR_NOERROR) {
        if (done != nullptr) ::CloseHandle(done);
        return;
    }
    WAVEHDR block{};
    block.lpData = reinterpret_cast<LPSTR>(const_cast<std::int16_t*>(cue.samples.data()));
    block.dwBufferLength = static_cast<DWORD>(cue.samples.size() * sizeof(std::int16_t));
    if (::waveOutPrepareHeader(device, &block, sizeof block) == MMSYSERR_NOERROR) {
        if (::waveOutWrite(device, &block, sizeof block) == MMSYSERR_NOERROR) {
            // Until the device is done with the block, the program closes, or
            // a device that stopped taking sound has had time enough.
            const ULONGLONG deadline =
                ::GetTickCount64() + static_cast<ULONGLONG>(cue.Seconds() * 1000) + kGraceMilliseconds;
            const HANDLE handles[] = {stop_, done};
            while ((block.dwFlags & WHDR_DONE) == 0) {
                const ULONGLONG now = ::GetTickCount64();
                if (now >= deadline ||
                    ::WaitForMultipleObjects(2, handles, FALSE, static_cast<DWORD>(deadline - now)) == WAIT_OBJECT_0) {
                    break;
                }
            }
            ::waveOutReset(device);  // stops at once; marks the block done
        }
        ::waveOutUnprepareHeader(device, &block, sizeof block);
    }
    ::waveOutClose(device);
    ::CloseHandle(done);
}

}  // namespace platform
