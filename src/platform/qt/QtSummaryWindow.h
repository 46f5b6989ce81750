// The summary of the debate so far (F2): one row per stage run, overtime in
// red, "复制" for tab-separated text on the clipboard and "保存" for a CSV file
// chosen in a save dialog that opens in the record folder. A window of its
// own beside the timer's, which it never holds up: the file is written on a
// thread of its own.
#pragma once

#include <QDialog>
#include <QPointer>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/DebateRecord.h"
#include "platform/Window.h"

class QLabel;
class QThread;
class QPushButton;
class QTableWidget;

namespace platform {

class QtSummaryWindow final : public QDialog {
    Q_OBJECT
public:
    using EventSource = std::function<std::vector<DebateEvent>()>;
    // Asks where to save, starting from the suggested path; empty when cancelled.
    using SavePathQuestion = std::function<QString(QWidget& parent, const QString& suggested)>;

    // `events` gives the debate's events so far; `folder` is where the save
    // dialog opens (the record folder, or the program's when recording is off).
    QtSummaryWindow(QWidget& owner, EventSource events, std::string folder, ErrorSink& errors);

    // Computes the summary afresh and shows the window in front.
    void ShowSummary();
    void Hide() { hide(); }

    // At the close: waits for a save under way and tells how it ended, so
    // neither the file nor a failure is lost with the program.
    void FinishSave();

    // The save dialog; tests put an answer in its place.
    SavePathQuestion askSavePath;

    // For the tests: what the table and the buttons are.
    QTableWidget& Table() const { return *table_; }
    QLabel& Span() const { return *span_; }
    QPushButton& CopyButton() const { return *copy_; }
    QPushButton& SaveButton() const { return *save_; }

signals:
    // A save has ended, written or not.
    void saveFinished(bool written);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Refresh();
    void Copy();
    void Save();

    EventSource events_;
    std::string folder_;
    ErrorSink& errors_;
    QLabel* span_;
    QTableWidget* table_;
    QPushButton* copy_;
    QPushButton* save_;
    QPointer<QThread> writer_;  // the save under way; one at a time
};

}  // namespace platform
