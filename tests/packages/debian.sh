#!/usr/bin/env bash
# What a Linux user downloads, checked on the packages themselves: the
# Debian package's files, version and dependencies (dpkg-deb), lintian
# without errors, and the program unpacked from it into a throw-away root
# (the files dpkg would install) listing the sample's instances; the
# tarball holds the same program.
#   debian.sh DEB TARBALL VERSION SAMPLE
set -euo pipefail
deb=$(realpath "$1") tarball=$(realpath "$2") version=$3 sample=$(realpath "$4")

failures=0
check() {  # check WHAT COMMAND...: one line per check, "ok" or "FAILED"
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
same() { [ "$1" = "$2" ] || { echo "  got '$1', expected '$2'"; return 1; }; }
has_line() { grep -qxF -- "$1" <<<"$2" || { echo "  '$1' is not among the lines"; return 1; }; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in bin/varnok share/applications/varnok.desktop share/mime/packages/varnok.xml share/man/man1/varnok.1.gz \
  share/icons/hicolor/scalable/apps/varnok.svg share/icons/hicolor/48x48/apps/varnok.png share/doc/varnok/copyright; do
  check "the package holds /usr/$f" has_line "./usr/$f" "$files"
done
check "the package's version is $version" same "$(dpkg-deb -f "$deb" Version)" "$version"
depends=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//')
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
  check "it depends on $lib" has_line "$lib" "$depends"
done

status=0
lintian --fail-on error "$deb" >"$work/lintian" 2>&1 || status=$?
sed 's/^/  lintian: /' "$work/lintian"
check "lintian finds no errors" [ "$status" -eq 0 ]

dpkg-deb -x "$deb" "$work/root"
varnok=$work/root/usr/bin/varnok
check "the installed varnok has the version" same "$("$varnok" --version)" "varnok $version"
# The sample's extensions, in file order, from its [ADDITION] sections' NAME lines.
expected=$(grep -A1 -a '^\[ADDITION\]' "$sample" | sed -n 's/^NAME [^ ]* \([^ ]*\).*/\1/p' | tr -d '\r')
check "the installed varnok lists the sample's $(wc -l <<<"$expected") instances" \
  same "$("$varnok" list "$sample" | awk 'NR > 1 {print $2}')" "$expected"

tar -xzf "$tarball" -C "$work"
check "the tarball's program is the package's" cmp "$work/varnok-$version-linux-$(uname -m)/bin/varnok" "$varnok"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
