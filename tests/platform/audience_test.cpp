// The audience view on real Qt widgets, fed frames made here: that Qt measures and paints the shared
// scene's pieces, what it paints again, its keys, and the pictures it refuses.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/AudienceScene.h"
#include "platform/qt/QtAudiencePainter.h"
#include "platform/qt/QtConvert.h"
#include "platform/FileSystem.h"
#include "platform/qt/QtAudienceView.h"
#include "platform/qt/QtPicture.h"
#include "support/OneColourGif.h"
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

// The share of `box` painted in light colours.
double LitShare(const QImage& image, const QRect& box) {
    int lit = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) lit += qGray(image.pixel(x, y)) > 128;
    return static_cast<double>(lit) / (box.width() * box.height());
}

const AudiencePiece* PieceOf(const std::vector<AudiencePiece>& pieces, const std::string& text) {
    const auto found = std::find_if(pieces.begin(), pieces.end(), [&](const AudiencePiece& p) { return p.text == text; });
    return found == pieces.end() ? nullptr : &*found;
}

std::vector<AudiencePiece> Compose(const AudienceFrame& frame, QSize size, QtAudienceFonts& fonts) {
    return ComposeAudience(frame, size.width(), size.height(), MeasureDigitFace(fonts), fonts);
}

// Qt measures each text as it paints it: whatever the text or the face, nothing is painted off the
// screen. A face that is not installed still shows the countdown, in the face Qt puts in its place.
TEST(AudienceScene, EveryTextFitsItsBoxOnTheScreen) {
    AudienceSettings missingFace;
    missingFace.timerFont.name = missingFace.captionFont.name = "No Such Face 0xDEAD";
    AudienceFrame longCaption = Speech("02:15", 135);
    longCaption.caption.clear();
    for (int i = 0; i < 1000; ++i) longCaption.caption += i % 2 ? "长" : "W";
    AudienceFrame both = Speech("100:00", 6000);
    both.countdowns[1] = {true, "00:00", "反方", 0, 20, false, true, true, 3599};
    for (const AudienceSettings& settings : {AudienceSettings{}, missingFace}) {
        QtAudienceFonts fonts(settings);
        for (const QSize size : {QSize(1920, 1080), QSize(320, 200)}) {
            for (const AudienceFrame& frame : {longCaption, both}) {
                SCOPED_TRACE(settings.timerFont.name + " " + std::to_string(size.width()));
                for (const AudiencePiece& piece : Compose(frame, size, fonts)) {
                    if (piece.text.empty()) continue;
                    const QRect box = ToQRect(piece.box);
                    const double width = QFontMetricsF(fonts.Font(piece.style)).horizontalAdvance(ToQString(piece.text));
                    EXPECT_TRUE(QRect(QPoint(), size).contains(box)) << piece.text.substr(0, 8);
                    EXPECT_LE(piece.originX + width, box.right() + 2.0) << piece.text.substr(0, 8);
                    EXPECT_GE(piece.originX, box.left() - 1.0) << piece.text.substr(0, 8);
                }
            }
        }
    }
    const QSize size(1280, 720);
    QtAudienceFonts fonts(missingFace);
    const std::vector<AudiencePiece> pieces = Compose(Speech("02:15", 135), size, fonts);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    PaintAudience(painter, pieces, QRegion(QRect(QPoint(), size)), fonts);
    painter.end();
    const AudiencePiece* digit = PieceOf(pieces, "5");
    ASSERT_NE(digit, nullptr);
    EXPECT_GT(digit->box.Height(), 0.3 * size.height());
    EXPECT_GT(LitShare(image, ToQRect(digit->box)), 0.05);
}

