// The audience view on real Qt widgets, fed frames made here: what it paints,
// what it paints again, its texts for assistive technology, its keys, and the
// pictures it refuses.
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/AudienceText.h"
#include "platform/FileSystem.h"
#include "platform/qt/QtAudienceView.h"
#include "platform/qt/QtPicture.h"
#include "platform/qt/QtWindow.h"
#include "support/TestFolder.h"

namespace platform {
namespace {

AudienceFrame Speech(const std::string& text, int left, bool running = true) {
    AudienceFrame frame;
    frame.home = false;
    frame.title = "华语辩论赛";
    frame.caption = "正方一辩发言";
    frame.clock = "14:03:27";
    frame.countdowns[0] = {true, text, "正方", left, 180, running, left <= 30, false, 0};
    return frame;
}

// The frame one second later: one second off the countdown and onto the clock.
AudienceFrame NextSecond(AudienceFrame frame) {
    frame.countdowns[0].secondsLeft -= 1;
    frame.countdowns[0].text = "02:14";
    frame.clock = "14:03:28";
    return frame;
}

QRect Screen(QSize size) { return {QPoint(0, 0), size}; }

// The share of `box` painted in light colours.
double LitShare(const QImage& image, const QRect& box) {
    int lit = 0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) lit += qGray(image.pixel(x, y)) > 128;
    }
    return static_cast<double>(lit) / (box.width() * box.height());
}

std::vector<AudiencePiece> TextPieces(const std::vector<AudiencePiece>& pieces) {
    std::vector<AudiencePiece> texts;
    for (const AudiencePiece& piece : pieces) {
        if (!piece.text.isEmpty()) texts.push_back(piece);
    }
    return texts;
}

// Whatever the text or the face, nothing is painted off the screen: each text fits the box it is clipped to.
TEST(AudienceScene, EveryTextFitsItsBoxOnTheScreen) {
    AudienceSettings missingFace;
    missingFace.timerFont.name = "No Such Face 0xDEAD";
    missingFace.captionFont.name = "No Such Face 0xDEAD";
    AudienceFrame longCaption = Speech("02:15", 135);
    longCaption.caption.clear();
    for (int i = 0; i < 1000; ++i) longCaption.caption += i % 2 ? "长" : "W";
    AudienceFrame longTitle;
    longTitle.title = longCaption.caption;
    longTitle.caption = longCaption.caption;
    AudienceFrame both = Speech("100:00", 6000);
    both.countdowns[1] = {true, "00:00", "反方", 0, 20, false, true, true, 3599};

    for (const AudienceSettings& settings : {AudienceSettings{}, missingFace}) {
        const AudienceFaces faces = MakeAudienceFaces(settings);
        for (const QSize size : {QSize(1920, 1080), QSize(1024, 768), QSize(1080, 1920), QSize(320, 200)}) {
            for (const AudienceFrame& frame : {longCaption, longTitle, both}) {
                SCOPED_TRACE(settings.timerFont.name + " " + std::to_string(size.width()));
                for (const AudiencePiece& piece : TextPieces(ComposeAudience(frame, size, faces))) {
                    EXPECT_TRUE(Screen(size).contains(piece.box)) << piece.text.left(8).toStdString();
                    const double width = QFontMetricsF(piece.font).horizontalAdvance(piece.text);
                    EXPECT_LE(piece.origin.x() + width, piece.box.right() + 2.0) << piece.text.left(8).toStdString();
                    EXPECT_GE(piece.origin.x(), piece.box.left() - 1.0) << piece.text.left(8).toStdString();
                }
            }
        }
    }
}

// A face that is not installed still shows the countdown, in the face Qt puts in its place.
TEST(AudienceScene, AMissingTimerFaceStillPaintsTheDigits) {
    AudienceSettings settings;
    settings.timerFont.name = "No Such Face 0xDEAD";
    const QSize size(1280, 720);
    const std::vector<AudiencePiece> pieces = ComposeAudience(Speech("02:15", 135), size, MakeAudienceFaces(settings));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    PaintPieces(painter, pieces, QRegion(Screen(size)));
    painter.end();
    const auto digit = std::find_if(pieces.begin(), pieces.end(), [](const AudiencePiece& p) { return p.text == "5"; });
    ASSERT_NE(digit, pieces.end());
    EXPECT_GT(digit->box.height(), 0.3 * size.height());
    EXPECT_GT(LitShare(image, digit->box), 0.05);
}

