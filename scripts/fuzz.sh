#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) in their own
# folder and runs each for FUZZ_SECONDS (default 60). Stops at the first
# finding, with the input kept under the build folder and its path printed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-60}
fixtures=$root/tests/fixtures
seeds=$root/fuzz/seeds

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_COMPILER=clang-16 -DCMAKE_CXX_COMPILER=clang++-16 -DIMAGROVE_FUZZ=ON >/dev/null
fi
cmake --build "$build" -j2

# The files each target starts from: small real files and hand-made seeds.
seed_dirs() {
    case $1 in
    fuzz_registry | fuzz_registry_ops) echo "$seeds/registry" ;;
    fuzz_undo_record) echo "$seeds/undo-record" ;;
    fuzz_metafile) echo "$fixtures/libwmf-examples $fixtures/libemf2svg/emf-corrupted" ;;
    fuzz_picture) echo "$fixtures/pillow $fixtures/bmpsuite/g $fixtures/bmpsuite/b $fixtures/bmpsuite/html $fixtures/image-rs/ico $fixtures/image-rs/bad-ico $seeds/picture" ;;
    fuzz_jpeg) echo "$fixtures/image-rs/jpg $fixtures/exif-orientation" ;;
    fuzz_mimeapps) echo "$seeds/mimeapps" ;;
    fuzz_tips) echo "$root/resources" ;;
    fuzz_update_answer) echo "$seeds/update-answer" ;;
    fuzz_favourites) echo "$seeds/favourites" ;;
    esac
}
dictionary() {
    case $1 in
    fuzz_registry | fuzz_registry_ops) echo "-dict=$root/fuzz/dict/registry.dict" ;;
    fuzz_undo_record) echo "-dict=$root/fuzz/dict/undo-record.dict" ;;
    esac
}

mkdir -p "$build/findings"
status=0
for target in fuzz_registry fuzz_registry_ops fuzz_undo_record fuzz_metafile fuzz_picture \
    fuzz_jpeg fuzz_mimeapps fuzz_tips fuzz_update_answer fuzz_favourites; do
    corpus=$build/corpus/$target
    mkdir -p "$corpus"
    log=$build/$target.log
    # shellcheck disable=SC2046
    if "$build/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
        -max_len=65536 -print_final_stats=1 -artifact_prefix="$build/findings/$target-" \
        $(dictionary $target) "$corpus" $(seed_dirs $target) >"$log" 2>&1; then
        stats=$(grep -E '^#[0-9]+' "$log" | tail -1 | sed -E 's/ +/ /g')
        speed=$(grep -E 'stat::average_exec_per_sec' "$log" | awk '{print $2}')
        echo "$target: ${speed:-?} runs/s; last: $stats"
    else
        echo "$target: FINDING, see $log" >&2
        grep -E 'Test unit written to|SUMMARY' "$log" >&2 || true
        status=1
        break
    fi
done
exit $status
