// The real program: ended by a signal it closes like "退出", saving, exit 0; installed, it runs wherever moved.
#include <signal.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "config/clsConfigFile.h"
#include "e2e/e2e_support.h"
#include "window/StageTable.h"

extern char** environ;

namespace e2e {
namespace {

namespace fs = std::filesystem;

// The build puts the program in its top folder and this test in its "tests" folder.
fs::path BuildFolder() { return fs::read_symlink("/proc/self/exe").parent_path().parent_path(); }

// Runs `argv` until it exits, with 0 for success. An ending `signal` is sent at once to a child started
// with the ending signals blocked: it takes it when ready, so no test guesses how long start-up takes.
testing::AssertionResult ExitsCleanly(std::vector<std::string> argv, int signal = 0) {
    std::vector<char*> args(argv.size() + 1);  // ended by a null
    std::transform(argv.begin(), argv.end(), args.begin(), [](std::string& arg) { return arg.data(); });
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t ending;
    sigemptyset(&ending);
    for (const int each : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&ending, each);
    posix_spawnattr_setsigmask(&attributes, &ending);
    posix_spawnattr_setsigdefault(&attributes, &ending);  // one this process ignores would be lost
    posix_spawnattr_setflags(&attributes, signal != 0 ? POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF : 0);
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, args[0], nullptr, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (failed != 0) return testing::AssertionFailure() << "could not start " << argv[0];
    if (signal != 0) ::kill(pid, signal);
    int status = 0;
    for (int waits = 0; ::waitpid(pid, &status, WNOHANG) == 0; ++waits) {
        if (waits == 3000) ::kill(pid, SIGKILL);  // a minute: no test leaves a process behind
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return testing::AssertionSuccess();
    return testing::AssertionFailure() << argv[0] << " ended with wait status " << status;
}

class EndingSignal : public testing::TestWithParam<int> {};

TEST_P(EndingSignal, SavesTheConfigurationAndExitsCleanly) {
    // A copy, so it reads the file beside the copy; the normalised form proves the save ran.
    testsupport::TestFolder folder;
    fs::copy_file(BuildFolder() / "Tolvanexa", folder.File("Tolvanexa"));
    folder.Write("Tolvanexa.config", "  #tarvelmonic config file#\r\n<Tolvanexa>\\ApplicationTitle=Final\r\n\r\n");
    EXPECT_TRUE(ExitsCleanly({folder.File("Tolvanexa")}, GetParam()));
    EXPECT_EQ(folder.Read("Tolvanexa.config"), NormalisedConfig({{"ApplicationTitle", "Final"}}));
}

INSTANTIATE_TEST_SUITE_P(Signals, EndingSignal, testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

class Installed : public testing::Test {
protected:
    auto Install() { return ExitsCleanly({"cmake", "--install", BuildFolder(), "--prefix", folder}); }
    void SetUp() override { ASSERT_TRUE(Install()); }
    std::string Config() const { return temp.Read("Tolvanexa/Tolvanexa.config"); }

    testsupport::TestFolder temp;
    const std::string folder = temp.File("Tolvanexa");
};

TEST_F(Installed, HoldsEveryFileShortCuesAndAConfigurationWithEverySettingThatSurvivesAReinstall) {
    std::vector<std::string> files = {"Tolvanexa", "Tolvanexa.config", "about.html", "Tolvanexa.desktop",
                                      "sounds/cue30.wav", "sounds/cue0.wav"};
    for (int px : {16, 24, 32, 48, 64, 128, 256}) files.push_back("icons/Tolvanexa-" + std::to_string(px) + ".png");
    for (const std::string& name : files) EXPECT_TRUE(fs::is_regular_file(folder + "/" + name)) << name;

    // Every setting the program reads is there for the time-keeper to find, with a value but for a few.
    const std::string shipped = Config();
    std::vector<std::string> keys = {
        "ApplicationTitle", "Sound30Seconds", "Sound0Seconds", "Background", "CaptionFont", "CaptionFontBold",
        "CaptionFontItalic", "CaptionFontSize", "CaptionFontUnderline", "TimerFont", "TimerFontBold",
        "TimerFontItalic", "TimerFontSize", "TimerFontUnderline", "ButtonPadding", "SeparatorWidth"};
    for (int page = 0; page <= 11; ++page) keys.push_back("Stage" + std::to_string(page) + "Caption");
    for (const char* key : DurationKeys()) keys.emplace_back(key);
    for (const std::string& key : keys) {
        EXPECT_NE(shipped.find("\n<Tolvanexa>\\" + key + " = "), std::string::npos) << key;
        const bool mayBeEmpty = key == "Background" || key.ends_with("Caption");
        EXPECT_TRUE(mayBeEmpty || shipped.find("\\" + key + " = \r") == std::string::npos) << key;
    }
    // Loaded and saved by the store, it stays byte for byte as shipped.
    platform::PosixFileSystem store(platform::ExecutableLocation{folder, "Tolvanexa"});
    platform::IconvCodec codec;
    EXPECT_EQ(clsConfigFile(store, codec).Encoding(), config::FileEncoding::Gbk);
    EXPECT_EQ(Config(), shipped);

    const std::string edited = shipped + "<Tolvanexa>\\Stage0Caption = 决赛\r\n";
    temp.Write("Tolvanexa/Tolvanexa.config", edited);
    ASSERT_TRUE(Install());
    EXPECT_EQ(Config(), edited);

    // The countdown waits for a cue, so both are short (past a second the chime would hide "00:29"),
    // and the zero bell is the longer so the two are told apart.
    const auto seconds = [&](const char* name) {
        SF_INFO info{};
        if (SNDFILE* file = sf_open((folder + name).c_str(), SFM_READ, &info)) sf_close(file);
        return info.samplerate > 0 ? static_cast<double>(info.frames) / info.samplerate : 0.0;
    };
    const double chime = seconds("/sounds/cue30.wav"), bell = seconds("/sounds/cue0.wav");
    EXPECT_TRUE(chime > 0.2 && chime < 1.0) << chime << " s";
    EXPECT_TRUE(bell > chime && bell < 2.0) << bell << " s";
}

// The shipped bar and clock fit side by side in 1000 pixels; moved, it still finds its file beside itself.
TEST_F(Installed, RunsWithTheBarBesideTheClockWhereverItIsMoved) {
    const std::string shipped = Config();
    {
        RealWindow real(folder);
        EXPECT_EQ(real.form.window.windowTitle(), QStringLiteral("华语辩论赛 - 主页"));
        ASSERT_EQ(real.form.window.width(), 1000);
        EXPECT_LT(real.form.cmdCommand.Member(19).Widget()->geometry().right(),
                  real.form.cmdTime.Widget()->geometry().left());
    }
    fs::rename(folder, temp.File("elsewhere"));
    EXPECT_TRUE(ExitsCleanly({temp.File("elsewhere/Tolvanexa")}, SIGTERM));
    EXPECT_EQ(temp.Read("elsewhere/Tolvanexa.config"), shipped);
}

}  // namespace
}  // namespace e2e
