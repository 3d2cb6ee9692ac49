#!/bin/bash
# Installs what is missing, builds and starts the program. When the
# configured instrument address is this machine and nothing listens there
# yet, the NetPC simulator is started beside it and stopped when the program
# ends. Simulator options can be given in ZANDOR_SIM_ARGS (default
# "--speed 10"; ZANDOR_SIM_ARGS="--speed 1" runs at the instrument's pace).
set -e
cd "$(dirname "$0")"
./scripts/setup.sh
./scripts/build.sh build
headless=""
if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ] && [ -z "$QT_QPA_PLATFORM" ]; then
    headless=1
fi

# The instrument address: --netpc HOST[:PORT] on the command line, else the
# HostAddress column of the Init table in the database the program opens.
netpc=""
db=""
args=("$@")
for ((i = 0; i < ${#args[@]}; i++)); do
    case "${args[i]}" in
        --netpc) netpc="${args[i + 1]}" ;;
        --db) db="${args[i + 1]}" ;;
    esac
done
if [ -z "$db" ]; then
    # The program keeps kovra.mdb in its own folder when it may write there.
    if [ -w build ]; then
        db="build/kovra.mdb"
    else
        db="${XDG_DATA_HOME:-$HOME/.local/share}/zandor/zandor/kovra.mdb"
    fi
fi
host="127.0.0.1"
port=8100
if [ -n "$netpc" ]; then
    if [[ "$netpc" =~ ^(.*[^:]):([0-9]+)$ ]] && [[ "${BASH_REMATCH[1]}" != *:* ]]; then
        host="${BASH_REMATCH[1]}"
        port="${BASH_REMATCH[2]}"
    else
        host="$netpc"
    fi
elif [ -f "$db" ] && command -v sqlite3 >/dev/null; then
    stored=$(sqlite3 -readonly "$db" "SELECT HostAddress FROM Init LIMIT 1" 2>/dev/null || true)
    [ -n "$stored" ] && host="$stored"
fi
host="${host#[}"
host="${host%]}"

case "$host" in
    127.*|localhost) listen="127.0.0.1" ;;
    ::1) listen="::1" ;;
    *) listen="" ;;
esac

SIM_PID=""
stop_simulator() {
    if [ -n "$SIM_PID" ]; then
        kill "$SIM_PID" 2>/dev/null || true
        wait "$SIM_PID" 2>/dev/null || true
    fi
}
trap stop_simulator EXIT

listening() { (exec 3<>"/dev/tcp/$1/$2") 2>/dev/null; }

if [ -n "$listen" ] && ! listening "$listen" "$port"; then
    # shellcheck disable=SC2086
    # The simulator runs ten times faster than an instrument unless told
    # otherwise (ZANDOR_SIM_ARGS="--speed 1" for the real pace).
    [ -z "${ZANDOR_SIM_ARGS:-}" ] && ZANDOR_SIM_ARGS="--speed 10"
    ./build/netpc-sim --listen "$listen" --port "$port" $ZANDOR_SIM_ARGS &
    SIM_PID=$!
    for _ in $(seq 1 30); do
        listening "$listen" "$port" && break
        sleep 0.1
    done
fi

if [ -n "$headless" ]; then
    # No screen to show the program on: run its main job without one — a
    # measurement of a demo specimen against the instrument (the simulator on
    # this machine), saved into the database, and its test report as a PDF.
    echo "run.sh: there is no display here, so the program's main job runs headless."
    echo "  (To see the program itself: xvfb-run -a ./run.sh, or set DISPLAY.)"
    name="Demo $(date +%Y-%m-%d_%H%M%S)"
    report="$PWD/zandor-demo-report.pdf"
    ./build/zandorctl measure --db "$db" --netpc "$host:$port" --box 1 --scope 2.5 \
        --name "$name" --paper-weight 80 --save Demo
    key=$(./build/zandorctl list --db "$db" | awk -v n="$name" 'index($0, n) { print $1; exit }')
    if [ -z "$key" ]; then
        echo "run.sh: the demo measurement was not found in $db" >&2
        exit 1
    fi
    ./build/zandorctl report --db "$db" --scope 2.5 --key "$key" -o "$report"
    echo "The demo specimen \"$name\" is stored in $db (directory Demo)."
    echo "Its test report: $report"
    exit 0
fi

status=0
./build/zandor "$@" || status=$?
exit $status
