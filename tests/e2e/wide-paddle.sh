#!/usr/bin/env bash
# A paddle as wide as the board keeps every ball: every shipped level is played in the real
# program under Xvfb at its top ball speed, at whatever frame rate the machine gives it, and
# the process is stopped for seconds (SIGSTOP, then SIGCONT) while the ball is in play.
#
# Each level runs as level 1 of its own data directory: its board, layout, ball size and
# paddle speed, but the ball at twice its start speed from the launch on (the most the
# paddle's speed-up lets it reach) and never faster, a paddle exactly as wide as the board,
# a closed far wall, one ball in the stock, blocks that cannot be destroyed and no extra-ball
# or surprise blocks. With one ball and no highscore file yet, "Highscore.dat" appearing in
# the data directory means the ball was lost. The HUD's ball count, read from screenshots
# the game takes on E, shows that the ball really left the stock in every game.
# A last game with a paddle a hundredth of a unit wide must lose its ball, or the test could
# not see a loss at all. Games run a few at a time, each under its own Xvfb.
# Usage: wide-paddle.sh STAGE_DIR [KEEP_DIR]   (KEEP_DIR receives every game's log and
# screenshots)
set -euo pipefail
stage=$(cd "$1" && pwd)
keep=${2:-}
at_once=3       # games at the same time
play=3          # seconds of game time before the stop and again after it
stall=3         # seconds the process is stopped
hitpoints=1000000
narrow=0.01

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Each game runs a copy of the program (a hard link where it can) in a folder of its own,
# beside links to Standard and to its data directory.
cp "$stage/zantor" "$work/zantor"
ln -s "$stage/Standard" "$work/Standard"
ini=$stage/Standard/Zantor.ini
levels=$(find "$stage/Standard" -maxdepth 1 -name 'Level[0-9]*.txt' |
         sed 's/.*Level\([0-9]*\)\.txt$/\1/' | awk '$1 > 0' | sort -n)
[ -n "$levels" ] || { echo "FAIL: no levels in $stage/Standard"; exit 1; }

