// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own two background pictures, handed out alternately when a
// song has no pictures of its own (the second one first).

#include <QByteArray>

namespace melnix {

// The JPEG bytes of the next built-in picture; empty when the resources are
// missing from the program.
QByteArray NextDefaultPicture();

}  // namespace melnix
