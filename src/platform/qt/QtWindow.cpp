#include "platform/qt/QtWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QIcon>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <utility>

#include "platform/FileSystem.h"
#include "platform/qt/QtConvert.h"
#include "platform/qt/QtPicture.h"

namespace platform {
namespace {

// The client area the design was drawn for: 15000 x 10515 twips.
constexpr int kDesignWidthPx = 1000;
constexpr int kDesignHeightPx = 701;
// Room left for a window manager's title bar and border before the real frame is known.
constexpr QMargins kFrameAllowance(8, 40, 8, 8);
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
// The hint stays up as long as a second press of its key is waited for.
constexpr int kHintMilliseconds = 2000;
constexpr int kHintBottomMargin = 4;  // pixels between the hint and the window's bottom edge

}  // namespace

KeyStroke QtKeyStroke(const QKeyEvent& event) {
    KeyStroke stroke;
    stroke.press = event.type() == QEvent::KeyPress;
    stroke.repeat = event.isAutoRepeat();
    stroke.modified = (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
    switch (event.key()) {
    case Qt::Key_Space: stroke.name = KeyName::Space; break;
    case Qt::Key_Return:
    case Qt::Key_Enter: stroke.name = KeyName::Enter; break;
    case Qt::Key_Left: stroke.name = KeyName::Left; break;
    case Qt::Key_Right: stroke.name = KeyName::Right; break;
    case Qt::Key_R: stroke.name = KeyName::R; break;
    case Qt::Key_Backspace: stroke.name = KeyName::Backspace; break;
    case Qt::Key_PageUp: stroke.name = KeyName::PageUp; break;
    case Qt::Key_PageDown: stroke.name = KeyName::PageDown; break;
    case Qt::Key_F2: stroke.name = KeyName::F2; break;
    case Qt::Key_F5: stroke.name = KeyName::F5; break;
    case Qt::Key_F11: stroke.name = KeyName::F11; break;
    case Qt::Key_Escape: stroke.name = KeyName::Escape; break;
    default: stroke.name = KeyName::Other; break;
    }
    return stroke;
}

QtWindow::QtWindow(std::string executableFolder)
    : executableFolder_(std::move(executableFolder)), hint_(new QLabel(this)), hintTimer_(new QTimer(this)) {
    setAttribute(Qt::WA_KeyCompression, false);
    setFocusPolicy(Qt::StrongFocus);
    resize(kDesignWidthPx, kDesignHeightPx);
    LoadIcons();
    // The hint is read, never clicked: it lets the mouse through to the bar beneath.
    hint_->setObjectName(QStringLiteral("hint"));
    hint_->setTextFormat(Qt::PlainText);
    hint_->setAttribute(Qt::WA_TransparentForMouseEvents);
    hint_->setStyleSheet(QStringLiteral("QLabel { background: #303030; color: white; padding: 4px 12px; }"));
    hint_->hide();
    hintTimer_->setSingleShot(true);
    hintTimer_->setInterval(kHintMilliseconds);
    connect(hintTimer_, &QTimer::timeout, hint_, &QWidget::hide);
    // Application-wide, so a key reaches the logic whichever child has the focus.
    qApp->installEventFilter(this);
}

QtWindow::~QtWindow() {
    qApp->removeEventFilter(this);
}

double QtWindow::ScaleWidth() const {
    return PixelsToTwips(width());
}

double QtWindow::ScaleHeight() const {
    return PixelsToTwips(height());
}

double QtWindow::TextWidth(const std::string& text) const {
    return PixelsToTwips(TextExtent(font(), DisplayText(text)).width());
}

double QtWindow::TextHeight(const std::string& text) const {
    return PixelsToTwips(TextExtent(font(), DisplayText(text)).height());
}

std::string QtWindow::Title() const {
    return ToStdString(windowTitle());
}

void QtWindow::SetTitle(const std::string& title) {
    setWindowTitle(ToQString(title));
}

PictureFault QtWindow::LoadPicture(const std::string& path) {
    // A picture that cannot be shown whole keeps the background already shown.
    PictureRead read = ReadPicture(path, executableFolder_, PictureUse::TopLeft, LargestScreen());
    if (read.fault != PictureFault::None) return read.fault;
    picture_ = QPixmap::fromImage(std::move(read.image));
    update();
    return PictureFault::None;
}

void QtWindow::ClearPicture() {
    picture_ = QPixmap();
    update();
}

void QtWindow::Close() {
    // A question still open has lost its point: the program is told to end.
    closing_ = true;
    if (question_) question_->reject();
    close();
}

void QtWindow::ShowHint(const std::string& text) {
    if (onHint) onHint(text);
    if (text.empty()) {
        hintTimer_->stop();
        hint_->hide();
        return;
    }
    hint_->setText(ToQString(text));
    hint_->setAccessibleName(hint_->text());
    hint_->adjustSize();
    PlaceHint();
    hint_->show();
    hint_->raise();
    hintTimer_->start();  // a new hint has its full time
}

bool QtWindow::Confirm(const std::string& question) {
    QMessageBox box(QMessageBox::Question, windowTitle(), ToQString(question), QMessageBox::NoButton, this);
    box.setTextFormat(Qt::PlainText);
    QPushButton* yes = box.addButton(QStringLiteral("是"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("否"), QMessageBox::NoRole);
    // Enter or Esc pressed out of habit keeps things as they are.
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    question_ = &box;
    box.exec();
    return box.clickedButton() == yes;
}

QRect PlaceWithin(const QSize& design, const QRect& available, const QMargins& frame) {
    const QRect room = available.marginsRemoved(frame);
    const QSize size = design.boundedTo(room.size()).expandedTo(QSize(1, 1));
    QRect placed = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, room);
    // Where even the smallest window cannot fit, its title bar still can.
    placed.moveTopLeft(QPoint(std::max(placed.left(), room.left()), std::max(placed.top(), room.top())));
    return placed;
}

void QtWindow::CentreOnScreen() {
    const QScreen* target = screen() ? screen() : QGuiApplication::primaryScreen();
    if (target == nullptr) return;
    // The frame is known once the window is on the screen; before that, room is
    // left for a usual title bar and border.
    const bool framed = isVisible() && frameGeometry() != geometry();
    const QMargins frame = framed ? QMargins(geometry().left() - frameGeometry().left(),
                                             geometry().top() - frameGeometry().top(),
                                             frameGeometry().right() - geometry().right(),
                                             frameGeometry().bottom() - geometry().bottom())
                                  : kFrameAllowance;
    setGeometry(PlaceWithin(QSize(kDesignWidthPx, kDesignHeightPx), target->availableGeometry(), frame));
}

void QtWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (placedWithFrame_) return;
    placedWithFrame_ = true;
    // Once the window manager has framed it, a title bar that ended up beyond
    // the screen's available area is brought back within it.
    QTimer::singleShot(0, this, [this] {
        const QScreen* target = screen();
        if (target != nullptr && !isFullScreen() && !target->availableGeometry().contains(frameGeometry()))
            CentreOnScreen();
    });
}

void QtWindow::BringToFront() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void QtWindow::paintEvent(QPaintEvent* /*event*/) {
    if (picture_.isNull()) return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}

void QtWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (onResize) onResize();
    PlaceHint();
}

