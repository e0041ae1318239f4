#!/usr/bin/env bash
# CI: the README's first command exactly as a newcomer types it, on a virtual display: the demo window
# must appear and stay up. A screenshot of it goes to build/demo.png, its output to build/demo.log.
# Arguments go to the demo as they stand: `bash scripts/demo-check.sh linux` checks the Linux demo
# (build/demo-linux.png, build/demo-linux.log).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
tarrow_install_packages xvfb xauth x11-utils imagemagick
mkdir -p build
name=demo${1:+-$1}
# The demo keeps its sample installation and settings in the user's data folder: a fresh one here.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}"
export DEMO_NAME="$name"
xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
    set -u
    bash scripts/demo.sh "$@" > "build/$DEMO_NAME.log" 2>&1 &
    pid=$!
    shown=""
    for _ in $(seq 1 180); do
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "The demo ended before its window appeared:"; tail -30 "build/$DEMO_NAME.log"; exit 1
        fi
        if xwininfo -root -tree | grep -q "\"Tarrow GUI"; then shown=yes; break; fi
        sleep 1
    done
    [ -n "$shown" ] || { echo "No demo window after 180 s:"; tail -30 "build/$DEMO_NAME.log"; kill "$pid"; exit 1; }
    # It must stay up while the report loads and the first refreshes run.
    sleep 8
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "The demo window closed by itself:"; tail -30 "build/$DEMO_NAME.log"; exit 1
    fi
    import -window root "build/$DEMO_NAME.png"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "The demo window came up and stayed up: build/$DEMO_NAME.png"
' demo-check "$@"