# settings LEVEL WIDTH: the staged settings with [Level1] made of [LevelLEVEL] as above.
settings() {
    awk -v level="$1" -v width="$2" -v hitpoints="$hitpoints" '
    { sub(/\r$/, "") }
    NR == FNR {
        if ($0 ~ /^\[/) { section = $0 }
        else if (section == "[Level" level "]" && index($0, "=") > 1) {
            key = substr($0, 1, index($0, "=") - 1)
            if (!(key in value)) order[++keys] = key
            value[key] = substr($0, index($0, "=") + 1)
        }
        next
    }
    /^\[/ {
        section = $0
        print
        if (section == "[Options]") print "Balls=1\nIntro=0\nLeveluebergaenge=0\nPartikeleffekte=0\nControl=1\nShowSpeed=1"
        if (section == "[Level1]") {
            for (i = 1; i <= keys; i++)
                if (order[i] !~ /^(TOP|BallSpeed|BallSpeedUp|PaddelSize)$/)
                    print order[i] "=" value[order[i]]
            printf "TOP=1\nBallSpeed=%.4f\nBallSpeedUp=1\nPaddelSize=%s\n",
                   2 * value["BallSpeed"], width == "board" ? value["SizeX"] : width
        }
        next
    }
    section == "[Options]" && /^(Balls|Intro|Leveluebergaenge|Partikeleffekte|Control|ShowSpeed)=/ { next }
    section ~ /^\[Block[0-9]+\]$/ && /^Hitpoints=/ { print "Hitpoints=" hitpoints; next }
    section == "[Level1]" { next }
    { print }
    END { if (!("BallSpeed" in value) || !("SizeX" in value)) exit 1 }
    ' "$ini" "$ini"
}

# prepare NAME LEVEL WIDTH: the data directory NAME and, beside it, NAME.run to play in.
prepare() {
    mkdir "$work/$1" "$work/$1.run"
    settings "$2" "$3" > "$work/$1/Zantor.ini" ||
        { echo "FAIL: [Level$2] of $ini lacks BallSpeed or SizeX"; exit 1; }
    sed 's/[24]/0/g' "$stage/Standard/Level$2.txt" > "$work/$1/Level1.txt"
    ln -s "$stage/Standard" "$work/$1.run/Standard"
    ln -s "../$1" "$work/$1.run/$1"
    # A program of its own: the game keeps its log and screenshots beside its data sets.
    ln "$work/zantor" "$work/$1.run/zantor" 2>/dev/null || cp "$work/zantor" "$work/$1.run/zantor"
}

# The HUD's ball count: its row, y 48 to 63 from the top, across the screen, from a BMP
# (stored from the bottom up).
hud_balls() {
    local offset width height row
    offset=$(od -An -tu4 -j 10 -N4 "$1" | tr -d ' ')
    width=$(od -An -tu4 -j 18 -N4 "$1" | tr -d ' ')
    height=$(od -An -tu4 -j 22 -N4 "$1" | tr -d ' ')
    row=$(( (width * 3 + 3) / 4 * 4 ))
    dd if="$1" iflag=skip_bytes,count_bytes bs=64K status=none \
       skip=$(( offset + (height - 64) * row )) count=$(( 16 * row ))
}

# One game, run under xvfb-run in NAME.run: menu, start, level, help, launch, play, stop,
# play, end on SIGTERM. It leaves "verdict" (kept, or when the ball was lost), "pace" (the
# game's seconds per 100 s of wall time), the game's exit status and three screenshots:
# before the launch, after it, at the end.
game=$(cat <<'EOF'
set -u
data=$1 play=$2 stall=$3
cd "$data.run" || exit 1
: > started
SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null ./zantor "$data" 2>/dev/null & pid=$!
# A game that hangs is killed after four minutes.
( for i in $(seq 2400); do sleep 0.1; kill -0 "$pid" 2>/dev/null || exit 0; done
  kill -KILL "$pid" ) >/dev/null 2>&1 &
ms() { echo $(( $(date +%s%N) / 1000000 )); }
seconds() { printf '%d.%03d' $(( $1 / 1000 )) $(( $1 % 1000 )); }
# The game samples buttons and keys once a frame: a press lasts at least two frames.
hold=500
press() { xdotool "$1" "$2"; sleep "$(seconds "$hold")"; xdotool "$3" "$2"; }
click() { press mousedown "$1" mouseup; sleep "$2"; }
rows() { grep -o "$1" log.htm 2>/dev/null | wc -l; }
until_rows() { # until_rows SECONDS COUNT TEXT: wait for COUNT rows of TEXT in the log
    for i in $(seq $(( $1 * 10 ))); do
        [ "$(rows "$3")" -lt "$2" ] || return 0
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
shot() { # the game's own screenshot, once it is written completely
    rm -f Screenshot.bmp
    press keydown E keyup
    for i in $(seq 100); do
        if [ -s Screenshot.bmp ] && [ "$(stat -c %s Screenshot.bmp)" = \
             "$(od -An -tu4 -j 2 -N4 Screenshot.bmp | tr -d ' ')" ]; then
            mv Screenshot.bmp "$1.bmp"; return 0
        fi
        sleep 0.1
    done
}
end() {
    kill -CONT "$pid" 2>/dev/null || true
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid"; echo $? > status
    exit 0
}
gone() { kill -0 "$pid" 2>/dev/null || { echo "the game ended by itself $1" > verdict; end; }; }
watch() { # watch MILLISECONDS PHASE: play on, noting a lost ball
    local until=$(( $(ms) + $1 ))
    while [ "$(ms)" -lt "$until" ]; do
        if [ -e "$data/Highscore.dat" ]; then echo "lost $2" > verdict; return 1; fi
        gone "$2"
        sleep 0.2
    done
}
until_rows 60 1 "Menu Init end" || { gone "before its menu"; echo "no menu" > verdict; end; }
sleep 0.5
# The game cursor starts at the top left and moves 1.5 times the mouse: to the start button
# at about (840, 280). The game begins 2 s of game time after the click (a click again
# starts the 2 s anew), when the log shows the level loaded a second time. How long that
# takes says how fast the game's time runs here: below 10 frames a second it falls behind
# the wall clock, as a frame counts 0.1 s at most. Each stretch of play lasts $play s of
# game time at that pace (the menu is slower to draw than play), but at most twice as long.
xdotool mousemove_relative -- 560 187; sleep 0.3
for try in 1 2 3 4; do
    t0=$(ms)
    click 1 0
    if until_rows 15 2 "Datein geladen"; then break; fi
    gone "in the menu"
    [ "$try" -lt 4 ] || { echo "the start button started no game" > verdict; end; }
    hold=1500
done
wall=$(( $(ms) - t0 ))
pace=$(( 200000 / wall ))
echo "$pace" > pace
span=$(( play * wall / 2 ))
[ "$span" -ge $(( play * 1000 )) ] || span=$(( play * 1000 ))
[ "$span" -le $(( play * 2000 )) ] || span=$(( play * 2000 ))
hold=$(( 20000 / pace ))
[ "$hold" -ge 500 ] || hold=500
sleep 0.3
click 3 0.3        # level 1 of the selection; its help text follows
click 3 0.3        # the help text goes
shot before
click 1 0.3        # launch
shot launched
watch "$span" "in the first $play s of play" || end
kill -STOP "$pid"; sleep "$stall"; kill -CONT "$pid"
watch "$span" "after the stop of $stall s" || end
shot end
echo kept > verdict
end
EOF
)

# run NAME: the game NAME under its own Xvfb. xvfb-run -a takes the first free server
# number; a server another test took at the same instant fails to start, then it is tried
# again.
run() {
    local try
    for try in 1 2 3; do
        rm -f "$work/$1.run/started"
        (cd "$work" && xvfb-run -a -s '-screen 0 1024x768x24 -noreset' \
            bash -c "$game" game "$1" "$play" "$stall") > "$work/$1.run/output" 2>&1 || true
        [ ! -e "$work/$1.run/started" ] || return 0
        sleep 1
    done
}

names=()
for level in $levels; do
    prepare "Level$level" "$level" board
    names+=("Level$level")
done
prepare Narrow 1 "$narrow"
names+=(Narrow)

started=$SECONDS
running=0
for name in "${names[@]}"; do
    if [ "$running" -ge "$at_once" ]; then
        wait -n || true
        running=$((running - 1))
    fi
    run "$name" &
    running=$((running + 1))
    # The next game asks for a server number once this one's server holds its own.
    for i in $(seq 100); do
        [ ! -e "$work/$name.run/started" ] || break
        sleep 0.1
    done
done
wait
took=$((SECONDS - started))

failures=0
report() {
    local name=$1 dir=$work/$1.run
    echo "FAIL: $name: $2"
    echo "--- $name: log.htm rows with Fehler (last 10):"
    grep -o "Fehler</b></font><td>[^<]*" "$dir/log.htm" 2>/dev/null | tail -10 || true
    echo "--- $name: xvfb-run output:"
    tail -5 "$dir/output" 2>/dev/null || true
    failures=$((failures + 1))
}
# The HUD rows, over the same still background in every game, must show one ball count
# before the click and another after it in all of them, and that one still at the end: each
# game launched its ball and no ball came back to the stock. The narrow paddle's game shows
# its launch by the loss: with a ball in the stock the game does not end.
first=
check() { # check NAME EXPECTED: kept or lost
    local name=$1 dir=$work/$1.run verdict status
    verdict=$(cat "$dir/verdict" 2>/dev/null || echo "no verdict: the game did not run")
    status=$(cat "$dir/status" 2>/dev/null || echo none)
    if [ "$2" = kept ] && [ "$verdict" != kept ]; then
        report "$name" "$verdict"; return
    fi
    if [ "$2" = lost ] && [ "${verdict%% *}" != lost ]; then
        report "$name" "a paddle $narrow wide did not lose the ball ($verdict)"; return
    fi
    [ "$status" = 0 ] || { report "$name" "exit status $status after SIGTERM"; return; }
    [ "$(tail -c 7 "$dir/log.htm")" = "</html>" ] || { report "$name" "log without footer"; return; }
    [ "$2" = kept ] || return 0
    local shot
    for shot in before launched end; do
        [ -s "$dir/$shot.bmp" ] || { report "$name" "no screenshot ($shot) on E"; return; }
        hud_balls "$dir/$shot.bmp" > "$dir/$shot.hud"
    done
    ! cmp -s "$dir/before.hud" "$dir/launched.hud" ||
        { report "$name" "the ball count did not change at the click: no ball launched"; return; }
    cmp -s "$dir/launched.hud" "$dir/end.hud" ||
        { report "$name" "the ball count changed during play"; return; }
    if [ -z "$first" ]; then
        first=$name
    elif ! cmp -s "$work/$first.run/before.hud" "$dir/before.hud" ||
         ! cmp -s "$work/$first.run/launched.hud" "$dir/launched.hud"; then
        report "$name" "its ball count differs from $first's before or after the click"
    fi
}

paces=
for name in "${names[@]}"; do
    if [ "$name" = Narrow ]; then check "$name" lost; else check "$name" kept; fi
    paces="$paces ${name#Level}:$(cat "$work/$name.run/pace" 2>/dev/null || echo -)%"
    if [ -n "$keep" ]; then
        mkdir -p "$keep/$name"
        cp "$work/$name.run"/*.bmp "$work/$name.run/log.htm" "$work/$name/Zantor.ini" \
           "$keep/$name/" 2>/dev/null || true
    fi
done
echo "game time per wall time, by level:$paces"
if [ "$failures" -gt 0 ]; then
    echo "FAIL: $failures of ${#names[@]} games (${took} s)"
    exit 1
fi
echo "a paddle as wide as the board kept the ball at the top ball speed of levels" \
     $levels "through ${play} s of play, a ${stall} s stop and ${play} s more;" \
     "a paddle $narrow wide lost it ($(cat "$work/Narrow.run/verdict")); ${took} s"
