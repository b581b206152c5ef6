// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Control ids of the editor window; the numbers are fixed (saved habits and
// the layout rely on them).

#include <cstdint>

#include "ui/command_ids.h"

namespace melnix {

// Controls.
constexpr int idSave = 1;
constexpr int idExit = 2;
constexpr int idViewLeftFar = 3;
constexpr int idViewRightFar = 4;
constexpr int idPause = 5;
constexpr int idViewLeft = 6;
constexpr int idViewRight = 7;
constexpr int idVolume = 1002;
constexpr int idOpenList = 1007;
constexpr int idImport = 1008;
constexpr int idAdd = 1010;
constexpr int idModify = 1011;
constexpr int idDelete = 1012;
constexpr int idPosition = 1013;
constexpr int idMerge = 1014;
constexpr int idSplit = 1015;
constexpr int idLength = 1016;
constexpr int idSize = 1018;
constexpr int idReference = 1019;
constexpr int idLineBox = 1021;
constexpr int idConfirmModify = 1022;
constexpr int idConfirmAdd = 1023;
constexpr int idConfirmDelete = 1024;
constexpr int idCancel = 1025;
constexpr int idMute = 1026;
constexpr int idRuler = 1027;
constexpr int idPlacement = 1028;
constexpr int idConfirmSplit = 1029;
constexpr int idConfirmReference = 1030;
constexpr int idPresent = 1031;
constexpr int idHelp = 1032;
constexpr int idConfirmMerge = 1033;
constexpr int idDoubleScale = 1034;
constexpr int idVocal = 1035;
constexpr int idTracks = 1036;
constexpr int idOpenFile = 1037;
constexpr int idSync = 1038;
constexpr int idSlider = 1060;
constexpr int idSeparator = 1061;
constexpr int idFirstSpeed = 1064;  // .. 1072
constexpr int idSpeedLabel = 1073;
constexpr int idHints = 1078;

// Edit modes, in the order of their action and confirm buttons.
enum class EditMode { None = -1, Add = 0, Modify, Delete, Split, Merge, Reference };
constexpr int kActionIds[6] = {idAdd, idModify, idDelete, idSplit, idMerge, idReference};
constexpr int kConfirmIds[6] = {idConfirmAdd, idConfirmModify, idConfirmDelete, idConfirmSplit, idConfirmMerge,
                                idConfirmReference};
// The controls of the transport, switched off together during an edit.
constexpr int kTransportControlIds[] = {idViewLeftFar, idViewLeft,  idPause,  idViewRight, idViewRightFar,
                                        idDoubleScale, idRuler,     idMute,   idVolume,    idSlider,
                                        idPosition,    idLength,    idSize};
// The line actions that wait while the right button may be holding a line.
constexpr int kLineActionIds[] = {idAdd, idModify, idDelete, idPlacement, idSplit, idMerge, idReference};

}  // namespace melnix
