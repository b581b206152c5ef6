// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lyric line on show in the subtitle area: which line the position
// holds, its wipe (a little ahead of the song, as the eye wants it), and the
// closing texts that take turns after the last line.

#include <QElapsedTimer>
#include <QString>

namespace melnix {

struct EditorContext;

class LineDisplay {
public:
    explicit LineDisplay(EditorContext& ctx);

    // Shows the line at units (editor units) and wipes it.
    void showAt(int units);
    // The next showAt draws its line again (the lyric or the box changed).
    void invalidate() { shown_ = kNoLine; }
    // Puts the subtitle into the subtitle area again and redraws the line
    // that was on show.
    void place();
    void restartClosingTexts() { closingClock_.start(); }

    QString face() const { return face_; }
    void setFace(const QString& face);
    // Lets the user choose the subtitle's face.
    void chooseFont();

    // The closing texts after the last line, in turn.
    QString closingText(int index) const;

private:
    // No line is on show yet: the next showAt draws whatever it finds.
    static constexpr int kNoLine = -2;

    EditorContext& ctx_;
    QString face_;
    int shown_ = kNoLine;
    int closingIndex_ = 0;
    QElapsedTimer closingClock_;
};

}  // namespace melnix
