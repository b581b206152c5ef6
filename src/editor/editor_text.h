// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>

namespace melnix {

// The editor's texts share one translation context, whichever part of the
// window shows them; lupdate files EditorText::tr() calls under it.
struct EditorText {
    Q_DECLARE_TR_FUNCTIONS(EditorDialog)
};

}  // namespace melnix
