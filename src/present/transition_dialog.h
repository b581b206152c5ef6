// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The transition dialog: which slideshow effects the random choice may take,
// one check box per effect in groups of like effects.

#include <QDialog>
#include <array>
#include <cstdint>

#include "present/transitions/transitions.h"

class QCheckBox;

namespace melnix {

constexpr int kTransitionDialogTemplate = 147;
constexpr int kTransitionControlOk = 1;
constexpr int kTransitionControlCancel = 2;

// The check box of each effect, by its control id.
constexpr std::array<int, kTransitionEffects> kTransitionEffectControls = {
    1116,                                            // direct switch
    1118, 1119, 1120, 1121,                          // band wipes
    1123, 1124, 1125, 1126, 1127, 1128, 1129, 1130,  // fly-ins
    1132, 1133, 1134, 1135,                          // growing
    1137, 1138, 1139, 1140,                          // shrinking
    1142, 1143, 1144, 1145,                          // quarter sweeps
    1147, 1148, 1149, 1150,                          // blinds
    1152, 1153, 1154, 1155,                          // flash, flying oval
    1164, 1165, 1160, 1161, 1162, 1163,              // heart, ellipse, diamond
    1158, 1159,                                      // clock
};

class TransitionDialog : public QDialog {
    Q_OBJECT
public:
    // The boxes start from selection; OK stores them into it (the direct
    // switch alone when none is ticked), Cancel leaves it as it was.
    explicit TransitionDialog(EffectTable& selection, QWidget* parent = nullptr);

    QCheckBox* effectBox(int effect) const { return boxes_.at(effect); }

    void accept() override;

private:
    EffectTable& selection_;
    std::array<QCheckBox*, kTransitionEffects> boxes_{};
};

}  // namespace melnix
