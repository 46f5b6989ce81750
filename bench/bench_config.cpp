// What the settings store costs with a very large file: loading and saving
// 30,000 distinct keys on real files, one read among them, and loading a
// 50 MB file. Figures only; nothing here passes or fails.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
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
    std::string file = ManyKeysFile(0);
    for (int i = 0; file.size() < 50u * 1024 * 1024; ++i) {
        file += "<Tolvanexa>\\Key" + std::to_string(i % 100000) + " = \xD7\xD4\xD3\xC9\xB1\xE7\xC2\xDB value " +
                std::to_string(i) + "\r\n";
    }
    const BenchFolder folder(file);
    TimeLoads(state, folder);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(file.size()));
}
BENCHMARK(BM_Load50Megabytes)->Unit(benchmark::kMillisecond)->Iterations(3);

// Bytes that are neither GBK nor UTF-8: decoded with "?" for each bad byte and
// set aside whole.
void BM_Load50MegabytesOfRandomBytes(benchmark::State& state) {
    std::string file(50u * 1024 * 1024, '\0');
    std::uint32_t seed = 12345;
    for (char& byte : file) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<char>(seed >> 24);
    }
    const BenchFolder folder(file);
    TimeLoads(state, folder, &file);  // Loading again would find the header-only file.
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(file.size()));
}
BENCHMARK(BM_Load50MegabytesOfRandomBytes)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
