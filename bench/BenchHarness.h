// What the timing and footprint programs share: a private copy of the
// portable folder (configuration and icons), the real window on the real Qt
// controls wired to the logic as the program wires them, a sound that stays
// silent so a cue cannot hold a tick, and readings of the process.
#pragma once

#include <QApplication>
#include <QEventLoop>
#include <QPushButton>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/AudienceWiring.h"
#include "app/FormWiring.h"
#include "platform/posix/PosixIconvCodec.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/qt/QtForm.h"

namespace bench {

using Clock = std::chrono::steady_clock;

inline double Milliseconds(Clock::duration span) { return std::chrono::duration<double, std::milli>(span).count(); }

// The portable folder the build makes; the shipped configuration comes from the sources.
inline std::string BuildDir() { return TOLVANEXA_BUILD_DIR; }
inline std::string ShippedConfig() { return std::string(TOLVANEXA_SOURCE_DIR) + "/assets/Tolvanexa.config"; }

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A private folder laid out like the installed program, removed afterwards.
class RunFolder final {
public:
    // `stageSeconds` replaces the duration of the first speech, so a run of
    // any length keeps its countdown above zero.
    explicit RunFolder(int stageSeconds = 0)
        : RunFolder(stageSeconds > 0 ? Settings{{"Stage1Timer1", std::to_string(stageSeconds)}} : Settings{}) {}

    // The shipped configuration with each (key, value) of `settings` in place
    // of the shipped value; keys and values in ASCII.
    using Settings = std::vector<std::pair<std::string, std::string>>;
    explicit RunFolder(const Settings& settings) {
        std::string pattern = (std::filesystem::temp_directory_path() / "tolvanexa-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
        path_ = pattern;
        std::string config = ReadBytes(ShippedConfig());
        for (const auto& [key, value] : settings) SetValue(config, key, value);
        WriteBytes(File("Tolvanexa.config"), config);
        std::error_code ignored;
        std::filesystem::copy(BuildDir() + "/icons", File("icons"), std::filesystem::copy_options::recursive, ignored);
    }
    ~RunFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    // The key and the number are ASCII, so the GBK bytes around them are untouched.
    static void SetValue(std::string& config, const std::string& name, const std::string& text) {
        const std::string key = "<Tolvanexa>\\" + name + " = ";
        const std::size_t at = config.find(key);
        if (at == std::string::npos) throw std::runtime_error("the shipped configuration has no " + name);
        const std::size_t value = at + key.size();
        const std::size_t end = config.find_first_of("\r\n", value);
        config.replace(value, end == std::string::npos ? std::string::npos : end - value, text);
    }

    std::string path_;
};

// Cues cost nothing here: what is measured is the timers and the window.
class SilentSound final : public platform::CueQueue {
public:
    void Play(const std::string& /*name*/) override { ++played_; }
    void DropWaiting() override {}
    void StopAll() override {}
    platform::CueCheck Check(const std::string& /*name*/) override { return {}; }
    int Played() const { return played_; }

private:
    int played_ = 0;
};

// The window as the program builds it, from a run folder instead of the
// executable's own.
class TimerWindow final {
public:
    // `cues` plays the cues; by default they are silent and cost nothing.
    // `recorder` receives the debate's events; none are kept without one.
    explicit TimerWindow(const RunFolder& folder, platform::CueQueue* cues = nullptr,
                         platform::DebateRecorder* recorder = nullptr)
        : files_(platform::ExecutableLocation{folder.Path(), "Tolvanexa"}),
          form_(folder.Path()),
          audience_(form_.window, folder.Path()),
          window_(WireForm(form_, cues ? *cues : sound_, form_.browser, form_.displaySleep, files_, codec_, audience_,
                           recorder ? *recorder : recorder_)) {}
    ~TimerWindow() {
        form_.StopTimers();
        window_.Form_Unload();
    }
    TimerWindow(const TimerWindow&) = delete;
    TimerWindow& operator=(const TimerWindow&) = delete;

    // Start-up, then the window on the screen with its first layout done.
    void Open() {
        ConfigureAudience(window_, audience_, form_.errors);
        window_.Form_Load();
        form_.window.show();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }

    // A press of a bar button as the time-keeper makes it, through Qt's signal.
    void Click(int index) { form_.cmdCommand.Member(index).Widget()->click(); }

    // Home page, first speech, "开始": countdown 1 runs from here.
    void StartFirstSpeech() {
        Click(0);
        Click(0);
    }

    platform::QtForm& Form() { return form_; }
    frmMain& Logic() { return window_; }
    // Closed unless a measurement opens it, as in the program until F5.
    platform::QtAudienceView& Audience() { return audience_; }
    const SilentSound& Sound() const { return sound_; }

private:
    platform::PosixFileSystem files_;
    const platform::IconvCodec codec_;
    SilentSound sound_;
    platform::NoRecorder recorder_;
    platform::QtForm form_;
    platform::QtAudienceView audience_;
    frmMain window_;
};

// Lateness figures of a series of ticks, in milliseconds.
struct Spread {
    double p50 = 0;
    double p99 = 0;
    double max = 0;
    double withinShare = 0;  // share of ticks within the bound given to Summarise
};

inline double Percentile(std::vector<double> sorted, double share) {
    if (sorted.empty()) return NAN;
    std::sort(sorted.begin(), sorted.end());
    const auto rank = static_cast<std::size_t>(std::ceil(share * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

inline double Median(std::vector<double> values) {
    if (values.empty()) return NAN;
    std::sort(values.begin(), values.end());
    const std::size_t half = values.size() / 2;
    return values.size() % 2 ? values[half] : (values[half - 1] + values[half]) / 2;
}

inline Spread Summarise(const std::vector<double>& lateness, double boundMs) {
    Spread spread;
    if (lateness.empty()) return spread;
    spread.p50 = Median(lateness);
    spread.p99 = Percentile(lateness, 0.99);
    spread.max = *std::max_element(lateness.begin(), lateness.end());
    const auto within = std::count_if(lateness.begin(), lateness.end(),
                                      [boundMs](double ms) { return std::fabs(ms) <= boundMs; });
    spread.withinShare = static_cast<double>(within) / static_cast<double>(lateness.size());
    return spread;
}

// A figure of /proc/self/status in kB (VmRSS, VmHWM), or -1.
inline long StatusKb(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
    }
    return -1;
}

// Bytes the allocator has handed out and not had back, in kB: what a leak
// grows, without the pages that freed memory keeps resident.
inline long HeapInUseKb() { return static_cast<long>(mallinfo2().uordblks / 1024); }

// User plus system time of the whole process, all threads.
inline double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The machine's load: the other builds on a shared machine move the figures.
inline std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

// A whole-number argument `--name N`, or `fallback`.
inline long Option(int argc, char** argv, const std::string& name, long fallback) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (argv[i] == name) return std::stol(argv[i + 1]);
    }
    return fallback;
}

inline std::string TextOption(int argc, char** argv, const std::string& name, const std::string& fallback) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (argv[i] == name) return argv[i + 1];
    }
    return fallback;
}

}  // namespace bench
