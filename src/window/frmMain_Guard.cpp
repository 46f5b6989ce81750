// The window's edge: errors that leave an event handler, the settings checked
// at start-up, and keeping the display awake while a countdown runs.
#include <sstream>

#include "window/SettingError.h"
#include "window/StageTable.h"
#include "window/basConvert.h"
#include "window/frmMain.h"

void frmMain::Guarded(EventSource source, const std::function<void()>& handler) {
    try {
        handler();
        ForgetCauses(source);
    } catch (const SettingError& error) {
        ShowOnce(source, error.Key(), error.what());
    } catch (const platform::FileError& error) {
        ShowOnce(source, error.what(), error.what());  // already a sentence naming the file
    } catch (const OverflowError& error) {
        ShowOnce(source, error.what(), error.what());  // already a sentence for the time-keeper
    } catch (const std::exception& error) {
        ShowOnce(source, error.what(), std::string("计时器内部错误，当前操作未能完成：") + error.what());
    } catch (...) {
        ShowOnce(source, "unknown", "计时器遇到了未知错误，当前操作未能完成。");
    }
    KeepDisplayAwake();
    PublishAudience();
}

void frmMain::ShowOnce(EventSource source, const std::string& cause, const std::string& message) {
    mHeldCauses[source].insert(cause);
    if (!mShownCauses.insert(cause).second) return;
    try {
        c.errors.Show(message);
    } catch (...) {
        // Nothing more can be told if telling fails; the window keeps running.
    }
}

void frmMain::ForgetCauses(EventSource source) {
    const auto held = mHeldCauses.find(source);
    if (held == mHeldCauses.end()) return;
    const std::set<std::string> causes = std::move(held->second);
    mHeldCauses.erase(held);
    // A cause is over once no entry still fails with it.
    for (const std::string& cause : causes) {
        bool stillHeld = false;
        for (const auto& [other, otherCauses] : mHeldCauses) stillHeld = stillHeld || otherCauses.count(cause) > 0;
        if (!stillHeld) mShownCauses.erase(cause);
    }
}

void frmMain::KeepDisplayAwake() {
    const bool running = CountdownRunning();
    if (running == mDisplayKeptAwake) return;
    mDisplayKeptAwake = running;
    c.displaySleep.SetInhibited(running);
}

std::vector<frmMain::SettingProblem> frmMain::CheckSettings() const {
    std::vector<SettingProblem> problems;
    const auto check = [&](const std::string& key, const auto& read) {
        try {
            read(*mConfig, key);
        } catch (const SettingError& error) {
            problems.push_back({key, error.Value(), error.Fault()});
        }
    };
    check("ButtonPadding", WindowSettings::PixelsAsTwips);
    check("SeparatorWidth", WindowSettings::PixelsAsTwips);
    for (const char* key : DurationKeys()) check(key, WindowSettings::Seconds);
    return problems;
}

void frmMain::ReportStartupProblems(const std::vector<SettingProblem>& problems) {
    std::ostringstream message;
    if (!problems.empty()) {
        message << "配置文件“" << mConfig->Path() << "”中有以下设置无法使用：\n";
        for (const SettingProblem& problem : problems) {
            // "“Key”的值“x”不是有效的数字" reads on; a missing value takes a colon.
            message << "  “" << problem.key << "”" << (problem.fault == SettingFault::Missing ? "：" : "")
                    << DescribeSettingFault(problem.fault, problem.value) << "\n";
        }
        message << "用到这些设置的排版或倒计时将无法正常工作。请修改配置文件后重新启动程序。";
    }
    const std::string aside = mConfig->SetAsidePath();
    if (!aside.empty()) {
        if (!problems.empty()) message << "\n\n";
        message << "配置文件“" << mConfig->Path() << "”的内容无法识别，原内容已另存为“" << aside
                << "”；程序结束时将写入新的配置文件。";
    }
    const std::string text = message.str();
    if (text.empty()) return;
    try {
        c.errors.Show(text);
    } catch (...) {
        // As for any message: the window goes on without it.
    }
}
