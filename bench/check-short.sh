#!/usr/bin/env bash
# The bench's test: one short run must end with exit code 0 and print every section. The
# figures themselves are not judged.
# Usage: check-short.sh BUILD_DIR
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
output=$(env -u DISPLAY "$here/run.sh" "$1" --short 2>&1)
status=$?
echo "$output"
[ "$status" -eq 0 ] || { echo "FAIL: zantor-bench ended with exit code $status"; exit 1; }
for heading in \
    '== Ceilings of the OpenGL device ==' \
    '== Scenes on the OpenGL device ==' \
    '== Scenes on the recording device' \
    '== Game scene: what was in play' \
    '== Memory of the bench ==' \
    '== Start-up of the real program' \
    'draws/frame' \
    'done'; do
    grep -qF -- "$heading" <<<"$output" || { echo "FAIL: no section \"$heading\""; exit 1; }
done
for scene in menu game statistics; do
    [ "$(grep -cE "^$scene +[0-9]" <<<"$output")" -eq 2 ] ||
        { echo "FAIL: the $scene scene is not in both scene tables"; exit 1; }
done
echo "zantor-bench printed every section"
