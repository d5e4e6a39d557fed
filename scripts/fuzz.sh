#!/usr/bin/env bash
# Runs the round-rect button's message fuzz test on new random seeds, 20,000
# random messages each, under Wine in a virtual display. The test suite runs
# the same test on fixed seeds; this finds what those do not. Prints every
# seed and the seeds that failed; exit status 1 when any did.
#
#   scripts/fuzz.sh [runs, default 20]
#
# Repeat a failing run with
#   VORLANE_FUZZ_SEED=<seed> wine build/tests/rrbutton_tests.exe --gtest_filter='*RandomMessages*'
# in the environment scripts/common.sh sets up.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}
bash scripts/setup.sh
source scripts/common.sh
vorlane_build
vorlane_prepare_prefix
trap vorlane_stop_started EXIT
trap 'exit 130' INT TERM
vorlane_start_xvfb
vorlane_start_wineserver

failed=()
for _ in $(seq "$runs"); do
    seed=$(od -An -N6 -tu8 /dev/urandom | tr -d ' ')
    if VORLANE_FUZZ_SEED=$seed wine "$VORLANE_BUILD/tests/rrbutton_tests.exe" \
        --gtest_filter='*RandomMessages*' >"$VORLANE_BUILD/fuzz-$seed.log" 2>&1; then
        echo "fuzz: seed $seed passed"
        rm -f "$VORLANE_BUILD/fuzz-$seed.log"
    else
        echo "fuzz: seed $seed FAILED (log: $VORLANE_BUILD/fuzz-$seed.log)"
        failed+=("$seed")
    fi
done
[ ${#failed[@]} -eq 0 ] && echo "fuzz: $runs seeds, nothing found" && exit 0
echo "fuzz: failing seeds: ${failed[*]}"
exit 1
