#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Draws Melnix's two built-in background pictures (resources 151 and 152):
# an evening sky over hills and a night sky with a moon over water.
set -euo pipefail
cd "$(dirname "$0")/../res/pictures"
size=1024x768
# Evening: a sky from deep blue to orange, two green hills.
ffmpeg -v error -y -f lavfi -i "color=black:s=$size,format=rgb24" -frames:v 1 -vf "geq=\
r='if(lt(Y, 520 + 60*sin(X/180)), 30 + 190*Y/560, if(lt(Y, 600 + 40*sin(X/120+1)), 40, 30))':\
g='if(lt(Y, 520 + 60*sin(X/180)), 30 + 80*Y/560, if(lt(Y, 600 + 40*sin(X/120+1)), 95, 75))':\
b='if(lt(Y, 520 + 60*sin(X/180)), 110 - 60*Y/560, if(lt(Y, 600 + 40*sin(X/120+1)), 45, 35))'" \
  -q:v 3 picture151.jpg
# Night: a dark blue sky, a pale moon, its light on the water below.
ffmpeg -v error -y -f lavfi -i "color=black:s=$size,format=rgb24" -frames:v 1 -vf "geq=\
r='if(lt(hypot(X-760,Y-180),70), 250, if(lt(Y,500), 10 + 30*Y/500, 10 + 60*exp(-abs(X-760)/60)*abs(sin(Y/6))))':\
g='if(lt(hypot(X-760,Y-180),70), 240, if(lt(Y,500), 15 + 40*Y/500, 20 + 60*exp(-abs(X-760)/60)*abs(sin(Y/6))))':\
b='if(lt(hypot(X-760,Y-180),70), 200, if(lt(Y,500), 40 + 80*Y/500, 60 + 80*exp(-abs(X-760)/60)*abs(sin(Y/6))))'" \
  -q:v 3 picture152.jpg
