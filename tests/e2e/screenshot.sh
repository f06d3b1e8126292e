#!/usr/bin/env bash
# Under Xvfb, holding E writes Screenshot.bmp: the whole 1024 × 768 screen with the
# background picture on it (lighter at the bottom than at the top).
set -euo pipefail
stage=$1
cd "$stage"
rm -f Screenshot.bmp

xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash -c '
    SDL_VIDEODRIVER=x11 ./zantor Standard & pid=$!
    sleep 1.5
    xdotool keydown e; sleep 0.15; xdotool keyup e
    sleep 0.5
    kill -TERM "$pid"
    wait "$pid"'

fail() { echo "FAIL: $*"; exit 1; }
[ -f Screenshot.bmp ] || fail "no Screenshot.bmp"
byte() { od -An -tu1 -j "$1" -N1 Screenshot.bmp | tr -d ' '; }
word() { od -An -tu4 -j "$1" -N4 Screenshot.bmp | tr -d ' '; }
[ "$(head -c 2 Screenshot.bmp)" = BM ] || fail "not a bitmap"
[ "$(word 18)" -eq 1024 ] && [ "$(word 22)" -eq 768 ] || fail "size $(word 18) x $(word 22)"
offset=$(word 10)
row=$(( (1024 * 3 + 3) / 4 * 4 ))
# Rows are stored from the bottom: the first is the bottom row, the last the top row.
bottom_blue=$(byte $(( offset + 512 * 3 )))
top_blue=$(byte $(( offset + 767 * row + 512 * 3 )))
[ "$bottom_blue" -gt 60 ] || fail "bottom not the background's blue: $bottom_blue"
[ "$top_blue" -lt "$bottom_blue" ] || fail "top ($top_blue) not darker than bottom ($bottom_blue)"
echo "Screenshot.bmp: 1024 x 768, background blue $top_blue at the top, $bottom_blue at the bottom"
