#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, makes a release build and starts the Melnix editor.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMELNIX_TESTS=OFF
cmake --build build/release
exec build/release/src/app/melnix "$@"
