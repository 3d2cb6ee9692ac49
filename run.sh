#!/bin/bash
# Installs what is missing, builds and starts the program. When the
# configured instrument is this machine and nothing listens there yet, the
# NetPC simulator is started beside it and stopped when the program ends.
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
SIM_PID=""
if ! (exec 3<>/dev/tcp/127.0.0.1/8100) 2>/dev/null; then
    ./build/netpc-sim --port 8100 &
    SIM_PID=$!
    sleep 0.3
fi
status=0
./build/zandor "$@" || status=$?
[ -n "$SIM_PID" ] && kill "$SIM_PID" 2>/dev/null || true
exit $status
