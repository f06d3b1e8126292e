# Sourced by the end-to-end scripts inside their xvfb-run shell, after zantor was started in
# the background with its process id in $pid and log.htm in the working directory.

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

# The number of rows of log.htm that hold the text.
rows() { local n; n=$(grep -cF -- "$1" log.htm 2>/dev/null); echo "${n:-0}"; }
# logged TEXT COUNT: at least COUNT rows of log.htm hold the text.
logged() { [ "$(rows "$1")" -ge "$2" ]; }

# The row the game logs when it cannot write a file.
unwritten="Datei konnte nicht geschrieben werden:"
