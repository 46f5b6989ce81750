#include "platform/qt/QtErrorSink.h"

#include <iostream>

#include "platform/qt/QtConvert.h"

namespace platform {
namespace {

const QString kTitle = QStringLiteral("Tolvanexa");

void Log(const std::string& message) {
    std::cerr << "Tolvanexa: " << message << std::endl;
}

}  // namespace

QtErrorSink::QtErrorSink(QWidget& window) : window_(window) {}

QtErrorSink::~QtErrorSink() {
    for (auto& [text, box] : open_) delete box;
}

void QtErrorSink::Show(const std::string& message) {
    Log(message);
    ++messagesShown_;
    if (modality_ == Modality::Blocking) {
        QMessageBox::warning(window_.isVisible() ? &window_ : nullptr, kTitle, ToQString(message));
        return;
    }
    QPointer<QMessageBox>& box = open_[message];
    if (box) {
        box->raise();
        return;
    }
    // A child of the window, so it never keeps the program alive once the window has closed.
    box = new QMessageBox(QMessageBox::Warning, kTitle, ToQString(message), QMessageBox::Ok, &window_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

int QtErrorSink::OpenBoxes() const {
    int count = 0;
    for (const auto& [text, box] : open_) count += box ? 1 : 0;
    return count;
}

void QtErrorSink::ShowFatal(const std::string& message) {
    Log(message);
    QMessageBox::critical(nullptr, kTitle, ToQString(message));
}

}  // namespace platform
