// The real program: ended by a signal it closes like "退出", saving, exit 0; installed, it runs wherever moved.
#include <signal.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <thread>

#include "e2e/e2e_support.h"
#include "platform/qt/QtSingleInstance.h"
#include "window/StageTable.h"

extern char** environ;

namespace e2e {
namespace {

namespace fs = std::filesystem;

// The build puts the program in its top folder and this test in its "tests" folder.
fs::path BuildFolder() { return fs::read_symlink("/proc/self/exe").parent_path().parent_path(); }

// Copies the program into `folder`, so it reads the configuration there; answers the copy's path.
std::string CopyOfTheProgram(const testsupport::TestFolder& folder) {
    fs::copy_file(BuildFolder() / "Tolvanexa", folder.File("Tolvanexa"));
    return folder.File("Tolvanexa");
}

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
    // The normalised form proves the save ran.
    testsupport::TestFolder folder;
    folder.Write("Tolvanexa.config", "  #tarvelmonic config file#\r\n<Tolvanexa>\\ApplicationTitle=Final\r\n\r\n");
    EXPECT_TRUE(ExitsCleanly({CopyOfTheProgram(folder)}, GetParam()));
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
    for (const char* name : {"Tolvanexa", "Tolvanexa.config", "about.html", "Tolvanexa.desktop", "icons/Tolvanexa-16.png",
                             "icons/Tolvanexa-256.png"})
        EXPECT_TRUE(fs::is_regular_file(folder + "/" + name)) << name;
    // Every setting the program reads is there for the time-keeper to find, with a value but for a few.
    const std::string shipped = Config();
    std::vector<std::string> keys = {"ApplicationTitle", "Sound30Seconds", "Sound0Seconds", "Background",
        "CaptionFont", "CaptionFontBold", "CaptionFontSize", "TimerFont", "TimerFontItalic", "TimerFontSize",
        "TimerFontUnderline", "ButtonPadding", "SeparatorWidth", "Stage0Caption", "Stage11Caption"};
    for (const char* key : DurationKeys()) keys.emplace_back(key);
    for (const std::string& key : keys) {
        EXPECT_NE(shipped.find("\n<Tolvanexa>\\" + key + " = "), std::string::npos) << key;
        const bool mayBeEmpty = key == "Background" || key.ends_with("Caption");
        EXPECT_TRUE(mayBeEmpty || shipped.find("\\" + key + " = \r") == std::string::npos) << key;
    }
    // A reinstall keeps the time-keeper's edits (the program's own save keeps the shipped file: see below).
    const std::string edited = shipped + "<Tolvanexa>\\Stage0Caption = 决赛\r\n";
    temp.Write("Tolvanexa/Tolvanexa.config", edited);
    ASSERT_TRUE(Install());
    EXPECT_EQ(Config(), edited);

    // Both are short (a cue asked for while another sounds waits for it to end), the zero bell the longer.
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
        ASSERT_EQ(real.form.window.width(), 1000);
        EXPECT_LT(real.form.cmdCommand.Member(19).Widget()->geometry().right(),
                  real.form.cmdTime.Widget()->geometry().left());
    }
    fs::rename(folder, temp.File("elsewhere"));
    EXPECT_TRUE(ExitsCleanly({temp.File("elsewhere/Tolvanexa")}, SIGTERM));
    EXPECT_EQ(temp.Read("elsewhere/Tolvanexa.config"), shipped);
}

