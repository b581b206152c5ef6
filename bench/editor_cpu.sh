#!/usr/bin/env bash
# CPU time of the editor while it plays an MP3 with its volume strip and a
# lyric, against `mpv --no-video --ao=null` playing the same file over the
# same minute. Both run at once under a virtual display; their user and
# system time are read from /proc at the start and the end of the minute.
# mpv is only the yardstick here: Melnix does not need it, and without it
# the editor is measured alone.
#   bench/editor_cpu.sh [path/to/melnix] [seconds]
# melnix defaults to the release build (cmake -DCMAKE_BUILD_TYPE=Release,
# target melnix); melnix-tool beside it embeds the lyric when it is built.
set -euo pipefail
melnix=$(realpath "${1:-build/release/src/app/melnix}")
seconds=${2:-60}
tool=$(dirname "$(dirname "$melnix")")/cli/melnix-tool
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ -z "${DISPLAY:-}" ] || [ -z "${EDITOR_CPU_IN_XVFB:-}" ]; then
  export EDITOR_CPU_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$melnix" "$seconds"
fi

# Three minutes of a chord under a tremolo with some noise, 128 kbit/s stereo.
ffmpeg -nostdin -v error -f lavfi -i "aevalsrc=0.3*sin(2*PI*220*t)*(0.7+0.3*sin(2*PI*3*t))+0.2*sin(2*PI*331*t)+0.05*(random(0)-0.5)|0.3*sin(2*PI*220*t)+0.1*sin(2*PI*1250*t)+0.05*(random(1)-0.5):s=44100:d=180" \
  -c:a libmp3lame -b:a 128k "$work/song.mp3"
# A line of eight characters every four seconds; in the song's tail when the
# companion is there, else beside the song.
{
  for ((i = 0; i < 45; i++)); do
    printf '[%02d:%02d.00]第%02d句歌词在这里唱\n' $((i * 4 / 60)) $((i * 4 % 60)) "$i"
  done
} > "$work/song.lrc"
if [ -x "$tool" ]; then
  "$tool" lyrics embed "$work/song.mp3" "$work/song.lrc" > /dev/null
  rm "$work/song.lrc"
fi

# utime + stime of a process in clock ticks.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)

mkdir -p "$work/home"
MELNIX_HOME="$work/home" MELNIX_AUDIO=null ASAN_OPTIONS=detect_leaks=0 "$melnix" "$work/song.mp3" \
  > "$work/melnix.log" 2>&1 &
editor=$!
peer=
if command -v mpv > /dev/null; then
  mpv --no-config --no-video --ao=null --really-quiet "$work/song.mp3" > /dev/null 2>&1 &
  peer=$!
else
  echo "mpv is not installed: measuring the editor alone"
fi
# Past the start and the opening of the song.
sleep 8
e0=$(ticks $editor)
[ -n "$peer" ] && p0=$(ticks $peer)
sleep "$seconds"
e1=$(ticks $editor)
[ -n "$peer" ] && p1=$(ticks $peer)
# EDITOR_CPU_SHOT=FILE.png: what the editor showed at the end, to check it played.
[ -n "${EDITOR_CPU_SHOT:-}" ] && ffmpeg -nostdin -loglevel error -f x11grab -video_size 1024x768 -i "$DISPLAY" \
  -frames:v 1 -y "$EDITOR_CPU_SHOT"
kill $editor ${peer:+$peer} 2> /dev/null || true
wait 2> /dev/null || true

cpu() { echo "scale=2; ($2 - $1) / $hz" | bc -l; }
ecpu=$(cpu "$e0" "$e1")
printf 'editor (%s s of playing)  CPU %6.2f s  (%.1f %% of one core)\n' "$seconds" "$ecpu" \
  "$(echo "100 * $ecpu / $seconds" | bc -l)"
if [ -n "$peer" ]; then
  pcpu=$(cpu "$p0" "$p1")
  printf 'mpv --no-video --ao=null  CPU %6.2f s  (%.1f %% of one core)\n' "$pcpu" \
    "$(echo "100 * $pcpu / $seconds" | bc -l)"
  [ "$(echo "$pcpu > 0" | bc)" = 1 ] && printf 'editor / mpv: %.2fx\n' "$(echo "$ecpu / $pcpu" | bc -l)"
fi
