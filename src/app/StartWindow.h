// The window's start, the same on every front end: what saves ended by a
// kill left beside the configuration goes, the configuration is read, and
// the hall's view gets its settings.
#pragma once

#include <exception>
#include <optional>
#include <string>

#include "app/ConfigureAudience.h"
#include "config/clsConfigFile.h"
#include "platform/FileSystem.h"
#include "record/RecordWriter.h"
#include "window/frmMain.h"

// False once a start-up that failed has been told through `showFatal`.
template <class Form, class View, class ShowFatal>
bool StartWindow(frmMain& window, View& audience, Form& form, platform::FileSystem& files, ShowFatal showFatal) {
    try {
        // Only once this copy holds the folder's lock: a temporary file of
        // another copy's save under way must not be taken away.
        clsConfigFile::RemoveLeftovers(files);
        ConfigureAudience(window, audience, form.errors);
        window.Form_Load();
    } catch (const std::exception& error) {
        // No tick may reach a window whose start-up failed while its message waits.
        form.StopTimers();
        showFatal(std::string("计时器无法启动：") + error.what());
        return false;
    }
    return true;
}

// Once the configuration is loaded: the record goes to the folder it names
// (the events before this waited in memory). Answers where the summary's save
// dialog opens: that folder, or beside the program when recording is off.
inline std::string StartRecording(frmMain& window, record::RecordWriter& recorder, const std::string& programFolder) {
    const std::optional<std::string> folder = record::RecordFolder(window.Config().Item("RecordFolder"), programFolder);
    recorder.WriteTo(folder);
    return folder.value_or(programFolder);
}

// F2. The logic decides whether the summary may open: not while a countdown
// runs (the key then shows a hint), and one still open steps aside as a
// countdown starts, so it never covers the digits nor shows itself to the
// hall. On one screen the summary would open beneath the hall's view: the
// view steps aside for it (F5 brings it back).
template <class Form, class Summary, class View>
void WireSummaryKey(frmMain& window, Form& form, Summary& summary, View& audience) {
    form.window.onSummary = [&window, &summary, &audience] {
        if (!window.SummaryKey()) return;
        if (audience.CoversMainWindow()) audience.Close();
        summary.ShowSummary();
    };
    window.onCountdownRunning = [&summary](bool running) {
        if (running) summary.Hide();
    };
}
