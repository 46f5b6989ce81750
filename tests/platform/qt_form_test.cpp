// The window as designed, before any logic touches it, and the small
// adapters around it: timers, the message boxes, the screen saver.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/qt/QtForm.h"

namespace platform {
namespace {

TEST(QtForm, ControlsHaveTheirDesignCaptionsAndPlaces) {
    QtForm form("");
    EXPECT_EQ(form.window.Title(), "Tolvanexa 辩论赛计时器");
    EXPECT_EQ(form.cmdTime.Caption(), "XX:XX:XX");
    EXPECT_EQ(form.cmdCommand[0].Caption(), "Command1");
    EXPECT_EQ(form.lblCaption.Caption(), "Caption");
    EXPECT_EQ(form.lblTimer2Desc.Caption(), "timer2");
    // Only the caption keeps its design place for good; the layout reads it.
    EXPECT_DOUBLE_EQ(form.lblCaption.Left(), 480);
    EXPECT_DOUBLE_EQ(form.lblCaption.Top(), 480);
    EXPECT_EQ(form.lblCaption.Font().name, "黑体");
    EXPECT_DOUBLE_EQ(form.lblCaption.Font().size, 60);
    EXPECT_DOUBLE_EQ(form.lblTimer2.Font().size, 72);
}

TEST(QtForm, LabelsLieBeneathTheButtons) {
    QtForm form("");
    const QObjectList stacking = form.window.children();
    const auto place = [&](const QObject* widget) { return stacking.indexOf(const_cast<QObject*>(widget)); };
    for (const QtLabel* label : {&form.lblCaption, &form.lblTimer1, &form.lblTimer2Desc}) {
        EXPECT_LT(place(label->Widget()), place(form.cmdTime.Widget()));
        EXPECT_LT(place(label->Widget()), place(form.cmdCommand.Member(0).Widget()));
    }
}

TEST(QtForm, OnlyTheClockTicksFromTheStartEverySecondAndPrecisely) {
    QtForm form("");
    EXPECT_TRUE(form.tmrTime.Enabled());
    EXPECT_FALSE(form.tmrTimer1.Enabled());
    EXPECT_FALSE(form.tmrTimer2.Enabled());
    for (const QtTimer* timer : {&form.tmrTime, &form.tmrTimer1, &form.tmrTimer2}) {
        EXPECT_EQ(timer->Interval(), 1000);
        EXPECT_EQ(timer->Type(), Qt::PreciseTimer);
    }
}

TEST(QtTimer, TicksArriveThroughTheEventLoopWhileEnabled) {
    QtTimer timer(1, TimerState::Stopped);
    int ticks = 0;
    QEventLoop loop;
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    timer.onTick = [&] {
        if (++ticks == 3) timer.SetEnabled(false), loop.quit();
    };
    timer.SetEnabled(true);
    loop.exec();
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(timer.Enabled());
}

// A fault met on every tick must not pile a new box on the projector each second.
TEST(QtErrorSink, OneNonModalBoxPerMessage) {
    QWidget window;
    QtErrorSink errors(window);
    errors.Show("“ButtonPadding”的值无法使用");
    errors.Show("“ButtonPadding”的值无法使用");
    EXPECT_EQ(errors.OpenBoxes(), 1);
    errors.Show("另一个错误");
    EXPECT_EQ(errors.OpenBoxes(), 2);
    for (QMessageBox* box : window.findChildren<QMessageBox*>()) {
        EXPECT_FALSE(box->isModal());
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Tolvanexa"));
        EXPECT_TRUE(box->isVisible());
    }
    for (QMessageBox* box : window.findChildren<QMessageBox*>()) box->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(errors.OpenBoxes(), 0);
    errors.Show("“ButtonPadding”的值无法使用");
    EXPECT_EQ(errors.OpenBoxes(), 1);
}

// After the window has closed no event loop runs, so the box must wait itself.
TEST(QtErrorSink, BlockingBoxWaitsForTheTimeKeeper) {
    QWidget window;
    QtErrorSink errors(window);
    errors.SetModality(Modality::Blocking);
    bool wasShown = false;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        wasShown = box != nullptr;
        if (box) box->close();
    });
    errors.Show("配置文件无法保存");
    EXPECT_TRUE(wasShown);
    EXPECT_EQ(errors.OpenBoxes(), 0);
}

TEST(QtDisplaySleep, WithoutAScreenSaverNothingFails) {
    QtDisplaySleep sleep;
    sleep.SetInhibited(true);
    sleep.SetInhibited(true);
    sleep.SetInhibited(false);
    sleep.SetInhibited(true);
    QCoreApplication::processEvents();
}

}  // namespace
}  // namespace platform
