#!/usr/bin/env bash
# Builds Vorlane and every test, then runs them all under Wine in a virtual
# display. Ends with CTest's summary; exit status 0 only when all pass.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh
source scripts/common.sh

# Every C and C++ file follows the one written-down format (.clang-format).
find catalogue shell rrbutton tests examples bench \( -name '*.c' -o -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 clang-format --dry-run --Werror

# The platform-free code, natively with sanitizers.
native_build=$VORLANE_BUILD/native
cmake -S tests/native -B "$native_build" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$native_build" -j"$(nproc)"

vorlane_build -DVORLANE_NATIVE_TESTS="$native_build/portable_tests_native"
vorlane_prepare_prefix

trap vorlane_stop_started EXIT
trap 'exit 130' INT TERM
vorlane_start_xvfb
vorlane_start_wineserver
cd "$VORLANE_BUILD"
ctest --output-on-failure -j1 "$@"
