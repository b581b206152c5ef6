#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds the tests with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test through ctest.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMELNIX_SANITIZE=ON -DMELNIX_TESTS=ON
cmake --build build/test
cd build/test
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --output-on-failure -j2 "$@"
