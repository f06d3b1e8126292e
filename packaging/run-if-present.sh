#!/bin/sh
# run-if-present.sh TOOL ARGUMENTS...: runs TOOL, or skips the test (exit 77) when TOOL is not
# installed (apt-get install desktop-file-utils appstream lintian).
command -v "$1" >/dev/null 2>&1 || { echo "SKIP: $1 is not installed" >&2; exit 77; }
exec "$@"
