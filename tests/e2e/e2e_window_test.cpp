// The real window: the home page as first seen, and F2 as the program wires it.
// (A whole debate, ended with "退出", runs in e2e_formats_test.)
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "app/StartWindow.h"
#include "e2e/e2e_support.h"
#include "support/OneColourGif.h"
#include "platform/qt/QtSummaryWindow.h"

namespace e2e {
namespace {

// The home page's bar: 13 buttons and 7 gaps.
const std::vector<std::string> kHomeBar = {"正", "反方一辩发言", "", "正", "反二选择正二、三", "", "正",
    "反三选择正二、三", "", "正", "反一辩攻辩小结", "", "自由辩论", "", "反", "正方四辩总结陈词", "", "关于", "", "退出"};

TEST(RealHomePage, ShowsTheTitleTheBarFlushWithTheBottomAndTheClockInTheCorner) {
    testsupport::TestFolder folder;
    folder.Write("Tolvanexa.config",
                 NormalisedConfig({{"ApplicationTitle", "华语辩论赛"}, {"ButtonPadding", "18"}, {"SeparatorWidth", "12"}}));
    RealWindow real(folder.Path());
    const platform::QtWindow& window = real.form.window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("华语辩论赛 - 主页"));
    ASSERT_EQ(real.form.cmdCommand.UBound() + 1, static_cast<int>(kHomeBar.size()));
    for (int i = 0; i < static_cast<int>(kHomeBar.size()); ++i) {
        const std::string& caption = kHomeBar[static_cast<std::size_t>(i)];
        SCOPED_TRACE(std::to_string(i) + " " + caption);
        const QPushButton& widget = *real.form.cmdCommand.Member(i).Widget();
        EXPECT_EQ(widget.text().toStdString(), caption);
        EXPECT_EQ(widget.isVisible(), !caption.empty());
        // Flush with the bottom edge, the caption whole (where along the bar: the core's LayoutTest).
        EXPECT_EQ(widget.geometry().bottom() + 1, window.height());
        EXPECT_TRUE(caption.empty() || widget.width() > widget.fontMetrics().horizontalAdvance(widget.text()));
    }
    const QPushButton& clock = *real.form.cmdTime.Widget();
    EXPECT_EQ(clock.geometry().bottomRight() + QPoint(1, 1), QPoint(window.width(), window.height()));
    EXPECT_GT(clock.width(), clock.fontMetrics().horizontalAdvance(clock.text()));
}

// F2 is wired as the program wires it. While a speech runs it only shows its hint and the summary stays shut
// (it would cover the digits, and on a mirrored screen show itself to the hall); paused, F2 opens it; as the
// countdown runs again it steps aside.
// A background the window cannot show is told at start-up, naming the setting, its value and the file.
TEST(RealBackground, APictureItCannotShowIsToldAtStartUp) {
    testsupport::TestFolder folder;
    folder.Write("huge.gif", testsupport::OneColourGif(8193, 8, 0));  // past the largest side read
    folder.Write("Tolvanexa.config", NormalisedConfig({{"Background", "huge.gif"}}));
    RealWindow real(folder.Path());
    QCoreApplication::processEvents();
    std::string told;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box != nullptr && box->isVisible()) {
            told += box->text().toStdString();
            box->close();
        }
    }
    for (const std::string part : {"Tolvanexa.config", "“Background”的值“huge.gif”", "宽或高超过 8192 像素", "窗口不显示这张背景图片"}) {
        EXPECT_NE(told.find(part), std::string::npos) << part << " missing from: " << told;
    }
}

TEST(RealSummaryKey, TheSummaryOpensOnlyWhileNoCountdownRuns) {
    struct NoHallView {
        bool CoversMainWindow() const { return false; }
        void Close() {}
    } hall;
    testsupport::TestFolder folder;
    folder.Write("Tolvanexa.config", NormalisedConfig({{"Stage1Timer1", "600"}}));
    RealWindow real(folder.Path());
    platform::QtSummaryWindow summary(real.form.window, [] { return std::vector<platform::DebateEvent>{}; },
                                      folder.Path(), real.form.errors);
    WireSummaryKey(real.window, real.form, summary, hall);
    const auto pressF2 = [&real] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F2, {});
        QApplication::sendEvent(&real.form.window, &press);
        QCoreApplication::processEvents();
    };
    const auto hintShown = [&real] {
        for (const QLabel* label : real.form.window.findChildren<QLabel*>())
            if (label->isVisible() && label->text().contains(QStringLiteral("F2"))) return true;
        return false;
    };
    real.window.ShowPage(1);
    real.form.cmdCommand.Member(0).Widget()->click();  // 开始
    ASSERT_TRUE(real.form.tmrTimer1.Enabled());
    pressF2();
    EXPECT_FALSE(summary.isVisible());
    EXPECT_TRUE(hintShown());
    real.form.cmdCommand.Member(1).Widget()->click();  // 暂停
    pressF2();
    EXPECT_TRUE(summary.isVisible());
    real.form.cmdCommand.Member(1).Widget()->click();  // 继续
    EXPECT_TRUE(real.form.tmrTimer1.Enabled());
    EXPECT_FALSE(summary.isVisible());
}

}  // namespace
}  // namespace e2e

// No window's closing ends the tests, no cue reaches the speakers (nor from child programs); Qt's leaks aren't ours.
// The offscreen screen is a projector's 1920x1080, wider than the window's design, for the child programs too.
int main(int argc, char** argv) {
    const std::string screen = "/tmp/tolvanexa-e2e-screen-" + std::to_string(getpid()) + ".json";
    const char* platform = getenv("QT_QPA_PLATFORM");
    if (platform == nullptr || std::string(platform) == "offscreen") {
        std::ofstream(screen) << R"({"screens": [{"name": "projector", "x": 0, "y": 0, "width": 1920, "height": 1080,)"
                                 R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
        setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screen).c_str(), 1);
    }
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("ASAN_OPTIONS", "detect_leaks=0", 0);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    std::remove(screen.c_str());
    return status;
}
