#!/bin/sh
# check-man.sh PAGE...: formats each manual page as lintian does and fails on any warning.
command -v man >/dev/null 2>&1 || { echo "SKIP: man is not installed" >&2; exit 77; }
status=0
for page in "$@"; do
    # man -l reads the compressed page; -Z stops after troff, --warnings turns on groff's.
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
               man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    if [ -n "$warnings" ]; then
        echo "FAIL: $page:" >&2
        echo "$warnings" >&2
        status=1
    fi
    # The page must also come out as text with its sections.
    text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null)
    if [ "$(printf '%s\n' "$text" | wc -l)" -lt 40 ]; then
        echo "FAIL: $page: formats to less than 40 lines" >&2
        status=1
    fi
done
[ $status -eq 0 ] && echo "PASS: $# manual pages without warnings"
exit $status
