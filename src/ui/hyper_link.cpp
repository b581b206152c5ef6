// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/hyper_link.h"

#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QProcess>
#include <QUrl>
#include <cstdlib>

#include "ui/app_icons.h"

namespace melnix {

namespace {
constexpr int kCursorTurnMs = 2000;
// COLORREF 0x00BBGGRR: blue, purple, teal, red.
const QColor kLinkColour(0, 0, 255);
const QColor kVisitedColour(128, 0, 128);
const QColor kFocusedColour(0, 128, 128);
const QColor kHoveredColour(255, 0, 0);
}  // namespace

std::string browserCommandLine(const std::string& browserVariable, const std::string& url) {
    const std::string first = browserVariable.substr(0, browserVariable.find(':'));
    if (first.empty()) return {};
    const size_t at = first.find("%s");
    if (at != std::string::npos) return first.substr(0, at) + url + first.substr(at + 2);
    return first + " " + url;
}

bool CHyperLink::openWithDesktop(const QString& url) {
    const QUrl address = QUrl::fromUserInput(url);
    if (QDesktopServices::openUrl(address)) return true;
    if (QProcess::startDetached("xdg-open", {address.toString()})) return true;
    const char* browser = std::getenv("BROWSER");
    if (!browser) return false;
    const std::string command = browserCommandLine(browser, address.toString().toStdString());
    QStringList words = QProcess::splitCommand(QString::fromStdString(command));
    if (words.isEmpty()) return false;
    const QString program = words.takeFirst();
    return QProcess::startDetached(program, words);
}

CHyperLink::CHyperLink(const QString& text, QWidget* parent, int options)
    : QLabel(text, parent), options_(options), opener_(&CHyperLink::openWithDesktop) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    if (options_ & kSizeToText) adjustSize();
    cursorTimer_.setInterval(kCursorTurnMs);
    connect(&cursorTimer_, &QTimer::timeout, this, &CHyperLink::showHandCursor);
    showHandCursor();
}

void CHyperLink::setUrl(const QString& url) {
    url_ = url;
    if (options_ & kSizeToText) {
        hide();
        adjustSize();
        show();
    }
}

bool CHyperLink::open() {
    const QString address = url_.isEmpty() ? text() : url_;
    if (opener_ && opener_(address)) {
        visited_ = true;
        update();
        return true;
    }
    QApplication::beep();
    return false;
}

QColor CHyperLink::textColour() const {
    if (hovering_ && (options_ & kHoverColour)) return kHoveredColour;
    if (focused_ && !(options_ & kNoFocusColour)) return kFocusedColour;
    return visited_ ? kVisitedColour : kLinkColour;
}

void CHyperLink::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(textColour());
    painter.setFont(font());
    Qt::Alignment align = alignment();
    if (options_ & kCentreVertically) align = (align & ~Qt::AlignVertical_Mask) | Qt::AlignVCenter;
    painter.drawText(contentsRect(), static_cast<int>(align), text());
}

// The three hands take turns every two seconds.
void CHyperLink::showHandCursor() {
    const qint64 turn = QDateTime::currentMSecsSinceEpoch() / kCursorTurnMs % 3;
    setCursor(melnixCursor(kCursorLinkFirst + static_cast<int>(turn)));
}

void CHyperLink::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    hovering_ = true;
    showHandCursor();
    cursorTimer_.start();
    update();
}

void CHyperLink::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    hovering_ = false;
    cursorTimer_.stop();
    update();
}

void CHyperLink::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (options_ & kFocusOnPress) setFocus(Qt::MouseFocusReason);
    focused_ = true;
    if (options_ & kOpenOnPress) open();
    update();
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (!(options_ & kOpenOnPress) && focused_ && rect().contains(event->position().toPoint())) open();
}

void CHyperLink::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        open();
        return;
    }
    QLabel::keyPressEvent(event);
}

void CHyperLink::focusInEvent(QFocusEvent* event) {
    QLabel::focusInEvent(event);
    focused_ = true;
    update();
}

void CHyperLink::focusOutEvent(QFocusEvent* event) {
    QLabel::focusOutEvent(event);
    focused_ = false;
    update();
}

}  // namespace melnix
