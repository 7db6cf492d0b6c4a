#!/usr/bin/env bash
# The metainfo's screenshot is a file of this repository, on the main branch, as software centres
# fetch it, and the width and height the metainfo gives are the picture's own.
# Usage: check_screenshot.sh SOURCE_DIR METAINFO
set -euo pipefail
source_dir=$1 metainfo=$2
branch=https://raw.githubusercontent.com/lmx2330a-calc/lmx2330a-calc/main/
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

image=$(grep -o '<image type="source"[^>]*>[^<]*</image>' "$metainfo") || fail "no source image"
url=$(sed 's/.*>\(.*\)<.*/\1/' <<<"$image")
[[ $url == "$branch"* ]] || fail "the screenshot is not on the main branch: $url"
file=$source_dir/${url#"$branch"}
[ -f "$file" ] || fail "the repository has no ${url#"$branch"}"
width=$(sed 's/.*width="\([0-9]*\)".*/\1/' <<<"$image")
height=$(sed 's/.*height="\([0-9]*\)".*/\1/' <<<"$image")
[[ $(file -b "$file") == "PNG image data, $width x $height,"* ]] \
    || fail "the metainfo says ${width}x$height, the picture is: $(file -b "$file")"
echo "screenshot ok: $url, $width x $height"
