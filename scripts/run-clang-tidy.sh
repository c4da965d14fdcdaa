#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over every C++ source file git knows:
#   scripts/run-clang-tidy.sh BUILD_DIR [JOBS]
# BUILD_DIR must hold compile_commands.json (make configure writes it). Fails when any
# file has a finding.
set -uo pipefail

build_dir=${1:?usage: run-clang-tidy.sh BUILD_DIR [JOBS]}
jobs=${2:-$(nproc)}
cd "$(dirname "$0")/.."
[[ -f $build_dir/compile_commands.json ]] || {
    echo "run-clang-tidy: no $build_dir/compile_commands.json; run make configure" >&2
    exit 2
}

# Sources in the compile database only: a file no target builds has no flags to check with.
mapfile -t files < <(git ls-files '*.cpp' | while read -r f; do
    grep -q "\"file\": \"$PWD/$f\"" "$build_dir/compile_commands.json" && echo "$f"
done)
echo "run-clang-tidy: ${#files[@]} files, $jobs at a time"
printf '%s\0' "${files[@]}" |
    xargs -0 -n 1 -P "$jobs" clang-tidy -p "$build_dir" --quiet 2>/dev/null
status=$?
[[ $status -eq 0 ]] && echo "run-clang-tidy: no findings"
exit $status
