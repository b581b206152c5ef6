#pragma once
// Identifiers of the popup menu items of the presentation windows; the
// subtitle window and the picture window share those they have in common.

namespace melnix {

constexpr int kMenuTogglePause = 29320;
constexpr int kMenuRestartSong = 29448;
constexpr int kMenuChooseSong = 29330;
constexpr int kMenuSubtitleFont = 29333;
constexpr int kMenuShowPicture = 29456;
constexpr int kMenuBackToEditor = 29331;
constexpr int kMenuHideEditor = 29457;
constexpr int kMenuHelp = 29304;
constexpr int kMenuExit = 29332;

}  // namespace melnix
