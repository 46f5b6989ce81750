// The audience view: a second, frameless, full-screen window for the hall,
// painted by this one widget from the frame the logic publishes. F5 in the
// main window opens it, F5 or Esc closes it. It takes a screen other than the
// main window's where there is one, follows screens plugged in or removed,
// hides the mouse pointer when it rests, and hands every other key typed into
// it to the main window, so a debate runs from either.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "platform/AudienceSettings.h"
#include "platform/AudienceView.h"
#include "platform/AudienceScene.h"
#include "platform/qt/QtAudiencePainter.h"

class QKeyEvent;
class QLabel;
class QScreen;

namespace platform {

class QtWindow;

class QtAudienceView final : public QWidget, public AudienceView {
public:
    // `main` is the time-keeper's window: its screen is avoided and it gets
    // the keys typed here. A background path is found as the main window's is.
    QtAudienceView(QtWindow& main, std::string executableFolder);
    ~QtAudienceView() override;
    QtAudienceView(const QtAudienceView&) = delete;
    QtAudienceView& operator=(const QtAudienceView&) = delete;

    // Takes the settings read at start-up and reads the background picture;
    // answers why that picture will not be shown (None when it will, or none is set).
    PictureFault Configure(const AudienceSettings& settings);

    void Publish(const AudienceFrame& frame) override;

    void Open();
    void Close();
    bool IsOpen() const { return isVisible(); }
    // Open over the main window's own screen (one screen, or a mirrored
    // projector): whatever the time-keeper must see is hidden beneath it.
    bool CoversMainWindow() const;

    // Told once, with the number of screens there are, when the configured
    // screen is not among them and the automatic choice was made instead.
    std::function<void(int screens)> onScreenNumberUnknown;

    const AudienceFrame& Frame() const { return frame_; }
    const std::vector<AudiencePiece>& Pieces() const { return pieces_; }
    bool HasBackground() const { return !background_.isNull(); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // Closed by the desktop (Alt+F4): as by Esc, the keyboard goes back to the main window.
    void closeEvent(QCloseEvent* event) override;

private:
    // F5, Esc and F11 typed here; any other key goes on to the main window.
    void TakeKey(const QKeyEvent& event);
    // Fills the screen the rules choose, leaving out `gone` (a screen being removed).
    void Place(const QScreen* gone = nullptr);
    void Recompose(bool everything);
    void ShowPointer();
    // The main window's hint, shown here too while the view covers it, so a
    // first R or Backspace typed into the view is not met by nothing.
    void ShowHint(const std::string& text);

    QtWindow& main_;
    std::string executableFolder_;
    AudienceSettings settings_;
    QtAudienceFonts fonts_;
    DigitFace digits_;
    AudienceFrame frame_;
    std::vector<AudiencePiece> pieces_;
    QImage background_;     // as read, no larger than the screens need
    QPixmap cover_;         // scaled to cover the view, veiled, for the view's size
    QTimer pointerTimer_;
    QLabel* hint_;
    QTimer hintTimer_;
    bool toldUnknownScreen_ = false;
    std::vector<QMetaObject::Connection> screenConnections_;
};

}  // namespace platform
