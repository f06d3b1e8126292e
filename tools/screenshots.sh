#!/usr/bin/env bash
# Takes the README's screenshots of the real game under Xvfb: the menu, its info screen, the
# level selection, level 15 in play with mirror images and particles, the statistics panel
# and the game-over panel.
# Needs ImageMagick (import, convert). Usage: tools/screenshots.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
stage=${1:-$root/build}/stage
out=$root/docs
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/Shots"
printf '\x16\0\0\0' > "$work/Shots/Daten.dat" # every level may be chosen
ln -s "$stage/Standard" "$work/Standard"
cp "$stage/zantor" "$work/zantor" # a portable copy: its data beside it
cd "$work"

OUT=$work STAGE=$stage xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash -c '
    set -m
    SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null ./zantor Shots 2>/dev/null & pid=$!
    click() { xdotool mousedown "$1"; sleep 0.1; xdotool mouseup "$1"; sleep "$2"; }
    sleep 4.5
    xdotool mousemove_relative -- 560 187; sleep 0.5
    import -window root "$OUT/menu.png"
    xdotool mousemove_relative -- 0 77; sleep 0.3
    click 1 6.0                                # info: the credits slide in
    import -window root "$OUT/info.png"
    xdotool mousemove_relative -- 0 -77; sleep 0.3
    click 1 2.8
    # The right arrow at (960, 384): 14 clicks from level 1 to level 15.
    xdotool mousemove_relative -- 100 70; sleep 0.3
    for i in $(seq 14); do click 1 2.2; done
    import -window root "$OUT/selection.png"
    click 3 1.6
    click 1 0.05; click 1 0.05; click 1 1.9   # three launches: only the first takes
    import -window root "$OUT/play.png"
    kill -TERM "$pid"; wait "$pid"'
# A level without blocks is complete at once: its statistics, then Esc to the game over.
mkdir "$work/Empty"
: > "$work/Empty/Level1.txt"
OUT=$work STAGE=$stage xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash -c '
    set -m
    SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null ./zantor Empty 2>/dev/null & pid=$!
    click() { xdotool mousedown "$1"; sleep 0.1; xdotool mouseup "$1"; sleep "$2"; }
    sleep 4.5
    xdotool mousemove_relative -- 560 187; sleep 0.3
    click 1 3.6; click 3 1.0; click 3 0.8
    import -window root "$OUT/statistics.png"
    xdotool keydown Escape; sleep 0.1; xdotool keyup Escape; sleep 0.8
    import -window root "$OUT/gameover.png"
    kill -TERM "$pid"; wait "$pid"'
for name in menu info selection play statistics gameover; do
    convert "$name.png" -quality 88 "$out/$name.jpg"
done
ls -la "$out"
