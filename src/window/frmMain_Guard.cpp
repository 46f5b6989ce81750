// The window's edge: errors that leave an event handler, the settings checked
// at start-up, and keeping the display awake while a countdown runs.
#include <algorithm>
#include <sstream>

#include "window/CueReport.h"
#include "window/SettingError.h"
#include "window/SettingTypos.h"
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
    if (mShownCauses.insert(cause).second) Tell(message);
}

void frmMain::Tell(const std::string& message) {
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
    if (onCountdownRunning) onCountdownRunning(running);
}

std::vector<frmMain::SettingProblem> frmMain::CheckSettings() const {
    std::vector<SettingProblem> problems;
    const auto check = [&](const std::string& key, const auto& read, const std::string& builtIn) {
        try {
            read(*mConfig, key);
        } catch (const SettingError& error) {
            problems.push_back({key, error.Value(), error.Fault(), builtIn});
        }
    };
    const auto pixels = [](double value) { return std::to_string(static_cast<int>(value)) + " 像素"; };
    check("ButtonPadding", WindowSettings::PixelsAsTwips, pixels(kBuiltInButtonPadding));
    check("SeparatorWidth", WindowSettings::PixelsAsTwips, pixels(kBuiltInSeparatorWidth));
    // A format's durations were read, and told of, with the format.
    if (mStages.fromFormat) return problems;
    for (const CountdownEntry& countdown : Countdowns())
        check(countdown.key, WindowSettings::Seconds, std::to_string(countdown.builtInSeconds) + " 秒");
    return problems;
}

std::string frmMain::DescribeSettingProblems(const std::vector<SettingProblem>& problems) const {
    std::ostringstream text;
    const bool noneGiven = problems.size() == 2 + Countdowns().size() &&
                           std::all_of(problems.begin(), problems.end(), [](const SettingProblem& problem) {
                               return problem.fault == SettingFault::Missing;
                           });
    if (noneGiven) {
        // A new or unread file: one line says it better than eighteen.
        text << "配置文件“" << mConfig->Path() << "”中没有按钮栏和各环节时长的设置，本次使用内置的值：按钮留白 "
             << kBuiltInButtonPadding << " 像素、间隔 " << kBuiltInSeparatorWidth
             << " 像素，各环节时长与随程序提供的配置文件相同（程序不会把这些值写进配置文件）。";
        return text.str();
    }
    text << "配置文件“" << mConfig->Path() << "”中有以下设置无法使用，本次改用内置的值（配置文件中的值不作改动）：\n";
    for (const SettingProblem& problem : problems) {
        // "“Key”的值“x”不是有效的数字" reads on; a missing value takes a colon.
        text << "  “" << problem.key << "”" << (problem.fault == SettingFault::Missing ? "：" : "")
             << DescribeSettingFault(problem.fault, problem.value) << "，改用 " << problem.builtIn << "\n";
    }
    text << "如需别的值，请修改配置文件后重新启动程序。";
    return text.str();
}

void frmMain::ReportStartupProblems(const std::vector<SettingProblem>& problems) {
    std::vector<std::string> parts;
    // Why the file was set aside (or could not be, and is left alone), and a
    // background that was refused.
    for (const std::string& notice : {mConfig->FileNotice(), mFormatNotice, mBackgroundProblem}) {
        if (!notice.empty()) parts.push_back(notice);
    }
    // A file without its header: the notice above already says that nothing
    // of it was read and the built-in values are used.
    if (!problems.empty() && !mConfig->HeaderMissing()) parts.push_back(DescribeSettingProblems(problems));
    const std::vector<std::string> typos = LikelyTypos(*mConfig);
    if (!typos.empty()) {
        std::string text = "配置文件“" + mConfig->Path() + "”中以下几处可能有笔误（程序不改动这些行）：";
        for (const std::string& typo : typos) text += "\n  " + typo;
        parts.push_back(text);
    }
    if (readFrontEndSettings) {
        std::string frontEnd;
        for (const std::string& problem : readFrontEndSettings(*mConfig)) {
            frontEnd += (frontEnd.empty() ? "" : "\n") + problem;
        }
        if (!frontEnd.empty()) parts.push_back(frontEnd);
    }
    // Cue files that will not sound as configured, in a paragraph of their own.
    const std::string cues =
        ReportCueSettings(c.sound, mConfig->Path(), {{"Sound30Seconds", mSound30}, {"Sound0Seconds", mSound0}});
    if (!cues.empty()) parts.push_back(cues);
    if (parts.empty()) return;
    std::string text = parts.front();
    for (std::size_t i = 1; i < parts.size(); ++i) text += "\n\n" + parts[i];
    Tell(text);
}
