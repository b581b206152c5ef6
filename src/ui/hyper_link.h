// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A line of text that opens an address in the user's browser or file
// manager: blue, purple once visited, teal with the focus, red under the
// mouse; a hand of three colours in turn as its cursor.

#include <QLabel>
#include <QString>
#include <QTimer>
#include <functional>
#include <string>

#include "ui/tip_text.h"

namespace melnix {

// The first browser of $BROWSER ("a:b:c") made into a command line for url:
// "%s" stands for the address, else it goes after a blank.
std::string browserCommandLine(const std::string& browserVariable, const std::string& url);

class CHyperLink : public QLabel, public TipTextSource {
    Q_OBJECT
public:
    enum Option {
        kHoverColour = 2,
        kSizeToText = 4,
        kOpenOnPress = 8,
        kFocusOnPress = 16,
        kNoFocusColour = 64,
        kCentreVertically = 0x200,
    };
    // Opens an address; true on success. The default tries the desktop's
    // handler, then xdg-open, then $BROWSER.
    using Opener = std::function<bool(const QString&)>;

    CHyperLink(const QString& text, QWidget* parent = nullptr, int options = kHoverColour | kFocusOnPress);

    // An empty url opens the text itself.
    void setUrl(const QString& url);
    QString url() const { return url_; }
    void setTip(const QString& tip) { tip_ = tip; }
    void setOpener(Opener opener) { opener_ = std::move(opener); }

    bool open();
    bool visited() const { return visited_; }
    bool hovering() const { return hovering_; }
    // The colour the text is drawn in now.
    QColor textColour() const;

    QString tipTextAt(const QPoint&) const override { return tip_; }

    static bool openWithDesktop(const QString& url);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showHandCursor();

    QString url_;
    QString tip_;
    int options_;
    bool hovering_ = false;
    bool focused_ = false;
    bool visited_ = false;
    Opener opener_;
    QTimer cursorTimer_;
};

}  // namespace melnix
