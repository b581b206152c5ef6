// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/single_instance.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QLocalSocket>
#include <memory>
#include <unistd.h>

#include "common/hand_over_message.h"

namespace melnix {

namespace {
constexpr int kConnectWaitMs = 1000;
}  // namespace

// Copies with their own folder (a second account, a test) keep their own
// song lists, so the folder is part of the name.
QString instanceServerName(const std::string& dataFolder) {
    return QString("melnix-%1-%2").arg(::getuid()).arg(qHash(QByteArray::fromStdString(dataFolder)), 0, 16);
}

HandOver handToRunningCopy(const QString& serverName, const std::vector<std::string>& files, int waitMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(kConnectWaitMs)) return HandOver::NoRunningCopy;
    if (files.empty()) return HandOver::Taken;
    const std::string message = encodeHandOver(files);
    socket.write(message.data(), static_cast<qint64>(message.size()));
    // Exit only once the running copy has the files: nothing is lost if it
    // is busy or goes away meanwhile.
    const QDeadlineTimer deadline(waitMs);
    QByteArray answer;
    while (!answer.contains('\n')) {
        if (deadline.hasExpired() || socket.state() != QLocalSocket::ConnectedState) break;
        if (socket.bytesToWrite() > 0) socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()));
        if (socket.waitForReadyRead(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0))))
            answer += socket.readAll();
    }
    answer += socket.readAll();
    socket.disconnectFromServer();
    return answer.startsWith(kHandOverTaken) ? HandOver::Taken : HandOver::NotTaken;
}

bool InstanceServer::listen(const QString& serverName) {
    // A copy that crashed leaves its socket file behind.
    QLocalServer::removeServer(serverName);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            auto reader = std::make_shared<HandOverReader>();
            connect(socket, &QLocalSocket::readyRead, this, [this, socket, reader] {
                const QByteArray bytes = socket->readAll();
                if (!reader->feed(bytes.constData(), static_cast<size_t>(bytes.size()))) {
                    socket->abort();
                    return;
                }
                while (auto paths = reader->next()) {
                    emit handedOver(*paths);
                    socket->write(kHandOverTaken);
                    socket->flush();
                }
            });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            // A quick sender has written before we got here.
            if (socket->bytesAvailable() > 0) emit socket->readyRead();
        }
    });
    return server_.listen(serverName);
}

}  // namespace melnix
