// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Qt gets the stored 0x00BBGGRR colours as QColor.

#include <QColor>
#include <cstdint>

#include "common/colour_ref.h"

namespace melnix {

inline QColor colorFromColorRef(uint32_t c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

}  // namespace melnix
