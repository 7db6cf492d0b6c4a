#!/usr/bin/env bash
# The Debian package carries the program and its desktop files under /usr, depends on Debian's
# Qt 6 libraries, and apt would install it here.
# Usage: check_deb.sh PACKAGE.deb SCRATCH_DIR APP_ID VERSION
set -euo pipefail
deb=$1 scratch=$2 id=$3 version=$4
source "$(dirname "$0")/layout.sh"

rm -rf "$scratch"
mkdir -p "$scratch"
dpkg-deb -x "$deb" "$scratch"
[ -z "$(ls -A "$scratch" | grep -vx usr)" ] || fail "the package installs outside /usr"
check_layout "$scratch/usr" "$id" "$version"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = lmx2330a-calc ] || fail "package name: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "version: $(field Version), not $version"
[ "$(field Section)" = electronics ] || fail "section: $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no maintainer"
# The package names in a relation field, one a line, without their versions.
names() { field "$1" | tr ',|' '\n\n' | sed 's/^ *//; s/[ (].*//'; }
depends=$(field Depends)
for package in libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 libstdc++6 libc6; do
    names Depends | grep -xF "$package" >/dev/null || fail "Depends lacks $package: $depends"
done
for package in fonts-liberation qt6-wayland; do
    names Recommends | grep -xF "$package" >/dev/null \
        || fail "Recommends lacks $package: $(field Recommends)"
done

# What `apt-get install ./file.deb` would do, without doing it: every dependency must resolve.
case $deb in
/*) path=$deb ;;
*) path=./$deb ;;
esac
apt-get install --simulate --no-install-recommends "$path" >"$scratch.apt.log" 2>&1 || {
    cat "$scratch.apt.log" >&2
    fail "apt would not install $deb"
}
grep -q '^Inst lmx2330a-calc ' "$scratch.apt.log" || fail "apt would not install lmx2330a-calc"
echo "package ok: Depends: $depends"
