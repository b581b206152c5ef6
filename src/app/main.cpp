// Melnix: the karaoke maker's editor window, one per user. A second start
// hands its file to the running copy and ends.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <csignal>
#include <unistd.h>

#include "app/editor_dialog.h"
#include "app/editor_ids.h"
#include "common/file.h"
#include "common/paths.h"
#include "common/safe_save.h"
#include "present/chinese_fonts.h"
#include "present/command_event.h"

namespace {

using namespace melnix;

constexpr int kConnectWaitMs = 1000;
constexpr char kHandOverFile[] = "Melnix_001.tmp";

// One running copy per user and data folder: copies with their own folder
// (a second account, a test) keep their own song lists.
QString serverName() {
    const QByteArray folder = QByteArray::fromStdString(dataFolder());
    return QString("melnix-%1-%2").arg(::getuid()).arg(qHash(folder), 0, 16);
}

// A running copy takes the file: it is written to the hand-over file and the
// running copy is told to read it. True when a running copy was found.
bool handToRunningCopy(const std::string& argument) {
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(kConnectWaitMs)) return false;
    const std::string folder = dataFolder();
    if (argument.empty() || folder.empty()) return true;
    SafeSave save;
    if (!save.begin(folder + "/" + kHandOverFile)) return true;
    save.file().write(argument.c_str(), argument.size() + 1);
    if (!save.commit()) return true;
    socket.write(QByteArray::number(kCmdHandOver) + "\n");
    socket.waitForBytesWritten(kConnectWaitMs);
    socket.disconnectFromServer();
    return true;
}

// A terminate signal (a desktop logout, kill) closes the editor the ordinary
// way, so the song list is saved.
int gSignalPipe[2] = {-1, -1};

void onTerminate(int) {
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(gSignalPipe[1], &byte, 1);
}

void closeOnTerminate(QWidget* editor) {
    if (::pipe(gSignalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, editor);
    QObject::connect(notifier, &QSocketNotifier::activated, editor, [editor] {
        char byte;
        [[maybe_unused]] ssize_t n = ::read(gSignalPipe[0], &byte, 1);
        editor->close();
    });
    struct sigaction sa {};
    sa.sa_handler = onTerminate;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
}

std::string demoSong() {
    QFile f(":/BHL.MID");
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll().toStdString();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Melnix");
    const QStringList args = QApplication::arguments();
    const std::string argument = args.size() > 1 ? QFile::encodeName(QDir().absoluteFilePath(args.last())).toStdString()
                                                 : std::string();
    if (handToRunningCopy(argument)) return 0;

    registerChineseFontSubstitutes();
    EditorDialog editor(QFile::encodeName(QApplication::applicationDirPath()).toStdString(), argument, demoSong());

    QLocalServer::removeServer(serverName());
    QLocalServer server;
    server.listen(serverName());
    QObject::connect(&server, &QLocalServer::newConnection, &editor, [&] {
        while (QLocalSocket* socket = server.nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::readyRead, &editor, [socket, &editor] {
                while (socket->canReadLine()) {
                    if (socket->readLine().trimmed().toULongLong() == kCmdHandOver) postCommand(&editor, kCmdHandOver);
                }
            });
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    closeOnTerminate(&editor);
    editor.show();
    return editor.exec() == QDialog::Accepted ? 0 : 0;
}
