// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/command_event.h"

#include <QCoreApplication>

namespace melnix {

QEvent::Type CommandEvent::eventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void postCommand(QObject* target, uint32_t commandId) {
    if (target) QCoreApplication::postEvent(target, new CommandEvent(commandId));
}

bool sendCommand(QObject* target, uint32_t commandId) {
    if (!target) return false;
    CommandEvent e(commandId);
    return QCoreApplication::sendEvent(target, &e);
}

}  // namespace melnix
