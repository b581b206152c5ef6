#pragma once
// Control ids of the editor window and the commands posted to it. The numbers
// are fixed: other windows, the second program copy and saved habits rely on
// them.

#include <cstdint>

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

// Commands.
constexpr uint32_t kCmdFinishStartup = 1818;
constexpr uint32_t kCmdHandOver = 811112228;
constexpr uint32_t kCmdResumeTimer = 9999;
constexpr uint32_t kCmdSlowReplayEnd = 1999212122;
constexpr uint32_t kCmdStartPresentation = 1922299898;
constexpr uint32_t kCmdClockLoop = 1922626898;
constexpr uint32_t kCmdWaveEnded = 1111888811;
constexpr uint32_t kCmdPendingRequest = 1192855881;
constexpr uint32_t kCmdPresentationEnded = 1122855881;
constexpr uint32_t kCmdExchange = 1896229011;
// The MIDI player's end of song (a registered message where windows have them).
constexpr uint32_t kCmdMidiPlayedOff = 1111888812;

// Requests left while the clock loop runs.
constexpr int kPendingNone = 0;
constexpr int kPendingExit = 1;
constexpr int kPendingPresentation = 2;
constexpr int kPendingClock = 3;

}  // namespace melnix
