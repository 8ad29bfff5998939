#!/usr/bin/env bash
# Starts the built program the way a desktop does (`imagrove FILE`, and the
# installed desktop entry's Exec line) on a virtual X server of its own, and
# watches it only from outside: windows on the server, exit statuses, files
# on disk and processes left behind.
#
# usage: launch.sh BUILD_DIR SOURCE_DIR [LAUNCHES_PER_FILE]
# Exit 77 (skipped) where the server or the X tools are missing.
set -u
build=$(cd "$1" && pwd)
tree=$(cd "$2" && pwd)
rounds=${3:-3}
program=$build/imagrove
fixtures=$tree/tests/fixtures

for tool in Xvfb xdotool xwininfo xdpyinfo; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (make deps installs it)"
        exit 77
    fi
done

work=$(mktemp -d)
server=""
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT
# shellcheck source=../support/virtual-x.sh
source "$tree/tests/support/virtual-x.sh"
if ! start_virtual_x; then
    echo "FAIL: no virtual X server could be started"
    exit 1
fi
# Every process this run starts carries it, helpers included.
token="imagrove-blackbox-$$"
mkdir -p "$work/system" "$work/etc"

failures=0
launches=0
extra_env=()
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# A fresh user's home; past the licence agreement unless told "new".
new_home() {
    local home
    home=$(mktemp -d "$work/home.XXXXXX")
    mkdir -p "$home/run" && chmod 700 "$home/run"
    if [ "${1:-}" != new ]; then
        mkdir -p "$home/config/Imagrove"
        printf '[v2.1]\nupdated=1\n\n[v2.2]\nlicense=0\n%s' "${2:-}" \
            >"$home/config/Imagrove/Imagrove2.conf"
    fi
    echo "$home"
}

# Runs a command as the user of a home, in the background; sets $pid.
start_as() {
    local home=$1
    shift
    local sanitizers=()
    [ -n "${ASAN_OPTIONS:-}" ] && sanitizers+=("ASAN_OPTIONS=$ASAN_OPTIONS")
    [ -n "${UBSAN_OPTIONS:-}" ] && sanitizers+=("UBSAN_OPTIONS=$UBSAN_OPTIONS")
    env -i "${sanitizers[@]}" PATH="$PATH" DISPLAY="$DISPLAY" HOME="$home" XDG_CONFIG_HOME="$home/config" \
        XDG_DATA_HOME="$home/data" XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home/run" \
        XDG_DATA_DIRS="$work/system" XDG_CONFIG_DIRS="$work/etc" IMAGROVE_BLACKBOX="$token" \
        QT_FORCE_STDERR_LOGGING=1 "${extra_env[@]}" \
        "$@" >"$home/output.txt" 2>&1 &
    pid=$!
    launches=$((launches + 1))
}

# The visible windows of a process: "WIDTHxHEIGHT NAME", one a line.
windows_of() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
        echo "$(xwininfo -id "$id" 2>/dev/null | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}') $(xdotool getwindowname "$id" 2>/dev/null)"
    done
}

# Processes of this run (the program and its helpers) other than the ones
# given, by the marker in their environment.
helpers_left() {
    local comm process found=""
    for comm in $(grep -l '^imagrove' /proc/[0-9]*/comm 2>/dev/null); do
        process=${comm#/proc/}
        process=${process%/comm}
        case " $* " in *" $process "*) continue ;; esac
        if grep -qzx "IMAGROVE_BLACKBOX=$token" "/proc/$process/environ" 2>/dev/null; then
            found="$found $process:$(cat "$comm" 2>/dev/null)"
        fi
    done
    echo "$found"
}

# Waits until the windows of $pid match a pattern (grep -E), or it ends.
wait_for_window() {
    local pattern=$1 seconds=${2:-20}
    for _ in $(seq $((seconds * 10))); do
        kill -0 "$pid" 2>/dev/null || return 1
        windows_of "$pid" | grep -Eq "$pattern" && return 0
        sleep 0.1
    done
    return 1
}

