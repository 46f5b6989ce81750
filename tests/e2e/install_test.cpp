// The portable folder that `cmake --install` makes: every file is there, the
// shipped configuration is one the store keeps byte for byte and that holds
// every setting the program reads, an edited configuration survives a later
// install, and the folder runs from wherever it is moved.
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QStringList>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>

#include "config/clsConfigFile.h"
#include "install_process.h"
#include "platform/posix/IconvCodec.h"
#include "platform/posix/PosixFileSystem.h"

namespace {

using installtest::ReadBytes;
using installtest::TempFolder;

constexpr const char* kPrefix = "<Tolvanexa>\\";

// Every setting the program reads. Background and the stage captions may be
// empty, but they are listed so the time-keeper finds them in the file.
const std::vector<std::string> kTextKeys = {
    "ApplicationTitle", "Sound30Seconds", "Sound0Seconds",
    "Background",       "CaptionFont",    "CaptionFontBold",
    "CaptionFontItalic", "CaptionFontSize", "CaptionFontUnderline",
    "TimerFont",        "TimerFontBold",  "TimerFontItalic",
    "TimerFontSize",    "TimerFontUnderline",
};
// The settings the window converts to numbers without any fallback: a
// missing one would fail the layout or a stage.
const std::vector<std::string> kNumericKeys = {
    "ButtonPadding", "SeparatorWidth", "Stage1Timer1", "Stage2Timer1", "Stage3Timer1", "Stage3Timer2",
    "Stage4Timer1",  "Stage4Timer2",   "Stage5Timer1", "Stage5Timer2", "Stage6Timer1", "Stage6Timer2",
    "Stage7Timer1",  "Stage8Timer1",   "Stage9Timer1", "Stage9Timer2", "Stage10Timer1", "Stage11Timer1",
};

const std::vector<std::string> kShippedFiles = {
    "Tolvanexa",           "Tolvanexa.config",      "about.html",           "Tolvanexa.desktop",
    "sounds/cue30.wav",    "sounds/cue0.wav",       "icons/Tolvanexa-16.png", "icons/Tolvanexa-24.png",
    "icons/Tolvanexa-32.png", "icons/Tolvanexa-48.png", "icons/Tolvanexa-64.png", "icons/Tolvanexa-128.png",
    "icons/Tolvanexa-256.png",
};

class Installed : public testing::Test {
protected:
    void SetUp() override {
        build_ = installtest::EnvOr("TOLVANEXA_BUILD_DIR", "");
        if (build_.empty()) GTEST_SKIP() << "TOLVANEXA_BUILD_DIR names no build folder";
        ASSERT_EQ(Install(), 0) << ReadBytes(log_);
    }
    int Install() { return installtest::InstallInto(build_, Folder(), log_); }
    std::string Folder() const { return temp_.Path() + "/Tolvanexa"; }
    std::string File(const std::string& name) const { return Folder() + "/" + name; }

