// The real top-level window: its measures in twips, the background picture
// and the keys the time-keeper presses.
#include <QApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QKeyEvent>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/qt/QtButton.h"
#include "platform/qt/QtConvert.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtWindow.h"
#include "platform/qt_test_folder.h"

namespace platform {
namespace {

using TemporaryFolder = qttest::TestFolder;

const QColor kPictureColour(10, 200, 30);

void SavePicture(const TemporaryFolder& folder, const std::string& name, const char* format, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(kPictureColour);
    ASSERT_TRUE(image.save(QString::fromStdString(folder.File(name)), format));
}

TEST(QtWindow, DesignClientAreaIs15000By10515Twips) {
    QtWindow window("");
    EXPECT_DOUBLE_EQ(window.ScaleWidth(), 15000);
    EXPECT_DOUBLE_EQ(window.ScaleHeight(), 10515);
}

TEST(QtWindow, ResizeIsReportedAndReadInTwips) {
    QtWindow window("");
    window.show();
    int resizes = 0;
    window.onResize = [&] { ++resizes; };
    window.resize(640, 480);
    QApplication::processEvents();
    EXPECT_GE(resizes, 1);
    EXPECT_DOUBLE_EQ(window.ScaleWidth(), 640 * 15);
    EXPECT_DOUBLE_EQ(window.ScaleHeight(), 480 * 15);
}

// The bar's buttons are sized by these measures, so they must be taken in
// the font the buttons draw in: the window's.
TEST(QtWindow, TextIsMeasuredInTheWindowsFont) {
    QtWindow window("");
    QWidget child(&window);
    EXPECT_EQ(child.font(), window.font());
    const QFontMetricsF metrics(window.font());
    EXPECT_DOUBLE_EQ(window.TextWidth("反方一辩发言"), metrics.horizontalAdvance(QStringLiteral("反方一辩发言")) * 15);
    EXPECT_DOUBLE_EQ(window.TextHeight("12:34:56"), metrics.height() * 15);
    EXPECT_DOUBLE_EQ(window.TextWidth(""), 0);
}

TEST(QtWindow, TitleRoundTripsInUtf8) {
    QtWindow window("");
    window.SetTitle("全国大学生辩论赛 - 主页");
    EXPECT_EQ(window.Title(), "全国大学生辩论赛 - 主页");
    EXPECT_EQ(window.windowTitle(), QStringLiteral("全国大学生辩论赛 - 主页"));
}

class QtWindowPicture : public testing::Test {
protected:
    QtWindowPicture() : window(folder.Path()) { SavePicture(folder, "good.png", "PNG", QSize(40, 30)); }