// The main window and its audience view, on the one offscreen screen.
class AudienceViewTest : public testing::Test {
protected:
    AudienceViewTest() {
        window.onKey = [&](Key key) { return keys.push_back(key), true; };
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
    std::vector<Key> keys;
};

// F5 opens it over the only screen, F5 or Esc close it, and none of them reaches the logic.
TEST_F(AudienceViewTest, F5OpensItOverTheOnlyScreenAndF5OrEscCloseIt) {
    Press(&window, Qt::Key_F5);
    ASSERT_TRUE(view.IsOpen());
    EXPECT_EQ(view.geometry(), window.screen()->geometry());
    EXPECT_TRUE(view.isFullScreen());
    Press(&view, Qt::Key_F11);  // full screen already: nothing happens, to either window
    EXPECT_TRUE(view.IsOpen());
    EXPECT_FALSE(window.isFullScreen());
    Press(&view, Qt::Key_F5);
    EXPECT_FALSE(view.IsOpen());
    Press(&window, Qt::Key_F5);
    Press(&view, Qt::Key_Escape);
    EXPECT_FALSE(view.IsOpen());
    // Esc in the main window closes the view first, then leaves full screen.
    window.showFullScreen();
    Press(&window, Qt::Key_F5);
    Press(&window, Qt::Key_Escape);
    EXPECT_FALSE(view.IsOpen());
    EXPECT_TRUE(window.isFullScreen());
    EXPECT_TRUE(keys.empty());
}

// Over the only screen the view hides the main window, so the hint a first R or Backspace asks for is
// shown on the view as well, and goes when emptied or when the view closes.
TEST_F(AudienceViewTest, CoveringTheMainWindowItShowsItsHint) {
    const auto shownHint = [&]() -> QLabel* {
        for (QLabel* label : view.findChildren<QLabel*>())
            if (label->isVisible()) return label;
        return nullptr;
    };
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

// A second of a running countdown repaints what the scene says changed, and the same frame again nothing.
TEST_F(AudienceViewTest, PaintsThePublishedFrameAndRepaintsOnlyWhatChanged) {
    view.Publish(Speech("02:15", 135));
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
    AudienceFrame next = Speech("02:14", 134);  // a second later, on the countdown and the clock
    next.clock = "14:03:28";
    view.Publish(next);
    view.Publish(view.Frame());  // the same frame again paints nothing more
    QCoreApplication::processEvents();
    // Which pieces are painted again is the shared scene's (AudienceScene_test); here, that Qt paints them.
    EXPECT_EQ(spy.painted, ToQRegion(ChangedBoxes(before, view.Pieces(), view.width(), view.height())));
    EXPECT_FALSE(spy.painted.isEmpty());
    const AudiencePiece* digit = PieceOf(view.Pieces(), "4");
    ASSERT_NE(digit, nullptr);
    EXPECT_GT(LitShare(view.grab().toImage(), ToQRect(digit->box)), 0.05);
}

TEST_F(AudienceViewTest, ThePointerLeavesItWhenItRests) {
    view.Open();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (view.cursor().shape() != Qt::BlankCursor && std::chrono::steady_clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
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
        std::filesystem::create_directory(folder.File("pictures"));
        for (const auto& [name, cut] : {std::pair("pictures/hall.png", "cut-hall.png"), {"hall.jpg", "cut-hall.jpg"}}) {
            image.save(QString::fromStdString(folder.File(name)));
            folder.Write(cut, folder.Read(name).substr(0, folder.Read(name).size() / 2));
        }
        // A bitmap that declares 10000 x 10000 pixels in a few dozen bytes.
        QImage(8, 8, QImage::Format_RGB32).save(QString::fromStdString(folder.File("small.bmp")));
        std::string huge = folder.Read("small.bmp");
        folder.Write("huge.bmp", huge.replace(18, 8, std::string("\x10\x27\x00\x00\x10\x27\x00\x00", 8)));
        // Rows top-down, as a negative height says: Qt's reader answers that height for the size.
        folder.Write("huge-topdown.bmp", huge.replace(22, 4, std::string("\xF0\xD8\xFF\xFF", 4)));
        QImage mono(2400, 1200, QImage::Format_Mono);
        mono.fill(1);
        mono.save(QString::fromStdString(folder.File("wide.bmp")));
        std::string wideBmp = folder.Read("wide.bmp");
        folder.Write("wide-topdown.bmp", wideBmp.replace(22, 4, std::string("\x50\xFB\xFF\xFF", 4)));
        folder.Write("notes.png", "这不是图片\r\n");
        // The largest GIF read: Qt decodes GIF whole only, 256 MB; and one that declares past it.
        folder.Write("huge.gif", testsupport::OneColourGif(8192, 8192, 0x1E5AA0));
        folder.Write("toolarge.gif", testsupport::OneColourGif(8193, 8, 0x1E5AA0));
        // A strip one pixel wide, and a JPEG larger than any screen the tests have.
        QImage strip(1, 8192, QImage::Format_RGB32);
        strip.fill(QColor(30, 90, 160));
        strip.save(QString::fromStdString(folder.File("strip.png")));
        QImage wide(3000, 2500, QImage::Format_RGB32);
        wide.fill(QColor(30, 90, 160));
        wide.save(QString::fromStdString(folder.File("wide.jpg")));
        ::mkfifo(folder.File("pipe.png").c_str(), 0600);
    }
    testsupport::TestFolder folder;
};

// Named as a configuration from Windows does: beside the program, with backslashes.
TEST_F(Pictures, OnlyAWholeRegularPictureOfAReasonableSizeIsRead) {
    const std::vector<std::pair<std::string, PictureFault>> cases = {
        {"pictures\\hall.png", PictureFault::None}, {"hall.jpg", PictureFault::None},
        {"missing.png", PictureFault::Missing},     {"", PictureFault::Missing},
        {".", PictureFault::Missing},               {"pipe.png", PictureFault::NotRegular},  // never opened: it would wait
        {"huge.bmp", PictureFault::TooLarge},       {"cut-hall.png", PictureFault::Unreadable},
        {"cut-hall.jpg", PictureFault::Unreadable}, {"notes.png", PictureFault::Unreadable},
        {"huge.gif", PictureFault::None},           {"strip.png", PictureFault::None},
        {"toolarge.gif", PictureFault::TooLarge},   {"huge-topdown.bmp", PictureFault::TooLarge},
        {"wide-topdown.bmp", PictureFault::None},
    };
    for (const auto& [name, fault] : cases) {
        EXPECT_EQ(ReadPicture(name, folder.Path(), PictureUse::Cover, QSize(1920, 1080)).fault, fault) << name;
    }
    // A large picture is decoded no larger than the screen it covers needs, and
    // for the main window only the part a screen can show from its corner.
    EXPECT_EQ(ReadPicture("hall.jpg", folder.Path(), PictureUse::Cover, QSize(960, 400)).image.size(), QSize(960, 540));
    for (const std::string name : {"wide.jpg", "huge.gif", "wide-topdown.bmp"}) {
        EXPECT_EQ(ReadPicture(name, folder.Path(), PictureUse::TopLeft, QSize(1920, 1080)).image.size(),
                  QSize(1920, 1080)) << name;
    }
    const QImage gif = ReadPicture("huge.gif", folder.Path(), PictureUse::Cover, QSize(1920, 1080)).image;
    EXPECT_EQ(gif.size(), QSize(1920, 1920));
    EXPECT_EQ(gif.pixelColor(1919, 1919), QColor(30, 90, 160));
}

// The main window's Background is read the same way: a pipe named there would hold start-up forever. A file it
// cannot use keeps the old picture: it must never blank the hall's background.
TEST_F(Pictures, TheMainWindowNeverOpensAPipeNorAHugePicture) {
    QtWindow window(folder.Path());
    ::alarm(20);  // a regression hangs in open(): end it
    for (const std::string& special : {folder.File("pipe.png"), std::string("/dev/zero")})
        EXPECT_EQ(window.LoadPicture(special), PictureFault::NotRegular) << special;  // refused unopened
    ::alarm(0);
    ASSERT_EQ(window.LoadPicture("pictures\\hall.png"), PictureFault::None);
    for (const std::string bad : {"huge.bmp", "toolarge.gif", "missing.png", "cut-hall.jpg", "notes.png", ""})
        EXPECT_NE(window.LoadPicture(bad), PictureFault::None) << bad;
    EXPECT_EQ(window.grab().toImage().pixelColor(5, 5), QColor(30, 90, 160));
}

TEST_F(Pictures, TheViewDrawsItsBackgroundOnlyWhenThePictureIsWhole) {
    QtWindow window("");
    QtAudienceView view(window, folder.Path());
    AudienceSettings settings;
    for (const auto& [name, fault] :
         std::vector<std::pair<std::string, PictureFault>>{{"cut-hall.jpg", PictureFault::Unreadable}, {"hall.jpg", PictureFault::None}}) {
        settings.background = name;
        EXPECT_EQ(view.Configure(settings), fault) << name;
        EXPECT_EQ(view.HasBackground(), fault == PictureFault::None) << name;
    }
    view.Open();
    QCoreApplication::processEvents();
    for (const std::string name : {"hall.jpg", "strip.png", "huge.gif"}) {
        settings.background = name;
        ASSERT_EQ(view.Configure(settings), PictureFault::None) << name;
        QCoreApplication::processEvents();
        // The picture, veiled, behind the text: a strip of any shape covers the view too.
        const QColor corner = view.grab().toImage().pixelColor(2, 2);
        EXPECT_GT(corner.blue(), corner.red()) << name;
        EXPECT_LT(corner.blue(), 160) << name;
    }
}

}  // namespace
}  // namespace platform
