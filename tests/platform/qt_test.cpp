// The Qt adapters on real widgets: labels, buttons, the bar, timers, error boxes, picture, faces, keys.
#include <QApplication>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "platform/qt/QtButton.h"
#include "platform/qt/QtErrorSink.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtLabel.h"
#include "platform/qt/QtTimer.h"
#include "platform/qt/QtWindow.h"

namespace platform {
namespace {

// The layout centres the timer rows on a label's size: its caption's extent in its font, plus one pixel.
TEST(QtLabel, SizesItselfToItsCaptionAndFont) {
    QWidget parent;
    QtLabel label(parent, "00:00", 4200, 2520, TextAlignment::Centre);
    ASSERT_TRUE(label.SetFontSize(36));
    label.SetCaption("100:00");
    const QFontMetricsF metrics(label.Widget()->font());
    EXPECT_DOUBLE_EQ(label.Width(), (std::ceil(metrics.horizontalAdvance("100:00")) + 1) * 15);
    EXPECT_DOUBLE_EQ(label.Height(), std::ceil(metrics.height()) * 15);
    const double width = label.Width();
    EXPECT_FALSE(label.SetFontSize(0));  // refused (the rule: ControlRules), the widget keeps its size
    EXPECT_EQ(label.Width(), width);
    // Colours are stored BBGGRR: swapped ends would paint the red warning blue.
    label.SetForeColor(kRed);
    EXPECT_EQ(label.Widget()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

// Dark pixels of an image, and the columns they span.
int Ink(const QImage& image, int* span = nullptr) {
    int dark = 0, first = image.width(), last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) ++dark, first = std::min(first, x), last = std::max(last, x);
    if (span != nullptr) *span = last - first + 1;
    return dark;
}
// The label as drawn, or (with `text`) its text in its font with nothing to clip it.
int InkOf(QLabel& label, int* span = nullptr, const QString& text = {}) {
    QImage image(text.isEmpty() ? label.size() : QSize(1200, 400), QImage::Format_RGB32);
    image.fill(Qt::white);
    if (text.isEmpty()) {
        label.render(&image);
    } else {
        QPainter painter(&image);
        painter.setFont(label.font());
        painter.drawText(QPointF(200, 250), text);
    }
    return Ink(image, span);
}

// Before, bold with the Hei face drew pixel for pixel as regular, and italic cut off the last digit's right edge.
TEST(QtLabel, BoldIsVisibleWithTheHeiFaceAndItalicIsNeverClipped) {
    if (!FontFamilyFor("黑体").contains(QStringLiteral("WenQuanYi"))) GTEST_SKIP() << "no WenQuanYi Zen Hei";
    QWidget parent;
    QtLabel label(parent, "00:59", 0, 0, TextAlignment::Centre);
    label.SetFontName("黑体");
    ASSERT_TRUE(label.SetFontSize(72));
    const int regular = InkOf(*label.Widget());
    label.SetFontBold(true);
    EXPECT_GT(InkOf(*label.Widget()), regular * 11 / 10);
    label.SetFontBold(false);
    label.SetFontItalic(true);
    int span = 0, unclipped = 0;
    InkOf(*label.Widget(), &span);
    InkOf(*label.Widget(), &unclipped, QStringLiteral("00:59"));
    EXPECT_GE(span, unclipped - 1);  // the last digit whole
}

TEST(QtButton, GeometryRoundTripsInTwipsAndLandsOnTheNearestPixels) {
    QWidget parent;
    QtButton button(parent, "开始", {});
    const std::pair<TwipRect, QRect> cases[] = {
        {{7.5, 22.5, 1200, 300}, {1, 2, 80, 20}}, {{-300, -150, 600, 300}, {-20, -10, 40, 20}},
        {{0, 0, -600, -300}, {0, 0, 0, 0}},
        {{1e12, 0, 15, 15}, {QWIDGETSIZE_MAX, 0, 0, 1}},  // Converting to int must not overflow.
    };
    for (const auto& [twips, pixels] : cases) {
        button.SetWidth(twips.width);
        button.SetHeight(twips.height);
        button.Move(twips.left, twips.top);
        EXPECT_EQ(std::vector<double>({button.Left(), button.Top(), button.Width(), button.Height()}),
                  std::vector<double>({twips.left, twips.top, twips.width, twips.height}));
        EXPECT_EQ(button.Widget()->geometry(), pixels);
    }
    // Qt's default coarse timer may stretch a countdown's second by 5%.
    EXPECT_EQ(QtTimer(1, TimerState::Stopped).Type(), Qt::PreciseTimer);
}

// "返回" rebuilds the bar, unloading the clicked button while Qt still delivers its click.
TEST(QtButtonArray, LoadCopiesMemberZeroHiddenAndUnloadingTheClickedButtonIsSafe) {
    QWidget parent;
    QtButtonArray bar(parent, "Command1", {0, 4560, 1095, 375});
    bar.Member(0).Widget()->setFont(QFont(QStringLiteral("DejaVu Sans"), 17));
    for (int i = 1; i <= 4; ++i) bar.Load(i);
    EXPECT_FALSE(bar[4].Visible());
    EXPECT_EQ(bar.Member(4).Widget()->font().pointSize(), 17);
    std::vector<int> clicks;
    bar.onClick = [&](int index) {
        clicks.push_back(index);
        for (int i = 1; i <= 4; ++i) bar.Unload(i);
    };
    QPointer<QPushButton> clicked = bar.Member(4).Widget();
    clicked->click();
    ASSERT_FALSE(clicked.isNull());
    clicked->click();  // Unloaded, it reports no more clicks.
    EXPECT_EQ(clicks, std::vector<int>{4});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(clicked.isNull());
}

// Runs the event loop until `done` holds, for at most a few seconds; answers `done`.
template <typename Condition>
bool ProcessEventsUntil(Condition done) {
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// The schedule the countdown plans: a first tick after the part of a second left (told apart from the
// interval by a minute's interval, not by milliseconds on a busy machine), and ticks missed while the event
// loop was held up come as one: the countdown makes up the time itself.
TEST(QtTimer, TicksFirstAfterTheDelayArmedAndAHoldUpDeliversOneTick) {
    QtTimer minute(60'000, TimerState::Stopped);
    int ticks = 0;
    minute.onTick = [&] { ++ticks; };
    minute.Arm(10);
    EXPECT_TRUE(ProcessEventsUntil([&] { return ticks == 1; }));
    minute.Arm(60'000);  // planned afresh: nothing for a minute
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 100) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_EQ(ticks, 1);

    QtTimer timer(40, TimerState::Running);
    std::size_t arrived = 0;
    timer.onTick = [&] { ++arrived; };
    ASSERT_TRUE(ProcessEventsUntil([&] { return arrived >= 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // seven ticks fall due, unseen
    const std::size_t before = arrived;
    waited.restart();
    while (waited.elapsed() < 30) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_GE(arrived - before, 1u);  // one for the seven, and perhaps the next one on time
    EXPECT_LE(arrived - before, 2u);
}

// Calls `then` on the modal box once the code under test has opened it and waits in it.
void WhenAsked(std::function<void(QMessageBox&)> then) {
    QTimer::singleShot(0, [then] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return ADD_FAILURE() << "no box";
        then(*box);
    });
}

// Start-up's message waits for the window and goes in front of it; a fault met on every tick opens one box only.
TEST(QtErrorSink, OneNonModalBoxPerDistinctMessageInFrontOfTheWindowThenBlockingBoxes) {
    QWidget window;
    QtErrorSink errors(window);
    for (const char* message : {"“ButtonPadding”的值无法使用", "“ButtonPadding”的值无法使用", "另一个错误"}) errors.Show(message);
    EXPECT_EQ(window.findChildren<QMessageBox*>().size(), 2);
    EXPECT_EQ(errors.OpenBoxes(), 0);  // the window is not on the screen yet
    window.show();
    ASSERT_TRUE(ProcessEventsUntil([&] { return errors.OpenBoxes() == 2; }));
    for (QMessageBox* box : window.findChildren<QMessageBox*>())
        EXPECT_TRUE(!box->isModal() && box->isVisible() && box->isWindow() && box->parentWidget() == &window);
    errors.Show("窗口显示之后的消息");
    EXPECT_EQ(errors.OpenBoxes(), 3);  // at once while the window is shown
    errors.SetModality(Modality::Blocking);
    bool shown = false;
    WhenAsked([&](QMessageBox& box) { shown = true, box.close(); });
    errors.Show("配置文件无法保存");
    EXPECT_TRUE(shown);
}

// A folder named "t<h1>BIG</h1>" is no heading nor "<img>" a picture, in every kind of box.
TEST(QtErrorSink, MessagesArePlainTextWithOneChineseOkButton) {
    const std::string message = "配置文件“/home/t<h1>BIG</h1>/<img src=\"x.png\">/Tolvanexa.config”无法保存。";
    QWidget window;
    window.show();
    QtErrorSink errors(window);
    int seen = 0;
    const auto check = [&](QMessageBox& box) {
        ++seen;
        EXPECT_EQ(box.text(), QString::fromStdString(message));
        ASSERT_EQ(box.buttons().size(), 1);
        EXPECT_EQ(box.buttons()[0]->text(), QStringLiteral("确定"));
        const QLabel* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
        box.close();
    };
    errors.Show(message);
    check(*window.findChild<QMessageBox*>());
    errors.SetModality(Modality::Blocking);
    WhenAsked(check);
    errors.Show(message);
    WhenAsked(check);
    QtErrorSink::ShowFatal(message);
    EXPECT_EQ(seen, 3);
}

// Before, an 800x600 screen opened the window at (-99,-30): its title bar out of reach.
TEST(QtWindow, OpensWithinTheScreensAvailableAreaAtItsDesignSizeWhereThatFits) {
    const QMargins frame(4, 30, 4, 4);
    const std::tuple<QRect, QMargins, QRect> cases[] = {
        {{0, 0, 1920, 1080}, frame, {460, 203, 1000, 701}},  // centred at its design size
        {{0, 0, 800, 600}, frame, {4, 30, 792, 566}},        // capped, the title bar on the screen
        {{0, 32, 1024, 736}, frame, {12, 63, 1000, 701}},    // a panel above: it just fits
        {{1920, 0, 1366, 768}, {}, {2103, 34, 1000, 701}},   // a second screen, no frame
        {{0, 0, 20, 20}, frame, {4, 30, 12, 1}},             // absurdly small: still reachable
    };
    for (const auto& [available, margins, placed] : cases)
        EXPECT_EQ(PlaceWithin(QSize(1000, 701), available, margins), placed);
    // The real window on the offscreen screen, narrower than the design: within the area, the frame's room left.
    QtWindow window("");
    window.CentreOnScreen();
    const QRect area = window.screen()->availableGeometry();
    ASSERT_LT(area.width(), 1000 + 16) << "the offscreen screen is wide enough; this checks nothing";
    EXPECT_TRUE(area.contains(window.geometry()));
    EXPECT_GE(window.geometry().top(), area.top() + 30);
}

// The design's face exists only on Windows; any other name is the user's choice.
TEST(FontFamilyFor, MapsOnlyTheHeiNamesToAnInstalledHeiFace) {
    for (const char* other : {"宋体", "DejaVu Sans", "", "SimHei Bold"}) EXPECT_EQ(FontFamilyFor(other), QString::fromUtf8(other));
    const QStringList hei{QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC")};
    if (!QFontDatabase::hasFamily(hei[0]) && !QFontDatabase::hasFamily(hei[1])) GTEST_SKIP() << "no Hei face";
    for (const char* name : {"黑体", "SimHei", "simhei", " 黑体 "}) EXPECT_TRUE(hei.contains(FontFamilyFor(name))) << name;
}

// Press and release, as the keyboard delivers them to the focused widget.
void Press(QWidget* target, int key, Qt::KeyboardModifiers modifiers = {}, bool autoRepeat = false) {
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, modifiers, QString(), autoRepeat);
        QApplication::sendEvent(target, &event);
    }
}

TEST(QtWindow, KeysReachOnKeyAndSpaceDoesNotClickTheFocusedButton) {
    QtWindow window("");
    QtButtonArray bar(window, "开始", {0, 0, 1200, 375});
    std::vector<Key> keys;
    window.onKey = [&](Key key) { return keys.push_back(key), true; };
    bool clicked = false;
    bar.onClick = [&](int) { clicked = true; };
    window.show();
    QPushButton* focused = bar.Member(0).Widget();
    focused->setFocus();
    using enum Qt::Key;
    for (int key : {Key_Space, Key_Return, Key_Enter, Key_Left, Key_Right, Key_R, Key_Backspace, Key_PageUp, Key_PageDown})
        Press(focused, key);
    // A held key and a shortcut are not the time-keeper's commands.
    Press(focused, Qt::Key_Space, {}, /*autoRepeat=*/true);
    Press(focused, Qt::Key_R, Qt::ControlModifier);
    using enum Key;
    EXPECT_EQ(keys, (std::vector<Key>{Space, Enter, Enter, Left, Right, R, Backspace, PageUp, PageDown}));
    EXPECT_FALSE(clicked);
    // A key that presses nothing on the page is the focused button's, as usual.
    window.onKey = [](Key) { return false; };
    Press(focused, Qt::Key_Space);
    EXPECT_TRUE(clicked);
    // Tab moves along the bar and Enter presses the button it reached.
    bar.Load(1);
    bar[1].SetVisible(true);
    std::vector<int> pressed;
    bar.onClick = [&](int index) { pressed.push_back(index); };
    Press(focused, Qt::Key_Tab);
    ASSERT_EQ(window.focusWidget(), bar.Member(1).Widget());
    Press(bar.Member(1).Widget(), Qt::Key_Return);
    EXPECT_EQ(pressed, std::vector<int>{1});
    Press(&window, Qt::Key_F11);
    EXPECT_TRUE(window.isFullScreen());
    Press(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isFullScreen());
}

// In front of the buttons the layout brings forward at every tick; gone on its timer, or at once when emptied.
TEST(QtWindow, HintShowsOverTheBottomEdgeInFrontOfTheBarAndGoes) {
    QtWindow window("");
    QtButtonArray bar(window, "重置", {0, 4560, 1095, 375});
    window.show();
    window.ShowHint("再按一次 Backspace 返回主页");
    window.ShowHint("再按一次 R 重置本环节");  // replaces the first
    QLabel* hint = nullptr;
    for (QLabel* label : window.findChildren<QLabel*>())
        if (label->isVisible()) hint = hint == nullptr ? label : (ADD_FAILURE() << "two hints", hint);
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->accessibleName(), QStringLiteral("再按一次 R 重置本环节"));
    const QRect place = hint->geometry();
    EXPECT_TRUE(window.rect().contains(place));
    EXPECT_GT(place.top(), window.height() - 2 * place.height());  // on the bottom edge
    bar.Member(0).Widget()->setGeometry(place.adjusted(-10, -10, 10, 10));
    bar[0].BringToFront();
    EXPECT_EQ(window.grab().toImage().pixelColor(place.topLeft() + QPoint(2, 2)), QColor(0x30, 0x30, 0x30));
    // Goes on a single shot of its timer, made short here so the test need not wait its two seconds.
    QTimer* timer = nullptr;
    for (QTimer* each : window.findChildren<QTimer*>())
        if (each->isActive() && each->isSingleShot() && each->interval() == 2000) timer = each;
    ASSERT_NE(timer, nullptr);
    timer->setInterval(1);
    EXPECT_TRUE(ProcessEventsUntil([&] { return !hint->isVisible(); }));
    // An empty hint, once the key has acted, takes it away at once.
    window.ShowHint("再按一次 R 重置本环节");
    window.ShowHint("");
    EXPECT_FALSE(hint->isVisible());
}

// The title bar's close asks, "否" by default; Close() (a signal, 退出) asks nothing and ends an open question.
// A second copy's call to the front restores a minimised window.
TEST(QtWindow, TheTitleBarsCloseAsksAndCloseEndsAnOpenQuestion) {
    QtWindow window("");
    int asked = 0;
    window.onCloseRequest = [&] { return ++asked, window.Confirm("确定要关闭计时器吗？"); };
    window.show();
    WhenAsked([&](QMessageBox& box) {
        EXPECT_EQ(box.parentWidget(), &window);
        EXPECT_EQ(box.textFormat(), Qt::PlainText);
        EXPECT_EQ(box.defaultButton()->text(), QStringLiteral("否"));
        box.defaultButton()->click();
    });
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    WhenAsked([](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons())
            if (button->text() == QStringLiteral("是")) button->click();
    });
    EXPECT_TRUE(window.close());
    window.show();
    window.Close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(asked, 2);
    window.showMinimized();
    window.BringToFront();
    EXPECT_TRUE(window.isVisible() && !window.isMinimized());
    WhenAsked([&](QMessageBox&) { window.Close(); });  // as SIGTERM does
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace platform

// Offscreen and silent unless told otherwise: the build lists the tests without ctest's environment.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) qputenv("SDL_AUDIODRIVER", "dummy");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
