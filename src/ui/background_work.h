// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Long work (an export, a mail) runs on a thread of its own so that the
// windows keep painting and the progress dialog's cancel button answers.

#include <functional>

class QProgressDialog;
class QString;

namespace melnix {

// Makes a progress dialog for runBeside: titled, modal to its window, shown
// at once, kept open at its end (runBeside closes it).
void prepareProgress(QProgressDialog& progress, const QString& title);

// Shows progress, runs work on a new thread and returns once work has
// returned. tick runs on the interface thread every pollMs meanwhile: it
// updates the dialog and passes a press of its cancel button on to the work
// (which must then end soon). The dialog is closed on return.
void runBeside(QProgressDialog& progress, const std::function<void()>& work, const std::function<void()>& tick,
               int pollMs = 100);

}  // namespace melnix