void QtWindow::closeEvent(QCloseEvent* event) {
    // Close() also ends a question it interrupted: the window then closes. A
    // session that is logging off is not held up by a question either.
    const bool mayAsk = !closing_ && !qApp->isSavingSession();
    if (mayAsk && onCloseRequest && !onCloseRequest() && !closing_) {
        event->ignore();
        return;
    }
    event->accept();
}

bool QtWindow::eventFilter(QObject* watched, QEvent* event) {
    KeepHintOnTop(watched, *event);
    const bool press = event->type() == QEvent::KeyPress;
    if ((!press && event->type() != QEvent::KeyRelease) || !IsOwnWidget(watched)) return false;
    return HandleKey(static_cast<const QKeyEvent&>(*event));
}

bool QtWindow::HandleKey(const QKeyEvent& event) {
    KeyHooks hooks;
    hooks.logic = onKey;
    hooks.summary = onSummary;
    hooks.toggleFullScreen = [this] { isFullScreen() ? showNormal() : showFullScreen(); };
    hooks.leaveFullScreen = [this] { showNormal(); };
    hooks.toggleAudience = audienceKeys.toggle;
    hooks.closeAudience = audienceKeys.close;
    hooks.pressFocused = [this] {
        auto* button = qobject_cast<QAbstractButton*>(focusWidget());
        if (button == nullptr || !button->isVisible() || !button->isEnabled()) return false;
        button->click();
        return true;
    };
    const bool audienceOpen = audienceKeys.isOpen && audienceKeys.isOpen();
    return keys_.Route(QtKeyStroke(event), {isFullScreen(), audienceOpen}, hooks);
}

bool QtWindow::IsOwnWidget(QObject* watched) const {
    const auto* widget = qobject_cast<const QWidget*>(watched);
    return widget != nullptr && widget->window() == this;
}

// Centred over the bottom edge, where the bar is: never over the caption or the countdowns.
void QtWindow::PlaceHint() {
    hint_->move((width() - hint_->width()) / 2, height() - hint_->height() - kHintBottomMargin);
}

// The layout brings each bar button to the front at every change; the hint
// stays in front of them while it is shown.
void QtWindow::KeepHintOnTop(QObject* watched, const QEvent& event) {
    if (event.type() != QEvent::ZOrderChange || watched == hint_ || !hint_->isVisible()) return;
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (widget != nullptr && widget->parentWidget() == this) hint_->raise();
}

void QtWindow::LoadIcons() {
    QIcon icon;
    for (const int size : kIconSizes) {
        const QString file =
            ToQString(executableFolder_) + QStringLiteral("/icons/Tolvanexa-%1.png").arg(size);
        if (QFile::exists(file)) icon.addFile(file, QSize(size, size));
    }
    if (!icon.isNull()) setWindowIcon(icon);
}

}  // namespace platform
