#!/bin/sh
# Divide and join of a 1 GiB file at 99,999,744-byte parts ("100MB"), beside
# `split -b 99999744` and `cat` of the same file in the same run, warm cache.
#   bench/split/run.sh [BUILD_DIR] [RUNS]
# BUILD_DIR defaults to build in the source tree, RUNS to 3; each figure is the
# median of the runs. Work files live in a fresh folder under $TMPDIR (/tmp)
# and are deleted at the end. Peak RSS growth is ours only: the largest
# resident set during the work less the one before it.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
runs=${2:-3}
size=99999744

# The benchmarks are built with the tests.
cmake -S "$root" -B "$build" -DKESTREL_TESTS=ON >/dev/null
cmake --build "$build" -j2 --target split_bench >/dev/null
bench=$build/bin/split_bench
work=$(mktemp -d "${TMPDIR:-/tmp}/kestrel-split-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM

head -c 1073741824 /dev/urandom > "$work/big.bin"
cat "$work/big.bin" > /dev/null # warm the cache

now() { date +%s.%N; }
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

: > "$work/t.divide"; : > "$work/t.split"; : > "$work/t.join"; : > "$work/t.cat"
: > "$work/rss.divide"; : > "$work/rss.join"
i=0
while [ "$i" -lt "$runs" ]; do
    i=$((i + 1))
    mkdir "$work/ours" "$work/theirs"

    set -- $("$bench" divide "$work/big.bin" "$work/ours" "$size")
    echo "$1" >> "$work/t.divide"; echo "$2" >> "$work/rss.divide"

    start=$(now)
    (cd "$work/theirs" && split -b "$size" "$work/big.bin" x)
    echo "$start $(now)" | awk '{ print $2 - $1 }' >> "$work/t.split"

    set -- $("$bench" join "$work/joined.bin" "$work"/ours/big_bin_011.*)
    echo "$1" >> "$work/t.join"; echo "$2" >> "$work/rss.join"
    cmp "$work/big.bin" "$work/joined.bin"

    start=$(now)
    cat "$work"/theirs/x* > "$work/catted.bin"
    echo "$start $(now)" | awk '{ print $2 - $1 }' >> "$work/t.cat"

    rm -rf "$work/ours" "$work/theirs" "$work/joined.bin" "$work/catted.bin"
done

d=$(median < "$work/t.divide"); s=$(median < "$work/t.split")
j=$(median < "$work/t.join"); c=$(median < "$work/t.cat")
rd=$(median < "$work/rss.divide"); rj=$(median < "$work/rss.join")
echo "1 GiB at $size-byte parts, median of $runs runs (seconds):"
echo "$d $s $rd" | awk '{ printf "  divide %.3f   split -b %.3f   ratio %.2f   peak RSS growth %d KiB\n", $1, $2, $1 / $2, $3 }'
echo "$j $c $rj" | awk '{ printf "  join   %.3f   cat      %.3f   ratio %.2f   peak RSS growth %d KiB\n", $1, $2, $1 / $2, $3 }'