// A second of a running countdown repaints the digit that moved, a sliver of the bar and the clock's seconds.
TEST(AudienceScene, ASecondRepaintsOnlyWhatChanged) {
    const QSize size(1920, 1080);
    const AudienceFaces faces = MakeAudienceFaces({});
    const std::vector<AudiencePiece> before = ComposeAudience(Speech("02:15", 135), size, faces);
    const std::vector<AudiencePiece> after = ComposeAudience(NextSecond(Speech("02:15", 135)), size, faces);
    const QRegion changed = ChangedRegion(before, after, size);
    int area = 0;
    for (const QRect& rect : changed) area += rect.width() * rect.height();
    EXPECT_GT(area, 0);
    EXPECT_LT(area, size.width() * size.height() / 8);
    for (const AudiencePiece& piece : after) {
        const bool unchanged = piece.text == "正方一辩发言" || piece.text == "正方" || piece.text == "0" ||
                               piece.text == "2" || piece.text == ":" || piece.text == "1";
        // Neighbouring cells may share the pixels of an edge, no more.
        EXPECT_TRUE(!unchanged || !changed.intersects(piece.box.adjusted(2, 2, -2, -2))) << piece.text.toStdString();
    }
    // A change of page or of the number of countdowns is a new picture.
    AudienceFrame two = Speech("02:15", 135);
    two.countdowns[1] = {true, "00:20", "反方", 20, 20, false, true, false, 0};
    EXPECT_EQ(ChangedRegion(before, ComposeAudience(two, size, faces), size), QRegion(Screen(size)));
}

TEST(AudienceScene, TextsForAssistiveTechnology) {
    AudienceFrame frame = Speech("00:00", 0, false);
    frame.countdowns[0].timeUp = true;
    frame.countdowns[0].overtimeSeconds = 67;
    frame.countdowns[1] = {true, "00:20", "反方", 20, 20, false, true, false, 0};
    EXPECT_EQ(AudienceName(frame).toStdString(), "正方一辩发言");
    EXPECT_EQ(AudienceDescription(frame).toStdString(), "正方 00:00，超时 01:07；反方 00:20");
    AudienceFrame home;
    home.title = "华语辩论赛";
    EXPECT_EQ(AudienceName(home).toStdString(), "华语辩论赛");
    home.caption = "决赛";
    EXPECT_EQ(AudienceName(home).toStdString(), "华语辩论赛，决赛");
}

// Free debate: the side whose clock runs is marked, the other dimmed; with
// both stopped neither is dimmed; a hidden countdown takes no place and the
// longer text sets the size both share.
TEST(AudienceScene, TheWaitingSideIsDimmedOnlyWhileTheOtherRuns) {
    AudienceFrame frame = Speech("01:05", 65, false);
    frame.countdowns[1] = {true, "100:00", "反方", 6000, 6000, true, false, false, 0};
    ShownCountdowns shown = CountdownsShown(frame);
    ASSERT_EQ(shown.shown.size(), 2u);
    EXPECT_TRUE(shown.shown[0].waiting);
    EXPECT_FALSE(shown.shown[1].waiting);
    EXPECT_EQ(shown.widest, "100:00");

    frame.countdowns[1].running = false;
    shown = CountdownsShown(frame);
    EXPECT_FALSE(shown.shown[0].waiting || shown.shown[1].waiting);

    frame.countdowns[0].shown = false;
    shown = CountdownsShown(frame);
    ASSERT_EQ(shown.shown.size(), 1u);
    EXPECT_EQ(shown.shown[0].countdown, &frame.countdowns[1]);
}

// The main window and its audience view, on the one offscreen screen.
class AudienceViewTest : public testing::Test {
protected:
    AudienceViewTest() {
        window.show();
        QCoreApplication::processEvents();
    }
    void Press(QWidget* target, int key) {
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, key, Qt::NoModifier);
            QApplication::sendEvent(target, &event);
        }
        QCoreApplication::processEvents();
    }

    QtWindow window{""};
    QtAudienceView view{window, ""};
};

