// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The CD+G writer's letters in the show's subtitle face, drawn by Qt (a
// QGuiApplication must exist for the fonts).

#include <QFont>
#include <QString>

#include "export/core/cdg_writer.h"

namespace melnix {

class QtCdgGlyphs : public CdgGlyphSource {
public:
    // face: the subtitle face the show uses; empty for the default one.
    explicit QtCdgGlyphs(const QString& face = {});

    // The character with its advance, in a cell pixelHeight tall that holds
    // the face's tallest and deepest letters; antialiased coverage.
    CdgGlyph draw(std::string_view gbkChar, int pixelHeight) override;

private:
    QString face_;
    QFont font_;
    int fontHeight_ = 0;
    int baseline_ = 0;
};

}  // namespace melnix
