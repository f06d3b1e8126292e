#!/usr/bin/env bash
# A whole game with the keyboard alone, in the real program under Xvfb: not a single mouse
# event. The menu's focus (Down, then Enter on the start button), the level selection (Right,
# then Enter), the help text (Enter), play with the arrows and Space, the statistics (Enter),
# the next level, Escape to the game's end and to the menu, and the menu's end button (Down
# twice, Space). The settings are Standard's (Control=1: the mouse would steer too) with a
# level 1 that a few launches clear: a board of two blocks, four units wide, and balls enough.
# Usage: keyboard.sh STAGE_DIR [SCREENSHOT_DIR]
set -euo pipefail
drive=$(cd "$(dirname "$0")" && pwd)/drive.sh
stage=$(cd "$1" && pwd)
shots=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/Tasten"
ln -s "$stage/Standard" "$work/Standard"
ln -s "$stage/locale" "$work/locale" # and the catalogues of other languages
cp "$stage/zantor" "$work/zantor" # a portable copy: its data beside it
cd "$work"

# Standard's settings; [Options] and [Level1] as said above.
awk '
    { sub(/\r$/, "") }
    /^\[/ { section = $0 }
    section == "[Options]" && /^(Balls|Intro|Leveluebergaenge|Control)=/ { next }
    section == "[Level1]" && /^(SizeX|SizeZ|PaddelSize)=/ { next }
    { print }
    /^\[Options\]$/ { print "Balls=20\nIntro=0\nLeveluebergaenge=0\nControl=1" }
    /^\[Level1\]$/ { print "SizeX=4\nSizeZ=10\nPaddelSize=3" }
' Standard/Zantor.ini > Tasten/Zantor.ini
printf '..@\n00@\n' > Tasten/Level1.txt

DRIVE=$drive SHOTS=$shots xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash -c '
    set -m
    SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null ./zantor Tasten 2>/dev/null & pid=$!
    . "$DRIVE"
    fail() { echo "FAIL: $*"; kill -TERM "$pid" 2>/dev/null; exit 1; }
    # shot NAME: the screen, kept as NAME.png here and in the screenshot folder when given.
    shot() {
        import -window root "$1.png"
        if [ -n "$SHOTS" ]; then cp "$1.png" "$SHOTS/$1.png"; fi
    }
    differ() { [ "$(compare -metric AE "$1.png" "$2.png" null: 2>&1 || true)" != 0 ]; }
    loads() { rows "cLevelname="; }

    await 60 "menu" logged "Menu Init end" 1
    sleep 1
    shot menu
    key Down 0.3
    shot focus
    differ menu focus || fail "the focus on the start button does not show"
    before=$(loads)
    key Return 0 # start: two seconds, then level 1 loads
    await 30 "level 1" logged "cLevelname=" $((before + 1))
    sleep 0.5
    shot selection
    # Right: only level 1 has been reached, so it loads again.
    key Right 0
    await 10 "level 1 again" logged "cLevelname=" $((before + 2))
    sleep 0.5
    key Return 0.5
    shot help
    differ selection help || fail "Enter at the level selection does not show the help text"
    key Return 0.5
    shot play
    differ help play || fail "Enter does not go on from the help text"
    xdotool keydown Left; sleep 0.6; xdotool keyup Left; sleep 0.2
    shot left
    differ play left || fail "the left arrow does not move the paddle"
    # Space launches; a ball clears one of the two blocks on its way out. The statistics show
    # on the blue panel that covers the board: then Enter goes on to level 2.
    panel() {
        convert "$1.png" -format "%[fx:int(255*p{300,200}.b)] %[fx:int(255*p{300,200}.r)]" info:
    }
    cleared=no
    for launch in 1 2 3 4 5 6; do
        key space 2.5
        shot statistics
        read -r blue red <<< "$(panel statistics)"
        if [ "$blue" -gt $((red + 60)) ]; then cleared=yes; break; fi
    done
    [ "$cleared" = yes ] || fail "no statistics after six launches"
    key Return 0
    await 10 "level 2" logged "Level2.txt" 1
    sleep 0.5
    shot level2
    key Escape 1.0 # the game ends
    shot over
    key Escape 1.0 # back to the menu
    key Down 0.2
    key Down 0.2
    shot end
    key space 0 # the end button: the program quits after two seconds
    end=$((SECONDS + 30))
    while kill -0 "$pid" 2>/dev/null && [ "$SECONDS" -lt "$end" ]; do
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "zantor still runs 30 s after the end button"
    wait "$pid"'

fail() { echo "FAIL: $*"; echo "--- log.htm (rows):"; grep -E "Fehler" log.htm | head -20; exit 1; }
[ -f log.htm ] || fail "no log.htm"
[ "$(tail -c 7 log.htm)" = "</html>" ] || fail "log without footer"
if grep -q "Fehler" log.htm; then fail "error rows in the log"; fi
[ "$(od -An -tu4 -N4 Tasten/Daten.dat | tr -d ' ')" = 2 ] || fail "Daten.dat does not hold level 2"
[ -f Tasten/Highscore.dat ] || fail "no Highscore.dat: the game did not end with a score"
echo "a whole game by keyboard: menu, selection, help, play, statistics, level 2, end, menu, quit"
