// Shows the time-keeper what went wrong, as plain text with one 确定 button.
// Every message also goes to stderr, where a log of the session keeps it.
#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>
#include <string>

#include "platform/Window.h"

namespace platform {

class QtErrorSink final : public ErrorSink {
public:
    explicit QtErrorSink(QWidget& window);
    ~QtErrorSink() override;
    QtErrorSink(const QtErrorSink&) = delete;
    QtErrorSink& operator=(const QtErrorSink&) = delete;

    void Show(const std::string& message) override;
    void SetModality(Modality modality) { modality_ = modality; }
    // Boxes on the screen, for the tests. A message told before the window
    // was first shown appears, in front of it, once it is.
    int OpenBoxes() const;
    // Every message told so far, shown in a box or not.
    int MessagesShown() const { return messagesShown_; }

    // For an error that ends start-up: on stderr, then in a box that waits.
    static void ShowFatal(const std::string& message);

private:
    class ShowWatch;
    void ShowWaiting();

    QWidget& window_;
    std::unique_ptr<ShowWatch> watch_;
    Modality modality_ = Modality::NonBlocking;
    int messagesShown_ = 0;
    // One box per text: a fault met on every tick raises its box, not a new one.
    std::map<std::string, QPointer<QMessageBox>> open_;
};

}  // namespace platform
