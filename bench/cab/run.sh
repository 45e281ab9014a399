#!/bin/bash
# Cabinet compression benchmark (not a test): our MSZIP beside gcab -z, our LZX at
# windows 15, 18 and 21 beside wimlib's LZX (2 MiB chunks, one thread) and xz -6,
# on the three corpus files of bench/make-corpus.sh. Prints output size, ratio
# (output / input) and time for each, all in the same run.
#   usage: bench/cab/run.sh [BUILD_DIR] [CORPUS_DIR]
set -eu

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build}
corpus=${2:-${TMPDIR:-/tmp}/kestrel-corpus}
arc=$build/bin/kestrel-arc
[ -x "$arc" ] || { echo "no $arc: build the kestrel-arc and cab32 targets first" >&2; exit 2; }
sh "$here/../make-corpus.sh" "$corpus" >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/kes-cab-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT

# run NAME INPUT OUTPUT COMMAND...: times COMMAND (wall clock and CPU seconds,
# children included; CPU time is what to compare on a shared machine), then
# reports OUTPUT's size.
run() {
    local name=$1 input=$2 output=$3
    shift 3
    rm -rf "$output"
    local TIMEFORMAT='%3R %3U %3S' status=0
    { time "$@" >/dev/null 2>&1 || status=$?; } 2> "$work/time"
    if [ "$status" -ne 0 ]; then printf '%-11s %-26s failed\n' "$(basename "$input")" "$name"; return; fi
    local in out
    in=$(stat -c %s "$input")
    if [ -d "$output" ]; then out=$(du -sb "$output" | cut -f1); else out=$(stat -c %s "$output"); fi
    read -r wall user sys < "$work/time"
    awk -v n="$name" -v f="$(basename "$input")" -v i="$in" -v o="$out" -v w="$wall" -v c="$user + $sys" 'BEGIN {
        split(c, p, " + "); cpu = p[1] + p[2]; if (cpu <= 0) cpu = 0.001; if (w <= 0) w = 0.001;
        printf "%-11s %-26s %11d %7.2f %% %8.2f s %8.2f s %8.2f MB/s\n", f, n, o, 100 * o / i, w, cpu, i / cpu / 1e6 }'
}

printf '%-11s %-26s %11s %9s %10s %10s %13s\n' corpus method bytes ratio wall cpu 'speed (cpu)'
for file in text.txt binary.bin random.bin; do
    src=$corpus/$file
    one=$work/one-$file
    mkdir -p "$one" && { ln "$src" "$one/$file" 2>/dev/null || cp "$src" "$one/$file"; }
    run "ours MSZIP" "$src" "$work/z.cab" "$arc" cab "-a -mz \"$work/z.cab\" \"$corpus/\" \"$file\""
    run "gcab -z" "$src" "$work/g.cab" sh -c "cd '$corpus' && gcab -c -z '$work/g.cab' '$file'"
    for w in 15 18 21; do
        run "ours LZX:$w" "$src" "$work/l$w.cab" "$arc" cab "-a -ml:$w \"$work/l$w.cab\" \"$corpus/\" \"$file\""
    done
    if command -v wimcapture >/dev/null; then
        run "wimlib LZX 2 MiB chunks" "$src" "$work/w.wim" \
            wimcapture "$one" "$work/w.wim" --compress=LZX --chunk-size=2097152 --threads=1
    fi
    run "xz -6" "$src" "$work/x.xz" sh -c "xz -6 -T1 -c '$src' > '$work/x.xz'"
done
