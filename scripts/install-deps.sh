#!/usr/bin/env bash
# Installs the Debian packages that Kestrel needs to build, run and test.
# Does nothing when they are all present already.
set -euo pipefail

build=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
       libgtest-dev libgmock-dev liblhasa-dev libmspack-dev libzip-dev libssl-dev zlib1g-dev
       libbz2-dev liblzma-dev libzstd-dev
       fonts-ipafont-gothic)
# Peer tools: the tests hand our archives to them and theirs to us.
peers=(lhasa jlha-utils libarchive-tools 7zip cabextract gcab wimtools libwim-dev liblzma-dev xz-utils zip unzip)
# Headless windows, screenshots, the sanitizer runtime, the desktop-file validators.
tools=(xvfb xauth imagemagick clang libclang-rt-14-dev desktop-file-utils appstream)
# The Debian package: CPack's dependency scan, and its check.
deb=(dpkg-dev file lintian)

want=("${build[@]}")
case "${1:-}" in
  --test) want+=("${peers[@]}" "${tools[@]}") ;;
  --run) ;;
  --deb) want+=("${deb[@]}") ;;
  *) echo "usage: $0 --run|--test|--deb" >&2; exit 2 ;;
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