    TempFolder temp_;
    std::string build_;
    std::string log_ = temp_.Path() + "/install.log";
};

TEST_F(Installed, FolderHoldsEveryShippedFile) {
    for (const std::string& name : kShippedFiles) {
        EXPECT_TRUE(std::filesystem::is_regular_file(File(name))) << name;
    }
    namespace fs = std::filesystem;
    const auto perms = fs::status(File("Tolvanexa")).permissions();
    EXPECT_NE(perms & fs::perms::owner_exec, fs::perms::none);
    // The program writes its configuration back when it ends.
    EXPECT_NE(fs::status(File("Tolvanexa.config")).permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(Installed, ConfigurationRoundTripsThroughTheStoreByteForByte) {
    const std::string shipped = ReadBytes(File("Tolvanexa.config"));
    ASSERT_FALSE(shipped.empty());
    platform::PosixFileSystem files(platform::ExecutableLocation{Folder(), "Tolvanexa"});
    platform::IconvCodec codec;
    {
        clsConfigFile config(files, codec);
        EXPECT_EQ(config.Encoding(), config::FileEncoding::Gbk);
        config.NameSpace("Tolvanexa");
        EXPECT_EQ(config.Item("ApplicationTitle"), "华语辩论赛");
        EXPECT_EQ(config.Item("CaptionFont"), "黑体");
        for (const std::string& key : kNumericKeys) EXPECT_FALSE(config.Item(key).empty()) << key;
        config.Close();
        EXPECT_TRUE(config.SetAsidePath().empty());
    }
    EXPECT_EQ(ReadBytes(File("Tolvanexa.config")), shipped);
}

TEST_F(Installed, ConfigurationNamesEverySettingInOrderlyForm) {
    const std::string bytes = ReadBytes(File("Tolvanexa.config"));
    EXPECT_EQ(bytes.rfind("#TarvelMonic Config File#\r\n", 0), 0u);
    std::vector<std::string> keys = kTextKeys;
    keys.insert(keys.end(), kNumericKeys.begin(), kNumericKeys.end());
    for (int page = 0; page <= 11; ++page) keys.push_back("Stage" + std::to_string(page) + "Caption");
    for (const std::string& key : keys) {
        EXPECT_NE(bytes.find("\r\n" + std::string(kPrefix) + key + " = "), std::string::npos) << key;
    }
    // Lines end in CR LF only: a lone LF would be read as part of a value.
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "lone LF at byte " << i;
        }
    }
}

TEST_F(Installed, EditedConfigurationSurvivesALaterInstall) {
    const std::string edited = ReadBytes(File("Tolvanexa.config")) + kPrefix + "Stage0Caption = 决赛\r\n";
    { std::ofstream(File("Tolvanexa.config"), std::ios::binary | std::ios::trunc) << edited; }
    ASSERT_EQ(Install(), 0) << ReadBytes(log_);
    EXPECT_EQ(ReadBytes(File("Tolvanexa.config")), edited);
}

// Both cues must be short, since the countdown waits for them, and the zero
// bell longer than the 30-second chime so the two are told apart.
TEST_F(Installed, CuesAreShortMonoPcmAndTheBellIsTheLonger) {
    double seconds[2] = {};
    const char* names[2] = {"sounds/cue30.wav", "sounds/cue0.wav"};
    for (int i = 0; i < 2; ++i) {
        SF_INFO info{};
        SNDFILE* file = sf_open(File(names[i]).c_str(), SFM_READ, &info);
        ASSERT_NE(file, nullptr) << names[i];
        sf_close(file);
        EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16) << names[i];
        EXPECT_EQ(info.channels, 1) << names[i];
        EXPECT_EQ(info.samplerate, 44100) << names[i];
        seconds[i] = static_cast<double>(info.frames) / info.samplerate;
        EXPECT_GT(seconds[i], 0.5) << names[i];
        EXPECT_LT(seconds[i], 2.0) << names[i];
    }
    EXPECT_GT(seconds[1], seconds[0]);
    // The chime holds "00:29" back; past a second the next tick would replace it unseen.
    EXPECT_LT(seconds[0], 1.0);
}

// The home page's bar (13 buttons, 7 gaps) and the clock must fit side by
// side in the window's default 1000-pixel width with the default UI font, or
// the bar runs under the clock at start-up.
TEST_F(Installed, HomeBarAndClockFitTheDefaultWidth) {
    platform::PosixFileSystem files(platform::ExecutableLocation{Folder(), "Tolvanexa"});
    platform::IconvCodec codec;
    clsConfigFile config(files, codec);
    config.NameSpace("Tolvanexa");
    const double padding = std::stod(config.Item("ButtonPadding"));
    const double separator = std::stod(config.Item("SeparatorWidth"));
    const QFontMetricsF metrics(QGuiApplication::font());
    const QStringList home =
        QString("正|反方一辩发言||正|反二选择反二、三||正|反三选择反二、三||正|反一辩攻辩小结||自由辩论||反|正方四辩总结陈词||关于||退出")
            .split('|');
    double right = 0;
    for (const QString& caption : home) {
        right += (caption.isEmpty() ? separator : padding + metrics.horizontalAdvance(caption)) - 1;  // one-pixel overlap
    }
    const double clock = padding + metrics.horizontalAdvance("00:00:00");
    EXPECT_LE(right + 1 + clock, 1000.0) << "bar " << right << " px, clock " << clock << " px";
    EXPECT_GE(padding, 12.0) << "buttons too tight to hit on a projector";
}

// Moved elsewhere after installing, the folder still runs: the program finds
// its configuration beside itself, starts offscreen, and a SIGTERM ends it
// cleanly with the configuration written back unchanged.
TEST_F(Installed, MovedFolderRunsAndEndsCleanlyOnSigterm) {
    const std::string moved = temp_.Path() + "/elsewhere";
    std::filesystem::rename(Folder(), moved);
    const std::string config = moved + "/Tolvanexa.config";
    const std::string before = ReadBytes(config);
    const pid_t pid = installtest::Start({moved + "/Tolvanexa"}, temp_.Path() + "/run.log",
                                         {"QT_QPA_PLATFORM=offscreen", "SDL_AUDIODRIVER=dummy",
                                          // Leaks of the toolkit at exit are not this test's concern.
                                          "ASAN_OPTIONS=detect_leaks=0"});
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ASSERT_EQ(::waitpid(pid, nullptr, WNOHANG), 0) << "ended early:\n" << ReadBytes(temp_.Path() + "/run.log");
    ::kill(pid, SIGTERM);
    const std::optional<int> status = installtest::WaitFor(pid, std::chrono::seconds(10));
    ASSERT_TRUE(status.has_value()) << "did not end on SIGTERM";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << ReadBytes(temp_.Path() + "/run.log");
    EXPECT_EQ(ReadBytes(config), before);
}

}  // namespace
