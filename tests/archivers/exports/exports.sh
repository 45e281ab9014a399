#!/bin/sh
# Checks that a library's dynamic symbol table holds its five C entry points and
# nothing else of ours: no kestrel:: class, no standard-library template the code
# instantiated. Symbols the linker or a sanitizer runtime adds (_init, _fini, _edata,
# _end, __bss_start, __asan_*...) are not ours and are let through.
#   exports.sh NM LIBRARY PREFIX      (PREFIX: Unlha, UnZip or Cab)
set -eu
nm=$1 lib=$2 prefix=$3

symbols=$("$nm" -D --defined-only "$lib" | awk '{ print $NF }' | sort -u)
status=0
for entry in "$prefix" "${prefix}OpenArchive" "${prefix}FindFirst" "${prefix}FindNext" "${prefix}CloseArchive"; do
    printf '%s\n' "$symbols" | grep -qx "$entry" || { echo "missing entry point: $entry"; status=1; }
done
extra=$(printf '%s\n' "$symbols" | grep -vxE "$prefix(OpenArchive|FindFirst|FindNext|CloseArchive)?" \
        | grep -vE '^(_init|_fini|_edata|_end|__.*)$' || true)
if [ -n "$extra" ]; then
    echo "$(basename "$lib") exports more than its entry points:"
    printf '%s\n' "$extra" | head -20
    status=1
fi
exit $status
