#!/usr/bin/env bash
# A whole game in the real program under Xvfb, played through xdotool: the menu's start
# button, the level selection, the help text, a launched ball, a few seconds of play, Esc to
# the game-over screen, Esc back to the menu and its end button. It runs in a scratch
# directory with its own data directory "Spiel" (everything else falls back to the staged
# Standard set), so no real highscore is touched.
# Usage: full-game.sh STAGE_DIR [SCREENSHOT_DIR]
set -euo pipefail
drive=$(cd "$(dirname "$0")" && pwd)/drive.sh
stage=$1
shots=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/Spiel"
ln -s "$stage/Standard" "$work/Standard"
cp "$stage/zantor" "$work/zantor" # a portable copy: its data beside it
cd "$work"

DRIVE=$drive STAGE=$stage SHOTS=$shots xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash -c '
    set -m
    SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null ./zantor Spiel 2>/dev/null & pid=$!
    . "$DRIVE"
    shot() { if [ -n "$SHOTS" ]; then import -window root "$SHOTS/$1.png"; fi; }
    await 60 "menu" logged "Menu Init end" 1
    sleep 3            # the buttons fly in: 2.3 s of the menu from its first frame
    shot menu
    # The game cursor starts at the top left and moves 1.5 times the mouse: to the start
    # button at about (840, 280).
    xdotool mousemove_relative -- 560 187; sleep 0.3
    level_loaded click 1 0 # start: two seconds, then level 1 loads (its second load)
    shot selection
    click 3 1.5        # the right button starts level 1 with its help text
    shot help
    click 3 0.5        # close the help text
    click 1 3.0        # launch a ball, and play for three seconds
    shot play
    key E 0            # a screenshot of the play
    await 10 "screenshot of the play" test -f Screenshot.bmp
    mv Screenshot.bmp play.bmp
    key Escape 0       # the game ends: a first highscore, written at once
    await 10 "Highscore.dat" test -f Spiel/Highscore.dat
    shot gameover
    key E 0            # of the frame shown after the one that wrote the highscore
    await 10 "screenshot of the game over" test -f Screenshot.bmp
    mv Screenshot.bmp over.bmp
    key Escape 1.0     # back to the menu (no row marks it: a few frames)
    # The end button at about (840, 510): 230 pixels further down.
    xdotool mousemove_relative -- 0 154; sleep 0.3
    click 1 0          # end: the program quits after two seconds
    end=$((SECONDS + 30))
    while kill -0 "$pid" 2>/dev/null && [ "$SECONDS" -lt "$end" ]; do
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "zantor still runs 30 s after the end button"; kill -TERM "$pid"; wait "$pid"; exit 3
    fi
    wait "$pid"'

fail() { echo "FAIL: $*"; echo "--- log.htm (rows):"; grep -E "Fehler" log.htm | head -20; exit 1; }
[ -f log.htm ] || fail "no log.htm"
[ "$(tail -c 7 log.htm)" = "</html>" ] || fail "log without footer"
if grep -q "Fehler" log.htm; then fail "error rows in the log"; fi
[ -f Spiel/Highscore.dat ] || fail "no Highscore.dat in the data directory"
[ "$(od -An -tu4 -N4 Spiel/Daten.dat | tr -d ' ')" = 1 ] || fail "Daten.dat does not hold level 1"
# The game-over screen lies under the tinted panel: its middle is blue.
byte() { od -An -tu1 -j "$2" -N1 "$1" | tr -d ' '; }
offset=$(od -An -tu4 -j 10 -N4 over.bmp | tr -d ' ')
row=$(( 1024 * 3 ))
at=$(( offset + 200 * row + 300 * 3 ))
blue=$(byte over.bmp "$at"); green=$(byte over.bmp $((at + 1))); red=$(byte over.bmp $((at + 2)))
[ "$blue" -gt $((red + 60)) ] && [ "$blue" -gt $((green + 60)) ] ||
    fail "game-over screen not on the blue panel: rgb $red $green $blue"
echo "a whole game: menu, selection, help, play, game over, menu, end; log without errors"
