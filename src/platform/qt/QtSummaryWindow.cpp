#include "platform/qt/QtSummaryWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

#include <memory>

#include "platform/qt/QtConvert.h"
#include "record/Summary.h"
#include "record/SummaryText.h"

namespace platform {
namespace {

QPushButton* SummaryButton(const QString& text, QWidget& parent) {
    auto* button = new QPushButton(text, &parent);
    button->setAccessibleName(text);
    button->setAutoDefault(false);
    return button;
}

QString DefaultSavePath(QWidget& parent, const QString& suggested) {
    return QFileDialog::getSaveFileName(&parent, QStringLiteral("保存辩论小结"), suggested,
                                        QStringLiteral("CSV 文件 (*.csv)"));
}

// Writes through a temporary file renamed over the target, so a failed save
// never leaves half a file; empty on success, else the reason.
QString WriteWhole(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        return file.errorString();
    }
    return {};
}

}  // namespace

QtSummaryWindow::QtSummaryWindow(QWidget& owner, EventSource events, std::string folder, ErrorSink& errors)
    : QDialog(&owner), askSavePath(&DefaultSavePath), events_(std::move(events)), folder_(std::move(folder)),
      errors_(errors) {
    setWindowTitle(QStringLiteral("辩论小结"));
    setAccessibleName(QStringLiteral("辩论小结"));
    setModal(false);
    span_ = new QLabel(this);
    table_ = new QTableWidget(this);
    table_->setAccessibleName(QStringLiteral("各环节用时"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setVisible(false);
    copy_ = SummaryButton(QStringLiteral("复制"), *this);
    save_ = SummaryButton(QStringLiteral("保存"), *this);
    QPushButton* close = SummaryButton(QStringLiteral("关闭"), *this);
    connect(copy_, &QPushButton::clicked, this, [this] { Copy(); });
    connect(save_, &QPushButton::clicked, this, [this] { Save(); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {copy_, save_, close}) buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(span_);
    layout->addWidget(table_);
    layout->addLayout(buttons);
    resize(1000, 420);
}

void QtSummaryWindow::ShowSummary() {
    Refresh();
    show();
    raise();
    activateWindow();
}

void QtSummaryWindow::keyPressEvent(QKeyEvent* event) {
    // F2 here brings the summary up to date, as it does over the timer.
    if (event->key() == Qt::Key_F2) {
        Refresh();
        return;
    }
    QDialog::keyPressEvent(event);
}

void QtSummaryWindow::Refresh() {
    const record::Summary summary = record::Summarise(events_());
    const record::SummaryTable table = record::Tabulate(summary);
    QString span;
    for (const auto& line : table.lines) span += ToQString(line[0] + "：" + line[1]) + QStringLiteral("    ");
    span_->setText(span.trimmed());
    span_->setAccessibleName(span_->text());

    table_->clear();
    table_->setColumnCount(static_cast<int>(table.header.size()));
    table_->setRowCount(static_cast<int>(table.rows.size()));
    QStringList header;
    for (const std::string& name : table.header) header << ToQString(name);
    table_->setHorizontalHeaderLabels(header);
    for (int r = 0; r < table_->rowCount(); ++r) {
        const auto& row = table.rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < table_->columnCount(); ++c) {
            auto* item = new QTableWidgetItem(DisplayText(row[static_cast<std::size_t>(c)]));
            if (c > 1) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(r, c, item);
        }
        if (table.overtime[static_cast<std::size_t>(r)]) {
            table_->item(r, static_cast<int>(table.overtimeColumn))->setForeground(QColor(Qt::red));
        }
    }
    table_->resizeColumnsToContents();
    table_->resizeRowsToContents();
}

void QtSummaryWindow::Copy() {
    QApplication::clipboard()->setText(ToQString(record::AsTabSeparated(record::Summarise(events_()))));
}

void QtSummaryWindow::FinishSave() {
    if (!writer_) return;
    writer_->wait();
    // Its end was posted to this window's thread; taken now, as no event loop runs any more.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void QtSummaryWindow::Save() {
    if (writer_ && writer_->isRunning()) return;
    const QDateTime now = QDateTime::currentDateTime();
    const platform::LocalTime wall{now.date().year(), now.date().month(), now.date().day(),
                                   now.time().hour(), now.time().minute(), now.time().second()};
    const QString suggested = QDir(ToQString(folder_)).filePath(ToQString(record::SuggestedSummaryName(wall)));
    const QString path = askSavePath(*this, suggested);
    if (path.isEmpty()) return;
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) {
        errors_.Show("无法保存辩论小结：“" + ToStdString(path) + "”不是普通文件。");
        emit saveFinished(false);
        return;
    }
    const std::string csv = record::AsCsv(record::Summarise(events_()));
    const QByteArray bytes(csv.data(), static_cast<qsizetype>(csv.size()));
    auto failure = std::make_shared<QString>();
    QThread* writer = QThread::create([path, bytes, failure] { *failure = WriteWhole(path, bytes); });
    connect(writer, &QThread::finished, this, [this, path, failure] {
        if (!failure->isEmpty()) {
            errors_.Show("无法保存辩论小结到“" + ToStdString(path) + "”：" + ToStdString(*failure));
        }
        emit saveFinished(failure->isEmpty());
    });
    connect(writer, &QThread::finished, writer, &QObject::deleteLater);
    writer_ = writer;
    writer->start();
}

}  // namespace platform
