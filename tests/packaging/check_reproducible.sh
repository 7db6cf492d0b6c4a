#!/usr/bin/env bash
# Usage: check_reproducible.sh REPOSITORY SCRATCH_DIR TARGET:FILE...
# Two builds of the last commit, in two folders, at two times, under two time zones, locales and
# umasks, make each TARGET write its FILE (a path in the source folder) with the same bytes.
set -euo pipefail
repository=$1 scratch=$(realpath -m "$2")
rm -rf "$scratch" && mkdir -p "$scratch/locale"
localedef --quiet -c -i de_DE -f UTF-8 "$scratch/locale/de_DE.UTF-8"
build() { # FOLDER TZ LOCALE UMASK TARGET:FILE..., without the job server of any make above
    umask "$4" && git -c advice.detachedHead=false clone --quiet "$repository" "$scratch/$1"
    cd "$scratch/$1" && export TZ=$2 LC_ALL=$3 LOCPATH=$scratch/locale && shift 4
    env -u MAKEFLAGS -u MAKELEVEL make "${@%%:*}" >log 2>&1 || { tail -n 40 log && exit 1; }
}
(build one UTC C 0022 "${@:3}")
(build other/further/down Pacific/Kiritimati de_DE.UTF-8 0077 "${@:3}")
for pair in "${@:3}"; do
    (cd "$scratch" && sha256sum {one,other/further/down}/"${pair#*:}") | tee "$scratch/sums"
    [ "$(cut -d' ' -f1 "$scratch/sums" | uniq | wc -l)" -eq 1 ]
done
