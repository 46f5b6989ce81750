// What the settings store costs with a very large file: loading and saving
// 30,000 distinct keys on real files, one read among them, and loading a
// 50 MB file; first, the memory a 50 MB file of each kind takes at its peak
// while it loads. Figures only; nothing here passes or fails.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <string>

#include "config/clsConfigFile.h"
#include "platform/posix/PosixIconvCodec.h"
#include "platform/posix/PosixFileSystem.h"

namespace {

constexpr int kKeys = 30000;

// A folder under the system's temporary folder holding one configuration file.
class BenchFolder final {
public:
    explicit BenchFolder(const std::string& content) {
        std::string pattern = (std::filesystem::temp_directory_path() / "tolvanexa-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
        Reset(content);
    }
    // The configuration file alone again, with `content`.
    void Reset(const std::string& content) const {
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            std::filesystem::remove(entry.path());
        }
        std::ofstream(path_ + "/Tolvanexa.config", std::ios::binary) << content;
    }
    ~BenchFolder() { std::filesystem::remove_all(path_); }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;
    platform::PosixFileSystem Files() const {
        return platform::PosixFileSystem(platform::ExecutableLocation{path_, "Tolvanexa"});
    }

private:
    std::string path_;
};

// Keys as a large installation might write them, Chinese values in GBK.
std::string ManyKeysFile(int keys) {
    std::string file = "#TarvelMonic Config File#\r\n";
    for (int i = 0; i < keys; ++i) {
        file += "<Tolvanexa>\\Stage" + std::to_string(i) + "Caption = \xD5\xFD\xB7\xBD\xD2\xBB\xB1\xE7" +
                std::to_string(i) + "\r\n";
    }
    return file;
}

constexpr std::size_t kLarge = 50u * 1024 * 1024;
constexpr std::string_view kCaptionGbk = "\xD5\xFD\xB7\xBD\xD2\xBB\xB1\xE7";  // 正方一辩

// Many small settings, each key once, until the file holds 50 MB.
std::string ManyKeysFileOfSize(std::size_t size) {
    std::string file = ManyKeysFile(0);
    file.reserve(size + 64);
    for (int i = 0; file.size() < size; ++i) {
        file += "<Tolvanexa>\\Stage" + std::to_string(i) + "Caption = " + std::string(kCaptionGbk) +
                std::to_string(i) + "\r\n";
    }
    return file;
}

// The smallest settings a file can hold, a short key and a one-digit value a line: what each setting costs
// beyond its text weighs most here.
std::string TinySettingsFile() {
    std::string file = ManyKeysFile(0);
    file.reserve(kLarge + 64);
    for (int i = 0; file.size() < kLarge; ++i) file += "k" + std::to_string(i) + "=1\r\n";
    return file;
}

// 100,000 keys each written about eight times: the values gather.
std::string RepeatedKeysFile() {
    std::string file = ManyKeysFile(0);
    file.reserve(kLarge + 64);
    for (int i = 0; file.size() < kLarge; ++i) {
        file += "<Tolvanexa>\\Key" + std::to_string(i % 100000) + " = \xD7\xD4\xD3\xC9\xB1\xE7\xC2\xDB value " +
                std::to_string(i) + "\r\n";
    }
    return file;
}

// One setting whose value is 50 MB of Chinese text: in lines, or in a single line.
std::string OneValueFile(bool lines) {
    std::string file = ManyKeysFile(0) + "<Tolvanexa>\\Notes = ";
    file.reserve(kLarge + 64);
    for (int i = 0; file.size() < kLarge; ++i) {
        file += std::string(kCaptionGbk) + "\xBF\xAA\xC6\xAA\xC1\xA2\xC2\xDB " + std::to_string(i);  // 开篇立论
        file += lines ? "\r\n" : " ";
    }
    return file;
}

// 50 MB of bytes that are neither GBK nor UTF-8, behind `head`.
std::string RandomBytes(const std::string& head) {
    std::string file = head;
    file.resize(head.size() + kLarge);
    std::uint32_t seed = 12345;
    for (std::size_t i = head.size(); i < file.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        file[i] = static_cast<char>(seed >> 24);
    }
    return file;
}

// Times loading the folder's file again and again; the save that closes each
// store is left out (it is measured on its own). With `restore`, the file is
// written back before the next load, for a file the save replaces.
void TimeLoads(benchmark::State& state, const BenchFolder& folder, const std::string* restore = nullptr) {
    platform::PosixFileSystem files = folder.Files();
    const platform::IconvCodec codec;
    for (auto _ : state) {
        std::optional<clsConfigFile> config(std::in_place, files, codec);
        benchmark::DoNotOptimize(config->Items().Count());
        state.PauseTiming();
        config->Close();
        config.reset();
        if (restore) folder.Reset(*restore);
        state.ResumeTiming();
    }
}

void BM_Load30000Keys(benchmark::State& state) {
    const BenchFolder folder(ManyKeysFile(kKeys));
    TimeLoads(state, folder);
}
BENCHMARK(BM_Load30000Keys)->Unit(benchmark::kMillisecond);

void BM_Save30000Keys(benchmark::State& state) {
    const BenchFolder folder(ManyKeysFile(kKeys));
    platform::PosixFileSystem files = folder.Files();
    const platform::IconvCodec codec;
    clsConfigFile config(files, codec);
    // A value that changes each time, so every save writes: one with nothing
    // new to write only reads the file and compares (measured below).
    int n = 0;
    for (auto _ : state) {
        config.Item("<Tolvanexa>\\Stage0Caption", (n++ & 1) != 0 ? "a" : "b");
        config.Save();
    }
}
BENCHMARK(BM_Save30000Keys)->Unit(benchmark::kMillisecond);

void BM_SaveNothingNew30000Keys(benchmark::State& state) {
    const BenchFolder folder(ManyKeysFile(kKeys));
    platform::PosixFileSystem files = folder.Files();
    const platform::IconvCodec codec;
    clsConfigFile config(files, codec);
    for (auto _ : state) config.Save();
}
BENCHMARK(BM_SaveNothingNew30000Keys)->Unit(benchmark::kMillisecond);

void BM_ReadOneOf30000Keys(benchmark::State& state) {
    const BenchFolder folder(ManyKeysFile(kKeys));
    platform::PosixFileSystem files = folder.Files();
    const platform::IconvCodec codec;
    clsConfigFile config(files, codec);
    config.NameSpace("Tolvanexa");
    int i = 0;
    const std::string keys[] = {"Stage1Caption", "STAGE15000CAPTION", "stage29999caption", "Missing"};
    for (auto _ : state) benchmark::DoNotOptimize(config.Item(keys[i++ & 3]));
}
BENCHMARK(BM_ReadOneOf30000Keys)->Unit(benchmark::kNanosecond);

void BM_Load50Megabytes(benchmark::State& state) {
    const std::string file = RepeatedKeysFile();
    const BenchFolder folder(file);
    TimeLoads(state, folder);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(file.size()));
}
BENCHMARK(BM_Load50Megabytes)->Unit(benchmark::kMillisecond)->Iterations(3);

