# Sourced by the tests that need a real X server: start_virtual_x starts
# Xvfb, exports DISPLAY and sets $server to its process. Returns 1 when
# none starts.
#
# The server picks its own free display number and says which (-displayfd):
# a number chosen here could be taken by another server at the same moment,
# one in another root included, whose socket shows no file here.
start_virtual_x() {
    local told number
    server=""
    for _ in 1 2 3; do
        told=$(mktemp)
        Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$told" >/dev/null 2>&1 &
        server=$!
        for _ in $(seq 100); do
            if [ -s "$told" ] || ! kill -0 "$server" 2>/dev/null; then
                break
            fi
            sleep 0.1
        done
        sleep 0.1
        number=$(tr -dc '0-9' <"$told")
        rm -f "$told"
        if [ -n "$number" ] && kill -0 "$server" 2>/dev/null &&
            xdpyinfo -display ":$number" >/dev/null 2>&1; then
            export DISPLAY=":$number"
            return 0
        fi
        kill "$server" 2>/dev/null
        server=""
    done
    return 1
}
