#!/bin/sh
# Takes the pictures under docs/ from a demo folder, under a virtual X server.
# Usage: scripts/take-screenshots.sh [BUILD_DIR]   (needs xvfb-run: scripts/install-deps.sh --extras)
# The two screenshot programs live beside the window tests, so they are built with them.
set -eu
build=${1:-build}
cmake -S . -B "$build" -G Ninja -DKESTREL_TESTS=ON >/dev/null
cmake --build "$build" -j2 --target app_screenshots archive_screenshots kestrel-arc unlha32 unzip32 cab32 kestrel-sfx >/dev/null
demo=$(mktemp -d /tmp/kestrel-demo.XXXXXX)
trap 'rm -rf "$demo"' EXIT
mkdir -p "$demo/写真" "$demo/書類" "$demo/Projects"
printf 'メモ\n' > "$demo/メモ.txt"
head -c 3500000 /dev/urandom > "$demo/holiday.mp4"
for k in 001 002 003; do head -c 1457152 /dev/zero > "$demo/holiday_mp4_003.$k"; done
head -c 120000 /dev/urandom > "$demo/report.pdf"
# A real archive for the viewer: a few documents, pictures and a folder tree.
src="$demo/.archive-src"
mkdir -p "$src/docs/manual" "$src/images" "$src/src"
printf 'Kestrel demo archive\n' > "$src/README"
seq 1 4000 > "$src/docs/notes.txt"
seq 1 20000 > "$src/docs/manual/index.html"
head -c 60000 /dev/urandom > "$src/images/photo.jpg"
head -c 8000 /dev/zero > "$src/images/icon.png"
yes 'int main() { return 0; }' | head -n 300 > "$src/src/main.cpp"
"$build/bin/kestrel-arc" unlha "a -x1 -r2 -jm2 \"$demo/archive.lzh\" \"$src/\" \"*.*\"" >/dev/null
rm -rf "$src"
export XDG_CONFIG_HOME="$demo/.config" XDG_DATA_HOME="$demo/.local/share"
xvfb-run -a -s "-screen 0 1280x800x24" "$build/bin/app_screenshots" "$demo" docs
xvfb-run -a -s "-screen 0 1280x800x24" "$build/bin/archive_screenshots" docs
