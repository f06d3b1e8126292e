#!/usr/bin/env bash
# The real program under valgrind's memcheck for a scripted minute of menu and play under
# Xvfb: no invalid read or write and no definite leak of the game's own. Reports that
# belong to system libraries are suppressed, each with its reason (tests/valgrind.supp).
# Usage: valgrind.sh STAGE_DIR SUPPRESSIONS
set -euo pipefail
stage=$(realpath "$1")
suppressions=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$stage/Standard" "$work/Standard"
cp "$stage/zantor" "$work/zantor" # a portable copy: its data beside it
mkdir "$work/Spiel"
cd "$work"

SUPP=$suppressions STAGE=$stage xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash -c '
    set -m
    SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null valgrind --error-limit=no --keep-debuginfo=yes \
        --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \
        --suppressions="$SUPP" --log-file=valgrind.log ./zantor Spiel & pid=$!
    click() { xdotool mousedown "$1"; sleep 0.3; xdotool mouseup "$1"; sleep "$2"; }
    sleep 25           # start-up and the fly-in, slowly
    xdotool mousemove_relative -- 560 187; sleep 2
    click 1 12         # start
    click 3 4          # level 1
    click 3 3          # past the help text
    click 1 10         # launch and play
    kill -TERM "$pid"
    wait "$pid"'

summary=$(grep "ERROR SUMMARY" valgrind.log | tail -n 1)
echo "valgrind: $summary"
if ! grep -q "ERROR SUMMARY: 0 errors" valgrind.log; then
    grep -B2 -A20 -E "Invalid|definitely lost in" valgrind.log | head -80
    exit 1
fi
grep -q "Logbuch geschlossen" Spiel/../log.htm || { echo "log without footer"; exit 1; }
