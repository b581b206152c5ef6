// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Stands in for the editor: records the commands posted to it and the mouse
// events that reach it.

#include <QMouseEvent>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "ui/command_event.h"

namespace melnix::test {

class RecordingOwner : public QWidget {
public:
    struct Mouse {
        QEvent::Type type;
        QPoint pos;
    };

    std::vector<uint32_t> commands;
    std::vector<Mouse> mouse;

protected:
    bool event(QEvent* e) override {
        if (e->type() == CommandEvent::eventType()) {
            commands.push_back(static_cast<CommandEvent*>(e)->commandId());
            return true;
        }
        return QWidget::event(e);
    }
    void mousePressEvent(QMouseEvent* e) override { record(e); }
    void mouseReleaseEvent(QMouseEvent* e) override { record(e); }
    void mouseMoveEvent(QMouseEvent* e) override { record(e); }

private:
    void record(QMouseEvent* e) { mouse.push_back({e->type(), e->position().toPoint()}); }
};

}  // namespace melnix::test
