# Sourced by the tests that need a real X server: start_virtual_x FIRST
# starts Xvfb on the first free display number from FIRST on, exports
# DISPLAY and sets $server to its process. Returns 1 when none starts.
#
# The abstract socket of a server in another root (a fresh-system check
# beside the session) shows no file here, so a server that cannot start
# makes the next number be tried.
start_virtual_x() {
    local number
    server=""
    for number in $(seq "$1" $(($1 + 50))); do
        if [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; then
            continue
        fi
        Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        server=$!
        for _ in $(seq 50); do
            if [ -e "/tmp/.X11-unix/X$number" ] || ! kill -0 "$server" 2>/dev/null; then
                break
            fi
            sleep 0.1
        done
        sleep 0.2
        if kill -0 "$server" 2>/dev/null && xdpyinfo -display ":$number" >/dev/null 2>&1; then
            export DISPLAY=":$number"
            return 0
        fi
        kill "$server" 2>/dev/null
        server=""
    done
    return 1
}