// Waits up to a minute for `pid` to hold the lock of `folder` (to listen on its abstract socket), or to end.
bool HoldsTheLock(pid_t pid, const std::string& folder) {
    const std::string wanted = " @" + platform::SingleInstanceName(folder).toStdString();
    for (int waits = 0; waits < 3000 && ::waitpid(pid, nullptr, WNOHANG) == 0; ++waits) {
        std::ifstream table("/proc/net/unix");
        for (std::string line; std::getline(table, line);)
            if (line.ends_with(wanted)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

TEST(OneCopy, ASecondCopyOnTheSameFolderExitsAtOnceAndTheFirstRunsOn) {
    testsupport::TestFolder folder;
    const std::string program = CopyOfTheProgram(folder);
    const std::string written = "#TarvelMonic Config File#\r\n<Tolvanexa>\\ApplicationTitle=First\r\n";
    folder.Write("Tolvanexa.config", written);
    const pid_t first = Start({program}, /*held=*/true);
    ASSERT_TRUE(HoldsTheLock(first, folder.Path()));
    EXPECT_TRUE(ExitsCleanly({program}));
    EXPECT_EQ(::waitpid(first, nullptr, WNOHANG), 0);  // the first still runs
    EXPECT_EQ(folder.Read("Tolvanexa.config"), written);  // and the second touched nothing
    ::kill(first, SIGTERM);
    EXPECT_TRUE(EndsCleanly(first));
    EXPECT_EQ(folder.Read("Tolvanexa.config"), NormalisedConfig({{"ApplicationTitle", "First"}}));
}

// Runs a copy of the program on Xvfb with `settings` (no start-up message takes the keys; `stageOne` seconds for
// stage 1), starts stage 1, then runs the shell lines `steps` ($app the program); it must end with status 0 and the
// configuration saved as read.
void RunsStageOneOnDisplay(std::vector<Setting> settings, const char* stageOne, const std::string& environment,
                           const std::string& steps, const std::function<void(const testsupport::TestFolder&)>& prepare = {}) {
    if (std::system("command -v xvfb-run >/dev/null && command -v xdotool >/dev/null") != 0)
        GTEST_SKIP() << "needs xvfb-run and xdotool";
    testsupport::TestFolder folder;
    CopyOfTheProgram(folder);
    if (prepare) prepare(folder);
    settings.insert(settings.end(), {{"ButtonPadding", "18"}, {"SeparatorWidth", "12"}});
    for (const char* key : DurationKeys()) settings.emplace_back(key, key == std::string("Stage1Timer1") ? stageOne : "90");
    folder.Write("Tolvanexa.config", NormalisedConfig(settings));
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
    EXPECT_TRUE(ExitsCleanly({"xvfb-run", "-a", "sh", "-c", script, "sh", folder.Path()}));
    EXPECT_EQ(folder.Read("Tolvanexa.config"), NormalisedConfig(settings));
}

// SIGTERM while a countdown runs closes without the question the title bar's close would ask, saving as "退出".
TEST(RealDisplay, TheEndingSignalClosesWithoutAskingWhileACountdownRuns) {
    RunsStageOneOnDisplay({{"ApplicationTitle", "Final"}}, "600", "", R"(
        sleep 1.5
        kill -TERM $app
        for i in $(seq 100); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
        kill -9 $app 2>/dev/null  # still there after ten seconds: it waits for an answer
        wait $app)");
}

// SIGTERM during a nine-second bell (SDL's disk driver shows it begin) ends the program well before the bell does.
TEST(RealDisplay, TheEndingSignalEndsTheProgramWhileALongBellSounds) {
    RunsStageOneOnDisplay({{"Sound0Seconds", "bell.wav"}, {"Sound30Seconds", ""}}, "0",
                          R"(SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$1/played.raw")", R"(
        for i in $(seq 300); do [ -s played.raw ] && break; sleep 0.1; done
        [ -s played.raw ] || exit 5
        kill -TERM $app
        # Well short of this bell's nine seconds, with room for a slow sanitizer build.
        for i in $(seq 80); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
        kill -0 $app 2>/dev/null && exit 6
        wait $app)", [](const testsupport::TestFolder& folder) {
        // A quiet square wave at 441 Hz.
        SF_INFO info{0, 44100, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
        SNDFILE* file = sf_open(folder.File("bell.wav").c_str(), SFM_WRITE, &info);
        ASSERT_NE(file, nullptr);
        std::vector<float> samples(9 * 44100);
        for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = (i / 50) % 2 ? 0.1f : -0.1f;
        ASSERT_EQ(sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size())), 9 * 44100);
        sf_close(file);
    });
}

}  // namespace
}  // namespace e2e
