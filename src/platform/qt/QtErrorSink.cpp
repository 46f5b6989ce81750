#include "platform/qt/QtErrorSink.h"

#include <QEvent>
#include <QPushButton>
#include <QTimer>

#include <iostream>

#include "platform/qt/QtConvert.h"

namespace platform {
namespace {

const QString kTitle = QStringLiteral("Tolvanexa");
const QString kOk = QStringLiteral("确定");

void Log(const std::string& message) {
    std::cerr << "Tolvanexa: " << message << std::endl;
}

// Messages name files and settings the user wrote: a folder called
// "t<h1>BIG</h1>" or "<img src=...>" is shown as written, never as markup.
// The one button reads 确定 whatever translations the system has.
QMessageBox* NewBox(QMessageBox::Icon icon, const std::string& message, QWidget* owner) {
    auto* box = new QMessageBox(icon, kTitle, QString(), QMessageBox::NoButton, owner);
    box->setTextFormat(Qt::PlainText);
    box->setText(ToQString(message));
    box->setDefaultButton(box->addButton(kOk, QMessageBox::AcceptRole));
    return box;
}

void Wait(QMessageBox::Icon icon, const std::string& message, QWidget* owner) {
    const std::unique_ptr<QMessageBox> box(NewBox(icon, message, owner));
    box->exec();
}

}  // namespace

// Tells the sink when its window has been shown, so a message that came
// before can be put in front of it.
class QtErrorSink::ShowWatch final : public QObject {
public:
    explicit ShowWatch(QtErrorSink& sink) : sink_(sink) {}

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        // After the show is done, so the window is there for the box to go above.
        if (event->type() == QEvent::Show) QTimer::singleShot(0, this, [this] { sink_.ShowWaiting(); });
        return false;
    }

private:
    QtErrorSink& sink_;
};

QtErrorSink::QtErrorSink(QWidget& window) : window_(window), watch_(std::make_unique<ShowWatch>(*this)) {
    window_.installEventFilter(watch_.get());
}

QtErrorSink::~QtErrorSink() {
    window_.removeEventFilter(watch_.get());
    for (auto& [text, box] : open_) delete box;
}

void QtErrorSink::Show(const std::string& message) {
    Log(message);
    ++messagesShown_;
    if (modality_ == Modality::Blocking) {
        Wait(QMessageBox::Warning, message, window_.isVisible() ? &window_ : nullptr);
        return;
    }
    QPointer<QMessageBox>& box = open_[message];
    if (box) {
        if (box->isVisible()) box->raise();
        return;
    }
    // A child of the window, so it stays above it and never keeps the program
    // alive once the window has closed.
    box = NewBox(QMessageBox::Warning, message, &window_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    // Start-up's message comes before the window is shown: opened then, it
    // would end up behind the window and never be seen. It waits for the window.
    if (window_.isVisible()) {
        box->show();
        box->raise();
    }
}

void QtErrorSink::ShowWaiting() {
    if (!window_.isVisible()) return;
    for (auto& [text, box] : open_) {
        if (!box || box->isVisible()) continue;
        // Raised, not activated: the window keeps the keyboard, so the
        // time-keeper's first key still works the bar rather than the message.
        box->show();
        box->raise();
    }
}

int QtErrorSink::OpenBoxes() const {
    int count = 0;
    for (const auto& [text, box] : open_) count += box && box->isVisible() ? 1 : 0;
    return count;
}

void QtErrorSink::ShowFatal(const std::string& message) {
    Log(message);
    Wait(QMessageBox::Critical, message, nullptr);
}

}  // namespace platform
