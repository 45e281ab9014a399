#!/bin/sh
# LZX benchmark: our encoder per window on the benchmark corpus, beside
# wimlib's LZX with 2 MiB chunks and xz -6 (both one thread), then
# wimcapture itself for reference (its sizes include the WIM metadata).
#   bench/lzx/run.sh BUILD_DIR [CORPUS_DIR]
# LZX_WINDOWS=15,21 limits the windows measured.
set -eu
build=${1:?usage: $0 BUILD_DIR [CORPUS_DIR]}   # configured with -DKESTREL_TESTS=ON, lzx_bench built
corpus=${2:-${TMPDIR:-/tmp}/kestrel-corpus}
here=$(cd "$(dirname "$0")" && pwd)

sh "$here/../make-corpus.sh" "$corpus"
"$build/bin/lzx_bench" --windows "${LZX_WINDOWS:-15,16,17,18,19,20,21}" --verify --peers \
    "$corpus/text.txt" "$corpus/binary.bin" "$corpus/random.bin"

if command -v wimcapture >/dev/null 2>&1; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    for f in text.txt binary.bin random.bin; do
        mkdir "$work/in"
        ln -s "$corpus/$f" "$work/in/$f"
        wimcapture "$work/in" "$work/out.wim" --dereference --compress=LZX \
            --chunk-size=2097152 --threads=1 >/dev/null
        printf '%-12s %-10s %12s %12s\n' "$f" wimcapture "$(stat -L -c %s "$corpus/$f")" \
            "$(stat -c %s "$work/out.wim")"
        rm -rf "$work/in" "$work/out.wim"
    done
fi
