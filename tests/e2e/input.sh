#!/usr/bin/env bash
# The real keyboard and mouse under Xvfb, driven by xdotool: the game cursor moves by 1.5
# times the mouse's motion, and holding S lowers the music by about 10 dB per second.
# Usage: input.sh PROBE_PROGRAM MUSIC_DIRECTORY
set -euo pipefail
probe=$1 music=$2
out=$(mktemp)
trap 'rm -f "$out"' EXIT

PROBE=$probe MUSIC=$music OUT=$out xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash -c '
    set -m
    SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null "$PROBE" "$MUSIC/" > "$OUT" & pid=$!
    # Waits until the probe has printed a line matching the pattern, for at most the seconds
    # given; then the run goes on, and the checks below say what is missing.
    await() {
        local end=$((SECONDS + $1))
        until grep -q "$2" "$OUT"; do
            kill -0 "$pid" 2>/dev/null || return
            [ "$SECONDS" -lt "$end" ] || return
            sleep 0.1
        done
    }
    await 60 "^cursor" # the first position: the frame loop is about to run
    read -r _ x y < <(grep "^cursor" "$OUT" | head -n 1)
    xdotool mousemove_relative -- 40 0
    await 10 "^cursor $((x + 60)) $y\$"
    xdotool mousemove_relative -- 0 20
    await 10 "^cursor $((x + 60)) $((y + 30))\$"
    # Held for a second: the time it is held is what the volume measures.
    xdotool keydown s; sleep 1.0; xdotool keyup s
    sleep 0.3 # nothing marks the release: a few frames to see it before the end
    kill -TERM "$pid"
    wait "$pid"'

fail() { echo "FAIL: $*"; echo "--- probe output:"; cat "$out"; exit 1; }
read -r _ x0 y0 < <(grep '^cursor' "$out" | head -n 1)
read -r _ x1 y1 < <(grep '^cursor' "$out" | tail -n 1)
[ $((x1 - x0)) -eq 60 ] || fail "cursor moved $((x1 - x0)) to the right, expected 60 (1.5 x 40)"
[ $((y1 - y0)) -eq 30 ] || fail "cursor moved $((y1 - y0)) down, expected 30 (1.5 x 20)"
volume=$(awk '/^music-volume/ {print $2}' "$out")
[ -n "$volume" ] || fail "no music volume"
[ "$volume" -le -600 ] && [ "$volume" -ge -1600 ] ||
    fail "music volume $volume after holding S for a second, expected about -1000"
echo "cursor moved by (60, 30) for a mouse motion of (40, 20); S held 1 s: music at $volume"
