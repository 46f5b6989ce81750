// Start-up on the real widgets: the home page as the time-keeper first sees it.
#include <QCoreApplication>
#include <QFontMetrics>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>

#include "e2e/e2e_support.h"

namespace e2e {
namespace {

const std::vector<std::string> kHomeBar = {
    "正", "反方一辩发言", "", "正", "反二选择反二、三", "", "正", "反三选择反二、三", "", "正", "反一辩攻辩小结", "",
    "自由辩论", "", "反", "正方四辩总结陈词", "", "关于", "", "退出"};
constexpr double kPaddingTwips = 18 * 15;
constexpr double kGapTwips = 12 * 15;

std::vector<Setting> Durations() {
    std::vector<Setting> durations;
    for (const char* key : {"Stage1Timer1", "Stage2Timer1", "Stage3Timer1", "Stage3Timer2", "Stage4Timer1",
                            "Stage4Timer2", "Stage5Timer1", "Stage5Timer2", "Stage6Timer1", "Stage6Timer2",
                            "Stage7Timer1", "Stage8Timer1", "Stage9Timer1", "Stage9Timer2", "Stage10Timer1",
                            "Stage11Timer1"}) {
        durations.emplace_back(key, "180");
    }
    return durations;
}

class HomePage : public testing::Test {
protected:
    HomePage() {
        folder.Write("Tolvanexa.config", NormalisedConfig(StandardSettings(Durations())));
        real = std::make_unique<RealWindow>(folder);
        QCoreApplication::processEvents();
    }

    qttest::TestFolder folder;
    std::unique_ptr<RealWindow> real;
};

TEST_F(HomePage, TitleCaptionAndNoCountdown) {
    EXPECT_EQ(real->form.window.windowTitle(), QStringLiteral("华语辩论赛 - 主页"));
    EXPECT_EQ(real->form.lblCaption.Widget()->text(), QStringLiteral("主页"));
    EXPECT_TRUE(real->form.lblCaption.Widget()->isVisible());
    for (const platform::QtLabel* label : {&real->form.lblTimer1, &real->form.lblTimer2, &real->form.lblTimer1Desc,
                                           &real->form.lblTimer2Desc}) {
        EXPECT_FALSE(label->Widget()->isVisible());
    }
    EXPECT_EQ(real->form.errors.MessagesShown(), 0);
}

TEST_F(HomePage, BarButtonsHaveTheirCaptionsVisibilityAndSizes) {
    ASSERT_EQ(real->Captions(), kHomeBar);
    const platform::QtWindow& window = real->form.window;
    double left = 0;
    for (int i = 0; i < static_cast<int>(kHomeBar.size()); ++i) {
        SCOPED_TRACE(i);
        const std::string& caption = kHomeBar[static_cast<std::size_t>(i)];
        platform::QtButton& button = real->form.cmdCommand.Member(i);
        const QPushButton& widget = *button.Widget();
        EXPECT_EQ(widget.isVisible(), !caption.empty());
        EXPECT_TRUE(widget.isEnabled());
        EXPECT_EQ(widget.text().toStdString(), caption);
        const double width = caption.empty() ? kGapTwips : kPaddingTwips + window.TextWidth(caption);
        const double height = kPaddingTwips + window.TextHeight(caption);
        EXPECT_NEAR(button.Width(), width, 0.01);
        EXPECT_NEAR(button.Height(), height, 0.01);
        EXPECT_DOUBLE_EQ(button.Left(), left);
        EXPECT_DOUBLE_EQ(button.Top(), window.ScaleHeight() - button.Height());
        // On the screen: flush with the bottom edge, and wide enough for the whole caption.
        EXPECT_EQ(widget.geometry().bottom() + 1, window.height());
        EXPECT_EQ(widget.x(), std::lround(left / 15));
        if (!caption.empty()) {
            EXPECT_GT(widget.width(), widget.fontMetrics().horizontalAdvance(widget.text()));
        }
        left = std::nearbyint(left + button.Width() - 15);
    }
}

TEST_F(HomePage, ClockShowsTheTimeInTheBottomRightCorner) {
    const platform::QtButton& clock = real->form.cmdTime;
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$"))
                    .match(QString::fromStdString(clock.Caption()))
                    .hasMatch())
        << clock.Caption();
    const QRect shown = clock.Widget()->geometry();
    EXPECT_EQ(shown.right() + 1, real->form.window.width());
    EXPECT_EQ(shown.bottom() + 1, real->form.window.height());
    EXPECT_GT(shown.width(), clock.Widget()->fontMetrics().horizontalAdvance(clock.Widget()->text()));
}

TEST_F(HomePage, LayoutFollowsTheWindowsSize) {
    real->form.window.resize(1280, 800);
    QCoreApplication::processEvents();
    EXPECT_EQ(real->form.cmdTime.Widget()->geometry().right() + 1, 1280);
    EXPECT_EQ(real->form.cmdCommand.Member(19).Widget()->geometry().bottom() + 1, 800);
}

}  // namespace
}  // namespace e2e
