#!/usr/bin/env bash
# Two builds of the last commit, in two folders, at two times, under two time zones, locales and
# umasks, write the same bytes. Each TARGET:FILE names a make target and a file it writes, relative
# to the source folder; the file's SHA-256 must be the same after both builds.
# Usage: check_reproducible.sh REPOSITORY SCRATCH_DIR TARGET:FILE...
set -euo pipefail
repository=$1 scratch=$2
shift 2
pairs=("$@")
source "$(dirname "$0")/layout.sh"

commit=$(git -C "$repository" rev-parse HEAD)
if [ -n "$(git -C "$repository" status --porcelain)" ]; then
    echo "note: both builds are of $commit, without the changes not yet committed"
fi
rm -rf "$scratch"
mkdir -p "$scratch/locale"
# A locale that sorts, and writes numbers, unlike C.
localedef --quiet -c -i de_DE -f UTF-8 "$scratch/locale/de_DE.UTF-8"

# build FOLDER TZ LOCALE UMASK: clones the commit into FOLDER and makes each target there.
build() {
    local dir=$scratch/$1 pair
    git clone --quiet --no-checkout "$repository" "$dir"
    (
        umask "$4"
        git -C "$dir" checkout --quiet --detach "$commit"
        for pair in "${pairs[@]}"; do
            # Not the make that may have started this test: its job server is not ours.
            env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL TZ="$2" LC_ALL="$3" LOCPATH="$scratch/locale" \
                make -C "$dir" "${pair%%:*}" >>"$dir.log" 2>&1 \
                || { tail -n 40 "$dir.log" >&2; fail "make ${pair%%:*} failed in $dir"; }
        done
    )
}
build one UTC C 0022
build other/further/down Pacific/Kiritimati de_DE.UTF-8 0077

for pair in "${pairs[@]}"; do
    file=${pair#*:}
    sums=$(cd "$scratch" && sha256sum "one/$file" "other/further/down/$file")
    echo "$sums"
    [ "$(echo "$sums" | cut -d' ' -f1 | uniq | wc -l)" -eq 1 ] || fail "two builds, two $file"
done
rm -rf "$scratch"