# Message boxes among the windows listed: any but the main window.
boxes_in() {
    grep -Evc " Imagrove( 2| - .*)?\$" <<<"$1"
}

# Waits up to 15 s for the program's helpers to finish their picture.
settle() {
    for _ in $(seq 150); do
        [ -z "$(helpers_left "$pid")" ] && return
        sleep 0.1
    done
}

# Ends the program from outside once its helpers are done, and checks how
# it ended: SIGTERM (or a normal exit), no crash, no process left.
end_and_check() {
    local what=$1 status signal
    settle
    kill -TERM "$pid" 2>/dev/null
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        fail "$what: still running 5 s after SIGTERM"
        kill -KILL "$pid" 2>/dev/null
    fi
    wait "$pid"
    status=$?
    if [ "$status" -gt 128 ] && [ "$status" -ne 143 ]; then
        signal=$((status - 128))
        fail "$what: ended by signal $signal ($(kill -l "$signal" 2>/dev/null))"
    fi
    sleep 0.2
    local left
    left=$(helpers_left)
    if [ -n "$left" ]; then
        fail "$what: left running:$left"
        for entry in $left; do kill -KILL "${entry%%:*}" 2>/dev/null; done
    fi
}

# `imagrove FILE`: the window titled after the file, or (bad files) one
# message box, never a crash or a hang.
launch_file() {
    local file=$1 expect=$2 name home shown=""
    name=$(basename "$file")
    local retried=""
    for round in $(seq "$rounds"); do
        home=$(new_home)
        start_as "$home" "$program" "$file"
        for _ in $(seq 200); do
            kill -0 "$pid" 2>/dev/null || break
            shown=$(windows_of "$pid")
            grep -qF " Imagrove - $name" <<<"$shown" && break
            [ -n "$shown" ] && [ "$(boxes_in "$shown")" -gt 0 ] && break
            sleep 0.1
        done
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            local status=$?
            # The server refusing a connection under load is the machine's
            # hiccup, not the program's: once per file, the launch is repeated.
            if [ -z "$retried" ] && grep -q "could not connect to display" "$home/output.txt"; then
                echo "note: $name (launch $round): the X server refused the connection; launched again"
                retried=1
                home=$(new_home)
                start_as "$home" "$program" "$file"
                wait_for_window " Imagrove - $name\$|." 20 || true
                shown=$(windows_of "$pid")
            else
                fail "$name (launch $round): ended with status $status before any window: $(head -c 3000 "$home/output.txt")"
                continue
            fi
        fi
        if ! grep -qF " Imagrove - $name" <<<"$shown" && [ "$(boxes_in "$shown")" -eq 0 ]; then
            fail "$name (launch $round): no window within 20 s: $(tr '\n' '|' <<<"$shown")"
        fi
        settle
        sleep 0.3
        shown=$(windows_of "$pid")
        local boxes
        boxes=$(boxes_in "$shown")
        if [ "$expect" = shown ]; then
            echo "$shown" | grep -q " Imagrove - $name\$" ||
                fail "$name (launch $round): not titled after the file: $(echo "$shown" | tr '\n' '|')"
            [ "$boxes" -eq 0 ] || fail "$name (launch $round): a message came: $(echo "$shown" | tr '\n' '|')"
        elif [ "$boxes" -gt 1 ]; then
            fail "$name (launch $round): more than one message: $(echo "$shown" | tr '\n' '|')"
        fi
        end_and_check "$name (launch $round)"
    done
}

cp "$fixtures/pillow/hopper.jpg" "$work/photo.jpg"
: >"$work/empty.jpg"
head -c 2000 "$fixtures/libjpeg-turbo/testorig.jpg" >"$work/truncated.jpg"
cp "$fixtures/pillow/hopper.jpg" "$work/really-a-jpeg.gif"
cp "$fixtures/libwmf-examples/ant.wmf" "$work/really-a-wmf.bmp"
head -c 3000 "$fixtures/libemf2svg/emf/test-004.emf" >"$work/truncated.emf"

