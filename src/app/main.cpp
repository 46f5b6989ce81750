// The program: the real Qt window and controls, POSIX files with GBK text and
// SDL sound, joined to the window's logic and the debate record. With
// `--summary FILE.csv` it prints that record's summary instead, and with
// `--help` its usage, without a window.
#include <QApplication>

#include <exception>
#include <iostream>

#include "app/AudienceWiring.h"
#include "app/CloseDown.h"
#include "app/CommandLine.h"
#include "app/FormWiring.h"
#include "app/SignalCloser.h"
#include "app/StartWindow.h"
#include "platform/posix/PosixIconvCodec.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixRecordFile.h"
#include "platform/qt/QtForm.h"
#include "platform/qt/QtSingleInstance.h"
#include "platform/qt/QtSummaryWindow.h"
#include "platform/qt/QtTranslations.h"
#include "platform/sdl/SdlSound.h"
#include "record/RecordWriter.h"
#include "record/SummaryCommand.h"

namespace {

int Run() {
    platform::PosixFileSystem files;
    // Decided before anything is loaded: a second copy on this folder brings
    // the running one to the front and ends at once, touching no file.
    platform::QtSingleInstance instance(files.ExecutableFolder());
    const bool onlyCopyOnFolder = instance.Acquire();
    if (!onlyCopyOnFolder) return 0;
    // From here on this copy is the only one on its folder, for as long as it
    // runs: nothing beside the configuration is another copy's work in progress.

    const platform::IconvCodec codec;
    platform::QtForm form(files.ExecutableFolder());
    instance.onActivate = [&form] { form.window.BringToFront(); };
    platform::SdlSound sound(files.ExecutableFolder());
    platform::QtAudienceView audience(form.window, files.ExecutableFolder());
    platform::PosixRecordFiles recordFiles;
    // A failure is told from the writer's thread; the message is shown on the window's.
    record::RecordWriter recorder(recordFiles, [&form](const std::string& message) {
        QMetaObject::invokeMethod(&form.window, [&form, message] { form.errors.Show(message); }, Qt::QueuedConnection);
    });
    frmMain window(WireForm(form, sound, form.browser, form.displaySleep, files, codec, audience, recorder));

    if (!StartWindow(window, audience, form, files, &platform::QtErrorSink::ShowFatal)) return 1;

    platform::QtSummaryWindow summary(form.window, [&recorder] { return recorder.Events(); },
                                      StartRecording(window, recorder, files.ExecutableFolder()), form.errors);
    WireSummaryKey(window, form, summary, audience);

    // A second signal, once the window has closed, closes the message about
    // the save that may be waiting, so the program can still be ended.
    const SignalCloser closer([&form] {
        if (form.window.isVisible()) {
            form.window.Close();
        } else if (QWidget* waiting = QApplication::activeModalWidget()) {
            waiting->close();
        }
    });
    form.window.show();
    const int status = QApplication::exec();
    // A later copy started while a message about the save waits finds the
    // window closed: it brings the message forward, never the closed window back.
    instance.onActivate = [] {
        if (QWidget* waiting = QApplication::activeModalWidget()) waiting->raise();
    };
    // A record failure the writer told as the loop ended waits among the window's posted events.
    CloseDown closing(window, form, sound, audience, summary,
                      [&form] { QCoreApplication::sendPostedEvents(&form.window, QEvent::MetaCall); });
    closing.Save();
    return closing.Failed() ? 1 : status;
}

}  // namespace

int main(int argc, char** argv) {
    // Before Qt: the summary and the usage need no display and open no window.
    const CommandLine line = ReadCommandLine(std::vector<std::string>(argv + 1, argv + argc), false);
    if (line.action != CommandAction::Window) {
        const platform::PosixFileSystem files;
        const std::string usage = Usage(files.ExecutableBaseName(), ConfigurationPath(files), false);
        if (line.action == CommandAction::Help) {
            std::cout << usage;
            return std::cout.flush() ? 0 : 1;
        }
        if (line.action == CommandAction::Wrong) {
            std::cerr << line.wrong << "\n\n" << usage;
            return kWrongCommandLineStatus;
        }
        platform::PosixRecordFiles records;
        const platform::IconvCodec codec;
        return record::RunSummaryCommand(line.arguments, records, codec, std::cout, std::cerr);
    }
    // No other command line: Qt is given the program's name only.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolvanexa"));
    const auto qtInChinese = platform::InstallChineseTranslations();
    try {
        return Run();
    } catch (const std::exception& error) {
        platform::QtErrorSink::ShowFatal(std::string("计时器无法启动：") + error.what());
        return 1;
    }
}
