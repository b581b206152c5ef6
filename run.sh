#!/usr/bin/env bash
# Installs what is missing, makes a release build and starts Melnix.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMELNIX_TESTS=OFF
cmake --build build/release
# The editor is not built yet: show what the lyric engine makes of a sample
# karaoke file with the command-line companion.
exec build/release/src/cli/melnix-tool lyrics show res/samples/sample.lrc "$@"
