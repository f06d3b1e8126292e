#!/usr/bin/env bash
# Runs the frame benchmark in its run directory (BUILD_DIR/benchrun, build/ by default),
# under Xvfb when there is no display. Other arguments go to zantor-bench (see --help).
# Usage: bench/run.sh [BUILD_DIR] [--short] [--frames N] [...]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$here/../build
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
    build=$1
    shift
fi
run=$build/benchrun
if [ ! -x "$run/zantor-bench" ]; then
    echo "run.sh: $run/zantor-bench is missing; build it first: cmake --build $build -j2" >&2
    exit 2
fi
cd "$run"
export ALSOFT_DRIVERS=null
if [ -z "${DISPLAY:-}" ] && [ "${SDL_VIDEODRIVER:-}" != offscreen ]; then
    exec env SDL_VIDEODRIVER=x11 xvfb-run -a -s '-screen 0 1024x768x24 -noreset' \
        ./zantor-bench "$@"
fi
exec ./zantor-bench "$@"