for file in bmpsuite/g/rgb24.bmp bmpsuite/g/rgb32.bmp bmpsuite/g/pal8rle.bmp bmpsuite/g/pal1.bmp \
    image-rs/gif/sample_1.gif pillow/hopper.ico image-rs/ico/png-32bpp-alpha.ico \
    pillow/deerstalker.cur pillow/hopper.jpg image-rs/jpg/progressive_cat.jpg \
    pillow/pil_sample_cmyk.jpg exif-orientation/Portrait_6.jpg libwmf-examples/sample.wmf \
    pillow/drawing.emf libemf2svg/emf/test-004.emf libemf2svg/emf/test-006.emf \
    libemf2svg/emf/test-018.emf; do
    launch_file "$fixtures/$file" shown
done
for file in empty.jpg truncated.jpg really-a-jpeg.gif really-a-wmf.bmp truncated.emf; do
    launch_file "$work/$file" either
done

# A name that is not UTF-8 opens by its bytes; the title shows it readably.
latin="$work/caf"$'\xe9'".bmp"
cp "$fixtures/bmpsuite/g/rgb24.bmp" "$latin"
home=$(new_home)
start_as "$home" "$program" "$latin"
wait_for_window " Imagrove - caf"$'\xef\xbf\xbd'".bmp\$" 20 ||
    fail "a Latin-1 name: not shown: $(windows_of "$pid" | tr '\n' '|')"
end_and_check "a Latin-1 name"

# A helper ends with the program, even one killed outright: a copy of the
# program beside a stand-in helper that never finishes.
mkdir "$work/slow"
cp "$program" "$work/slow/imagrove"
printf '#!/bin/sh\necho $$ >"%s"\nexec sleep 60\n' "$work/slow/helper.pid" >"$work/slow/imagrove-metafile"
chmod +x "$work/slow/imagrove-metafile"
home=$(new_home)
start_as "$home" "$work/slow/imagrove" "$fixtures/libwmf-examples/ant.wmf"
for _ in $(seq 200); do
    [ -s "$work/slow/helper.pid" ] && break
    sleep 0.1
done
if [ -s "$work/slow/helper.pid" ]; then
    helper=$(cat "$work/slow/helper.pid")
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null
    for _ in $(seq 30); do
        kill -0 "$helper" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$helper" 2>/dev/null; then
        fail "a helper outlived the program killed outright"
        kill -KILL "$helper"
    fi
else
    fail "the stand-in helper never started: $(head -c 2000 "$home/output.txt")"
    end_and_check "the stand-in helper"
fi

# The installed program, through its desktop entry's Exec line.
prefix="$work/prefix"
if ! cmake --install "$build" --prefix "$prefix" >"$work/install.txt" 2>&1; then
    fail "install into a prefix: $(tail -3 "$work/install.txt")"
else
    entry="$prefix/share/applications/imagrove.desktop"
    exec_line=$(sed -n 's/^Exec=//p' "$entry" | head -1)
    read -r -a words <<<"$exec_line"
    command=()
    for word in "${words[@]}"; do
        case "$word" in
        %[fFuU]) command+=("$work/photo.jpg") ;;
        %*) ;;
        *) command+=("$word") ;;
        esac
    done
    home=$(new_home)
    start_as "$home" "${command[@]}"
    wait_for_window " Imagrove - photo.jpg\$" 20 ||
        fail "Exec line '$exec_line': no window titled after the file"
    end_and_check "the desktop entry's Exec line"
fi

# Full screen straight from the command line: the screen's size; a key
# closes it and leaves the main window.
home=$(new_home "" $'\n[Options]\nimgfll=1\n')
start_as "$home" "$program" "$work/photo.jpg"
if wait_for_window "^1280x1024 " 20; then
    xdotool mousemove 640 512 key q
    for _ in $(seq 50); do
        windows_of "$pid" | grep -q "^1280x1024 " || break
        sleep 0.1
    done
    windows_of "$pid" | grep -q "^1280x1024 " && fail "full screen: a key did not close it"
    windows_of "$pid" | grep -q " Imagrove - photo.jpg\$" ||
        fail "full screen: no main window after it closed"
