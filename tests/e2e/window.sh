#!/usr/bin/env bash
# Under Xvfb with a window manager: the game's window takes any size the desktop gives it and
# shows the picture scaled to fit, with black bars where the proportions differ; F11 and
# Alt+Enter switch to the full screen (the whole 1024 x 768 root, no bars) and back; a
# screenshot (E) is of the back buffer, 1024 x 768, whatever the window's size. The game
# runs from the stage with a data directory of the name given (made here, removed
# afterwards) whose settings are Standard's in a window without the intro.
# Usage: window.sh STAGE_DIR [DATA_NAME]
set -euo pipefail
drive=$(cd "$(dirname "$0")" && pwd)/drive.sh
stage=$1
data=${2:-e2e-window}
shots=$(mktemp -d)
cd "$stage"
rm -rf "$data" log.htm Screenshot.bmp
mkdir "$data"
trap 'rm -rf "$stage/$data" "$shots"' EXIT
sed -e 's/^Intro=.*/Intro=0/' -e 's/^Windowed=.*/Windowed=1/' -e 's/^Width=.*/Width=1024/' \
    -e 's/^Height=.*/Height=768/' Standard/Zantor.ini > "$data/Zantor.ini"

DRIVE=$drive DATA=$data SHOTS=$shots xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash -c '
    set -m
    fail() { echo "FAIL: $*"; kill -TERM "$pid" 2>/dev/null; exit 1; }
    openbox --sm-disable >/dev/null 2>&1 & wm=$!
    trap "kill \$wm 2>/dev/null" EXIT
    sleep 1
    SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null ./zantor "$DATA" 2>/dev/null & pid=$!
    . "$DRIVE"
    # The largest and the mean value of a rectangle W x H at X, Y of a picture, 0 to 1.
    largest() { convert "$1" -crop "$2" +repage -format "%[fx:maxima]" info:; }
    mean() { convert "$1" -crop "$2" +repage -format "%[fx:mean]" info:; }
    is_black() { [ "$(largest "$1" "$2")" = 0 ]; }
    is_picture() { awk "BEGIN { exit !($(mean "$1" "$2") > 0.05) }"; }
    size() { xdotool getwindowgeometry --shell "$id" | awk -F= "/WIDTH|HEIGHT/ { printf \"%s \", \$2 }"; }

    await 60 "menu" logged "Menu Init end" 1
    sleep 3 # the buttons fly in
    id=$(xdotool search --pid "$pid" | tail -1)

    # 1000 x 500: the 4 : 3 picture is 667 x 500 in the middle, bars of 166 left and right
    # (the top rows are left out: the pointer may be drawn there).
    xdotool windowsize "$id" 1000 500
    sleep 1
    [ "$(size)" = "1000 500 " ] || fail "the window is $(size)after resizing, not 1000 500"
    import -window "$id" "$SHOTS/wide.png"
    is_black "$SHOTS/wide.png" 160x460+0+40 || fail "no black bar on the left"
    is_black "$SHOTS/wide.png" 160x460+840+40 || fail "no black bar on the right"
    is_picture "$SHOTS/wide.png" 600x440+200+40 || fail "no picture between the bars"
    echo "1000 x 500: the picture between black bars"

    key e 0
    await 10 "Screenshot.bmp" test -f Screenshot.bmp
    word() { od -An -tu4 -j "$1" -N4 Screenshot.bmp | tr -d " "; }
    [ "$(word 18) $(word 22)" = "1024 768" ] || fail "the screenshot is $(word 18) x $(word 22)"
    echo "Screenshot.bmp: 1024 x 768, the back buffer"

    for toggle in F11 alt+Return; do
        xdotool key "$toggle"
        sleep 1.5
        [ "$(size)" = "1024 768 " ] || fail "$toggle: the window is $(size)not the screen"
        import -window root "$SHOTS/full.png"
        is_picture "$SHOTS/full.png" 160x460+0+300 || fail "$toggle: the left of the screen is bare"
        is_picture "$SHOTS/full.png" 160x460+860+300 || fail "$toggle: the right of the screen is bare"
        echo "$toggle: full screen, covered"
        xdotool key "$toggle"
        sleep 1.5
        [ "$(size)" = "1000 500 " ] || fail "$toggle again: the window is $(size)not 1000 500"
        echo "$toggle again: back in the window of 1000 x 500"
    done
    kill -TERM "$pid"
    wait "$pid"'
rm -f Screenshot.bmp