TEST_F(AudienceViewTest, F5OpensItOverTheOnlyScreenAndF5OrEscCloseIt) {
    std::vector<Key> keys;
    window.onKey = [&](Key key) { return keys.push_back(key), true; };
    Press(&window, Qt::Key_F5);
    ASSERT_TRUE(view.IsOpen());
    EXPECT_EQ(view.geometry(), window.screen()->geometry());
    EXPECT_TRUE(view.isFullScreen());
    EXPECT_TRUE(view.windowFlags() & Qt::FramelessWindowHint);
    Press(&view, Qt::Key_F11);  // full screen already: nothing happens, to either window
    EXPECT_TRUE(view.IsOpen());
    EXPECT_FALSE(window.isFullScreen());
    Press(&view, Qt::Key_F5);
    EXPECT_FALSE(view.IsOpen());
    Press(&window, Qt::Key_F5);
    Press(&view, Qt::Key_Escape);
    EXPECT_FALSE(view.IsOpen());
    view.Open();
    view.close();  // Alt+F4 from the desktop
    EXPECT_FALSE(view.IsOpen());
    // Esc in the main window closes the view first, then leaves full screen.
    window.showFullScreen();
    Press(&window, Qt::Key_F5);
    Press(&window, Qt::Key_Escape);
    EXPECT_FALSE(view.IsOpen());
    EXPECT_TRUE(window.isFullScreen());
    EXPECT_TRUE(keys.empty());
}

TEST_F(AudienceViewTest, KeysTypedIntoItActAsInTheMainWindow) {
    std::vector<Key> keys;
    window.onKey = [&](Key key) { return keys.push_back(key), true; };
    view.Open();
    for (int key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Left, Qt::Key_Right, Qt::Key_R, Qt::Key_Backspace})
        Press(&view, key);
    using enum Key;
    EXPECT_EQ(keys, (std::vector<Key>{Space, Enter, Left, Right, R, Backspace}));
}

// Over the only screen the view hides the main window, so the hint a first R or Backspace asks for is
// shown on the view as well, readable by its accessible name, and goes when emptied or when the view closes.
TEST_F(AudienceViewTest, CoveringTheMainWindowItShowsItsHint) {
    const auto shownHint = [&]() -> QLabel* {
        for (QLabel* label : view.findChildren<QLabel*>())
            if (label->isVisible()) return label;
        return nullptr;
    };
    window.ShowHint("再按一次 R 重置本环节");
    EXPECT_EQ(shownHint(), nullptr);  // closed: nothing to show it on
    view.Open();
    ASSERT_TRUE(view.CoversMainWindow());
    window.ShowHint("再按一次 R 重置本环节");
    QLabel* hint = shownHint();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->accessibleName(), QStringLiteral("再按一次 R 重置本环节"));
    EXPECT_TRUE(view.rect().contains(hint->geometry()));
    window.ShowHint("");
    EXPECT_EQ(shownHint(), nullptr);
    window.ShowHint("再按一次 Backspace 返回主页");
    view.Close();
    EXPECT_FALSE(hint->isVisible());
}

TEST_F(AudienceViewTest, PaintsThePublishedFrameAndRepaintsOnlyWhatChanged) {
    view.Publish(Speech("02:15", 135));
    EXPECT_EQ(view.accessibleName().toStdString(), "正方一辩发言");
    EXPECT_EQ(view.accessibleDescription().toStdString(), "正方 02:15");
    view.Open();
    QCoreApplication::processEvents();

    struct PaintSpy final : QObject {
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
            return false;
        }
        QRegion painted;
    } spy;
    view.installEventFilter(&spy);
    const std::vector<AudiencePiece> before = view.Pieces();
    view.Publish(NextSecond(Speech("02:15", 135)));
    view.Publish(view.Frame());  // the same frame again paints nothing more
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.painted, ChangedRegion(before, view.Pieces(), view.size()));
    EXPECT_FALSE(spy.painted.isEmpty());
    EXPECT_EQ(view.accessibleDescription().toStdString(), "正方 02:14");

    const QImage shown = view.grab().toImage();
    const auto digit = std::find_if(view.Pieces().begin(), view.Pieces().end(),
                                    [](const AudiencePiece& p) { return p.text == "4"; });
    ASSERT_NE(digit, view.Pieces().end());
    EXPECT_GT(LitShare(shown, digit->box), 0.05);
}

