#include "platform/qt/QtAudienceView.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <algorithm>

#include "platform/AudienceText.h"
#include "platform/qt/QtConvert.h"
#include "platform/qt/QtPicture.h"
#include "platform/qt/QtWindow.h"

namespace platform {
namespace {

// The pointer leaves the hall's screen when it has rested this long.
constexpr int kPointerRestMs = 2000;
// As long as the main window's own hint stays up.
constexpr int kHintMs = 2000;
// A picture behind the countdowns is darkened by this much, so light digits
// stay readable on any picture.
constexpr double kVeil = 0.45;

}  // namespace

QtAudienceView::QtAudienceView(QtWindow& main, std::string executableFolder)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), main_(main), executableFolder_(std::move(executableFolder)),
      fonts_(settings_), digits_(MeasureDigitFace(fonts_)), hint_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Tolvanexa"));
    // Painted whole by paintEvent: no background fill of its own beneath it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Open or not, the view never keeps the program running once the main window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAccessibleName(ToQString(AudienceNameText(frame_)));

    pointerTimer_.setSingleShot(true);
    pointerTimer_.setInterval(kPointerRestMs);
    QObject::connect(&pointerTimer_, &QTimer::timeout, this, [this] { setCursor(Qt::BlankCursor); });

    hint_->setTextFormat(Qt::PlainText);
    hint_->setStyleSheet(QStringLiteral("QLabel { background: #303030; color: white; padding: 8px 24px; }"));
    hint_->hide();
    hintTimer_.setSingleShot(true);
    hintTimer_.setInterval(kHintMs);
    QObject::connect(&hintTimer_, &QTimer::timeout, hint_, &QWidget::hide);

    main_.audienceKeys = {[this] { return IsOpen(); }, [this] { IsOpen() ? Close() : Open(); }, [this] { Close(); }};
    main_.onHint = [this](const std::string& text) { ShowHint(text); };
    // Screens come and go while the view is open: a projector plugged in late
    // or unplugged. The view never stays on a screen that has gone.
    screenConnections_.push_back(QObject::connect(qApp, &QGuiApplication::screenAdded, this, [this](QScreen*) {
        if (IsOpen()) Place();
    }));
    screenConnections_.push_back(QObject::connect(qApp, &QGuiApplication::screenRemoved, this,
                                                  [this](QScreen* gone) {
                                                      if (IsOpen()) Place(gone);
                                                  }));
}

QtAudienceView::~QtAudienceView() {
    main_.audienceKeys = {};
    main_.onHint = nullptr;
    for (const QMetaObject::Connection& connection : screenConnections_) QObject::disconnect(connection);
}

PictureFault QtAudienceView::Configure(const AudienceSettings& settings) {
    settings_ = settings;
    fonts_ = QtAudienceFonts(settings_);
    digits_ = MeasureDigitFace(fonts_);
    background_ = QImage();
    cover_ = QPixmap();
    PictureFault fault = PictureFault::None;
    if (!settings_.background.empty()) {
        PictureRead read = ReadPicture(settings_.background, executableFolder_, PictureUse::Cover, LargestScreen());
        fault = read.fault;
        background_ = std::move(read.image);
    }
    if (IsOpen()) Recompose(true);
    return fault;
}

void QtAudienceView::Publish(const AudienceFrame& frame) {
    if (frame == frame_) return;
    frame_ = frame;
    const QString name = ToQString(AudienceNameText(frame_));
    if (accessibleName() != name) setAccessibleName(name);
    const QString description = ToQString(AudienceDescriptionText(frame_));
    if (accessibleDescription() != description) setAccessibleDescription(description);
    // A closed view keeps the frame and composes it when it opens.
    if (IsOpen()) Recompose(false);
}

void QtAudienceView::Open() {
    if (IsOpen()) return;
    Place();
    Recompose(true);
    ShowPointer();
}

void QtAudienceView::Close() {
    if (!IsOpen()) return;
    hide();
    pointerTimer_.stop();
    hintTimer_.stop();
    hint_->hide();
    main_.activateWindow();
}

void QtAudienceView::TakeKey(const QKeyEvent& event) {
    switch (AudienceViewKey(QtKeyStroke(event))) {
    case AudienceKeyEffect::Close: Close(); return;
    case AudienceKeyEffect::Ignore: return;
    case AudienceKeyEffect::Forward: break;
    }
    // The same path as a key typed into the main window: its filter gives the
    // logic the keys it knows, and any other goes to its focused button.
    QWidget* target = main_.focusWidget() != nullptr ? main_.focusWidget() : &main_;
    QKeyEvent copy(event.type(), event.key(), event.modifiers(), event.nativeScanCode(), event.nativeVirtualKey(),
                   event.nativeModifiers(), event.text(), event.isAutoRepeat(), event.count());
    QCoreApplication::sendEvent(target, &copy);
}

