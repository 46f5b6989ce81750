#include "platform/qt/QtSingleInstance.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>

#include <sys/stat.h>

#include <cstdio>

#include "platform/qt/QtConvert.h"

namespace platform {
namespace {

// A copy that is just ending may still hold the name without answering; a
// few short tries let the new copy take over from it.
constexpr int kAttempts = 5;
constexpr int kRetryMilliseconds = 100;
constexpr int kAnswerMilliseconds = 1000;

std::unique_ptr<QLocalServer> MakeServer() {
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::AbstractNamespaceOption);
    return server;
}

}  // namespace

QString SingleInstanceName(const std::string& folder) {
    // The folder's identity, not a path to it: a bind mount reaches the same
    // folder by another path. The path serves only where there is no folder.
    QByteArray key;
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) {
        key = "folder " + QByteArray::number(static_cast<qulonglong>(st.st_dev)) + ":" +
              QByteArray::number(static_cast<qulonglong>(st.st_ino));
    } else {
        const QFileInfo info(ToQString(folder));
        const QString canonical = info.canonicalFilePath();
        key = (canonical.isEmpty() ? info.absoluteFilePath() : canonical).toUtf8();
    }
    const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(32);
    // An absolute name keeps Qt from placing it under a temporary folder, which
    // differs from one environment to the next.
    return QStringLiteral("/tolvanexa/") + QString::fromLatin1(hash);
}

QtSingleInstance::QtSingleInstance(const std::string& folder) : name_(SingleInstanceName(folder)) {}

QtSingleInstance::~QtSingleInstance() = default;

bool QtSingleInstance::Acquire() {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::unique_ptr<QLocalServer> server = MakeServer();
        if (server->listen(name_)) {
            // Any connection is a later copy asking this one to come to the front.
            QObject::connect(server.get(), &QLocalServer::newConnection, server.get(), [this] {
                while (QLocalSocket* later = server_->nextPendingConnection()) later->deleteLater();
                if (onActivate) onActivate();
            });
            server_ = std::move(server);
            return true;
        }
        if (server->serverError() != QAbstractSocket::AddressInUseError) break;
        if (AskToComeToFront()) return false;
        QThread::msleep(kRetryMilliseconds);
    }
    // A lock that cannot be had must not keep the time-keeper from the timer.
    std::fputs("无法确定本文件夹中是否已有计时器在运行，仍然启动。\n", stderr);
    return true;
}

bool QtSingleInstance::AskToComeToFront() const {
    QLocalSocket socket;
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kAnswerMilliseconds)) return false;
    socket.disconnectFromServer();
    return true;
}

}  // namespace platform
