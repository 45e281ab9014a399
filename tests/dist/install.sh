#!/usr/bin/env bash
# install.sh CMAKE BUILD-DIR with-gui|without-gui
# Installs the build into a temporary DESTDIR with prefix /usr, checks the file
# set, then moves the tree away and has the installed kestrel-arc pack, list
# and extract an archive with the installed libraries only.
set -euo pipefail
cmake=$1 build=$2 gui=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$work/stage" "$cmake" --install "$build" --prefix /usr >"$work/install.log" \
  || { cat "$work/install.log"; fail "install"; }
root="$work/stage/usr"

expected=(bin/kestrel-arc lib/kestrel/libunlha32.so lib/kestrel/libunzip32.so
          lib/kestrel/libcab32.so lib/kestrel/kestrel-sfx
          share/applications/org.bramble.Kestrel.desktop
          share/metainfo/org.bramble.Kestrel.metainfo.xml
          share/icons/hicolor/scalable/apps/org.bramble.Kestrel.svg
          share/man/man1/kestrel.1.gz share/man/man1/kestrel-arc.1.gz
          share/doc/kestrel/copyright share/doc/kestrel/changelog.gz
          share/lintian/overrides/kestrel)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/org.bramble.Kestrel.png")
done
[ "$gui" = with-gui ] && expected+=(bin/kestrel share/kestrel/help/Kestrel.html)
for f in "${expected[@]}"; do [ -f "$root/$f" ] || fail "missing $f"; done
[ -x "$root/lib/kestrel/kestrel-sfx" ] || fail "the stub is not executable"
# Nothing but the stub is executable in the private folder, nothing lands beside it.
extra=$(cd "$root" && find . -type f | sed 's|^\./||' | sort | grep -vxF -f <(printf '%s\n' "${expected[@]}") || true)
[ -z "$extra" ] || fail "unexpected files: $extra"
# No text file and no search path names the build folder (debug information may).
if grep -rlIF "$build" "$root"; then fail "an installed file names the build folder"; fi
for f in "$root"/bin/* "$root"/lib/kestrel/*; do
  if readelf -d "$f" | grep -E 'R(UN)?PATH' | grep -qF "$build"; then fail "$f searches the build folder"; fi
done

# The tree works wherever it lies: move it, keep the build folder out of every search path.
mv "$work/stage/usr" "$work/moved"
root="$work/moved"
unset LD_LIBRARY_PATH
mkdir "$work/src" "$work/out"
seq 1 20000 >"$work/src/numbers.txt"
cd "$work"
"$root/bin/kestrel-arc" unlha "a -jm2 \"$work/t.lzh\" \"$work/src/\" \"numbers.txt\"" >"$work/add.log" \
  || { cat "$work/add.log"; fail "pack"; }
LD_DEBUG=files "$root/bin/kestrel-arc" --list unlha "$work/t.lzh" >"$work/list.log" 2>"$work/ld.log" \
  || fail "list"
grep -q 'numbers.txt' "$work/list.log" || fail "the listing lacks numbers.txt"
grep -q -- '-lh5-' "$work/list.log" || fail "numbers.txt was not compressed"
loaded=$(grep -o 'calling init: [^ ]*libunlha32.so' "$work/ld.log" | head -1 | sed 's/calling init: //')
[ -n "$loaded" ] || fail "libunlha32.so was not loaded"
case "$(readlink -f "$loaded")" in
  "$root"/lib/kestrel/*) ;;
  *) fail "libunlha32.so came from $loaded" ;;
esac
"$root/bin/kestrel-arc" unlha "x \"$work/t.lzh\" \"$work/out/\" \"*.*\"" >/dev/null || fail "extract"
cmp "$work/src/numbers.txt" "$work/out/numbers.txt" || fail "extracted file differs"

if [ "$gui" = with-gui ]; then
  version=$("$root/bin/kestrel" --version) || fail "kestrel --version"
  [[ "$version" == Kestrel\ [0-9]* ]] || fail "kestrel --version printed: $version"
fi
echo "install tree OK"
