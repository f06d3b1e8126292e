#!/usr/bin/env bash
# Under Xvfb, holding E writes Screenshot.bmp: the whole 1024 × 768 screen as the menu shows
# it, a picture with many colours, not an empty frame.
set -euo pipefail
drive=$(cd "$(dirname "$0")" && pwd)/drive.sh
stage=$1
cd "$stage"
rm -f Screenshot.bmp log.htm # the menu is awaited by its row in a new log.htm

DRIVE=$drive xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash -c '
    SDL_VIDEODRIVER=x11 ./zantor Standard & pid=$!
    . "$DRIVE"
    await 60 "menu" grep -qF "Menu Init end" log.htm
    # The screenshot is of the frame last shown, and no row marks the first one: the menu
    # gets half a second to show some.
    sleep 0.5
    xdotool keydown e; sleep 0.15; xdotool keyup e
    await 10 "Screenshot.bmp" test -f Screenshot.bmp # written aside, then renamed: complete
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
colours=$(for x in $(seq 0 64 1023); do
    od -An -tx1 -j $(( offset + 384 * row + x * 3 )) -N3 Screenshot.bmp
done | sort -u | wc -l)
[ "$colours" -ge 6 ] || fail "only $colours colours across the middle row"
echo "Screenshot.bmp: 1024 x 768, $colours colours in 16 samples across the middle row"
