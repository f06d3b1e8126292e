#!/usr/bin/env bash
# Scores are never lost: a program that keeps replacing a score file with rising values
# through the game's own writer is killed (SIGKILL) again and again at random moments; after
# every kill the file must hold four bytes of a value at least as high as before.
# Usage: kill.sh WRITER [KILLS]
set -euo pipefail
writer=$(realpath "$1")
kills=${2:-300}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
printf '\x01\0\0\0' > Highscore.dat
last=1
corrupt=0
for i in $(seq "$kills"); do
    "$writer" Highscore.dat "$((last + 1))" 2>/dev/null & pid=$!
    sleep "0.0$((RANDOM % 5 + 1))$((RANDOM % 10))"
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    size=$(stat -c %s Highscore.dat 2>/dev/null || echo 0)
    value=$(od -An -tu4 -N4 Highscore.dat 2>/dev/null | tr -d ' ')
    if [ "$size" -ne 4 ] || [ -z "$value" ] || [ "$value" -lt "$last" ]; then
        corrupt=$((corrupt + 1))
        echo "after kill $i: size $size, value '${value}', before $last"
    else
        last=$value
    fi
done
leftovers=$(find . -name 'Highscore.dat?*' | wc -l)
echo "$kills kills: $corrupt broken files, the value rose to $last; $leftovers temporary file left"
[ "$corrupt" -eq 0 ] && [ "$leftovers" -le 1 ]
