// The window's layout: timer rows centred below the caption, the bar along the
// bottom edge, the clock fitted into the bottom-right corner.
#include "WindowFixture.h"

namespace testsupport {
namespace {

class LayoutTest : public WindowTest {
protected:
    void SetUp() override {
        Load();
        // The design extents, as the window is created.
        lblCaption.SetSize(4200, 1200);
        lblTimer1Desc.SetSize(4320, 1455);
        lblTimer2Desc.SetSize(4320, 1455);
        lblTimer1.SetSize(3615, 1455);
        lblTimer2.SetSize(3615, 1455);
    }
};

TEST_F(LayoutTest, DesignSizesCentreBothRows) {
    form->Form_Resize();
    EXPECT_DOUBLE_EQ(lblTimer1Desc.Left(), 3157.5);  // (15000 - 3615 - 4320 - 750) / 2, the half kept
    EXPECT_DOUBLE_EQ(lblTimer1.Left(), 8227.5);
    EXPECT_DOUBLE_EQ(lblTimer1Desc.Top(), 3180);
    EXPECT_DOUBLE_EQ(lblTimer1.Top(), 3180);
    EXPECT_DOUBLE_EQ(lblTimer2Desc.Left(), 3157.5);
    EXPECT_DOUBLE_EQ(lblTimer2.Left(), 8227.5);
    EXPECT_DOUBLE_EQ(lblTimer2Desc.Top(), 6135);
    EXPECT_DOUBLE_EQ(lblTimer2.Top(), 6135);
    EXPECT_DOUBLE_EQ(lblCaption.Left(), 480);
    EXPECT_DOUBLE_EQ(lblCaption.Top(), 480);
}

TEST_F(LayoutTest, TallerCaptionPushesBothRowsDown) {
    lblCaption.SetSize(4200, 1455);
    window.Resize(15000, 10515);
    EXPECT_DOUBLE_EQ(lblTimer1.Top(), 3180 + 255);
    EXPECT_DOUBLE_EQ(lblTimer2.Top(), 6135 + 255);
}

TEST_F(LayoutTest, NarrowWindowOverflowsBothEdgesEqually) {
    window.Resize(6000, 10515);
    const double left = lblTimer1Desc.Left();
    const double right = lblTimer1.Left() + lblTimer1.Width();
    EXPECT_LT(left, 0);
    EXPECT_DOUBLE_EQ(-left, right - 6000);
}

TEST_F(LayoutTest, BarButtonsOverlapByOnePixelGapsIncluded) {
    window.textWidths = {{"A", 1050}, {"B", 750}};  // with a padding of 150: 1200 and 900
    form->BuildButtonBar("A||B");
    EXPECT_DOUBLE_EQ(Button(0).Left(), 0);
    EXPECT_DOUBLE_EQ(Button(1).Left(), 1185);
    EXPECT_DOUBLE_EQ(Button(2).Left(), 1470);
    for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(Button(i).Top(), 10515 - Button(i).Height());
    // Each later button in front of the one before, so shared edges are drawn once.
    EXPECT_LT(Button(0).frontStamp, Button(1).frontStamp);
    EXPECT_LT(Button(1).frontStamp, Button(2).frontStamp);
}

TEST_F(LayoutTest, ClockFitsItsTextInTheBottomRightCorner) {
    clock.now = {21, 0, 0};
    tmrTime.Tick();
    EXPECT_EQ(cmdTime.Caption(), "21:00:00");
    EXPECT_DOUBLE_EQ(cmdTime.Width(), 8 * 75 + 150);  // padding once, not per side
    EXPECT_DOUBLE_EQ(cmdTime.Height(), 240 + 150);
    EXPECT_DOUBLE_EQ(cmdTime.Left(), 15000 - 750);
    EXPECT_DOUBLE_EQ(cmdTime.Top(), 10515 - 390);

    window.textWidths["21:00:01"] = 900;  // a wider text widens the button leftward
    clock.now = {21, 0, 1};
    tmrTime.Tick();
    EXPECT_DOUBLE_EQ(cmdTime.Left() + cmdTime.Width(), 15000);
    EXPECT_DOUBLE_EQ(cmdTime.Width(), 1050);
}

// The clock sizes itself every second; an unchanged text must not touch the button.
TEST_F(LayoutTest, ClockTickWritesOnlyWhatChanged) {
    tmrTime.Tick();
    const int writes = cmdTime.geometryWrites;
    clock.now.second = 1;
    tmrTime.Tick();
    EXPECT_EQ(cmdTime.geometryWrites, writes);
    window.Resize(15000, 9000);
    EXPECT_EQ(cmdTime.geometryWrites, writes + 1);  // only Top moves
    EXPECT_DOUBLE_EQ(cmdTime.Top(), 9000 - 390);
}

// 2184 pixels is the most 16-bit twips can hold; wider displays are common.
TEST_F(LayoutTest, WindowWiderThanSixteenBitsStillLaysOut) {
    window.Resize(3840 * 15, 2160 * 15);
    EXPECT_DOUBLE_EQ(cmdTime.Left(), 3840 * 15 - 750);
    EXPECT_DOUBLE_EQ(cmdTime.Top(), 2160 * 15 - 390);
    window.textWidths = {{"W", 20000}};
    form->BuildButtonBar("W|W|W");
    EXPECT_DOUBLE_EQ(Button(2).Left(), 2 * 20135);
    EXPECT_TRUE(errors.messages.empty());
}

}  // namespace
}  // namespace testsupport
