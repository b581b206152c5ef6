// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/midi_stream_device.h"

#include <unistd.h>

#include <cstdlib>

namespace melnix {
namespace {

// Where Debian's General MIDI soundfonts are installed, the preferred first.
constexpr const char* kSoundfonts[] = {
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
};

bool readable(const char* path) { return ::access(path, R_OK) == 0; }

}  // namespace

std::string findSoundfont() {
    // A soundfont named by the user is the only one tried: a wrong name
    // should be noticed, not covered by another soundfont.
    if (const char* chosen = std::getenv("MELNIX_SOUNDFONT"); chosen && *chosen)
        return readable(chosen) ? std::string(chosen) : std::string();
    for (const char* path : kSoundfonts)
        if (readable(path)) return path;
    return std::string();
}

std::unique_ptr<MidiStreamDevice> createMidiStreamDevice() {
    std::string soundfont = findSoundfont();
    if (soundfont.empty()) return nullptr;
    std::unique_ptr<AudioOutput> output = createAudioOutput();
    if (!output) return nullptr;
    return makeFluidSynthMidiDevice(soundfont, std::move(output));
}

}  // namespace melnix
