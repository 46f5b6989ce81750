// Buttons and the bar's button array on real widgets.
#include <QApplication>
#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

#include "platform/qt/QtButton.h"

namespace platform {
namespace {

struct GeometryCase {
    const char* name;
    TwipRect twips;
    QRect pixels;
};

class ButtonGeometry : public testing::TestWithParam<GeometryCase> {};

// What the logic writes it reads back unchanged; the widget takes the nearest pixels.
TEST_P(ButtonGeometry, RoundTripsInTwips) {
    QWidget parent;
    const GeometryCase& c = GetParam();
    QtButton button(parent, "开始", {});
    button.SetWidth(c.twips.width);
    button.SetHeight(c.twips.height);
    button.Move(c.twips.left, c.twips.top);
    EXPECT_DOUBLE_EQ(button.Left(), c.twips.left);
    EXPECT_DOUBLE_EQ(button.Top(), c.twips.top);
    EXPECT_DOUBLE_EQ(button.Width(), c.twips.width);
    EXPECT_DOUBLE_EQ(button.Height(), c.twips.height);
    EXPECT_EQ(button.Widget()->geometry(), c.pixels);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ButtonGeometry,
    testing::Values(GeometryCase{"Design", {0, 4560, 1095, 375}, {0, 304, 73, 25}},
                    GeometryCase{"ClockAtTheRightEdge", {13785, 10020, 1215, 495}, {919, 668, 81, 33}},
                    GeometryCase{"HalfPixels", {7.5, 22.5, 1200, 300}, {1, 2, 80, 20}},
                    GeometryCase{"Negative", {-300, -150, 600, 300}, {-20, -10, 40, 20}},
                    GeometryCase{"NegativeSizeIsNoSize", {0, 0, -600, -300}, {0, 0, 0, 0}},
                    GeometryCase{"FarBeyondAnyScreen", {1e12, 0, 15, 15}, {QWIDGETSIZE_MAX, 0, 0, 1}}),
    [](const auto& info) { return info.param.name; });

// The bar's neighbours overlap by 15 twips; in pixels that must stay exactly one.
TEST(QtButton, NeighboursOverlapByOnePixel) {
    QWidget parent;
    QtButton first(parent, "开始", {0, 0, 1200, 375});
    QtButton second(parent, "暂停", {1185, 0, 900, 375});
    EXPECT_EQ(first.Widget()->geometry().right() + 1 - second.Widget()->geometry().left(), 1);
}

TEST(QtButton, AmpersandIsShownNotTakenAsAMnemonic) {
    QWidget parent;
    QtButton button(parent, "正&反", {});
    EXPECT_EQ(button.Widget()->text(), QStringLiteral("正&&反"));
    EXPECT_EQ(button.Caption(), "正&反");
    EXPECT_EQ(button.Widget()->accessibleName(), QStringLiteral("正&反"));
}

class QtButtonArrayTest : public testing::Test {
protected:
    QtButtonArrayTest() : bar(parent, "Command1", {0, 4560, 1095, 375}) {
        bar.onClick = [this](int index) { clicks.push_back(index); };
    }

    QWidget parent;
    QtButtonArray bar;
    std::vector<int> clicks;
};

TEST_F(QtButtonArrayTest, MemberZeroExistsFromTheStart) {
    EXPECT_EQ(bar.LBound(), 0);
    EXPECT_EQ(bar.UBound(), 0);
    EXPECT_EQ(bar[0].Caption(), "Command1");
    EXPECT_TRUE(bar[0].Visible());
}

TEST_F(QtButtonArrayTest, LoadedMembersStartHiddenWithMemberZerosLook) {
    QFont font = bar.Member(0).Widget()->font();
    font.setPointSize(17);
    bar.Member(0).Widget()->setFont(font);
    bar.Load(1);
    EXPECT_EQ(bar.UBound(), 1);
    EXPECT_FALSE(bar[1].Visible());
    EXPECT_EQ(bar.Member(1).Widget()->font().pointSize(), 17);
    EXPECT_EQ(bar.Member(1).Widget()->parentWidget(), &parent);
}

TEST_F(QtButtonArrayTest, ClicksReportTheMembersIndex) {
    bar.Load(1);
    bar.Load(2);
    bar.Member(2).Widget()->click();
    bar.Member(0).Widget()->click();
    EXPECT_EQ(clicks, (std::vector<int>{2, 0}));
}

TEST_F(QtButtonArrayTest, UnloadingFromTheBottomUpLeavesMemberZero) {
    for (int i = 1; i <= 19; ++i) bar.Load(i);
    for (int i = 1; i <= 19; ++i) bar.Unload(i);
    EXPECT_EQ(bar.UBound(), 0);
    bar.Load(1);
    EXPECT_EQ(bar.UBound(), 1);
    EXPECT_EQ(bar[1].Caption(), "");
}

TEST_F(QtButtonArrayTest, MisuseIsAnErrorNotACrash) {
    bar.Load(1);
    EXPECT_THROW(bar.Load(1), std::invalid_argument);
    EXPECT_THROW(bar.Load(0), std::invalid_argument);
    EXPECT_THROW(bar.Unload(0), std::invalid_argument);
    EXPECT_THROW(bar.Unload(5), std::out_of_range);
    EXPECT_THROW(bar[5], std::out_of_range);
}

// "返回" rebuilds the bar from inside its own click: the clicked button is
// unloaded while Qt is still delivering its click.
TEST_F(QtButtonArrayTest, UnloadingTheButtonWhoseClickIsHandledIsSafe) {
    for (int i = 1; i <= 4; ++i) bar.Load(i);
    QPointer<QPushButton> clicked = bar.Member(4).Widget();
    bar.onClick = [this](int index) {
        clicks.push_back(index);
        for (int i = 1; i <= bar.UBound(); ++i) {
            if (bar.IsLoaded(i)) bar.Unload(i);
        }
        for (int i = 1; i <= 2; ++i) bar.Load(i);
    };
    clicked->click();
    EXPECT_EQ(clicks, (std::vector<int>{4}));
    EXPECT_EQ(bar.UBound(), 2);
    ASSERT_FALSE(clicked.isNull());
    EXPECT_TRUE(clicked->isHidden());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(clicked.isNull());
}

TEST_F(QtButtonArrayTest, AnUnloadedButtonReportsNoMoreClicks) {
    bar.Load(1);
    QPointer<QPushButton> gone = bar.Member(1).Widget();
    bar.Unload(1);
    ASSERT_FALSE(gone.isNull());
    gone->show();
    gone->click();
    EXPECT_TRUE(clicks.empty());
}

}  // namespace
}  // namespace platform
