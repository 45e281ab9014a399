#!/usr/bin/env bash
# run-unprivileged.sh [--reads PATH]... [--with FILE]... SUITE [ARGUMENT...]
#
# Runs the test program SUITE as the unprivileged system user kestrel-test
# (created when missing). Root writes into read-only folders and reads
# unreadable files, so the checks of those paths skip when the tests run as
# root; this runs them for real.
#
# The user gets a private copy of SUITE, of the shared libraries beside it and
# of each FILE given with --with (a program the suite starts from its own
# folder), so the build folder need not be open to it; and a home, XDG folders
# and a TMPDIR of its own. Each PATH given with --reads (files the suite reads
# where they stand, such as the source tree) must be readable by the user:
# when it is not, the run fails saying so rather than failing inside a test.
#
# Not run as root, the suite ran unprivileged already: exits 77 (skipped).
set -euo pipefail

user=kestrel-test
reads=() with=()
while [ $# -gt 0 ]; do
  case "$1" in
    --reads) reads+=("$2"); shift 2 ;;
    --with) with+=("$2"); shift 2 ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] || { echo "usage: $0 [--reads PATH]... [--with FILE]... SUITE [ARGUMENT...]" >&2; exit 2; }
suite=$1
shift
name=$(basename "$suite")

if [ "$(id -u)" -ne 0 ]; then
  echo "run-unprivileged: not root, so $name ran unprivileged already; skipped"
  exit 77
fi

# ctest runs several of these at once: one useradd at a time.
exec 9<"$0"
flock 9
if ! id -u "$user" >/dev/null 2>&1; then
  useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin \
          --user-group "$user"
fi
flock -u 9
exec 9<&-
uid=$(id -u "$user")
gid=$(id -g "$user")

as_user() {
  setpriv --reuid="$uid" --regid="$gid" --clear-groups --no-new-privs "$@"
}

for path in "${reads[@]}"; do
  if ! as_user test -r "$path"; then
    echo "run-unprivileged: $user cannot read $path; give others read access to it and" \
         "the folders above it, or build from a checkout they can read" >&2
    exit 1
  fi
done

work=$(mktemp -d -t kestrel-unprivileged.XXXXXX)
trap 'rm -rf "$work"' EXIT
chmod 0711 "$work"
mkdir -p "$work/bin" "$work/home/.config" "$work/home/.local/share" "$work/home/.cache" \
         "$work/tmp" "$work/runtime"
cp "$suite" "${with[@]}" "$work/bin/"
find "$(dirname "$suite")" -maxdepth 1 -name '*.so*' -exec cp -t "$work/bin/" {} +
chmod -R a+rX "$work/bin"
chown -R "$uid:$gid" "$work/home" "$work/tmp" "$work/runtime"
chmod 0700 "$work/home" "$work/tmp" "$work/runtime"

echo "run-unprivileged: $name as $user (uid $uid)"
cd "$work/home"
status=0
as_user env -i PATH=/usr/local/bin:/usr/bin:/bin LANG="${LANG:-C.UTF-8}" \
  HOME="$work/home" TMPDIR="$work/tmp" XDG_RUNTIME_DIR="$work/runtime" \
  XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
  XDG_CACHE_HOME="$work/home/.cache" QT_QPA_PLATFORM=offscreen \
  "$work/bin/$name" "$@" || status=$?
exit "$status"
