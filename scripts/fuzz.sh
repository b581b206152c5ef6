#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Coverage-guided fuzzing of Melnix's readers with libFuzzer (clang, with
# AddressSanitizer and UndefinedBehaviorSanitizer).
#
#   scripts/fuzz.sh --list              names the targets
#   scripts/fuzz.sh TARGET SECONDS      fuzzes one from its seed corpus
#   scripts/fuzz.sh TARGET SECONDS -- ARGS   passes more options to libFuzzer
#
# Runs grow build/fuzz/corpus/TARGET (the seeds in fuzz/corpus/TARGET are not
# touched); a crash, leak, timeout or out-of-memory input is written to
# build/fuzz/artifacts/TARGET/. Copy such an input into fuzz/corpus/TARGET
# once the fault is fixed: the test suite replays every corpus file.
set -euo pipefail
cd "$(dirname "$0")/.."

TARGETS=(mlx_block tail_locator text_stream lrc ksc text_import midi wav mp3 ffmpeg_source state_file pik smtp_reply exchange_config)

if [ "${1:-}" = "--list" ]; then
  printf '%s\n' "${TARGETS[@]}"
  exit 0
fi
if [ $# -lt 2 ]; then
  echo "usage: $0 --list | TARGET SECONDS [-- LIBFUZZER-OPTIONS]" >&2
  exit 2
fi
target=$1 seconds=$2
shift 2
[ "${1:-}" = "--" ] && shift
if ! printf '%s\n' "${TARGETS[@]}" | grep -qx "$target"; then
  echo "unknown target: $target (see --list)" >&2
  exit 2
fi

build=build/fuzz
if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMELNIX_FUZZ=ON -DMELNIX_TESTS=OFF >/dev/null
fi
nice -n 15 cmake --build "$build" -j2 --target "fuzz_$target"

work="$build/corpus/$target"
artifacts="$build/artifacts/$target"
mkdir -p "$work" "$artifacts"
export MELNIX_HOME="$PWD/$build/home" MELNIX_AUDIO=null
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
exec "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
  -artifact_prefix="$artifacts/" -print_final_stats=1 "$@" "$work" "fuzz/corpus/$target"
