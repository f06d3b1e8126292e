#!/usr/bin/env bash
# Under Xvfb with VSync=1: the idle menu shows at most about one frame per refresh of the
# display (60 Hz: Xvfb's swaps do not wait, so the game keeps the pace itself), and a paused
# game and a minimised window each take under 5 % of a core. The frames are counted by a
# library loaded into the game (SwapCounter); the processor time is the game's user and
# system time from /proc, all its threads included. The menu is counted on a small back
# buffer (160 x 120), which this machine draws faster than 60 frames a second, the rest at
# the full 1024 x 768. The game runs from the stage with a data directory of the name given
# (made here, removed afterwards) whose settings are Standard's with VSync=1 and no intro.
# Usage: idle.sh STAGE_DIR SWAP_COUNTER_LIBRARY [DATA_NAME]
set -euo pipefail
drive=$(cd "$(dirname "$0")" && pwd)/drive.sh
stage=$1
counter=$2
data=${3:-e2e-idle}
cd "$stage"
rm -rf "$data" log.htm
mkdir "$data"
trap 'rm -rf "$stage/$data"' EXIT
# settings WIDTH HEIGHT: Standard's, in a window of that size, with VSync=1 and no intro.
settings() {
    sed -e 's/^VSync=.*/VSync=1/' -e 's/^Intro=.*/Intro=0/' -e 's/^Windowed=.*/Windowed=1/' \
        -e "s/^Width=.*/Width=$1/" -e "s/^Height=.*/Height=$2/" Standard/Zantor.ini
    grep -q '^VSync=' Standard/Zantor.ini || printf '[VideoMode]\nVSync=1\n'
}
settings 160 120 > "$data/Zantor.ini"
settings 1024 768 > "$data/Zantor-full.ini"

DRIVE=$drive DATA=$data COUNTER=$counter COUNT=$stage/$data/swaps \
xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash -c '
    set -m
    fail() { echo "FAIL: $*"; kill -TERM "$pid" 2>/dev/null; exit 1; }
    # A window manager, as on a desktop: it minimises windows.
    openbox --sm-disable >/dev/null 2>&1 & wm=$!
    trap "kill \$wm 2>/dev/null" EXIT
    sleep 1
    start() {
        rm -f log.htm "$COUNT"
        # (A sanitizer build would refuse a library loaded before its runtime.)
        SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null ZANTOR_SWAP_COUNT=$COUNT LD_PRELOAD=$COUNTER \
            ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0 \
            ./zantor "$DATA" 2>/dev/null & pid=$!
    }
    . "$DRIVE"
    swaps() { local n; n=$(tr -d " " < "$COUNT" 2>/dev/null); echo "${n:-0}"; }
    ticks() { awk "{ print \$14 + \$15 }" "/proc/$pid/stat"; }
    hz=$(getconf CLK_TCK)
    # measure WHAT: the share of one core in percent the game used over 10 s, and its frames.
    measure() {
        local before after first last share
        first=$(swaps); before=$(ticks); sleep 10; after=$(ticks); last=$(swaps)
        share=$(( (after - before) * 100 / (hz * 10) ))
        echo "$1: $share % of a core, $(( (last - first) / 10 )) frames a second"
        [ "$share" -lt 5 ] || fail "$1, the game takes $share % of a core"
    }

    start
    await 60 "menu" logged "Menu Init end" 1
    sleep 3 # the buttons fly in
    first=$(swaps); sleep 5; last=$(swaps)
    rate=$(( (last - first) / 5 ))
    echo "idle menu at 160 x 120: $rate frames a second"
    [ "$rate" -ge 5 ] || fail "the menu shows only $rate frames a second"
    [ "$rate" -le 63 ] || fail "the menu shows $rate frames a second, more than the display"
    kill -TERM "$pid"
    wait "$pid"

    mv "$DATA/Zantor-full.ini" "$DATA/Zantor.ini"
    start
    to_selection 60
    key p 0.5
    measure "paused"
    key p 0.5

    id=$(xdotool search --pid "$pid" | tail -1)
    xdotool windowminimize "$id"
    sleep 0.5
    measure "minimised"
    kill -TERM "$pid"
    wait "$pid"'
