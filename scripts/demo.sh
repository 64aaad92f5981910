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

scripts/install-deps.sh || exit 1

step "Building the win32 preset"
cmake --preset win32 >/dev/null && cmake --build --preset win32 -j2 >/dev/null || exit 1

# Windows programs that show windows need a display; netctl doesn't, the connection
# manager will.
source scripts/xvfb.sh
start_xvfb || exit 1
cleanup() {
    scripts/sim-world.sh stop >/dev/null 2>&1
    stop_xvfb
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
stop_xvfb
exit 0
