// The timer's one top-level window. Its client area is the surface the logic
// lays out in twips; it paints the background picture, measures text in its
// own font (which the buttons share) and reports size changes and the
// time-keeper's keys.
#pragma once

#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>

#include "platform/KeyPolicy.h"
#include "platform/Window.h"

namespace platform {

class QtWindow final : public QWidget, public Window {
public:
    // `executableFolder` is where a picture path from the configuration is
    // looked for when it names no file as written, and where the icons lie.
    explicit QtWindow(std::string executableFolder);
    ~QtWindow() override;

    double ScaleWidth() const override;
    double ScaleHeight() const override;
    double TextWidth(const std::string& text) const override;
    double TextHeight(const std::string& text) const override;
    std::string Title() const override;
    void SetTitle(const std::string& title) override;
    PictureFault LoadPicture(const std::string& path) override;
    void ClearPicture() override;
    void Close() override;
    void ShowHint(const std::string& text) override;
    bool Confirm(const std::string& question) override;

    // Places the window in the middle of its screen's available area, at its
    // design size where that fits with the frame, smaller where it does not,
    // its title bar always within reach.
    void CentreOnScreen();
    // Shows the window in front of the others and gives it the keyboard, as
    // when a second copy of the program was started.
    void BringToFront();
    bool HasPicture() const { return !picture_.isNull(); }

    // The audience view beside this window, for its keys (F5, and Esc while
    // it is open): like F11, they never reach the logic.
    struct AudienceHooks {
        std::function<bool()> isOpen;
        std::function<void()> toggle;
        std::function<void()> close;
    };
    AudienceHooks audienceKeys;

    // F2: the summary of the debate so far. A view of the record, like F11 a
    // key of the window alone: the logic never hears of it.
    std::function<void()> onSummary;

    // Each hint as it is shown (an empty one as it is taken away), for a view
    // that may be covering this window to show it too.
    std::function<void(const std::string&)> onHint;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The logic sees the time-keeper's keys before the focused button does;
    // a key that pressed a bar button is taken, or Space would also press
    // whichever button last had the focus. Any other key goes on as usual.
    bool HandleKey(const QKeyEvent& event);
    bool IsOwnWidget(QObject* watched) const;
    void LoadIcons();
    void PlaceHint();
    void KeepHintOnTop(QObject* watched, const QEvent& event);

    std::string executableFolder_;
    bool placedWithFrame_ = false;
    QPixmap picture_;
    MainWindowKeys keys_;
    QLabel* hint_;             // owned by the window
    QTimer* hintTimer_;        // hides the hint
    QPointer<QMessageBox> question_;  // the question being asked, if any
    bool closing_ = false;     // Close() was called: the window closes without asking
};

// Where a window of `design` size goes within a screen's `available` area
// when its frame adds `frame`: centred, as large as the area allows up to the
// design size, the frame inside the area.
QRect PlaceWithin(const QSize& design, const QRect& available, const QMargins& frame);

// A Qt key event as the key policy reads it.
KeyStroke QtKeyStroke(const QKeyEvent& event);

}  // namespace platform
