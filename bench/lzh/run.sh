#!/bin/sh
# Compression benchmark: our -lh5-/-lh6-/-lh7- encoder beside jlha on the same
# corpus in the same run.
#   bench/lzh/run.sh [BUILD_DIR] [CORPUS_DIR]
# BUILD_DIR defaults to build-lzh in the source tree, CORPUS_DIR to
# $TMPDIR/kestrel-corpus (made by bench/make-corpus.sh when missing).
# Sizes are percent of the input (jlha's include its archive header, some
# dozens of bytes, and it stores data that does not shrink as -lh0-).
# Speeds are input MB per second of wall time and of CPU time (user + system);
# jlha's include the Java start-up. On a shared machine the CPU figure is the
# steadier one.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build-lzh}
corpus=${2:-${TMPDIR:-/tmp}/kestrel-corpus}

cmake --build "$build" -j2 --target lzh_bench >/dev/null
"$root/bench/make-corpus.sh" "$corpus" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

have_jlha=no
command -v jlha >/dev/null 2>&1 && have_jlha=yes

printf '%-10s %-4s | %8s %9s %9s | %8s %9s %9s | %7s %7s\n' \
    corpus method ours% 'MB/s' 'cpuMB/s' jlha% 'MB/s' 'cpuMB/s' size 'speed'
for name in text.txt binary.bin random.bin; do
    file=$corpus/$name
    for m in 5 6 7; do
        # method in out percent wall cpu
        ours=$("$build/bin/lzh_bench" "lh$m" "$file")
        if [ "$have_jlha" = yes ]; then
            rm -f "$work/j.lzh"
            (cd "$work" && /usr/bin/time -f '%e %U %S' -o "$work/time" \
                jlha "a2o$m" j.lzh "$file" >/dev/null 2>&1)
            jlha_out="$(stat -c %s "$work/j.lzh") $(cat "$work/time")"
        else
            jlha_out="0 0 0 0"
        fi
        echo "$name lh$m $ours $jlha_out" | awk '{
            input = $4; ours = $5; wall = $7; cpu = $8;
            jsize = $9; jwall = $10; jcpu = $11 + $12;
            mb = input / 1e6;
            if (jsize > 0)
                printf "%-10s %-4s | %8.2f %9.1f %9.1f | %8.2f %9.1f %9.1f | %7.4f %6.1fx\n", $1, $2,
                    100 * ours / input, mb / wall, mb / cpu,
                    100 * jsize / input, mb / jwall, mb / jcpu, ours / jsize, jwall / wall;
            else
                printf "%-10s %-4s | %8.2f %9.1f %9.1f | (jlha not installed)\n", $1, $2,
                    100 * ours / input, mb / wall, mb / cpu;
        }'
    done
done