else
    fail "full screen: no window of the screen's size: $(windows_of "$pid" | tr '\n' '|')"
fi
end_and_check "full screen"

# A new user: the licence agreement first; No ends the program and leaves
# no file of the program's behind.
home=$(new_home new)
start_as "$home" "$program" "$work/photo.jpg"
if wait_for_window " Imagrove License Agreement\$" 20; then
    windows_of "$pid" | grep -q "Imagrove - " && fail "licence: the main window came first"
    id=$(xdotool search --onlyvisible --pid "$pid" --name "Imagrove License Agreement" | head -1)
    eval "$(xdotool getwindowgeometry --shell "$id")"
    # No is the last button of the bottom row.
    xdotool mousemove $((X + WIDTH - 40)) $((Y + HEIGHT - 22)) click 1
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        fail "licence: No did not end the program: $(windows_of "$pid" | tr '\n' '|')"
        end_and_check "licence"
    else
        wait "$pid"
        status=$?
        [ "$status" -eq 0 ] || fail "licence: No ended the program with status $status"
    fi
    files=$(cd "$home" && find . -type f ! -name output.txt)
    [ -z "$files" ] || fail "licence: No left files behind: $files"
else
    fail "licence: no agreement: $(windows_of "$pid" | tr '\n' '|')"
    end_and_check "licence"
fi

# The id of a visible window of $pid whose name matches.
window_id() {
    xdotool search --onlyvisible --pid "$pid" --name "$1" 2>/dev/null | head -1
}

# A drawing chosen by an ordinary key press (held 100 ms, released while
# the helper draws) is shown; a folder named on the command line is opened.
mkdir "$work/drawings"
cp "$fixtures/pillow/hopper.jpg" "$work/drawings/a.jpg"
cp "$fixtures/libemf2svg/emf/test-004.emf" "$work/drawings/b.emf"
for named in a.jpg ""; do
    home=$(new_home)
    start_as "$home" "$program" "$work/drawings/$named"
    if [ -n "$named" ]; then
        wait_for_window " Imagrove - a.jpg\$" 20 || fail "drawings: a.jpg not shown"
    else
        wait_for_window " Imagrove( 2)?\$" 20 || fail "a folder: no main window: $(windows_of "$pid" | tr '\n' '|')"
        [ "$(boxes_in "$(windows_of "$pid")")" -eq 0 ] || fail "a folder: a message came"
    fi
    xdotool windowfocus "$(window_id "Imagrove")" 2>/dev/null
    sleep 0.3
    # A quick press: released while the helper still draws.
    xdotool keydown Down sleep 0.02 keyup Down
    if [ -n "$named" ]; then
        wait_for_window " Imagrove - b.emf\$" 20 ||
            fail "a drawing chosen by a key press is not shown: $(windows_of "$pid" | tr '\n' '|')"
    else
        wait_for_window " Imagrove - a.jpg\$" 20 ||
            fail "a folder on the command line was not opened: $(windows_of "$pid" | tr '\n' '|')"
    fi
    end_and_check "drawings ($named)"
done

