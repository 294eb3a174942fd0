#!/usr/bin/env bash
# Configures the sources with the Unix Makefiles generator, CMake's default, in a scratch
# folder and builds the translations: Ninja makes the folders of a custom command's outputs,
# Make does not, so a build that only ever ran under Ninja can hide a missing folder.
set -euo pipefail
source=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cmake -S "$source" -B "$scratch" -G "Unix Makefiles" \
    -DMARIVEL_BUILD_TESTS=OFF -DMARIVEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$scratch" --target translations
[ -s "$scratch/share/marivel/translations/marivel_NLD.qm" ] || {
    echo "the translations were not built" >&2
    exit 1
}
