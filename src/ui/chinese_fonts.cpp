// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/chinese_fonts.h"

#include <QFont>
#include <QString>

namespace melnix {

void registerChineseFontSubstitutes() {
    // Without these the font lookup falls back to a Latin face and the
    // Chinese text comes from whatever fallback the system picks.
    QFont::insertSubstitution(QStringLiteral("黑体"), QStringLiteral("Noto Sans CJK SC"));
    QFont::insertSubstitution(QStringLiteral("宋体"), QStringLiteral("Noto Serif CJK SC"));
}

}  // namespace melnix
