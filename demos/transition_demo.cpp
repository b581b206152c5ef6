// SPDX-License-Identifier: GPL-3.0-or-later
// Plays the slideshow transitions in a window the way the picture window
// does: the worker paints into the runner's canvas, the window repaints the
// reported regions from it.
//
//   melnix-transition-demo [EFFECT...]               cycles through the effects
//   melnix-transition-demo --frames DIR [EFFECT...]  saves each effect's canvas at
//                                                    a quarter, a half and three
//                                                    quarters of its steps as PNGs
//   melnix-transition-demo --screenshot FILE EFFECT  saves the window half-way
//                                                    through the effect and quits

#include <QApplication>
#include <QDir>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <mutex>
#include <vector>

#include "present/transitions/transitions.h"

using namespace melnix;

namespace {

const QSize kWindowSize(640, 480);
const QColor kBackground(20, 20, 60);
constexpr int kPauseBetweenMs = 700;

// Two pictures that differ everywhere: sky over hills, and rings on warm ground.
QImage makePicture(int which) {
    QImage img(which == 0 ? QSize(640, 480) : QSize(520, 420), QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, img.height());
    g.setColorAt(0, which == 0 ? QColor(30, 60, 160) : QColor(240, 200, 80));
    g.setColorAt(1, which == 0 ? QColor(230, 140, 90) : QColor(160, 40, 30));
    p.fillRect(img.rect(), g);
    p.setRenderHint(QPainter::Antialiasing);
    if (which == 0) {
        p.setBrush(QColor(40, 110, 50));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPoint(160, 480), 320, 160);
        p.drawEllipse(QPoint(500, 480), 260, 110);
    } else {
        for (int r = 200; r > 0; r -= 25) {
            p.setPen(QPen(r % 50 ? Qt::white : Qt::black, 8));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPoint(260, 210), r, r * 4 / 5);
        }
    }
    return img;
}

QPoint centred(const QImage& picture) {
    return {(kWindowSize.width() - picture.width()) / 2, (kWindowSize.height() - picture.height()) / 2};
}

QImage fullLook(const QImage& picture) {
    QImage img(kWindowSize, QImage::Format_RGB32);
    img.fill(kBackground);
    QPainter(&img).drawImage(centred(picture), picture);
    return img;
}

TransitionJob jobFor(int effect, const QImage& shown, const QImage& next) {
    TransitionJob job;
    job.canvas = shown;
    job.picture = next;
    job.picturePos = centred(next);
    job.background = kBackground;
    job.effect = effect;
    job.flashAllowed = true;
    return job;
}

// A stand-in for the picture window: shows the canvas while an effect runs.
class PictureStandIn : public QWidget {
public:
    TransitionRunner runner;
    std::atomic<int> smoothness{8};
    std::atomic<int> frames{0};

    void play(int effect, const QImage& next, std::function<void()> done) {
        frames = 0;
        runner.start(
            jobFor(effect, shown_, next), smoothness,
            [this](const QRegion& r) {
                ++frames;
                QMetaObject::invokeMethod(this, [this, r] { update(r); }, Qt::QueuedConnection);
            },
            [this, done = std::move(done)] { QMetaObject::invokeMethod(this, done, Qt::QueuedConnection); });
        shown_ = fullLook(next);
    }
    void setShown(const QImage& img) { shown_ = img; }

protected:
    void paintEvent(QPaintEvent* e) override {
        QPainter p(this);
        runner.paintCanvas(p, e->region());
    }

private:
    QImage shown_;
};

int saveFrames(const QString& dir, const std::vector<int>& effects) {
    QDir().mkpath(dir);
    const QImage pictures[2] = {makePicture(0), makePicture(1)};
    std::atomic<int> smoothness{8};
    for (int effect : effects) {
        TransitionRunner runner;
        std::mutex m;
        std::vector<QImage> frames;
        runner.start(
            jobFor(effect, fullLook(pictures[0]), pictures[1]), smoothness,
            [&](const QRegion&) {
                QImage c = runner.canvas();
                std::lock_guard l(m);
                frames.push_back(c);
            },
            nullptr);
        if (!runner.wait(5000)) return 1;
        const size_t steps = frames.size() - 1;  // the last frame is the full picture
        for (int quarter = 1; quarter <= 3; ++quarter) {
            const QString path = QString("%1/effect-%2-%3.png").arg(dir).arg(effect, 2, 10, QChar('0')).arg(quarter);
            frames[steps * static_cast<size_t>(quarter) / 4].save(path, "PNG");
            std::printf("%s (%zu steps, S now %d)\n", qPrintable(path), steps, smoothness.load());
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QString framesDir, shot;
    std::vector<int> effects;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == "--frames" && i + 1 < argc) framesDir = QString::fromLocal8Bit(argv[++i]);
        else if (a == "--screenshot" && i + 1 < argc) shot = QString::fromLocal8Bit(argv[++i]);
        else effects.push_back(a.toInt());
    }
    if (effects.empty())
        for (int e = 1; e < kTransitionEffects; ++e) effects.push_back(e);
    if (!framesDir.isEmpty()) return saveFrames(framesDir, effects);

    const QImage pictures[2] = {makePicture(0), makePicture(1)};
    PictureStandIn window;
    window.setFixedSize(kWindowSize);
    window.setShown(fullLook(pictures[0]));
    window.show();

    size_t next = 0;
    std::function<void()> playNext = [&] {
        const int effect = effects[next % effects.size()];
        window.setWindowTitle(QString("effect %1").arg(effect));
        window.play(effect, pictures[(next + 1) % 2], [&] {
            if (shot.isEmpty()) QTimer::singleShot(kPauseBetweenMs, playNext);
        });
        ++next;
    };
    if (!shot.isEmpty()) {
        // Grab once about half the steps have been drawn.
        const auto steps = transitionSteps(effects.front(), QRect(QPoint(), kWindowSize), window.smoothness);
        auto* poll = new QTimer(&app);
        QObject::connect(poll, &QTimer::timeout, [&, half = static_cast<int>(steps.size() / 2)] {
            if (window.frames < std::max(1, half)) return;
            const bool ok = window.grab().save(shot, "PNG");
            std::printf("%s %s\n", ok ? "saved" : "could not save", qPrintable(shot));
            app.exit(ok ? 0 : 1);
        });
        poll->start(1);
    }
    QTimer::singleShot(300, playNext);
    return app.exec();
}
