#!/usr/bin/env bash
# Runs the tray check on a virtual X server with a real tray host (trayer).
# Exit 77 (skipped) where the server, the tray host or xdotool is missing.
set -u
check=$1
for tool in Xvfb trayer xdotool; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (make deps installs it)"
        exit 77
    fi
done
number=150
while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do
    number=$((number + 1))
done
Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null' EXIT
for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$number" ] && break
    sleep 0.1
done
export DISPLAY=":$number" QT_QPA_PLATFORM=xcb
"$check"