# What a desktop's %F passes: several files, the first gone; a name with
# spaces split by an unquoted launcher.
cp "$fixtures/pillow/hopper.jpg" "$work/drawings/my photo.jpg"
for case in "gone.jpg|a.jpg" "my|photo.jpg"; do
    first=${case%%|*}
    second=${case#*|}
    if [ "$first" = my ]; then expect="my photo.jpg"; else expect=$second; fi
    home=$(new_home)
    if [ "$first" = my ]; then
        start_as "$home" "$program" "$work/drawings/my" "photo.jpg"
    else
        start_as "$home" "$program" "$work/drawings/$first" "$work/drawings/$second"
    fi
    wait_for_window " Imagrove - $expect\$" 20 ||
        fail "arguments $case: $expect not shown: $(windows_of "$pid" | tr '\n' '|')"
    end_and_check "arguments $case"
done

# A private copy of the settings is made beside them: a temporary folder on
# a full disk cuts nothing of them (needs the right to mount).
mkdir -p "$work/tmpdisk"
if mount -t tmpfs -o size=64k imagrove-blackbox "$work/tmpdisk" 2>/dev/null; then
    head -c 60000 /dev/zero >"$work/tmpdisk/filler" 2>/dev/null
    keys=""
    for i in $(seq 120); do keys="${keys}key$i=value $i value $i value $i"$'\n'; done
    home=$(new_home "" $'\n[Kept]\n'"$keys")
    extra_env=("TMPDIR=$work/tmpdisk")
    start_as "$home" "$program" "$work/photo.jpg"
    extra_env=()
    wait_for_window " Imagrove - photo.jpg\$" 20 || fail "settings: no window"
    end_and_check "settings beside a full temporary disk"
    kept=$(grep -c '^key[0-9]*=value' "$home/config/Imagrove/Imagrove2.conf")
    [ "$kept" -eq 120 ] || fail "settings: $kept of 120 keys kept"
    grep -q "^Path=" "$home/config/Imagrove/Imagrove2.conf" || fail "settings: the program's path was not saved"
    umount "$work/tmpdisk"
else
    echo "note: no small disk could be mounted: the settings case is left out"
fi

# A small animated WebP whose canvas claims 16384 x 16384: refused at once
# with one message, never gigabytes.
cp "$fixtures/made/animated-64.webp" "$work/canvas.webp"
printf '\xff\x3f\x00\xff\x3f\x00' | dd of="$work/canvas.webp" bs=1 seek=24 conv=notrunc 2>/dev/null
home=$(new_home "" $'\n[Interface]\nOtherImages=1\n')
start_as "$home" "$program" "$work/canvas.webp"
wait_for_window " 6\$" 20 || fail "a WebP bomb: no message of error 6"
sleep 0.5
peak=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status" 2>/dev/null)
[ "$(boxes_in "$(windows_of "$pid")")" -eq 1 ] || fail "a WebP bomb: not one message: $(windows_of "$pid" | tr '\n' '|')"
[ "${peak:-0}" -lt 400000 ] || fail "a WebP bomb: $peak KB at the peak"
echo "note: a WebP bomb: ${peak:-?} KB at the peak"
end_and_check "a WebP bomb"

# Natively under a Wayland compositor (Debian's weston, headless).
if command -v weston >/dev/null && [ -e /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so ]; then
    home=$(new_home)
    XDG_RUNTIME_DIR="$home/run" weston --backend=headless-backend.so --socket=imagrove-wl --idle-time=0 \
        >"$work/weston.txt" 2>&1 &
    compositor=$!
    for _ in $(seq 50); do [ -e "$home/run/imagrove-wl" ] && break; sleep 0.1; done
    extra_env=("WAYLAND_DISPLAY=imagrove-wl" "QT_QPA_PLATFORM=wayland" "IMAGROVE_TRACE=1")
    start_as "$home" "$program" "$work/photo.jpg"
    extra_env=()
    for _ in $(seq 200); do
        grep -q "IMAGROVE_TRACE first picture painted" "$home/output.txt" && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    grep -q "IMAGROVE_TRACE first picture painted" "$home/output.txt" ||
        fail "Wayland: no picture painted: $(head -c 2000 "$home/output.txt")"
    end_and_check "Wayland"
    kill "$compositor" 2>/dev/null
    wait "$compositor" 2>/dev/null
else
    echo "note: no Wayland compositor or Qt plugin: the Wayland case is left out"
fi

echo "$launches launches, $failures failures"
[ "$failures" -eq 0 ]