// Bytes that are neither GBK nor UTF-8, without the header: nothing is read.
void BM_Load50MegabytesOfRandomBytes(benchmark::State& state) {
    const std::string file = RandomBytes(std::string());
    const BenchFolder folder(file);
    TimeLoads(state, folder, &file);  // Loading again would find the header-only file.
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(file.size()));
}
BENCHMARK(BM_Load50MegabytesOfRandomBytes)->Unit(benchmark::kMillisecond)->Iterations(2);

// A figure of this process's /proc/self/status in kB (VmRSS, VmHWM), or -1.
long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    const std::string prefix = std::string(field) + ":";
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(prefix)) return std::stol(line.substr(prefix.size()));
    }
    return -1;
}

struct Peak {
    double megabytes = -1;  // The resident high-water mark less the resident size before.
    double milliseconds = -1;
    double cpuMilliseconds = -1;  // User and system time: less swayed than the wall clock by a busy machine.
};

double CpuMilliseconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Runs `work` in a child of its own, its resident high-water mark reset just
// before, so each figure starts from the same process and nothing a previous
// one freed is counted. The child ends without destructing anything (no save).
Peak PeakOf(const std::function<void()>& work) {
    int channel[2];
    if (::pipe(channel) != 0) return {};
    std::cout.flush();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::ofstream("/proc/self/clear_refs") << "5";  // Resets VmHWM to VmRSS.
        const long before = StatusKb("VmHWM");
        const double cpu = CpuMilliseconds();
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        const Peak peak{static_cast<double>(StatusKb("VmHWM") - before) / 1024.0, took.count(), CpuMilliseconds() - cpu};
        [[maybe_unused]] const ssize_t written = ::write(channel[1], &peak, sizeof peak);
        ::_exit(0);
    }
    ::close(channel[1]);
    Peak peak;
    if (child < 0 || ::read(channel[0], &peak, sizeof peak) != static_cast<ssize_t>(sizeof peak)) peak = {};
    ::close(channel[0]);
    if (child > 0) ::waitpid(child, nullptr, 0);
    return peak;
}

