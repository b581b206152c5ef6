// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Windows of the program command the editor by posting it an event that
// carries a fixed 32-bit command number; the editor carries them out in one
// dispatcher. The numbers are fixed: other windows and the editor must agree
// on them, so they are never renumbered.

#include <QEvent>
#include <cstdint>

#include "ui/command_ids.h"

class QObject;

namespace melnix {

class CommandEvent : public QEvent {
public:
    explicit CommandEvent(uint32_t commandId) : QEvent(eventType()), commandId_(commandId) {}

    uint32_t commandId() const { return commandId_; }

    // Registered once per process.
    static QEvent::Type eventType();

private:
    uint32_t commandId_;
};

// Queues the command for target; it runs after the current event.
void postCommand(QObject* target, uint32_t commandId);
// Runs the command in target now; returns whether target handled it.
bool sendCommand(QObject* target, uint32_t commandId);

}  // namespace melnix
