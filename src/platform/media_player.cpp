// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media_player.h"

namespace melnix {

std::unique_ptr<MediaPlayer> createMediaPlayer(QWidget* parent) { return makeMpvMediaPlayer(parent); }

}  // namespace melnix
