#!/bin/sh
# Builds the libFuzzer targets in their own build folder (clang, every library
# instrumented, AddressSanitizer and UBSan) and runs each for SECONDS seconds.
#   archivers/cli/fuzz/run.sh [SECONDS] [LIBRARY...]
# LIBRARY is unzip32, unlha32 or cab32 (default: all three); each has a listing and an
# extraction target. Findings land in BUILD/fuzz/artifacts; the grown corpus stays in
# BUILD/fuzz/corpus.
set -eu

seconds=${1:-60}
[ $# -gt 0 ] && shift
libraries=${*:-unzip32 unlha32 cab32}
root=$(cd "$(dirname "$0")/../../.." && pwd)
build=${KESTREL_FUZZ_BUILD:-$root/build-fuzz}
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DKESTREL_GUI=OFF -DKESTREL_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$build" -j2 --target kestrel-arc

# A library that does not build is reported and left out; the others still run.
built=""
for lib in $libraries; do
    if cmake --build "$build" -j2 --target "fuzz_list_$lib" "fuzz_extract_$lib" >"$build/fuzz-build-$lib.log" 2>&1; then
        built="$built $lib"
    else
        echo "!! $lib: fuzz targets do not build, see $build/fuzz-build-$lib.log"
    fi
done

work=$build/fuzz
mkdir -p "$work/artifacts" "$work/seeds"
seeds=$work/seeds

# Small valid archives to start from, made by our own front end and Python.
make_seeds() {
    tmp=$(mktemp -d)
    mkdir -p "$tmp/src/sub"
    printf 'hello hello hello\n' >"$tmp/src/a.txt"
    seq 1 300 >"$tmp/src/sub/b.txt"
    : >"$tmp/src/empty"
    mkdir -p "$seeds/unzip32" "$seeds/unlha32" "$seeds/cab32"
    if command -v python3 >/dev/null; then
        (cd "$tmp/src" && python3 -c '
import zipfile
with zipfile.ZipFile("../s1.zip", "w", zipfile.ZIP_DEFLATED) as z:
    z.write("a.txt"); z.write("sub/b.txt"); z.write("empty")
with zipfile.ZipFile("../s2.zip", "w", zipfile.ZIP_STORED) as z:
    z.write("a.txt"); z.write("sub")
') && cp "$tmp"/s*.zip "$seeds/unzip32/"
    fi
    arc=$build/bin/kestrel-arc
    (cd "$tmp/src" && "$arc" unlha 'a "../s.lzh" "a.txt" "sub/b.txt"' >/dev/null 2>&1 \
        && cp ../s.lzh "$seeds/unlha32/") || true
    (cd "$tmp/src" && "$arc" cab '-a -r -mz "../s.cab" "a.txt" "sub/b.txt"' >/dev/null 2>&1 \
        && cp ../s.cab "$seeds/cab32/") || true
    (cd "$tmp/src" && "$arc" cab '-a -r -ml:15 "../l.cab" "a.txt" "sub/b.txt"' >/dev/null 2>&1 \
        && cp ../l.cab "$seeds/cab32/") || true
    rm -rf "$tmp"
}
make_seeds

status=0
for lib in $built; do
  for mode in list extract; do
    name=fuzz_${mode}_$lib
    target=$build/bin/$name
    corpus=$work/corpus/$name
    mkdir -p "$corpus"
    echo "== $name for ${seconds}s"
    if ! "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
            -print_final_stats=1 -artifact_prefix="$work/artifacts/$name-" \
            "$corpus" "$seeds/$lib" 2>"$work/$name.log"; then
        echo "   FOUND A PROBLEM: see $work/$name.log and $work/artifacts/"
        status=1
    fi
    grep -E '^stat::number_of_executed_units|^stat::new_units_added' "$work/$name.log" | sed 's/^/   /'
  done
done
exit $status
