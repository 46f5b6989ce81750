#include "platform/qt/QtDesktop.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QDateTime>

#include <chrono>
#include <QUrl>

#include "platform/qt/QtConvert.h"

namespace platform {
namespace {

constexpr auto kService = "org.freedesktop.ScreenSaver";
constexpr auto kPath = "/org/freedesktop/ScreenSaver";
constexpr auto kInterface = "org.freedesktop.ScreenSaver";

bool IsWebAddress(const QString& target) {
    return target.startsWith(QStringLiteral("http://"), Qt::CaseInsensitive) ||
           target.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive);
}

QDBusMessage ScreenSaverCall(const char* method) {
    return QDBusMessage::createMethodCall(kService, kPath, kInterface, QString::fromLatin1(method));
}

}  // namespace

LocalTime QtClock::Now() const {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
}

std::int64_t QtClock::SteadyMilliseconds() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool QtBrowser::Open(const std::string& target) {
    const QString text = ToQString(target);
    if (text.isEmpty()) return false;
    const QUrl url = IsWebAddress(text) ? QUrl(text, QUrl::StrictMode) : QUrl::fromLocalFile(text);
    // False when no launcher (xdg-open) could be started, or it reported failure.
    return url.isValid() && QDesktopServices::openUrl(url);
}

QtDisplaySleep::QtDisplaySleep() = default;

QtDisplaySleep::~QtDisplaySleep() {
    wanted_ = false;
    Release();
}

void QtDisplaySleep::SetInhibited(bool inhibited) {
    wanted_ = inhibited;
    if (inhibited) {
        Inhibit();
    } else {
        Release();
    }
}

void QtDisplaySleep::Inhibit() {
    if (cookie_ || pending_) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    QDBusMessage call = ScreenSaverCall("Inhibit");
    const QString application =
        QCoreApplication::applicationName().isEmpty() ? QStringLiteral("Tolvanexa") : QCoreApplication::applicationName();
    call << application << QStringLiteral("辩论计时进行中");
    pending_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), &context_);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &context_, [this](QDBusPendingCallWatcher* done) {
        const QDBusPendingReply<std::uint32_t> reply = *done;
        done->deleteLater();
        Answered(reply.isValid() ? std::optional<std::uint32_t>(reply.value()) : std::nullopt);
    });
}

void QtDisplaySleep::Answered(std::optional<std::uint32_t> cookie) {
    pending_ = false;
    cookie_ = cookie;
    // The countdown may have stopped while the screen saver was answering.
    if (!wanted_) Release();
}

void QtDisplaySleep::Release() {
    if (!cookie_) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusMessage call = ScreenSaverCall("UnInhibit");
    call << *cookie_;
    cookie_.reset();
    if (bus.isConnected()) bus.send(call);
}

}  // namespace platform
