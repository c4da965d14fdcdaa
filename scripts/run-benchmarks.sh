#!/usr/bin/env bash
# Runs every benchmark built in a build tree, headless: scripts/run-benchmarks.sh BUILD_DIR
#
# A benchmark is an executable BUILD_DIR/bin/bench_*. Each runs on its own, one after
# the other (they measure time, so never in parallel), with a time limit. The script
# fails when any benchmark fails.
set -uo pipefail

build_dir=${1:?usage: run-benchmarks.sh BUILD_DIR}
bin_dir=$build_dir/bin
time_limit=${BENCH_TIME_LIMIT:-900}

shopt -s nullglob
benchmarks=("$bin_dir"/bench_*)
if ((${#benchmarks[@]} == 0)); then
    echo "run-benchmarks: no bench_* in $bin_dir; build the 'benchmarks' target first" >&2
    exit 1
fi

export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}"

failed=()
for bench in "${benchmarks[@]}"; do
    [[ -f $bench && -x $bench ]] || continue
    name=$(basename "$bench")
    echo "=== $name"
    timeout "$time_limit" "$bench"
    status=$?
    case $status in
    0) ;;
    124)
        echo "run-benchmarks: $name took longer than $time_limit s" >&2
        failed+=("$name")
        ;;
    *) failed+=("$name") ;;
    esac
done

if ((${#failed[@]} > 0)); then
    echo "run-benchmarks: failed: ${failed[*]}" >&2
    exit 1
fi
echo "run-benchmarks: all benchmarks ran"
