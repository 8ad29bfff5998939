#!/usr/bin/env bash
# Runs the tray check on a virtual X server with a real tray host (trayer).
# Exit 77 (skipped) where the server, the tray host or xdotool is missing.
set -u
check=$1
for tool in Xvfb xdpyinfo trayer xdotool; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (make deps installs it)"
        exit 77
    fi
done
# shellcheck source=../support/virtual-x.sh
source "$(dirname "$0")/../support/virtual-x.sh"
start_virtual_x || { echo "no virtual X server could be started"; exit 1; }
trap 'kill $server 2>/dev/null' EXIT
export QT_QPA_PLATFORM=xcb
"$check"
