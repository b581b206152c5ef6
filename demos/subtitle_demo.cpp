// SPDX-License-Identifier: GPL-3.0-or-later
// Shows the subtitle window in both of its places: inside an editor-like
// window, and on the desktop over a picture window, each wiping a Chinese
// line over and over. With --screenshot FILE it waits for the windows to
// settle, stops both wipes at one half, saves the screen as a PNG and quits.

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <string>
#include <vector>

#include "common/gbk.h"
#include "lyrics/lyric_text.h"
#include "ui/chinese_fonts.h"
#include "ui/command_event.h"
#include "present/subtitle_window.h"

using namespace melnix;

namespace {

constexpr int kLineLength = 400;  // 1/100 s

// A stand-in for the presentation's picture: an evening sky over hills.
class PictureStandIn : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QLinearGradient sky(0, 0, 0, height());
        sky.setColorAt(0, QColor(20, 30, 90));
        sky.setColorAt(0.6, QColor(210, 110, 80));
        sky.setColorAt(1, QColor(40, 60, 40));
        p.fillRect(rect(), sky);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 70, 40));
        p.drawEllipse(QPoint(width() / 4, height()), width() / 2, height() / 3);
        p.setBrush(QColor(50, 90, 50));
        p.drawEllipse(QPoint(width() * 3 / 4, height()), width() / 2, height() / 4);
    }
    bool event(QEvent* e) override {
        if (e->type() == CommandEvent::eventType())
            std::printf("command %u\n", static_cast<CommandEvent*>(e)->commandId());
        return QWidget::event(e);
    }
};

// The editor's subtitle area, filled as the editor fills it.
class EditorStandIn : public QWidget {
public:
    QRect area;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().window());
        p.fillRect(area, QColor(64, 128, 182));
    }
};

std::vector<uint16_t> evenTimes(const std::string& gbk, int length) {
    int n = charCount(gbk);
    std::vector<uint16_t> t;
    for (int k = 0; k <= n; ++k) t.push_back(static_cast<uint16_t>(k * length / n));
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    registerChineseFontSubstitutes();
    QString shot;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--screenshot") shot = QString::fromLocal8Bit(argv[i + 1]);

    QRect screen = app.primaryScreen()->geometry();

    PictureStandIn picture;
    picture.setWindowFlags(Qt::FramelessWindowHint);
    picture.setGeometry(screen);
    picture.show();

    EditorStandIn editor;
    editor.setWindowFlags(Qt::FramelessWindowHint);
    editor.setGeometry(screen.left() + 40, screen.top() + 40, 720, 200);
    editor.area = QRect(10, 10, 700, 180);
    editor.show();

    // In the editor: the area's width, 2/21 of it high, centred vertically.
    int h = editor.area.width() * 2 / 21;
    QRect inEditor(editor.area.left(), editor.area.top() + (editor.area.height() - h) / 2, editor.area.width(), h);
    SubtitleWindow editorSubtitle(&editor, inEditor, 1);
    editorSubtitle.place(inEditor, QStringLiteral("黑体"), SubtitlePlace::InEditor);
    std::string editorLine = utf8ToGbk("字幕区里的一句歌词");
    editorSubtitle.setText(editorLine, false);
    editorSubtitle.setLineTiming(0, kLineLength, evenTimes(editorLine, kLineLength));
    editorSubtitle.showTopMost();

    // On the desktop: the bottom seventh of the picture, 2/21 of its width
    // high, centred.
    int dh = screen.width() * 2 / 21;
    QRect onDesktop(screen.left(), screen.top() + screen.height() * 6 / 7, screen.width(), dh);
    auto* desktopSubtitle = new SubtitleWindow(&picture, onDesktop, 2);
    desktopSubtitle->place(onDesktop, QStringLiteral("黑体"), SubtitlePlace::OnDesktop);
    std::string desktopLine = utf8ToGbk("轻轻唱起一首歌 快乐每一天");
    desktopSubtitle->setText(desktopLine, true);
    desktopSubtitle->setLineTiming(0, kLineLength, evenTimes(desktopLine, kLineLength));
    desktopSubtitle->showTopMost();

    int t = 0;
    QTimer clock;
    QObject::connect(&clock, &QTimer::timeout, [&] {
        t = (t + 2) % (kLineLength + 100);
        editorSubtitle.wipeTo(t);
        desktopSubtitle->wipeTo(t);
    });

    if (shot.isEmpty()) {
        clock.start(20);
        return app.exec();
    }
    editorSubtitle.wipeTo(kLineLength / 2);
    desktopSubtitle->wipeTo(kLineLength / 2);
    QTimer::singleShot(1500, [&] {
        bool ok = app.primaryScreen()->grabWindow(0).save(shot, "PNG");
        std::printf("%s %s\n", ok ? "saved" : "could not save", qPrintable(shot));
        app.exit(ok ? 0 : 1);
    });
    return app.exec();
}
