// The real program: ended by a signal it closes like "退出", saving, exit 0; installed, it runs wherever moved.
#include <signal.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "config/clsConfigFile.h"
#include "e2e/e2e_support.h"
#include "platform/qt/QtSingleInstance.h"
#include "window/StageTable.h"

extern char** environ;

namespace e2e {
namespace {

namespace fs = std::filesystem;

// The build puts the program in its top folder and this test in its "tests" folder.
fs::path BuildFolder() { return fs::read_symlink("/proc/self/exe").parent_path().parent_path(); }

// Starts `argv`; with `held` the ending signals wait, blocked, until it is ready for them, so no test
// guesses how long start-up takes. -1 when it could not be started.
pid_t Start(std::vector<std::string> argv, bool held) {
    std::vector<char*> args(argv.size() + 1);  // ended by a null
    std::transform(argv.begin(), argv.end(), args.begin(), [](std::string& arg) { return arg.data(); });
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t ending;
    sigemptyset(&ending);
    for (const int each : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&ending, each);
    posix_spawnattr_setsigmask(&attributes, &ending);
    posix_spawnattr_setsigdefault(&attributes, &ending);  // one this process ignores would be lost
    posix_spawnattr_setflags(&attributes, held ? POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF : 0);
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, args[0], nullptr, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    return failed == 0 ? pid : -1;
}

// Waits for `pid` to exit, with 0 for success.
testing::AssertionResult EndsCleanly(pid_t pid) {
    int status = 0;
    for (int waits = 0; ::waitpid(pid, &status, WNOHANG) == 0; ++waits) {
        if (waits == 3000) ::kill(pid, SIGKILL);  // a minute: no test leaves a process behind
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "ended with wait status " << status;
}

// Runs `argv` until it exits, with 0 for success; an ending `signal` is sent at once, taken when it is ready.
testing::AssertionResult ExitsCleanly(std::vector<std::string> argv, int signal = 0) {
    const std::string name = argv[0];
    const pid_t pid = Start(std::move(argv), signal != 0);
    if (pid < 0) return testing::AssertionFailure() << "could not start " << name;
    if (signal != 0) ::kill(pid, signal);
    return EndsCleanly(pid) << " (" << name << ")";
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

    // Both are short (a cue asked for while another sounds waits for it to end),
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

// Whether some process listens on the abstract socket `name`.
bool Listening(const QString& name) {
    std::ifstream table("/proc/net/unix");
    const std::string wanted = " @" + name.toStdString();
    for (std::string line; std::getline(table, line);)
        if (line.ends_with(wanted)) return true;
    return false;
}

// Waits up to a minute for `pid` to hold the lock of `folder`, or for it to end.
bool HoldsTheLock(pid_t pid, const std::string& folder) {
    for (int waits = 0; waits < 3000; ++waits) {
        if (Listening(platform::SingleInstanceName(folder))) return true;
        if (::waitpid(pid, nullptr, WNOHANG) != 0) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

// A copy killed outright leaves no lock behind: the next one runs as the only copy.
TEST(OneCopy, ACrashLeavesNothingThatKeepsTheNextCopyFromRunning) {
    testsupport::TestFolder folder;
    fs::copy_file(BuildFolder() / "Tolvanexa", folder.File("Tolvanexa"));
    const pid_t crashed = Start({folder.File("Tolvanexa")}, /*held=*/true);
    ASSERT_TRUE(HoldsTheLock(crashed, folder.Path()));
    ::kill(crashed, SIGKILL);
    ::waitpid(crashed, nullptr, 0);
    const pid_t next = Start({folder.File("Tolvanexa")}, /*held=*/true);
    EXPECT_TRUE(HoldsTheLock(next, folder.Path()));
    EXPECT_EQ(::waitpid(next, nullptr, WNOHANG), 0);
    ::kill(next, SIGTERM);
    EXPECT_TRUE(EndsCleanly(next));
}

TEST(OneCopy, ASecondCopyOnTheSameFolderExitsAtOnceAndTheFirstRunsOn) {
    testsupport::TestFolder folder;
    fs::copy_file(BuildFolder() / "Tolvanexa", folder.File("Tolvanexa"));
    const std::string written = "#TarvelMonic Config File#\r\n<Tolvanexa>\\ApplicationTitle=First\r\n";
    folder.Write("Tolvanexa.config", written);
    const pid_t first = Start({folder.File("Tolvanexa")}, /*held=*/true);
    ASSERT_GT(first, 0);
    EXPECT_TRUE(HoldsTheLock(first, folder.Path()));
    EXPECT_TRUE(ExitsCleanly({folder.File("Tolvanexa")}));
    EXPECT_EQ(::waitpid(first, nullptr, WNOHANG), 0);  // the first still runs
    EXPECT_EQ(folder.Read("Tolvanexa.config"), written);  // and the second touched nothing
    ::kill(first, SIGTERM);
    EXPECT_TRUE(EndsCleanly(first));
    EXPECT_EQ(folder.Read("Tolvanexa.config"), NormalisedConfig({{"ApplicationTitle", "First"}}));
}

// Runs the program in `folder` on a virtual X display (Xvfb) with `environment`, opens stage 1 with PageDown
// and starts its countdown with Space, then runs `steps` (a shell script's lines, with the program's process
// as $app); answers whether all of it ended with status 0. A step that fails ends the script and the program.
bool RunsStageOneOnDisplay(const testsupport::TestFolder& folder, const std::string& environment,
                           const std::string& steps) {
    const std::string script = R"(
        cd "$1" || exit 2
        # No session bus: libdbus would otherwise start one for this display and leave it behind.
        DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent QT_QPA_PLATFORM=xcb )" + environment + R"( ./Tolvanexa & app=$!
        trap 'kill -9 $app 2>/dev/null' EXIT
        win=$(timeout 30 xdotool search --sync --name ' - 主页$' | head -1)
        [ -n "$win" ] || exit 3
        xdotool key --window "$win" Next
        timeout 10 xdotool search --sync --name ' - 正方一辩发言$' >/dev/null || exit 4
        xdotool key --window "$win" space
        )" + steps;
    return ExitsCleanly({"xvfb-run", "-a", "sh", "-c", script, "sh", folder.Path()});
}

// On a real X display (Xvfb), driven by keys: PageDown opens stage 1, Space starts its countdown, and
// SIGTERM then closes without the question the title bar's close would ask, saving as "退出" does.
TEST(RealDisplay, TheEndingSignalClosesWithoutAskingWhileACountdownRuns) {
    if (std::system("command -v xvfb-run >/dev/null && command -v xdotool >/dev/null") != 0)
        GTEST_SKIP() << "needs xvfb-run and xdotool";
    testsupport::TestFolder folder;
    fs::copy_file(BuildFolder() / "Tolvanexa", folder.File("Tolvanexa"));
    // Every setting it checks, so no start-up message stands in the way; ten minutes for stage 1.
    std::vector<Setting> settings{{"ApplicationTitle", "Final"}, {"ButtonPadding", "18"}, {"SeparatorWidth", "12"}};
    for (const char* key : DurationKeys()) settings.emplace_back(key, key == std::string("Stage1Timer1") ? "600" : "90");
    folder.Write("Tolvanexa.config", NormalisedConfig(settings));
    EXPECT_TRUE(RunsStageOneOnDisplay(folder, "", R"(
        sleep 1.5
        kill -TERM $app
        for i in $(seq 100); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
        kill -9 $app 2>/dev/null  # still there after ten seconds: it waits for an answer
        wait $app)"));
    EXPECT_EQ(folder.Read("Tolvanexa.config"), NormalisedConfig(settings));
}

// Writes `seconds` of a quiet 440 Hz tone as a 16-bit WAV.
bool WriteTone(const std::string& path, double seconds) {
    SF_INFO info{0, 44100, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return false;
    std::vector<float> samples(static_cast<std::size_t>(seconds * info.samplerate));
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = (i / 50) % 2 ? 0.1f : -0.1f;
    const auto frames = static_cast<sf_count_t>(samples.size());
    const bool written = sf_writef_float(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && written;
}

// A bell nine seconds long sounds at stage 1's zero (SDL's disk driver writes what it plays to a
// file, so the script sees it begin); SIGTERM then ends the program well before the bell would have
// ended, the configuration saved. Before the cue queue the window's thread sat in the bell and the
// signal waited for it. The bell stays under the ten seconds a cue may last: a longer one is named
// in a start-up message, which takes the keyboard's focus until it is read.
TEST(RealDisplay, TheEndingSignalEndsTheProgramWhileALongBellSounds) {
    if (std::system("command -v xvfb-run >/dev/null && command -v xdotool >/dev/null") != 0)
        GTEST_SKIP() << "needs xvfb-run and xdotool";
    testsupport::TestFolder folder;
    fs::copy_file(BuildFolder() / "Tolvanexa", folder.File("Tolvanexa"));
    ASSERT_TRUE(WriteTone(folder.File("bell.wav"), 9));
    std::vector<Setting> settings{{"ButtonPadding", "18"}, {"SeparatorWidth", "12"}, {"Sound0Seconds", "bell.wav"},
                                  {"Sound30Seconds", ""}};
    for (const char* key : DurationKeys()) settings.emplace_back(key, key == std::string("Stage1Timer1") ? "0" : "90");
    folder.Write("Tolvanexa.config", NormalisedConfig(settings));
    EXPECT_TRUE(RunsStageOneOnDisplay(folder, R"(SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$1/played.raw")", R"(
        for i in $(seq 300); do [ -s played.raw ] && break; sleep 0.1; done
        [ -s played.raw ] || exit 5
        kill -TERM $app
        # Well short of this bell's nine seconds, with room for a slow sanitizer build.
        for i in $(seq 80); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
        kill -0 $app 2>/dev/null && exit 6
        wait $app)"));
    EXPECT_EQ(folder.Read("Tolvanexa.config"), NormalisedConfig(settings));
}

}  // namespace
}  // namespace e2e
