// Labels on a real window: they must size themselves to their caption in
// their font, since the layout centres the timer rows on those sizes.
#include <QFontMetricsF>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/qt/QtConvert.h"
#include "platform/qt/QtLabel.h"

namespace platform {
namespace {

class QtLabelTest : public testing::Test {
protected:
    QtLabelTest() : label(parent, "00:00", 4200, 2520, TextAlignment::Centre) {
        label.SetFontName("黑体");
        label.SetFontSize(72);
    }

    // What the label must measure for `caption` in its current font, in twips.
    QSizeF Expected(const QString& caption) const {
        const QFontMetricsF metrics(label.Widget()->font());
        return {(std::ceil(metrics.horizontalAdvance(caption)) + 1) * kTwipsPerPixel,
                std::ceil(metrics.height()) * kTwipsPerPixel};
    }

    QWidget parent;
    QtLabel label;
};

TEST_F(QtLabelTest, SizeIsTheCaptionsExtentInItsFontPlusOnePixel) {
    const QSizeF expected = Expected(QStringLiteral("00:00"));
    EXPECT_DOUBLE_EQ(label.Width(), expected.width());
    EXPECT_DOUBLE_EQ(label.Height(), expected.height());
    EXPECT_EQ(label.Widget()->width() * kTwipsPerPixel, label.Width());
}

TEST_F(QtLabelTest, ALongerCaptionWidensTheLabelAtOnce) {
    const double before = label.Width();
    label.SetCaption("100:00");
    EXPECT_GT(label.Width(), before);
    EXPECT_DOUBLE_EQ(label.Width(), Expected(QStringLiteral("100:00")).width());
}

TEST_F(QtLabelTest, ASmallerFontShrinksTheLabelAtOnce) {
    const double width = label.Width();
    const double height = label.Height();
    ASSERT_TRUE(label.SetFontSize(36));
    EXPECT_LT(label.Width(), width * 0.6);
    EXPECT_LT(label.Height(), height * 0.6);
    EXPECT_DOUBLE_EQ(label.Width(), Expected(QStringLiteral("00:00")).width());
}

// A caption from the configuration is text, not markup: "<b>" must show as typed.
TEST_F(QtLabelTest, CaptionIsShownAsPlainText) {
    label.SetCaption("<b>A</b>");
    EXPECT_EQ(label.Widget()->textFormat(), Qt::PlainText);
    EXPECT_DOUBLE_EQ(label.Width(), Expected(QStringLiteral("<b>A</b>")).width());
    EXPECT_EQ(label.Caption(), "<b>A</b>");
}

// A stage caption may come from a multi-line setting (lines joined by CR LF).
TEST_F(QtLabelTest, MultiLineCaptionIsAsHighAsItsLines) {
    const double oneLine = label.Height();
    label.SetCaption("自由辩论\r\n决赛");
    EXPECT_GT(label.Height(), oneLine * 1.5);
    EXPECT_EQ(label.Widget()->text(), QStringLiteral("自由辩论\n决赛"));
    EXPECT_EQ(label.Caption(), "自由辩论\r\n决赛");
}

TEST_F(QtLabelTest, MoveKeepsHalfTwipsAndPlacesTheWidgetOnTheNearestPixel) {
    label.Move(3157.5, 3180);
    EXPECT_DOUBLE_EQ(label.Left(), 3157.5);
    EXPECT_DOUBLE_EQ(label.Top(), 3180);
    EXPECT_EQ(label.Widget()->pos(), QPoint(211, 212));
    // A later change of caption must not lose the place.
    label.SetCaption("01:30");
    EXPECT_EQ(label.Widget()->pos(), QPoint(211, 212));
}

TEST_F(QtLabelTest, ForeColourIsBbggrr) {
    label.SetForeColor(kRed);
    EXPECT_EQ(label.ForeColor(), kRed);
    EXPECT_EQ(label.Widget()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    label.SetForeColor(0x00FF0000);
    EXPECT_EQ(label.Widget()->palette().color(QPalette::WindowText), QColor(0, 0, 255));
}

TEST_F(QtLabelTest, ABlankFaceNameKeepsTheFaceInUse) {
    const QString family = label.Widget()->font().family();
    label.SetFontName("");
    EXPECT_EQ(label.Widget()->font().family(), family);
    EXPECT_EQ(label.Font().name, "黑体");
}

class RefusedFontSize : public QtLabelTest, public testing::WithParamInterface<double> {};

TEST_P(RefusedFontSize, KeepsTheSizeAndTheExtent) {
    const double width = label.Width();
    EXPECT_FALSE(label.SetFontSize(GetParam()));
    EXPECT_DOUBLE_EQ(label.Font().size, 72);
    EXPECT_DOUBLE_EQ(label.Width(), width);
}

INSTANTIATE_TEST_SUITE_P(NotAboveZeroOrNotFinite, RefusedFontSize,
                         testing::Values(0.0, -1.0, -72.0, std::numeric_limits<double>::quiet_NaN(),
                                         std::numeric_limits<double>::infinity(),
                                         -std::numeric_limits<double>::infinity()));

// A size no screen can show must not make the glyph cache run out of memory.
TEST_F(QtLabelTest, AnAbsurdSizeIsBroughtDownToAShowableOne) {
    EXPECT_TRUE(label.SetFontSize(1e9));
    EXPECT_LE(label.Font().size, 1000);
    EXPECT_GT(label.Width(), 0);
}

}  // namespace
}  // namespace platform
