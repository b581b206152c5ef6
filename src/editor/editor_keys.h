// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The keys of the editor, whatever control has the focus (but the line box
// while text is typed there): the sync key and its step back, Space for
// play and pause, the arrows for the view, Ctrl with the arrows for moving
// the current line and those after it, Ctrl with Up, Down and 0 for the
// singer's key.

#include <QObject>

namespace melnix {

struct EditorContext;
struct EditorSettings;

class EditorKeys : public QObject {
public:
    EditorKeys(EditorContext& ctx, const EditorSettings& settings);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool typing() const;
    bool press(int key, Qt::KeyboardModifiers modifiers, bool repeat);
    bool release(int key, bool repeat);

    EditorContext& ctx_;
    const EditorSettings& settings_;
    bool syncHeld_ = false;
};

}  // namespace melnix
