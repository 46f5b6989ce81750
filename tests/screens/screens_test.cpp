// The real window and its audience view on two screens: a 1366 x 768 laptop and a 1920 x 1080 projector to its
// right, as Qt's offscreen platform is told in a file of its own before the application starts.
#include <QApplication>
#include <QKeyEvent>
#include <QScreen>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "app/AudienceWiring.h"
#include "e2e/e2e_support.h"
#include "window/StageTable.h"

namespace {

using e2e::RunUntil;

const QRect kLaptop(0, 0, 1366, 768);
const QRect kProjector(1366, 0, 1920, 1080);

QScreen* ScreenAt(const QRect& area) {
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->geometry() == area) return screen;
    return nullptr;
}

// The window as the program builds it, with its audience view.
struct TwoScreens : testing::Test {
    void Start(const std::vector<e2e::Setting>& extra = {}) {
        std::vector<e2e::Setting> settings = {{"ApplicationTitle", "华语辩论赛"}, {"ButtonPadding", "18"},
                                              {"SeparatorWidth", "12"}, {"Sound30Seconds", ""}, {"Sound0Seconds", ""}};
        for (const std::string key : DurationKeys()) settings.emplace_back(key, "2");
        for (const e2e::Setting& setting : extra) {
            std::erase_if(settings, [&](const e2e::Setting& known) { return known.first == setting.first; });
            settings.push_back(setting);
        }
        folder.Write("Tolvanexa.config", e2e::NormalisedConfig(settings));
        files = std::make_unique<platform::PosixFileSystem>(platform::ExecutableLocation{folder.Path(), "Tolvanexa"});
        form = std::make_unique<platform::QtForm>(folder.Path());
        view = std::make_unique<platform::QtAudienceView>(form->window, folder.Path());
        window = std::make_unique<frmMain>(
            WireForm(*form, sound, browser, displaySleep, *files, codec, *view, recorder));
        ConfigureAudience(*window, *view, form->errors);
        window->Form_Load();
        form->window.show();
        QCoreApplication::processEvents();
    }
    // The logic goes first: it publishes to the view until it is gone.
    ~TwoScreens() override {
        if (form) form->StopTimers();
        if (window) window->Form_Unload();
        window.reset();
    }
    void Press(QWidget* target, int key) {
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, key, Qt::NoModifier);
            QApplication::sendEvent(target, &event);
        }
        QCoreApplication::processEvents();
    }
    QRect Shown() const { return view->IsOpen() ? view->geometry() : QRect(); }

    testsupport::TestFolder folder;
    platform::IconvCodec codec;
    testsupport::FakeSound sound;
    testsupport::FakeBrowser browser;
    testsupport::FakeDisplaySleep displaySleep;
    testsupport::FakeRecorder recorder;
    std::unique_ptr<platform::PosixFileSystem> files;
    std::unique_ptr<platform::QtForm> form;
    std::unique_ptr<platform::QtAudienceView> view;
    std::unique_ptr<frmMain> window;
};

