#!/bin/sh
# Compression benchmark: our -lh5-/-lh6-/-lh7- encoder (normal and best
# effort) beside jlha on the same corpus in the same run.
#   bench/lzh/run.sh [BUILD_DIR] [CORPUS_DIR]
# BUILD_DIR defaults to build in the source tree, CORPUS_DIR to
# $TMPDIR/kestrel-corpus (made by bench/make-corpus.sh when missing).
# Sizes are percent of the input (jlha's include its archive header, some
# dozens of bytes, and it stores data that does not shrink as -lh0-).
# Speeds are input MB per second of wall time and of CPU time (user + system);
# jlha's include the Java start-up. On a shared machine the CPU figure is the
# steadier one. The last two columns compare normal effort with jlha: output
# size ratio (below 1 = ours smaller) and CPU speed ratio.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
corpus=${2:-${TMPDIR:-/tmp}/kestrel-corpus}

# The benchmarks are built with the tests.
cmake -S "$root" -B "$build" -DKESTREL_TESTS=ON >/dev/null
cmake --build "$build" -j2 --target lzh_bench >/dev/null
"$root/bench/make-corpus.sh" "$corpus" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

have_jlha=no
command -v jlha >/dev/null 2>&1 && have_jlha=yes

printf '%-10s %-4s | %-22s | %-22s | %-22s | %s\n' '' '' \
    'ours (normal)' 'ours (--best)' 'jlha' 'normal vs jlha'
printf '%-10s %-4s | %6s %6s %8s | %6s %6s %8s | %6s %6s %8s | %6s %6s\n' \
    corpus method size% 'MB/s' 'cpuMB/s' size% 'MB/s' 'cpuMB/s' size% 'MB/s' 'cpuMB/s' size 'cpu'
for name in text.txt binary.bin random.bin; do
    file=$corpus/$name
    for m in 5 6 7; do
        # Each: method in out percent wall cpu
        normal=$("$build/bin/lzh_bench" "lh$m" "$file")
        best=$("$build/bin/lzh_bench" "lh$m" --best "$file")
        if [ "$have_jlha" = yes ]; then
            rm -f "$work/j.lzh"
            if [ -x /usr/bin/time ]; then
                (cd "$work" && /usr/bin/time -f '%e %U %S' -o "$work/time" \
                    jlha "a2o$m" j.lzh "$file" >/dev/null 2>&1)
            else
                # Without GNU time only the wall time is known; it stands in for CPU.
                start=$(date +%s.%N)
                (cd "$work" && jlha "a2o$m" j.lzh "$file" >/dev/null 2>&1)
                echo "$start $(date +%s.%N)" | awk '{ d = $2 - $1; print d, d, 0 }' > "$work/time"
            fi
            jlha_out="$(stat -c %s "$work/j.lzh") $(cat "$work/time")"
        else
            jlha_out="0 1 0 0"
        fi
        echo "$name lh$m $normal $best $jlha_out" | awk '{
            input = $4; mb = input / 1e6;
            n = $5; nw = $7; nc = $8;
            b = $11; bw = $13; bc = $14;
            j = $15; jw = $16; jc = $17 + $18;
            printf "%-10s %-4s | %6.2f %6.1f %8.1f | %6.2f %6.1f %8.1f | ", $1, $2,
                100 * n / input, mb / nw, mb / nc, 100 * b / input, mb / bw, mb / bc;
            if (j > 0)
                printf "%6.2f %6.1f %8.1f | %6.3f %5.1fx\n", 100 * j / input, mb / jw, mb / jc, n / j, jc / nc;
            else
                printf "(jlha not installed)\n";
        }'
    done
done
