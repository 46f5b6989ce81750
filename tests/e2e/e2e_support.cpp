#include "e2e/e2e_support.h"

#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

namespace e2e {
namespace {

constexpr const char* kHeader = "#TarvelMonic Config File#";

FormControls Controls(RealWindow& w) {
    return FormControls{w.form.window,  w.form.tmrTimer2,     w.form.tmrTimer1,     w.form.tmrTime,
                        w.form.cmdTime, w.form.cmdCommand,    w.form.lblTimer1Desc, w.form.lblTimer2Desc,
                        w.form.lblTimer2, w.form.lblTimer1,   w.form.lblCaption,    w.form.clock,
                        w.sound,        w.browser,            w.displaySleep,       w.form.errors,
                        w.files,        w.codec};
}

}  // namespace

std::string NormalisedConfig(const std::vector<Setting>& settings) {
    std::string text = std::string(kHeader) + "\r\n";
    for (const auto& [key, value] : settings) {
        const bool foreign = !key.empty() && key.front() == '<';
        text += (foreign ? key : "<Tolvanexa>\\" + key) + " = " + value + "\r\n";
    }
    return platform::IconvCodec().Utf8ToGbk(text).value();
}

std::vector<Setting> StandardSettings(const std::vector<Setting>& durations) {
    std::vector<Setting> settings = {
        {"ApplicationTitle", "华语辩论赛"},  {"Sound30Seconds", "sounds/cue30.wav"},
        {"Sound0Seconds", "sounds/cue0.wav"}, {"Background", ""},
        {"CaptionFont", "黑体"},             {"CaptionFontSize", "60"},
        {"TimerFont", "黑体"},               {"TimerFontSize", "72"},
        {"ButtonPadding", "18"},             {"SeparatorWidth", "12"},
    };
    settings.insert(settings.end(), durations.begin(), durations.end());
    return settings;
}

RealWindow::RealWindow(const qttest::TestFolder& folder)
    : files(platform::ExecutableLocation{folder.Path(), "Tolvanexa"}),
      form(folder.Path()),
      window(Controls(*this)) {
    window.Form_Load();
    form.window.show();
}

RealWindow::~RealWindow() {
    form.tmrTime.SetEnabled(false);
}

QPushButton* RealWindow::Button(const std::string& caption) {
    QPushButton* found = nullptr;
    int matches = 0;
    for (int i = form.cmdCommand.LBound(); i <= form.cmdCommand.UBound(); ++i) {
        if (!form.cmdCommand.IsLoaded(i)) continue;
        QPushButton* widget = form.cmdCommand.Member(i).Widget();
        if (widget->isVisible() && form.cmdCommand[i].Caption() == caption) {
            found = widget;
            ++matches;
        }
    }
    EXPECT_EQ(matches, 1) << "bar buttons captioned " << caption;
    return matches == 1 ? found : nullptr;
}

void RealWindow::Click(const std::string& caption) {
    QPushButton* button = Button(caption);
    ASSERT_NE(button, nullptr);
    button->click();
}

void RealWindow::ClickLeftOf(const std::string& neighbour, const std::string& expected) {
    for (int i = 1; i <= form.cmdCommand.UBound(); ++i) {
        if (form.cmdCommand[i].Caption() != neighbour) continue;
        ASSERT_EQ(form.cmdCommand[i - 1].Caption(), expected);
        form.cmdCommand.Member(i - 1).Widget()->click();
        return;
    }
    FAIL() << "no bar button captioned " << neighbour;
}

std::vector<std::string> RealWindow::Captions() {
    std::vector<std::string> captions;
    for (int i = 0; i <= form.cmdCommand.UBound(); ++i) captions.push_back(form.cmdCommand[i].Caption());
    return captions;
}

bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    if (done()) return true;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) loop.quit();
    });
    QTimer::singleShot(limit, &loop, &QEventLoop::quit);
    poll.start();
    loop.exec();
    return done();
}

}  // namespace e2e