// F5 fills the other screen; the whole debate can run from the keys typed into the view, which shows what the
// hall must see; Esc closes it.
TEST_F(TwoScreens, TheViewFollowsADebateRunFromItsOwnKeys) {
    ASSERT_NE(ScreenAt(kProjector), nullptr) << "the offscreen platform was not given two screens";
    Start({{"Stage0Caption", "校际辩论赛决赛"}});
    ASSERT_EQ(form->window.screen()->geometry(), kLaptop);
    Press(&form->window, Qt::Key_F5);
    ASSERT_EQ(Shown(), kProjector);
    EXPECT_TRUE(view->isFullScreen());
    EXPECT_EQ(view->grab().size(), kProjector.size());
    const platform::AudienceFrame& frame = view->Frame();
    EXPECT_EQ(view->accessibleName().toStdString(), "华语辩论赛，校际辩论赛决赛");
    const auto painted = [&](const std::string& text) {
        return std::ranges::any_of(view->Pieces(), [&](const platform::AudiencePiece& piece) { return piece.text == text; });
    };
    EXPECT_TRUE(painted("华语辩论赛") && !painted("主页"));
    Press(view.get(), Qt::Key_PageDown);  // stage 1
    Press(view.get(), Qt::Key_Space);
    EXPECT_EQ(frame.caption, form->lblCaption.Caption());
    ASSERT_TRUE(RunUntil([&] { return frame.countdowns[0].timeUp && frame.countdowns[0].overtimeSeconds >= 1; }));
    EXPECT_EQ(frame.countdowns[0].text, "00:00");
    EXPECT_TRUE(painted("超时 "));
    const QRect field = platform::ToQRect(view->Pieces()[2].box);  // caption, side, then the field behind the digits
    EXPECT_EQ(view->grab().toImage().pixelColor(field.topLeft() + QPoint(2, 2)).red(), 0xC8);
    EXPECT_EQ(view->accessibleDescription().toStdString(),
              frame.countdowns[0].side + " 00:00，超时 00:0" + std::to_string(frame.countdowns[0].overtimeSeconds));

    Press(view.get(), Qt::Key_R);  // nothing runs: at once
    EXPECT_FALSE(frame.countdowns[0].timeUp);
    EXPECT_EQ(frame.countdowns[0].text, form->lblTimer1.Caption());
    for (int key : {Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_Space, Qt::Key_Return}) Press(view.get(), key);  // stage 3
    EXPECT_TRUE(frame.countdowns[0].running && frame.countdowns[1].running);
    ASSERT_TRUE(RunUntil([&] { return !frame.countdowns[0].running && !frame.countdowns[1].running; }));
    EXPECT_FALSE(frame.countdowns[1].timeUp);  // an answer handed back at its zero runs no overtime
    Press(view.get(), Qt::Key_Backspace);
    EXPECT_TRUE(frame.home);
    Press(view.get(), Qt::Key_Escape);
    EXPECT_FALSE(view->IsOpen());
    EXPECT_EQ(form->errors.MessagesShown(), 0);
}

TEST_F(TwoScreens, AProjectorUnpluggedWhileOpenLeavesTheViewOnTheScreenThatRemains) {
    Start();
    Press(&form->window, Qt::Key_F5);
    ASSERT_EQ(Shown(), kProjector);
    // The signal Qt sends as a screen goes; the platform here cannot unplug one.
    emit qApp->screenRemoved(ScreenAt(kProjector));
    QCoreApplication::processEvents();
    EXPECT_EQ(Shown(), kLaptop);
    EXPECT_EQ(view->screen(), ScreenAt(kLaptop));
    emit qApp->screenAdded(ScreenAt(kProjector));
    QCoreApplication::processEvents();
    EXPECT_EQ(Shown(), kProjector);
}

TEST_F(TwoScreens, BadSettingsAreToldOnceAndTheAutomaticChoiceIsMade) {
    folder.Write("cut.jpg", "\xFF\xD8\xFF\xE0 not the rest");
    Start({{"AudienceScreen", "3"}, {"AudienceBackground", "cut.jpg"}, {"ButtonPadding", "-4"}});
    EXPECT_EQ(form->errors.MessagesShown(), 1);  // the picture and the padding, in the one start-up message
    for (int i = 0; i < 3; ++i) {
        Press(&form->window, Qt::Key_F5);
        EXPECT_EQ(Shown(), kProjector);
        Press(&form->window, Qt::Key_F5);
    }
    EXPECT_EQ(form->errors.MessagesShown(), 2);  // the screen, at the first opening only
    EXPECT_FALSE(view->HasBackground());
    window->Form_Unload();
    window.reset();
    EXPECT_NE(folder.Read("Tolvanexa.config").find("AudienceScreen = 3"), std::string::npos);
}

}  // namespace

// Two screens side by side, given to the offscreen platform before Qt starts.
int main(int argc, char** argv) {
    const std::string screens = (std::filesystem::temp_directory_path() / "tolvanexa-two-screens.json").string();
    std::ofstream(screens) << R"({"screens": [)"
                              R"({"name": "laptop", "x": 0, "y": 0, "width": 1366, "height": 768},)"
                              R"({"name": "projector", "x": 1366, "y": 0, "width": 1920, "height": 1080}]})";
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens).c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("ASAN_OPTIONS", "detect_leaks=0", 0);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
