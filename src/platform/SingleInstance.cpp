#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>

namespace {

constexpr int kAnswerMs = 1000;
constexpr QByteArrayView kRaise = "raise\n";

} // namespace

SingleInstance::SingleInstance(const QString &storeFile, const QString &runtimeDir, QObject *parent)
    : QObject(parent)
{
    // The store's absolute path names the run: two stores (another XDG_CONFIG_HOME) are two
    // programs. Hashed, since socket paths are short.
    const QByteArray hash =
        QCryptographicHash::hash(QDir::cleanPath(QDir(storeFile).absolutePath()).toUtf8(),
                                 QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    m_path = QDir(runtimeDir)
                 .filePath(QStringLiteral("vantora-%1.socket").arg(QString::fromLatin1(hash)));
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                // Only the one request is known; anything else is ignored.
                if (socket->readAll().startsWith(kRaise))
                    Q_EMIT raiseRequested();
                socket->disconnectFromServer();
            });
        }
    });
}

bool SingleInstance::handOverToRunning()
{
    QLocalSocket socket;
    socket.connectToServer(m_path);
    if (socket.waitForConnected(kAnswerMs)) {
        socket.write(kRaise.data(), kRaise.size());
        if (socket.waitForBytesWritten(kAnswerMs)) {
            socket.waitForDisconnected(kAnswerMs);
            return true;
        }
    }
    // Nobody answers: a socket file left behind by a run that ended without removing it.
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QLocalServer::removeServer(m_path);
    // A run that cannot listen (no runtime folder) still runs, as the only copy it knows of.
    m_server.listen(m_path);
    return false;
}
