# Sourced by the install and package checks: check_layout PREFIX APP_ID VERSION fails unless
# PREFIX holds the program, its three desktop files, each where a desktop looks for it, named by
# APP_ID, its copyright file, changelog and manual page, and nothing else.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

check_layout() {
    local prefix=$1 id=$2 version=$3
    local expected actual
    expected=$(printf '%s\n' bin/lmx2330a-calc "share/applications/$id.desktop" \
        "share/icons/hicolor/scalable/apps/$id.svg" "share/metainfo/$id.metainfo.xml" \
        share/doc/lmx2330a-calc/copyright share/doc/lmx2330a-calc/changelog.gz \
        share/man/man1/lmx2330a-calc.1.gz | sort)
    actual=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort)
    if [ "$actual" != "$expected" ]; then
        diff <(echo "$expected") <(echo "$actual") >&2 || true
        fail "$prefix does not hold exactly the expected files (< expected, > found)"
    fi
    [ -x "$prefix/bin/lmx2330a-calc" ] || fail "bin/lmx2330a-calc is not executable"

    # The three files must point at each other by the same id, or the desktop shows no icon and
    # software centres find no program.
    local desktop="$prefix/share/applications/$id.desktop"
    local metainfo="$prefix/share/metainfo/$id.metainfo.xml"
    grep -qx "Exec=lmx2330a-calc" "$desktop" || fail "the desktop entry does not run lmx2330a-calc"
    grep -qx "Icon=$id" "$desktop" || fail "the desktop entry's icon is not $id"
    grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo's id is not $id"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" \
        || fail "the metainfo does not launch $id.desktop"
    grep -q "<release version=\"$version\"" "$metainfo" \
        || fail "the metainfo has no release $version, the project's version"
    local latest
    latest=$(gzip -dc "$prefix/share/doc/lmx2330a-calc/changelog.gz" | head -n 1)
    [[ $latest == "lmx2330a-calc ($version) "* ]] \
        || fail "the changelog's latest entry is not the project's version $version: $latest"

    # The tree as a software centre reads it: the metainfo, and the desktop entry it launches.
    appstreamcli validate-tree --no-net "$prefix" || fail "appstreamcli rejects $prefix"
}
