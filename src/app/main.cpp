// SPDX-License-Identifier: GPL-3.0-or-later
// Melnix: the karaoke maker's editor window, one per user. A second start
// hands its files to the running copy and ends.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>
#include <unistd.h>

#include "editor/editor_dialog.h"
#include "editor/editor_ids.h"
#include "app/single_instance.h"
#include "common/paths.h"
#include "ui/chinese_fonts.h"
#include "ui/command_event.h"
#include "ui/ui_language.h"

namespace {

using namespace melnix;

// A terminate signal (a desktop logout, kill) closes the editor the ordinary
// way, so the song list is saved.
int gSignalPipe[2] = {-1, -1};
std::atomic<int> gSignals{0};  // lock-free: safe in a signal handler

void onTerminate(int signal) {
    // A second signal ends the program at once: the first one may be stuck.
    if (gSignals.fetch_add(1) > 0) ::_exit(128 + signal);
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(gSignalPipe[1], &byte, 1);
}

void closeOnTerminate(EditorDialog* editor) {
    if (::pipe(gSignalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, editor);
    QObject::connect(notifier, &QSocketNotifier::activated, editor, [editor] {
        char byte;
        [[maybe_unused]] ssize_t n = ::read(gSignalPipe[0], &byte, 1);
        // Whatever dialog is open, the program ends and keeps its state.
        editor->terminate();
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
    // Chinese or English by the locale or MELNIX_LANG; the tests never come
    // here and keep the Chinese texts of the sources.
    installUiLanguage(app, uiLanguage());
    // Launchers and file managers find the window's launcher and icon by this name.
    QGuiApplication::setDesktopFileName("org.melnix.Melnix");
    // A desktop passes a whole selection: the first file opens, the rest join
    // the song list.
    std::vector<std::string> files;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i)
        if (!args[i].isEmpty()) files.push_back(QFile::encodeName(QDir().absoluteFilePath(args[i])).toStdString());
    const std::string folder = dataFolder();
    const QString server = instanceServerName(folder);
    switch (handToRunningCopy(server, files)) {
    case HandOver::Taken: return 0;
    case HandOver::NotTaken:
        std::fprintf(stderr, "melnix: the running Melnix did not take the files; open them there or try again\n");
        return 1;
    case HandOver::NoRunningCopy: break;
    }

    registerChineseFontSubstitutes();
    const std::string argument = files.empty() ? std::string() : files.front();
    EditorDialog editor(QFile::encodeName(QApplication::applicationDirPath()).toStdString(), argument, demoSong());
    if (files.size() > 1) editor.addToSongListAtStart({files.begin() + 1, files.end()});

    InstanceServer instances;
    instances.listen(server);
    QObject::connect(&instances, &InstanceServer::handedOver, &editor,
                     [&editor](const std::vector<std::string>& paths) { editor.queueHandOver(paths); });
    closeOnTerminate(&editor);
    // The program's loop, not the dialog's: the show changes the window's
    // flags, which hides it for a moment, and a dialog's own loop would end.
    QObject::connect(&editor, &QDialog::finished, &app, &QCoreApplication::quit);
    editor.show();
    app.exec();
    return 0;
}
