#include "app/single_instance.h"

#include <QHash>
#include <QLocalSocket>
#include <unistd.h>

#include "common/hand_over_file.h"
#include "ui/command_ids.h"

namespace melnix {

namespace {

constexpr int kConnectWaitMs = 1000;
}  // namespace

// Copies with their own folder (a second account, a test) keep their own
// song lists, so the folder is part of the name.
QString instanceServerName(const std::string& dataFolder) {
    return QString("melnix-%1-%2").arg(::getuid()).arg(qHash(QByteArray::fromStdString(dataFolder)), 0, 16);
}

bool handToRunningCopy(const QString& serverName, const std::string& dataFolder,
                       const std::vector<std::string>& files) {
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(kConnectWaitMs)) return false;
    if (files.empty() || dataFolder.empty()) return true;
    if (!writeHandOverFile(dataFolder, files)) return true;
    socket.write(QByteArray::number(kCmdHandOver) + "\n");
    socket.waitForBytesWritten(kConnectWaitMs);
    socket.disconnectFromServer();
    return true;
}

bool InstanceServer::listen(const QString& serverName) {
    // A copy that crashed leaves its socket file behind.
    QLocalServer::removeServer(serverName);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readCommands(socket); });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            // A quick sender has written and gone before we got here.
            readCommands(socket);
        }
    });
    return server_.listen(serverName);
}

void InstanceServer::readCommands(QLocalSocket* socket) {
    while (socket->canReadLine())
        if (socket->readLine().trimmed().toULongLong() == kCmdHandOver) emit handedOver();
}

}  // namespace melnix
