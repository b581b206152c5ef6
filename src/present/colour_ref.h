#pragma once
// Colours are kept as 0x00BBGGRR values, the form in which they are stored
// and compared; Qt gets them as QColor.

#include <QColor>
#include <cstdint>

namespace melnix {

inline QColor colorFromColorRef(uint32_t c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

}  // namespace melnix
