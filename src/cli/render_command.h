// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <vector>

// melnix-tool render SONG OUT.WAV [--speed 0..8] [--vocal-removal]: plays a
// WAV or MP3 song through the wave engine into a WAV file, which then holds
// what the user would hear at that speed of the editor. args are the words
// after "render". Returns the exit status.
int runRenderCommand(const std::vector<std::string>& args);
