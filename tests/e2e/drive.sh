# Sourced by the end-to-end scripts inside their xvfb-run shell, after zantor was started in
# the background with its process id in $pid and its log in $LOG (log.htm in the working
# directory when $LOG is not set).

# A mouse button or a key pressed for a tenth of a second, then the seconds given.
click() { xdotool mousedown "$1"; sleep 0.1; xdotool mouseup "$1"; sleep "$2"; }
key() { xdotool keydown "$1"; sleep 0.1; xdotool keyup "$1"; sleep "$2"; }

# await SECONDS WHAT COMMAND...: runs the command every tenth of a second until it succeeds;
# ends the run when zantor has ended or the seconds are over.
await() {
    local seconds=$1 what=$2
    shift 2
    local end=$((SECONDS + seconds))
    until "$@"; do
        kill -0 "$pid" 2>/dev/null || { echo "zantor ended before $what"; exit 3; }
        [ "$SECONDS" -lt "$end" ] || { echo "no $what in $seconds s"; kill -KILL "$pid"; exit 3; }
        sleep 0.1
    done
}

# The number of rows of the log that hold the text.
rows() { local n; n=$(grep -cF -- "$1" "${LOG:-log.htm}" 2>/dev/null); echo "${n:-0}"; }
# logged TEXT COUNT: at least COUNT rows of the log hold the text.
logged() { [ "$(rows "$1")" -ge "$2" ]; }

# The row the game logs when it cannot write a file.
unwritten="Datei konnte nicht geschrieben werden:"

# level_loaded COMMAND...: runs the command (a click or key that starts a game), then waits
# until level 1 has loaded and the level selection has turned in.
level_loaded() {
    local loads
    loads=$(rows "cLevelname=")
    "$@"
    await 30 "level load" logged "cLevelname=" $((loads + 1))
    sleep 1.5 # the level selection turns in for a second
}

# to_selection SECONDS: from the start, the menu set up within the seconds given, its buttons
# flown in, to the level selection through the start button (the cursor starts at the top
# left and moves 1.5 times the mouse: to the start button at about (840, 280)).
to_selection() {
    await "$1" "menu" logged "Menu Init end" 1
    sleep 3 # the buttons fly in: 2.3 s of the menu from its first frame
    xdotool mousemove_relative -- 560 187
    sleep 0.3
    level_loaded click 1 0 # start: two seconds, then level 1 loads
}

# Escape ends the game, and the highscore cannot be written: its row follows.
end_unwritten() {
    local failed
    failed=$(rows "$unwritten")
    key Escape 0
    await 10 "row for the highscore" logged "$unwritten" $((failed + 1))
}
