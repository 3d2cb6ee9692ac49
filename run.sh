#!/bin/bash
# Installs what is missing, builds and starts the program. When the
# configured instrument address is this machine and nothing listens there
# yet, the NetPC simulator is started beside it and stopped when the program
# ends. Extra simulator options can be given in ZANDOR_SIM_ARGS, for example
# ZANDOR_SIM_ARGS="--speed 10".
set -e
cd "$(dirname "$0")"
./scripts/setup.sh
./scripts/build.sh build
if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ] && [ -z "$QT_QPA_PLATFORM" ]; then
    echo "run.sh: there is no display to show the program on."
    echo "  Start it inside a virtual display:  xvfb-run -a ./run.sh"
    echo "  or set DISPLAY to a running X server."
    exit 1
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
    ./build/netpc-sim --listen "$listen" --port "$port" $ZANDOR_SIM_ARGS &
    SIM_PID=$!
    for _ in $(seq 1 30); do
        listening "$listen" "$port" && break
        sleep 0.1
    done
fi

status=0
./build/zandor "$@" || status=$?
exit $status
