#!/usr/bin/env bash
# Usage: check_reproducible.sh SOURCE_TREE SCRATCH_DIR TARGET:FILE...
# Two builds of the tree being edited (the files git tracks, as they are now), in two folders, at
# two times, under two time zones, locales and umasks, make each TARGET write its FILE (a path in
# the source folder) with the same bytes. Only the targets are built: no tests run in the copies.
set -euo pipefail
source_tree=$1 scratch=$(realpath -m "$2")
rm -rf "$scratch" && mkdir -p "$scratch/locale"
localedef --quiet -c -i de_DE -f UTF-8 "$scratch/locale/de_DE.UTF-8"

# The tree as it is now, committed on top of HEAD in a scratch clone with HEAD's time, which the
# builds stamp their files with, as a build in the tree itself does. Nothing is written to the
# tree's own repository.
edited=$scratch/edited
git clone --quiet --no-checkout "$source_tree" "$edited"
cp "$(git -C "$source_tree" rev-parse --path-format=absolute --git-path index)" "$edited/.git/index"
edited_git() { git --git-dir="$edited/.git" --work-tree="$source_tree" "$@"; }
edited_git add --update
tree=$(edited_git write-tree)
if [ "$tree" != "$(edited_git rev-parse 'HEAD^{tree}')" ]; then
    time="$(edited_git log -1 --format=%ct) +0000"
    commit=$(GIT_AUTHOR_NAME=edits GIT_AUTHOR_EMAIL=edits@localhost GIT_AUTHOR_DATE=$time \
        GIT_COMMITTER_NAME=edits GIT_COMMITTER_EMAIL=edits@localhost GIT_COMMITTER_DATE=$time \
        edited_git commit-tree "$tree" -p HEAD -m "Uncommitted edits")
    edited_git update-ref HEAD "$commit"
fi

build() { # FOLDER TZ LOCALE UMASK TARGET:FILE..., without the job server of any make above
    umask "$4" && git -c advice.detachedHead=false clone --quiet "$edited" "$scratch/$1"
    cd "$scratch/$1" && export TZ=$2 LC_ALL=$3 LOCPATH=$scratch/locale && shift 4
    env -u MAKEFLAGS -u MAKELEVEL make "${@%%:*}" >log 2>&1 || { tail -n 40 log && exit 1; }
}
(build one UTC C 0022 "${@:3}")
(build other/further/down Pacific/Kiritimati de_DE.UTF-8 0077 "${@:3}")
for pair in "${@:3}"; do
    (cd "$scratch" && sha256sum {one,other/further/down}/"${pair#*:}") | tee "$scratch/sums"
    [ "$(cut -d' ' -f1 "$scratch/sums" | uniq | wc -l)" -eq 1 ]
done
