#!/usr/bin/env bash
# An install of the build into a scratch prefix puts every file where it belongs.
# Usage: check_install.sh BUILD_DIR SCRATCH_PREFIX APP_ID VERSION
set -euo pipefail
build=$1 prefix=$2 id=$3 version=$4
source "$(dirname "$0")/layout.sh"

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix"
check_layout "$prefix" "$id" "$version"
echo "install layout ok"
