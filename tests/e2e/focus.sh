#!/usr/bin/env bash
# Under Xvfb with a window manager: play pauses by itself when the game's window loses the
# keyboard focus (another window activated over it) and when it is minimised, shows "Pause"
# in the middle of the screen, and stays paused after the window is back in front until P
# goes on. Paused means the picture stands still: two pictures of the window taken a second
# apart are the same, while in play they differ (the ball flies). "Pause" is written in the
# info text's colour, which the middle of the picture in play does not hold. The game runs
# as a portable copy in a scratch directory with a data directory of its own whose settings
# are Standard's in a window of 1024 x 768 without the intro.
# Usage: focus.sh STAGE_DIR [SCREENSHOT_DIR]
set -euo pipefail
drive=$(cd "$(dirname "$0")" && pwd)/drive.sh
stage=$1
keep=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/Fokus" "$work/shots"
ln -s "$stage/Standard" "$work/Standard"
cp "$stage/zantor" "$work/zantor" # a portable copy: its data and its log beside it
cd "$work"
# Level 1 with a paddle as wide as its board and blocks that do not break: the ball, once
# launched, stays in play however long the test takes, without the mouse steering.
board=$(awk -F= '/^\[/ { section = $0 } section == "[Level1]" && $1 == "SizeX" { print $2; exit }' \
        Standard/Zantor.ini | tr -d '\r')
[ -n "$board" ] || { echo "FAIL: no SizeX in [Level1] of Standard/Zantor.ini"; exit 1; }
sed -e 's/^Intro=.*/Intro=0/' -e 's/^Windowed=.*/Windowed=1/' -e 's/^Width=.*/Width=1024/' \
    -e 's/^Height=.*/Height=768/' -e 's/^Hitpoints=.*/Hitpoints=1000000/' \
    -e "/^\[Level1\]/,/^\[/ s/^PaddelSize=.*/PaddelSize=$board/" \
    Standard/Zantor.ini > Fokus/Zantor.ini
# The info text's colour, 0xaarrggbb in the settings, as #rrggbb.
colour=$(sed -n 's/^InfoTextColor=0x..\(......\).*/#\1/p' Fokus/Zantor.ini)
[ -n "$colour" ] || { echo "FAIL: no InfoTextColor in Standard/Zantor.ini"; exit 1; }

status=0
DRIVE=$drive SHOTS=$work/shots COLOUR=$colour \
xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash -c '
    set -m
    fail() { echo "FAIL: $*"; kill -KILL "$pid" 2>/dev/null; exit 1; }
    openbox --sm-disable >/dev/null 2>&1 & wm=$!
    other=
    trap "kill \$wm \$other 2>/dev/null || true" EXIT
    sleep 1
    SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null ./zantor Fokus 2>/dev/null & pid=$!
    . "$DRIVE"

    # A picture of the window of the game, named after the step (spaces as dashes).
    shot() { import -window "$id" "$SHOTS/${1// /-}.png" || fail "no picture of the window: $1"; }
    # The number of pixels in which two pictures differ (or what compare said instead, and
    # a failure).
    differing() {
        local n
        n=$(compare -metric AE "$SHOTS/${1// /-}.png" "$SHOTS/${2// /-}.png" null: 2>&1)
        echo "$n"
        [[ $n =~ ^[0-9.e+]+$ ]]
    }
    # The number of pixels near the info text colour in the middle 400 x 160 of a picture.
    info_pixels() {
        local n
        n=$(convert "$SHOTS/${1// /-}.png" -crop 400x160+312+304 +repage -fuzz 12% \
            -fill black +opaque "$COLOUR" -fill white -opaque "$COLOUR" \
            -format "%[fx:round(mean*w*h)]" info: 2>&1)
        echo "$n"
        [[ $n =~ ^[0-9]+$ ]]
    }
    # paused WHAT: two pictures a second apart are the same, and "Pause" is in the middle.
    paused() {
        shot "$1-a"; sleep 1; shot "$1-b"
        local changed text
        changed=$(differing "$1-a" "$1-b") || fail "$1: no comparison: $changed"
        [ "$changed" = 0 ] || fail "$1: $changed pixels changed in a second of pause"
        text=$(info_pixels "$1-b") || fail "$1: no count of the text: $text"
        [ "$text" -ge 50 ] || fail "$1: no Pause in the middle, $text pixels of $COLOUR"
        echo "$1: the picture stands still, $text pixels of $COLOUR in the middle"
    }
    # playing WHAT: two pictures a second apart differ, and no "Pause" is in the middle.
    playing() {
        shot "$1-a"; sleep 1; shot "$1-b"
        local changed text
        changed=$(differing "$1-a" "$1-b") || fail "$1: no comparison: $changed"
        [ "$changed" != 0 ] || fail "$1: the picture stands still in play"
        text=$(info_pixels "$1-b") || fail "$1: no count of the text: $text"
        [ "$text" -lt 50 ] || fail "$1: $text pixels of $COLOUR in the middle, as if paused"
        echo "$1: $changed pixels changed in a second, $text of $COLOUR in the middle"
    }
    focused() { [ "$(xdotool getwindowfocus)" = "$1" ]; }
    titled() { xdotool search --name "^zantor-elsewhere\$" >/dev/null; }
    minimised() { xprop -id "$id" WM_STATE | grep -q "window state: Iconic"; }

    to_selection 60
    id=$(xdotool search --pid "$pid" | tail -1)
    [ -n "$id" ] || fail "no window of the game"
    click 3 1.5 # the right button starts level 1 with its help text
    click 3 0.5 # close the help text
    click 1 1.0 # launch a ball
    playing "in play"

    # Another window, activated over the game, takes the keyboard focus. (xmessage does not
    # name its process on its window: it is found by its title.)
    xmessage -title zantor-elsewhere -geometry +0+0 "elsewhere" 2>/dev/null & other=$!
    await 10 "other window" titled
    message=$(xdotool search --name "^zantor-elsewhere\$" | tail -1)
    timeout 5 xdotool windowactivate --sync "$message" || fail "the other window not activated"
    await 5 "focus on the other window" focused "$message"
    sleep 0.5
    paused "unfocused"
    # Back in front, play stays paused until P.
    timeout 5 xdotool windowactivate --sync "$id" || fail "the game not activated again"
    await 5 "focus back on the game" focused "$id"
    sleep 0.5
    paused "focused again"
    key p 0.5
    playing "P after the focus"

    # Minimised, then restored by activating it.
    timeout 5 xdotool windowminimize --sync "$id" || fail "the game not minimised"
    await 5 "minimised window" minimised
    sleep 0.5
    timeout 5 xdotool windowactivate --sync "$id" || fail "the game not restored"
    await 5 "focus back on the game" focused "$id"
    sleep 0.5
    paused "restored"
    key p 0.5
    playing "P after restoring"

    kill -TERM "$pid"
    wait "$pid"' || status=$?
if [ -n "$keep" ]; then cp shots/*.png "$keep"/ 2>/dev/null || true; fi
[ "$status" = 0 ] || exit "$status"

fail() {
    echo "FAIL: $*"
    echo "--- error rows:"
    grep -o "Fehler</b></font><td>[^<]*" log.htm | head -20
    exit 1
}
[ -f log.htm ] || fail "no log.htm beside the portable copy"
[ "$(tail -c 7 log.htm)" = "</html>" ] || fail "log without footer"
if grep -q "Fehler" log.htm; then fail "error rows in the log"; fi
echo "focus lost and window minimised: play paused with Pause shown until P; log without errors"
