#!/bin/sh
# Viewer benchmark: a ZIP and an LZH archive of 100 folders of 1,000 small
# files each (100,000 files, 100 folder entries in the LZH) opened in the
# archive viewer, beside `unzip -l` and `lhasa -l` of the same archives in the
# same run.
#   bench/archive/run.sh [BUILD_DIR] [WORK_DIR]
# BUILD_DIR defaults to build in the source tree, WORK_DIR to
# $TMPDIR/kestrel-viewer-bench (the files and archives are kept there, so a
# second run starts at once). The viewer figure "shown" covers the listing
# through the library, the icons, the items, select-all and the first paint;
# the peers' figures are the best wall and CPU times of three runs with the
# output thrown away. On a busy machine the CPU figures are the steadier ones.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
work=${2:-${TMPDIR:-/tmp}/kestrel-viewer-bench}

# The benchmarks are built with the tests.
cmake -S "$root" -B "$build" -DKESTREL_TESTS=ON >/dev/null
cmake --build "$build" -j2 --target bench_viewer unlha32 unzip32 cab32 kestrel-arc >/dev/null
mkdir -p "$work"

if [ ! -f "$work/files.done" ]; then
    rm -rf "$work/files"
    python3 - "$work/files" <<'PY'
import os, sys
top = sys.argv[1]
for d in range(100):
    folder = os.path.join(top, "dir%03d" % d)
    os.makedirs(folder)
    for f in range(1000):
        with open(os.path.join(folder, "file%04d.txt" % f), "w") as out:
            out.write("folder %d file %d\n" % (d, f))
PY
    touch "$work/files.done"
fi
if [ ! -f "$work/many.zip" ]; then
    (cd "$work/files" && zip -q -r "$work/many.zip.part" .) && mv "$work/many.zip.part" "$work/many.zip"
fi
if [ ! -f "$work/many.lzh" ]; then
    "$build/bin/kestrel-arc" unlha "a -x1 -r2 \"$work/many.lzh.part\" \"$work/files/\" \"*.*\"" >/dev/null
    mv "$work/many.lzh.part" "$work/many.lzh"
fi

# Best wall time and best CPU time (user + system) of three runs, output thrown away.
best_of_three() {
    python3 - "$@" <<'PY'
import os, resource, subprocess, sys, time
walls, cpus = [], []
for _ in range(3):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.monotonic()
    subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    walls.append(time.monotonic() - start)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpus.append(after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime)
print("wall %.3f s  cpu %.3f s" % (min(walls), min(cpus)))
PY
}

echo "peers (best of 3):"
echo "  unzip -l many.zip       $(best_of_three unzip -l "$work/many.zip")"
echo "  lhasa -l many.lzh       $(best_of_three lhasa -l "$work/many.lzh")"
echo "  kestrel-arc --list zip  $(best_of_three "$build/bin/kestrel-arc" --list unzip "$work/many.zip")"
echo "  kestrel-arc --list lzh  $(best_of_three "$build/bin/kestrel-arc" --list unlha "$work/many.lzh")"
echo "viewer:"
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$build/bin/bench_viewer" "$work/many.zip" "$work/many.lzh" 2>&1 \
    | grep -v -e propagateSizeHints -e XDG_RUNTIME_DIR
