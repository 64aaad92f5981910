#!/usr/bin/env bash
# The simulated world in a Wine prefix: the modem and its diagnostics port as devices
# in the registry, the simulated AT modem on its COM port, and the simulated
# rasapi32.dll beside the programs of the build.
#
#   scripts/sim-world.sh start|stop|status
#
# WINEPREFIX  the prefix (default build/wineprefix); TC_BUILD the win32 build folder
# (default build/win32). Programs that should dial through the simulated network run
# from <build>/bin with WINEDLLOVERRIDES=rasapi32=n. The modem's received lines are in
# $WINEPREFIX/simworld/modem-lines.log; while $WINEPREFIX/simworld/modem-error exists
# the modem answers ERROR.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$top/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
build="${TC_BUILD:-$top/build/win32}"
bin="$build/bin"
simmodem="$build/host/simmodem"
devices="$top/simulation/world/devices.ini"
port=com5
state="$WINEPREFIX/simworld"
pidfile="$state/modem.pid"

wine_run() { "$top/scripts/wine-run" "$@" </dev/null; }

modem_running() {
    [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null
}

devices_path() { winepath -w "$devices" 2>/dev/null; }

require_build() {
    local missing=0
    for f in "$bin/rasapi32.dll" "$bin/netctl.exe" "$bin/devreg.exe" "$simmodem"; do
        [ -e "$f" ] || { echo "sim-world: missing $f (build the win32 preset)" >&2; missing=1; }
    done
    return $missing
}

start() {
    require_build || return 1
    if modem_running; then
        echo "sim-world: already running (modem pid $(cat "$pidfile"))"
        return 0
    fi
    mkdir -p "$state"
    local win_devices
    win_devices=$(devices_path) || { echo "sim-world: winepath failed" >&2; return 1; }
    # Devices left by a world that wasn't stopped are taken away first: devreg refuses
    # to install over existing devices.
    wine_run "$bin/devreg.exe" remove "$win_devices" || return 1
    wine_run "$bin/devreg.exe" install "$win_devices" || return 1
    echo "devices: Korvan USB Modem (COM5), Korvan USB Diagnostics Port (COM6)"

    rm -f "$state/ready"
    "$simmodem" --prefix "$WINEPREFIX" --port "$port" --log "$state/modem-lines.log" \
        --error-file "$state/modem-error" --ready-file "$state/ready" \
        </dev/null >"$state/modem.out" 2>&1 &
    echo $! >"$pidfile"
    for _ in $(seq 200); do
        [ -s "$state/ready" ] && break
        modem_running || break
        sleep 0.05
    done
    if [ ! -s "$state/ready" ]; then
        echo "sim-world: the modem did not start:" >&2
        cat "$state/modem.out" >&2
        stop
        return 1
    fi
    echo "modem: on ${port^^} ($(cat "$state/ready")), lines in $state/modem-lines.log"

    wine_run "$bin/netctl.exe" reset >/dev/null || return 1
    echo "network: reset; rasapi32.dll is in $bin"
    echo "run programs from $bin with WINEDLLOVERRIDES=rasapi32=n"
}

stop() {
    if modem_running; then
        local pid
        pid=$(cat "$pidfile")
        kill -TERM "$pid"
        # The modem is our child only in the shell that started it: wait on its pid.
        for _ in $(seq 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
        echo "modem: stopped"
    fi
    rm -f "$pidfile" "$state/ready"
    if [ -e "$bin/devreg.exe" ]; then
        wine_run "$bin/devreg.exe" remove "$(devices_path)" && echo "devices: removed"
    fi
    if [ -e "$bin/netctl.exe" ]; then
        wine_run "$bin/netctl.exe" reset >/dev/null && echo "network: reset"
    fi
    return 0
}

status() {
    if modem_running; then
        echo "modem: running (pid $(cat "$pidfile")), ${port^^} -> $(readlink "$WINEPREFIX/dosdevices/$port")"
    else
        echo "modem: not running"
    fi
    [ -e "$bin/netctl.exe" ] && wine_run "$bin/netctl.exe" list
    modem_running
}

case "${1:-}" in
start) start ;;
stop) stop ;;
status) status ;;
*)
    echo "usage: $0 start|stop|status" >&2
    exit 2
    ;;
esac
