#!/usr/bin/env bash
# Installs the Debian packages that Kestrel needs to build and run, to test, to
# package, or for the extra scripts. Does nothing when they are all present already.
#   --run     build and run the program (make run, make build)
#   --test    also the test suites and the benchmarks (make test)
#   --deb     also the Debian package's tools (make deb, with --run)
#   --extras  the screenshot script (xvfb-run), the fuzz script (clang, libFuzzer)
#             and the icon renderer (rsvg-convert)
set -euo pipefail

build=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
       liblhasa-dev libmspack-dev libzip-dev libssl-dev zlib1g-dev
       libbz2-dev liblzma-dev libzstd-dev)
# At run time: the Japanese font, and the SVG image plugin the breeze icon theme needs.
runtime=(fonts-ipafont-gothic libqt6svg6)
# The test suites: GoogleTest, and the desktop-file validators of the dist tests.
testing=(libgtest-dev libgmock-dev desktop-file-utils appstream)
# Peer tools: the tests hand our archives to them and theirs to us.
peers=(lhasa jlha-utils libarchive-tools 7zip cabextract gcab wimtools libwim-dev liblzma-dev xz-utils zip unzip)
# The Debian package: CPack's dependency scan, and its check.
deb=(dpkg-dev file lintian)
# Headless windows for scripts/take-screenshots.sh; clang and its sanitizer and
# libFuzzer runtime for archivers/cli/fuzz/run.sh; rsvg-convert for dist/icons/render.sh.
extras=(xvfb xauth clang libclang-rt-14-dev librsvg2-bin)

want=("${build[@]}" "${runtime[@]}")
case "${1:-}" in
  --test) want+=("${testing[@]}" "${peers[@]}") ;;
  --run) ;;
  --deb) want+=("${deb[@]}") ;;
  --extras) want=("${extras[@]}") ;;
  *) echo "usage: $0 --run|--test|--deb|--extras" >&2; exit 2 ;;
esac

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