void QtAudienceView::Place(const QScreen* gone) {
    std::vector<QScreen*> screens;
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != gone) screens.push_back(screen);
    }
    std::vector<Box> areas;
    int mainIndex = -1;
    for (QScreen* screen : screens) {
        const QRect area = screen->geometry();
        if (screen == main_.screen()) mainIndex = static_cast<int>(areas.size());
        areas.push_back({static_cast<double>(area.x()), static_cast<double>(area.y()),
                         static_cast<double>(area.width()), static_cast<double>(area.height())});
    }
    const AudienceScreenChoice choice = ChooseAudienceScreen(areas, mainIndex, settings_.screen);
    if (choice.numberUnknown && !toldUnknownScreen_) {
        toldUnknownScreen_ = true;
        if (onScreenNumberUnknown) onScreenNumberUnknown(static_cast<int>(areas.size()));
    }
    if (choice.index < 0) {
        hide();
        return;
    }
    QScreen* target = screens[static_cast<std::size_t>(choice.index)];
    if (isVisible() && screen() == target && geometry() == target->geometry()) return;
    // On its own screen the view leaves the keyboard with the time-keeper's
    // window; over the main window's own screen it takes the keys itself.
    setAttribute(Qt::WA_ShowWithoutActivating, areas.size() > 1);
    // A full-screen window is moved in its normal state, or some window
    // managers keep it where it was.
    if (isVisible()) setWindowState(Qt::WindowNoState);
    setScreen(target);
    setGeometry(target->geometry());
    showFullScreen();
    if (areas.size() == 1) {
        raise();
        activateWindow();
    }
}

bool QtAudienceView::CoversMainWindow() const {
    return IsOpen() && screen() == main_.screen();
}

void QtAudienceView::ShowHint(const std::string& text) {
    if (text.empty() || !CoversMainWindow()) {
        hintTimer_.stop();
        hint_->hide();
        return;
    }
    hint_->setText(ToQString(text));
    hint_->setAccessibleName(hint_->text());
    QFont font = hint_->font();
    font.setPixelSize(std::max(16, height() / 30));
    hint_->setFont(font);
    hint_->adjustSize();
    hint_->move((width() - hint_->width()) / 2, height() - hint_->height() - height() / 60);
    hint_->show();
    hint_->raise();
    hintTimer_.start();
}

void QtAudienceView::Recompose(bool everything) {
    std::vector<AudiencePiece> pieces = ComposeAudience(frame_, width(), height(), digits_, fonts_);
    if (everything) {
        update();
    } else {
        const QRegion changed = ToQRegion(ChangedBoxes(pieces_, pieces, width(), height()));
        if (!changed.isEmpty()) update(changed);
    }
    pieces_ = std::move(pieces);
}

void QtAudienceView::ShowPointer() {
    unsetCursor();
    pointerTimer_.start();
}

bool QtAudienceView::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        TakeKey(static_cast<const QKeyEvent&>(*event));
        return true;
    }
    return QWidget::event(event);
}

void QtAudienceView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRegion dirty = event->region();
    if (!background_.isNull() && cover_.size() != size()) {
        QPixmap cover(size());
        cover.fill(Qt::black);  // where a picture is transparent
        QPainter veiled(&cover);
        PaintCover(veiled, background_, size());
        veiled.fillRect(cover.rect(), QColor(0, 0, 0, static_cast<int>(kVeil * 255)));
        cover_ = std::move(cover);
    }
    for (const QRect& rect : dirty) {
        if (cover_.isNull()) {
            painter.fillRect(rect, Qt::black);
        } else {
            painter.drawPixmap(rect, cover_, rect);
        }
    }
    painter.setRenderHint(QPainter::TextAntialiasing);
    PaintAudience(painter, pieces_, dirty, fonts_);
}

void QtAudienceView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Recompose(true);
}

void QtAudienceView::closeEvent(QCloseEvent* event) {
    event->ignore();
    Close();
}

void QtAudienceView::mouseMoveEvent(QMouseEvent* event) {
    ShowPointer();
    QWidget::mouseMoveEvent(event);
}

}  // namespace platform
