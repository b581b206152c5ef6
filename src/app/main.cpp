// Melnix: the karaoke maker's editor window, one per user. A second start
// hands its file to the running copy and ends.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QSocketNotifier>
#include <QTranslator>
#include <csignal>
#include <unistd.h>

#include "editor/editor_dialog.h"
#include "editor/editor_ids.h"
#include "app/single_instance.h"
#include "common/paths.h"
#include "ui/chinese_fonts.h"
#include "ui/command_event.h"

namespace {

using namespace melnix;

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
    // The interface is Chinese, so Qt's own buttons and file dialogs are too.
    QTranslator qtTexts;
    if (qtTexts.load("qtbase_zh_CN", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    const QStringList args = QApplication::arguments();
    const std::string argument = args.size() > 1 ? QFile::encodeName(QDir().absoluteFilePath(args.last())).toStdString()
                                                 : std::string();
    const std::string folder = dataFolder();
    const QString server = instanceServerName(folder);
    if (handToRunningCopy(server, folder, argument)) return 0;

    registerChineseFontSubstitutes();
    EditorDialog editor(QFile::encodeName(QApplication::applicationDirPath()).toStdString(), argument, demoSong());

    InstanceServer instances;
    instances.listen(server);
    QObject::connect(&instances, &InstanceServer::handedOver, &editor, [&editor] { postCommand(&editor, kCmdHandOver); });
    closeOnTerminate(&editor);
    editor.show();
    editor.exec();
    return 0;
}
