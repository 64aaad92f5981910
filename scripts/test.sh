#!/usr/bin/env bash
# Builds the three presets and runs every test suite: natively, and under a fresh
# Wine prefix inside build/ with an Xvfb display for the Windows programs.
#   scripts/test.sh                 all presets
#   scripts/test.sh win32 -R Trace  one preset, extra arguments go to ctest
set -uo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)

scripts/install-deps.sh || exit 1

presets=(native win32 win64)
ctest_args=()
if [ $# -gt 0 ]; then
    presets=("$1")
    shift
    ctest_args=("$@")
fi

for p in "${presets[@]}"; do
    cmake --preset "$p" >/dev/null || exit 1
    cmake --build --preset "$p" || exit 1
done

export WINEPREFIX="$top/build/wineprefix"
export WINEDEBUG=-all
if [ -z "${TC_KEEP_PREFIX:-}" ] || [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineserver -k 2>/dev/null
    rm -rf "$WINEPREFIX"
    echo "Creating Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
fi

# Always a display of its own, so tests never draw on a desktop of the developer's.
unset DISPLAY
source scripts/xvfb.sh
start_xvfb || exit 1
# A persistent wineserver saves every test program the server's start-up. Wine's
# own system processes (services, desktop) start with the first program and stay;
# they are started here, away from ctest's output pipes, which they would hold open.
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1

cleanup() {
    wineserver -k 2>/dev/null
    stop_xvfb
}
trap cleanup EXIT

passed=0
failed=0
for p in "${presets[@]}"; do
    log="build/$p/ctest-summary.log"
    ctest --preset "$p" "${ctest_args[@]}" | tee "$log"
    line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
    if [ -z "$line" ]; then
        echo "ctest of preset $p gave no summary"
        failed=$((failed + 1))
        continue
    fi
    passed=$((passed + total - bad))
    failed=$((failed + bad))
done

echo
echo "Total: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