    TemporaryFolder folder;
    QtWindow window;
};

TEST_F(QtWindowPicture, IsPaintedUnscaledAtTheTopLeft) {
    ASSERT_TRUE(window.LoadPicture(folder.File("good.png")));
    const QImage shown = window.grab().toImage();
    EXPECT_EQ(shown.pixelColor(0, 0), kPictureColour);
    EXPECT_EQ(shown.pixelColor(39, 29), kPictureColour);
    EXPECT_NE(shown.pixelColor(40, 29), kPictureColour);
    EXPECT_NE(shown.pixelColor(39, 30), kPictureColour);
}

TEST_F(QtWindowPicture, ClearShowsTheBackgroundColourAgain) {
    ASSERT_TRUE(window.LoadPicture(folder.File("good.png")));
    window.ClearPicture();
    EXPECT_FALSE(window.HasPicture());
    EXPECT_EQ(window.grab().toImage().pixelColor(0, 0), window.palette().color(QPalette::Window));
}

// A configuration brought from Windows names pictures beside the program, with backslashes.
TEST_F(QtWindowPicture, RelativePathsAreFoundBesideTheExecutable) {
    std::filesystem::create_directory(folder.File("pictures"));
    SavePicture(folder, "pictures/hall.bmp", "BMP", QSize(8, 8));
    EXPECT_TRUE(window.LoadPicture("pictures\\hall.bmp"));
}

struct BadPicture {
    const char* name;
    const char* file;
};

class QtWindowBadPicture : public QtWindowPicture, public testing::WithParamInterface<BadPicture> {
protected:
    void SetUp() override {
        SavePicture(folder, "whole.jpg", "JPEG", QSize(300, 200));
        const std::string jpeg = folder.Read("whole.jpg");
        folder.Write("truncated.jpg", jpeg.substr(0, jpeg.size() / 2));
        folder.Write("header-only.jpg", jpeg.substr(0, 20));
        folder.Write("notes.png", "这不是图片\r\n");
        folder.Write("empty.gif", "");
    }
};

// The old picture stays, so a broken file never blanks the hall's background.
TEST_P(QtWindowBadPicture, IsRefusedAndTheOldPictureStays) {
    ASSERT_TRUE(window.LoadPicture(folder.File("good.png")));
    const std::string file = GetParam().file;
    EXPECT_FALSE(window.LoadPicture(file.empty() ? "" : folder.File(file)));
    ASSERT_TRUE(window.HasPicture());
    EXPECT_EQ(window.grab().toImage().pixelColor(39, 29), kPictureColour);
}

INSTANTIATE_TEST_SUITE_P(Files, QtWindowBadPicture,
                         testing::Values(BadPicture{"Missing", "missing.png"},
                                         BadPicture{"TruncatedJpeg", "truncated.jpg"},
                                         BadPicture{"JpegHeaderOnly", "header-only.jpg"},
                                         BadPicture{"TextNamedPng", "notes.png"},
                                         BadPicture{"EmptyFile", "empty.gif"},
                                         BadPicture{"AFolder", "."}, BadPicture{"EmptyPath", ""}),
                         [](const auto& info) { return info.param.name; });

struct FaceCase {
    const char* name;
    std::string face;
    bool isHei;
};

class FontFace : public testing::TestWithParam<FaceCase> {};

TEST_P(FontFace, MapsTheDesignFaceOnlyToAnInstalledHeiFace) {
    const FaceCase& c = GetParam();
    const QString family = FontFamilyFor(c.face);
    if (!c.isHei) {
        EXPECT_EQ(family, QString::fromStdString(c.face));
        return;
    }
    const QStringList installed = QFontDatabase::families();
    if (!installed.contains(QStringLiteral("WenQuanYi Zen Hei")) && !installed.contains(QStringLiteral("Noto Sans CJK SC"))) {
        GTEST_SKIP() << "no CJK Hei face installed";
    }
    EXPECT_TRUE(family == QStringLiteral("WenQuanYi Zen Hei") || family == QStringLiteral("Noto Sans CJK SC"))
        << family.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Faces, FontFace,
                         testing::Values(FaceCase{"Chinese", "黑体", true}, FaceCase{"English", "SimHei", true},
                                         FaceCase{"LowerCase", "simhei", true}, FaceCase{"Spaced", " 黑体 ", true},
                                         FaceCase{"OtherChinese", "宋体", false}, FaceCase{"Latin", "DejaVu Sans", false},
                                         FaceCase{"Empty", "", false}, FaceCase{"Prefix", "SimHei Bold", false}),
                         [](const auto& info) { return info.param.name; });

class QtWindowKeys : public testing::Test {
protected:
    QtWindowKeys() : window(""), bar(window, "开始", {0, 0, 1200, 375}) {
        window.onKey = [this](Key key) { keys.push_back(key); };
        bar.onClick = [this](int index) { clicks.push_back(index); };
        window.show();
        bar.Member(0).Widget()->setFocus();
    }

    // Delivers press and release to the focused widget, as the keyboard does.
    static void Press(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                      bool autoRepeat = false) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, QString(), autoRepeat);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, QString(), autoRepeat);
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    }

    QtWindow window;
    QtButtonArray bar;
    std::vector<Key> keys;
    std::vector<int> clicks;
};

TEST_F(QtWindowKeys, SpaceReachesTheLogicAndDoesNotClickTheFocusedButton) {
    Press(bar.Member(0).Widget(), Qt::Key_Space);
    EXPECT_EQ(keys, std::vector<Key>{Key::Space});
    EXPECT_TRUE(clicks.empty());
}

// The way the test presses keys does click a button of another window, so the
// test above shows the window's own handling, not a quirk of sent events.
TEST_F(QtWindowKeys, SpaceStillClicksAButtonOfAnotherWindow) {
    QWidget other;
    QPushButton button(&other);
    int otherClicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++otherClicks; });
    Press(&button, Qt::Key_Space);
    EXPECT_EQ(otherClicks, 1);
    EXPECT_TRUE(keys.empty());
}

TEST_F(QtWindowKeys, EachKeyOfTheBarArrivesAsItsLogicKey) {
    for (const int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Left, Qt::Key_Right, Qt::Key_R, Qt::Key_Backspace}) {
        Press(bar.Member(0).Widget(), key);
    }
    EXPECT_EQ(keys, (std::vector<Key>{Key::Enter, Key::Enter, Key::Left, Key::Right, Key::R, Key::Backspace}));
    EXPECT_TRUE(clicks.empty());
}

TEST_F(QtWindowKeys, HeldKeysAndShortcutsAreNotPassedOn) {
    Press(bar.Member(0).Widget(), Qt::Key_Space, Qt::NoModifier, /*autoRepeat=*/true);
    Press(&window, Qt::Key_R, Qt::ControlModifier);
    Press(&window, Qt::Key_A);
    EXPECT_TRUE(keys.empty());
    EXPECT_TRUE(clicks.empty());
}

TEST_F(QtWindowKeys, F11TogglesFullScreenAndEscLeavesIt) {
    Press(&window, Qt::Key_F11);
    EXPECT_TRUE(window.isFullScreen());
    Press(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isFullScreen());
    Press(&window, Qt::Key_F11);
    Press(&window, Qt::Key_F11);
    EXPECT_FALSE(window.isFullScreen());
    EXPECT_TRUE(keys.empty());
}

}  // namespace
}  // namespace platform
