#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# CPU time of the editor while it plays an MP3 with its volume strip and a
# lyric, against `mpv --no-video --ao=null` playing the same file over the
# same minute. All run at once under a virtual display; their user and
# system time are read from /proc at the start and the end of the minute.
# mpv is only the yardstick here: Melnix does not need it, and without it
# the editor is measured alone.
#   bench/editor_cpu.sh [MELNIX...]
# MELNIX defaults to the release build (cmake -DCMAKE_BUILD_TYPE=Release,
# target melnix); more than one (an older build, say) are measured side by
# side. PLAY_SECONDS (60) sets the time measured; EDITOR_CPU_SHOT=FILE.png
# keeps what the screen showed at the end, to check that the songs played.
set -euo pipefail
[ $# -eq 0 ] && set -- build/release/src/app/melnix
editors=()
for m in "$@"; do editors+=("$(realpath "$m")"); done
seconds=${PLAY_SECONDS:-60}
tool=$(dirname "$(dirname "${editors[0]}")")/cli/melnix-tool

if [ -z "${EDITOR_CPU_IN_XVFB:-}" ]; then
  export EDITOR_CPU_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "${editors[@]}"
fi
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2> /dev/null || true; wait 2> /dev/null || true; rm -rf "$work"' EXIT

# Three minutes of a chord under a tremolo with some noise, 128 kbit/s stereo.
ffmpeg -nostdin -v error -f lavfi -i "aevalsrc=0.3*sin(2*PI*220*t)*(0.7+0.3*sin(2*PI*3*t))+0.2*sin(2*PI*331*t)+0.05*(random(0)-0.5)|0.3*sin(2*PI*220*t)+0.1*sin(2*PI*1250*t)+0.05*(random(1)-0.5):s=44100:d=180" \
  -c:a libmp3lame -b:a 128k "$work/song.mp3"
# A line of eight characters every four seconds; in the song's tail when the
# companion is built beside the editor, else in a lyric file beside the song.
for ((i = 0; i < 45; i++)); do
  printf '[%02d:%02d.00]第%02d句歌词在这里唱\n' $((i * 4 / 60)) $((i * 4 % 60)) "$i"
done > "$work/song.lrc"
if [ -x "$tool" ]; then
  "$tool" lyrics embed "$work/song.mp3" "$work/song.lrc" > /dev/null
  rm "$work/song.lrc"
fi

# utime + stime of a process in clock ticks.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)

names=()
for i in "${!editors[@]}"; do
  mkdir -p "$work/home$i"
  MELNIX_HOME="$work/home$i" MELNIX_AUDIO=null ASAN_OPTIONS=detect_leaks=0 "${editors[$i]}" "$work/song.mp3" \
    > "$work/melnix$i.log" 2>&1 &
  pids+=($!)
  names+=("editor ${editors[$i]}")
done
if command -v mpv > /dev/null; then
  mpv --no-config --no-video --ao=null --really-quiet "$work/song.mp3" > /dev/null 2>&1 &
  pids+=($!)
  names+=("mpv --no-video --ao=null")
else
  echo "mpv is not installed: measuring the editor alone"
fi
# Past the start and the opening of the song.
sleep 8
start=()
for p in "${pids[@]}"; do start+=("$(ticks "$p")"); done
sleep "$seconds"
end=()
for p in "${pids[@]}"; do end+=("$(ticks "$p")"); done
[ -n "${EDITOR_CPU_SHOT:-}" ] && ffmpeg -nostdin -loglevel error -f x11grab -video_size 1024x768 -i "$DISPLAY" \
  -frames:v 1 -y "$EDITOR_CPU_SHOT"

echo "CPU over the same $seconds s of playing:"
last=$((${#pids[@]} - 1))
for i in "${!pids[@]}"; do
  cpu=$(echo "scale=2; (${end[$i]} - ${start[$i]}) / $hz" | bc -l)
  line=$(printf '  %6.2f s  (%4.2f %% of one core)  %s' "$cpu" "$(echo "100 * $cpu / $seconds" | bc -l)" "${names[$i]}")
  if [ "${names[$last]}" != "${names[$i]}" ] && [[ "${names[$last]}" == mpv* ]]; then
    peer=$(echo "scale=2; (${end[$last]} - ${start[$last]}) / $hz" | bc -l)
    [ "$(echo "$peer > 0" | bc)" = 1 ] && line+=$(printf '  = %.2fx mpv' "$(echo "$cpu / $peer" | bc -l)")
  fi
  echo "$line"
done
