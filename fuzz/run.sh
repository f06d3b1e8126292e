#!/usr/bin/env bash
# Fuzzes every reader of outside data with libFuzzer for SECONDS seconds each.
#
#   fuzz/run.sh SECONDS [BUILD_DIR]
#
# Configures (once) and builds a clang build directory with ZANTOR_FUZZ=ON (default:
# build-fuzz in the source folder), building only the fuzz targets, and runs each on a copy
# of its seed corpus (SECONDS 0: on the seed corpus once). Prints "<target>: N executions,
# M crashes" per target and exits non-zero when a target found a fault; the reproducer is
# kept under BUILD_DIR/fuzz-runs/<name>/artifacts/ until the next run.
set -euo pipefail

if [[ $# -lt 1 || ! $1 =~ ^[0-9]+$ ]]; then
    echo "usage: $0 SECONDS [BUILD_DIR]" >&2
    exit 2
fi
seconds=$1
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${2:-$source_dir/build-fuzz}
mkdir -p "$build_dir"
build_dir=$(cd "$build_dir" && pwd)

targets=(FuzzProfile FuzzColour FuzzLayout FuzzHelpText FuzzMesh FuzzWave FuzzPng FuzzMp3
         FuzzScoreFile)

if [[ ! -f $build_dir/CMakeCache.txt ]]; then
    cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DZANTOR_FUZZ=ON -DZANTOR_TESTS=ON \
        > "$build_dir/configure.log" || { cat "$build_dir/configure.log"; exit 1; }
fi
cmake --build "$build_dir" -j "$(nproc)" --target "${targets[@]}"

# Every fault stops the target: undefined behaviour too. fontconfig keeps its configuration
# for the life of the process, which is no leak.
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:abort_on_error=1:print_stacktrace=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$source_dir/tests/lsan.supp}

runs=$build_dir/fuzz-runs
failed=0
for target in "${targets[@]}"; do
    name=${target#Fuzz}
    name=${name,,}
    work=$runs/$name
    rm -rf "$work/corpus" "$work/artifacts"
    mkdir -p "$work/corpus" "$work/artifacts"
    cp "$source_dir/fuzz/corpus/$name/"* "$work/corpus/"
    status=0
    options=(-rss_limit_mb=2048 -timeout=10 -print_final_stats=1)
    if [[ $seconds -eq 0 ]]; then
        options+=(-runs=0)
    else
        options+=(-max_total_time="$seconds")
    fi
    # Words of the formats that libraries read, where the fuzzer sees no comparisons.
    if [[ -f $source_dir/fuzz/corpus/$name.dict ]]; then
        options+=(-dict="$source_dir/fuzz/corpus/$name.dict")
    fi
    (cd "$work" && "$build_dir/fuzz/$target" "${options[@]}" \
        -artifact_prefix="$work/artifacts/" "$work/corpus" \
        > "$work/log.txt" 2>&1) || status=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log.txt" | tail -n 1)
    crashes=$(find "$work/artifacts" -type f | wc -l)
    if [[ $status -ne 0 && $crashes -eq 0 ]]; then
        crashes=1 # stopped without leaving an input: the log tells why
    fi
    echo "$target: ${executions:-0} executions, $crashes crashes"
    if [[ $crashes -ne 0 ]]; then
        failed=1
        find "$work/artifacts" -type f -printf '  reproducer: %p\n'
        grep -a -m 1 -E 'ERROR|runtime error|fuzz check failed|deadly signal' "$work/log.txt" \
            | sed 's/^/  /' || true
        echo "  log: $work/log.txt"
    fi
done
exit $failed