TEST_F(AudienceViewTest, ThePointerLeavesItWhenItRests) {
    view.Open();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (view.cursor().shape() != Qt::BlankCursor && std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_EQ(view.cursor().shape(), Qt::BlankCursor);
    QMouseEvent move(QEvent::MouseMove, QPointF(10, 10), QPointF(10, 10), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &move);
    EXPECT_NE(view.cursor().shape(), Qt::BlankCursor);
}

// ---- Pictures a setting names ----

class Pictures : public testing::Test {
protected:
    Pictures() {
        QImage image(1920, 1080, QImage::Format_RGB32);
        image.fill(QColor(30, 90, 160));
        image.save(QString::fromStdString(folder.File("hall.png")));
        image.save(QString::fromStdString(folder.File("hall.jpg")));
        for (const char* name : {"hall.png", "hall.jpg"}) {
            const std::string whole = folder.Read(name);
            folder.Write(std::string("cut-") + name, whole.substr(0, whole.size() / 2));
        }
        // A bitmap that declares 10000 x 10000 pixels in a few dozen bytes.
        QImage(8, 8, QImage::Format_RGB32).save(QString::fromStdString(folder.File("small.bmp")));
        std::string huge = folder.Read("small.bmp");
        huge.replace(18, 8, std::string("\x10\x27\x00\x00\x10\x27\x00\x00", 8));
        folder.Write("huge.bmp", huge);
        folder.Write("notes.png", "这不是图片\r\n");
        ::mkfifo(folder.File("pipe.png").c_str(), 0600);
    }
    testsupport::TestFolder folder;
};

TEST_F(Pictures, OnlyAWholeRegularPictureOfAReasonableSizeIsRead) {
    const std::vector<std::pair<std::string, PictureFault>> cases = {
        {"hall.png", PictureFault::None},        {"hall.jpg", PictureFault::None},
        {"missing.png", PictureFault::Missing},  {"", PictureFault::Missing},
        {".", PictureFault::Missing},            {"pipe.png", PictureFault::NotRegular},  // never opened: it would wait
        {"huge.bmp", PictureFault::TooLarge},    {"cut-hall.png", PictureFault::Unreadable},
        {"cut-hall.jpg", PictureFault::Unreadable}, {"notes.png", PictureFault::Unreadable},
    };
    for (const auto& [name, fault] : cases) {
        EXPECT_EQ(ReadPicture(name, folder.Path()).fault, fault) << name;
    }
    // A large picture is decoded no larger than the screen it covers needs.
    const PictureRead read = ReadPicture("hall.jpg", folder.Path(), QSize(960, 400));
    EXPECT_EQ(read.image.size(), QSize(960, 540));
}

// The main window's Background is read the same way: a pipe named there would hold start-up forever.
TEST_F(Pictures, TheMainWindowNeverOpensAPipeNorAHugePicture) {
    QtWindow window(folder.Path());
    EXPECT_THROW(window.LoadPicture(folder.File("pipe.png")), FileError);  // refused with a reason to tell
    EXPECT_FALSE(window.LoadPicture("huge.bmp"));
    EXPECT_TRUE(window.LoadPicture(folder.File("hall.png")));
}

TEST_F(Pictures, TheViewDrawsItsBackgroundOnlyWhenThePictureIsWhole) {
    QtWindow window("");
    QtAudienceView view(window, folder.Path());
    AudienceSettings settings;
    for (const auto& [name, fault] : std::vector<std::pair<std::string, PictureFault>>{
             {"cut-hall.jpg", PictureFault::Unreadable}, {"pipe.png", PictureFault::NotRegular}, {"hall.png", PictureFault::None}}) {
        settings.background = name;
        EXPECT_EQ(view.Configure(settings), fault) << name;
        EXPECT_EQ(view.HasBackground(), fault == PictureFault::None) << name;
    }
    view.Open();
    QCoreApplication::processEvents();
    const QColor corner = view.grab().toImage().pixelColor(2, 2);
    EXPECT_GT(corner.blue(), corner.red());  // the picture, veiled, behind the text
    EXPECT_LT(corner.blue(), 160);
}

}  // namespace
}  // namespace platform
