#!/usr/bin/env bash
# Builds the libFuzzer targets of the platform-free code (clang, with
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs each for a bounded
# time. Prints executions and findings per target; exit status 1 when any
# target found something.
#
#   scripts/fuzz.sh [seconds per target, default 60] [target...]
#
# Targets are the tests/fuzz/*_fuzz.cpp files (default: all). Each run starts
# from the committed seeds in tests/fuzz/corpus/<target> and from what earlier
# runs kept in build/fuzz/corpus/<target>; new inputs go there, never into the
# sources. Crashing inputs are saved in build/fuzz/artifacts; replay one with
#   build/fuzz/<target> build/fuzz/artifacts/<file>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VORLANE_BUILD:-$root/build}/fuzz
seconds=${1:-60}
shift || true

command -v clang++ >/dev/null || { echo "fuzz: clang++ is missing; scripts/setup.sh installs it" >&2; exit 1; }
CC=clang CXX=clang++ cmake -S "$root/tests/native" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DVORLANE_FUZZ=ON >/dev/null
cmake --build "$build" --target fuzzers -j"$(nproc)" >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for source in "$root"/tests/fuzz/*_fuzz.cpp; do
        targets+=("$(basename "$source" .cpp)")
    done
fi

mkdir -p "$build/artifacts"
status=0
for target in "${targets[@]}"; do
    log=$build/$target.log
    echo "fuzz: $target for ${seconds} s (log: $log)"
    set +e
    "$build/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 -create_missing_dirs=1 \
        -artifact_prefix="$build/artifacts/$target-" \
        "$build/corpus/$target" "$root/tests/fuzz/corpus/$target" >"$log" 2>&1
    result=$?
    set -e
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    added=$(sed -n 's/^stat::new_units_added: *//p' "$log")
    corpus=$(find "$build/corpus/$target" -type f | wc -l)
    if [ "$result" -eq 0 ]; then
        echo "fuzz: $target: ${runs:-?} executions, ${added:-?} new inputs (corpus $corpus), nothing found"
    else
        status=1
        echo "fuzz: $target: FOUND a problem after ${runs:-?} executions (exit $result):"
        grep -E 'broken property|runtime error|ERROR: (AddressSanitizer|libFuzzer)|SUMMARY|Test unit written' "$log" \
            | sed 's/^/    /' | head -n 8
    fi
done
exit $status