// The loading peak of a 50 MB file of each kind, side by side with the peak of
// only reading its bytes (the floor: the store keeps them to tell an outside
// edit), measured in the same run.
void ReportLoadingPeaks() {
    struct Kind {
        const char* name;
        std::function<std::string()> make;
    };
    const Kind kinds[] = {
        {"many small settings, each key once (GBK)", [] { return ManyKeysFileOfSize(kLarge); }},
        {"tiny settings, kN=1 (ASCII)", [] { return TinySettingsFile(); }},
        {"100,000 keys written ~8 times each (GBK)", [] { return RepeatedKeysFile(); }},
        {"one value of 50 MB in lines (GBK)", [] { return OneValueFile(true); }},
        {"one value of 50 MB in one line (GBK)", [] { return OneValueFile(false); }},
        {"random bytes behind the header (set aside)", [] { return RandomBytes(ManyKeysFile(0)); }},
        {"random bytes, no header (nothing read)", [] { return RandomBytes(std::string()); }},
    };
    std::printf("Loading peak: resident high-water mark less the resident size before, each in a fresh child\n");
    std::printf("%-44s %9s %22s %22s %18s\n", "file", "size", "its bytes read alone", "loaded by the store",
                "load time (CPU)");
    for (const Kind& kind : kinds) {
        std::optional<BenchFolder> folder;
        double size = 0;
        {
            const std::string file = kind.make();
            size = static_cast<double>(file.size()) / (1024.0 * 1024.0);
            folder.emplace(file);
        }
        platform::PosixFileSystem files = folder->Files();
        const platform::IconvCodec codec;
        const std::string path = files.ExecutableFolder() + "/Tolvanexa.config";
        const Peak read = PeakOf([&] { benchmark::DoNotOptimize(files.ReadFile(path)); });
        const Peak loaded = PeakOf([&] {
            auto* config = new clsConfigFile(files, codec);  // Never destructed: the child ends without a save.
            benchmark::DoNotOptimize(config->Items().Count());
        });
        const auto cell = [size](const Peak& peak) {
            char text[64];
            std::snprintf(text, sizeof text, "%.1f MB (%.2fx)", peak.megabytes, peak.megabytes / size);
            return std::string(text);
        };
        std::printf("%-44s %6.1f MB %22s %22s %7.0f (%5.0f) ms\n", kind.name, size, cell(read).c_str(),
                    cell(loaded).c_str(), loaded.milliseconds, loaded.cpuMilliseconds);
    }
    std::printf("\n");
    std::fflush(stdout);
}

}  // namespace

// --no-peaks leaves out the loading peaks (a minute), for timing runs.
int main(int argc, char** argv) {
    bool peaks = true;
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) != "--no-peaks") continue;
        peaks = false;
        std::copy(argv + i + 1, argv + argc, argv + i);
        --argc;
        break;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (peaks) ReportLoadingPeaks();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
