#include "app/single_instance.h"

#include <QHash>
#include <QLocalSocket>
#include <unistd.h>

#include "app/editor_ids.h"
#include "common/file.h"
#include "common/safe_save.h"

namespace melnix {

namespace {

constexpr int kConnectWaitMs = 1000;
constexpr char kHandOverFile[] = "Melnix_001.tmp";
constexpr size_t kMaxHandOverBytes = 520;

std::string handOverPath(const std::string& folder) { return folder + "/" + kHandOverFile; }

}  // namespace

// Copies with their own folder (a second account, a test) keep their own
// song lists, so the folder is part of the name.
QString instanceServerName(const std::string& dataFolder) {
    return QString("melnix-%1-%2").arg(::getuid()).arg(qHash(QByteArray::fromStdString(dataFolder)), 0, 16);
}

bool handToRunningCopy(const QString& serverName, const std::string& dataFolder, const std::string& argument) {
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(kConnectWaitMs)) return false;
    if (argument.empty() || dataFolder.empty()) return true;
    SafeSave save;
    if (!save.begin(handOverPath(dataFolder))) return true;
    save.file().write(argument.c_str(), argument.size() + 1);
    if (!save.commit()) return true;
    socket.write(QByteArray::number(kCmdHandOver) + "\n");
    socket.waitForBytesWritten(kConnectWaitMs);
    socket.disconnectFromServer();
    return true;
}

std::string takeHandedOverPath(const std::string& dataFolder) {
    std::string bytes;
    if (!readWholeFile(handOverPath(dataFolder), bytes, kMaxHandOverBytes)) return {};
    return bytes.substr(0, bytes.find('\0'));
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
