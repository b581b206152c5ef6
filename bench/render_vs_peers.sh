#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Whole-process wall and CPU time of `melnix-tool render` against
# `mpg123 -q -w` on the same 5-minute 128 kbit/s MP3, and of the quality
# stretch at half speed against `sox tempo 0.5` and the `rubberband` program,
# medians of five runs each, measured in one run. Needs mpg123, sox and
# rubberband (rubberband-cli), which only this comparison uses.
#   bench/render_vs_peers.sh [path/to/melnix-tool]
set -euo pipefail
tool=${1:-build/bench/src/cli/melnix-tool}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Five minutes of a chord under a tremolo with some noise, as a 128 kbit/s
# stereo MP3.
ffmpeg -nostdin -v error -f lavfi -i "aevalsrc=0.3*sin(2*PI*220*t)*(0.7+0.3*sin(2*PI*3*t))+0.2*sin(2*PI*331*t)+0.05*(random(0)-0.5)|0.3*sin(2*PI*220*t)+0.1*sin(2*PI*1250*t)+0.05*(random(1)-0.5):s=44100:d=300" \
  -c:a libmp3lame -b:a 128k "$work/song.mp3"
mpg123 -q -w "$work/song.wav" "$work/song.mp3"

# Prints "wall_s cpu_s" of one run of the command.
measure() {
  local t0 t1
  t0=$(date +%s.%N)
  /usr/bin/time -f "%U %S" -o "$work/time.txt" "$@" >/dev/null 2>&1
  t1=$(date +%s.%N)
  echo "$(echo "$t1 - $t0" | bc -l) $(awk '{print $1 + $2}' "$work/time.txt")"
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

report() {
  local name=$1; shift
  local walls=() cpus=()
  for _ in 1 2 3 4 5; do
    read -r w c < <(measure "$@")
    walls+=("$w"); cpus+=("$c")
  done
  printf '%-44s wall %6.3f s  cpu %6.3f s\n' "$name" \
    "$(printf '%s\n' "${walls[@]}" | median)" "$(printf '%s\n' "${cpus[@]}" | median)"
}

report "mpg123 -q -w (300 s MP3)" mpg123 -q -w "$work/a.wav" "$work/song.mp3"
report "melnix-tool render (300 s MP3)" "$tool" render "$work/song.mp3" "$work/b.wav"
report "melnix-tool render --speed 0 --stretch block" "$tool" render "$work/song.wav" "$work/c.wav" --speed 0 --stretch block
report "melnix-tool render --speed 0 --stretch quality" "$tool" render "$work/song.wav" "$work/d.wav" --speed 0 --stretch quality
report "sox tempo 0.5 (300 s WAV)" sox "$work/song.wav" "$work/e.wav" tempo 0.5
report "rubberband -t 2 (300 s WAV)" rubberband -q -t 2 "$work/song.wav" "$work/f.wav"
