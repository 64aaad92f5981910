#!/usr/bin/env bash
# Demonstrates the simulated network end to end, with netctl alone: the next dial's
# course is set, a connection of the modem appears, its statistics grow, the network
# drops it. Builds the win32 preset and uses the prefix build/wineprefix.
#   scripts/demo.sh
set -uo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
export WINEPREFIX="$top/build/wineprefix"
export WINEDEBUG=-all
netctl="$top/build/win32/bin/netctl.exe"

step() { printf '\n== %s\n' "$*"; }
netctl() {
    echo "\$ netctl $*"
    scripts/wine-run "$netctl" "$@" </dev/null | tr -d '\r'
}

step "Building the win32 preset"
cmake --preset win32 >/dev/null && cmake --build --preset win32 -j2 >/dev/null || exit 1

# Windows programs that show windows need a display; netctl doesn't, the connection
# manager will.
xvfb_pid=
if [ -z "${DISPLAY:-}" ]; then
    displayfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
    export DISPLAY=":$(cat "$displayfile")"
    rm -f "$displayfile"
fi
cleanup() {
    scripts/sim-world.sh stop >/dev/null 2>&1
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

step "Starting the simulated world"
scripts/sim-world.sh start || exit 1

step "The next dial will connect, 100 ms per state"
netctl next-dial connect 100

step "The modem's connection appears, as if another program had dialled it"
netctl connect
netctl list

step "Its statistics grow while it is up"
sleep 1
netctl list
sleep 1
netctl list

step "The network drops the connection"
netctl drop
netctl list

step "Stopping the simulated world"
scripts/sim-world.sh stop
trap - EXIT
[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
exit 0
