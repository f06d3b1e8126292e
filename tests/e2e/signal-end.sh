#!/usr/bin/env bash
# Starts zantor with a data directory from the stage folder under Xvfb, sends it a signal
# once the menu is set up and checks that it ended in order: exit code 0 and a complete
# log.htm with the g_Directory row (and, for "credits", the Info row before it).
# Usage: signal-end.sh STAGE_DIR SIGNAL DATA_DIR
set -euo pipefail
stage=$1 signal=$2 data=$3
cd "$stage"
rm -f log.htm

status=0
SIGNAL=$signal DATA=$data xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash -c '
    set -m # job control, so that the game in the background does not ignore SIGINT
    SDL_VIDEODRIVER=x11 ./zantor "$DATA" & pid=$!
    # The menu set up, its last row logged: the frame loop comes next. At most a minute.
    end=$((SECONDS + 60))
    until grep -qF "Menu Init end" log.htm 2>/dev/null; do
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "zantor ended by itself before the signal"
            wait "$pid"; exit 3
        fi
        [ "$SECONDS" -lt "$end" ] || { echo "no menu after a minute"; kill -KILL "$pid"; exit 3; }
        sleep 0.1
    done
    kill -"$SIGNAL" "$pid"
    wait "$pid"' || status=$?

fail() { echo "FAIL: $*"; echo "--- log.htm:"; cat log.htm 2>/dev/null || true; exit 1; }
[ "$status" -eq 0 ] || fail "exit code $status"
[ -f log.htm ] || fail "no log.htm"
head -c 200 log.htm | grep -q '^<html>' || fail "no header"
grep -q '<b>Logbuch geöffnet:</b><br>' log.htm || fail "no header"
row="<b>Variable</b></font><td>std::__cxx11::basic_string<char, std::char_traits<char>, std::allocator<char> > g_Directory=$data\\<td> in "
grep -qF "$row" log.htm || fail "no g_Directory row"
if [ "$data" = credits ]; then
    # No -q on the reading end: it would quit early, and the first grep's SIGPIPE would fail
    # the pipeline under pipefail when the log is long.
    grep -A1 '<b>Info</b>' log.htm | grep -F "g_Directory=credits\\" >/dev/null ||
        fail "no Info row right before the g_Directory row"
fi
[ "$(tail -c 7 log.htm)" = "</html>" ] || fail "footer not last"
tail -c 60 log.htm | grep -q '<b>Logbuch geschlossen</b>' || fail "no footer"
echo "zantor $data ended on SIG$signal with a complete log"
