// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every command number and menu item id of the program in one place. Windows
// of the program command the editor by posting it a command event with one of
// these numbers; other windows, the second program copy and saved habits rely
// on them, so they are never renumbered.

#include <cstdint>

namespace melnix {

// The editor's own commands.
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
// After a song failed to open: the list moves on, or the editor goes back to
// the song before it.
constexpr uint32_t kCmdAfterFailedSong = 1111888813;
// From the show's menus: leave the show and render it into a video file.
constexpr uint32_t kCmdExportVideo = 1111888814;
// From the show's menus: the singer's key a semitone up or down, or back to 0.
constexpr uint32_t kCmdKeyUp = 1111888815;
constexpr uint32_t kCmdKeyDown = 1111888816;
constexpr uint32_t kCmdKeyReset = 1111888817;

// The progress slider's drag.
constexpr uint32_t kCmdSliderDown = 1111888801;
constexpr uint32_t kCmdSliderDrag = 1111888802;
constexpr uint32_t kCmdSliderUp = 1111888803;

// Commands of the presentation windows.
constexpr uint32_t kCmdTogglePause = 0x74F53C82;    // 1962228866
constexpr uint32_t kCmdRestartSong = 0x76023F7B;    // 1979858811
constexpr uint32_t kCmdChooseSong = 0x728D3CFB;     // 1921858811
constexpr uint32_t kCmdSubtitleFont = 0x42DE78F3;   // 1121876211
constexpr uint32_t kCmdBackToEditor = 0x42DEAA2B;   // 1121888811
constexpr uint32_t kCmdExit = 0x42DE34FB;           // 1121858811
constexpr uint32_t kCmdEscape = 0x470A527B;         // 1191858811
constexpr uint32_t kCmdVolumeUp = 0x42DE9F9F;       // 1121886111
constexpr uint32_t kCmdVolumeDown = 0x42DEA003;     // 1121886211
constexpr uint32_t kCmdOtherPictures = 0x42EDECB1;  // 1122888881
constexpr uint32_t kCmdWindowSize = 0x75882D7B;     // 1971858811
constexpr uint32_t kCmdWindowMoved = 0x42DED57D;    // 1121899901 (sent, not posted)

// Items of the presentation windows' popup menus; the subtitle window and
// the picture window share those they have in common.
constexpr int kMenuTogglePause = 29320;
constexpr int kMenuRestartSong = 29448;
constexpr int kMenuChooseSong = 29330;
constexpr int kMenuSubtitleFont = 29333;
constexpr int kMenuShowPicture = 29456;
constexpr int kMenuBackToEditor = 29331;
constexpr int kMenuHideEditor = 29457;
constexpr int kMenuHelp = 29304;
constexpr int kMenuExit = 29332;
constexpr int kMenuExportVideo = 29458;
constexpr int kMenuKey = 29459;  // the submenu of the three below
constexpr int kMenuKeyUp = 29460;
constexpr int kMenuKeyDown = 29461;
constexpr int kMenuKeyReset = 29462;

// Items the editor adds to its window menu.
constexpr int kSysAbout = 16;
constexpr int kSysSubtitleFont = 32;

}  // namespace melnix
