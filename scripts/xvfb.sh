# Sourced by the scripts that run windowed Windows programs: starts a private Xvfb
# display unless one is set already. stop_xvfb ends only a display started here.
xvfb_pid=

start_xvfb() {
    [ -n "${DISPLAY:-}" ] && return 0
    local displayfile
    displayfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$displayfile" ] && break
        sleep 0.1
    done
    if [ ! -s "$displayfile" ]; then
        rm -f "$displayfile"
        echo "Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$(cat "$displayfile")"
    rm -f "$displayfile"
}

stop_xvfb() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    xvfb_pid=
}
