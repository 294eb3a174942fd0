#!/usr/bin/env bash
# Installs the build into a scratch root, as a package would, and checks that the installed
# programs stand on their own: the files a desktop needs are there, and the converter reaches
# device files through the installation's librapi, not the build's.
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root/image" cmake --install "$build" >/dev/null
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
installed="$root/image$prefix"

fail() { echo "$*" >&2; exit 1; }
for file in bin/marivel bin/marivel-convert bin/marivel-update \
    share/applications/marivel.desktop share/mime/packages/marivel.xml \
    share/icons/hicolor/16x16/apps/marivel.png share/icons/hicolor/256x256/apps/marivel.png \
    share/icons/hicolor/scalable/apps/marivel.svg share/man/man1/marivel.1.gz \
    share/man/man1/marivel-convert.1.gz share/man/man1/marivel-update.1.gz \
    share/bash-completion/completions/marivel-convert \
    share/bash-completion/completions/marivel-update share/doc/marivel/README.md \
    share/doc/marivel/docs/user-guide.md share/doc/marivel/copyright \
    share/doc/marivel/changelog.gz \
    share/metainfo/com.orviksoftware.Marivel.metainfo.xml \
    share/marivel/sites/timezones/index.xml share/marivel/translations/marivel_NLD.qm; do
    [ -s "$installed/$file" ] || fail "not installed: $file"
done
ls "$installed"/lib*/marivel/librapi.so >/dev/null || fail "librapi is not installed"
ls "$installed"/lib*/marivel/plugins/marivel_openstreetmap.so >/dev/null \
    || fail "the plugins are not installed"
ls "$installed"/lib*/marivel/plugins/marivel_example.so >/dev/null 2>&1 \
    && fail "the example plugin, which is for plugin writers, is installed"
# No address a user meets leads nowhere: nothing installed names one under the reserved
# ".example" domain (the programs keep their texts in UTF-16, so that spelling too).
placeholders=$(grep -rlaP '\.example\b|\.\x00e\x00x\x00a\x00m\x00p\x00l\x00e\x00' "$installed") \
    && fail "placeholder addresses in: $placeholders"
grep -q '^Exec=marivel %F$' "$installed/share/applications/marivel.desktop" \
    || fail "the menu entry does not start marivel"
zgrep -q 'or:  marivel-convert' "$installed/share/man/man1/marivel-convert.1.gz" \
    && fail "the manual page shows the help's continuation lines as text"

# What software centres and desktops read must pass their own checks.
checked=$(appstreamcli validate-tree --no-net "$installed" 2>&1) || fail "$checked"
checked=$(desktop-file-validate "$installed/share/applications/marivel.desktop" 2>&1) \
    && [ -z "$checked" ] || fail "$checked"

if command -v update-mime-database >/dev/null; then
    XDG_DATA_DIRS="$installed/share" update-mime-database "$installed/share/mime" 2>&1 | grep . \
        && fail "the MIME types do not parse"
    grep -qxF 'application/x-ov2-poi:*.ov2' "$installed/share/mime/globs" \
        || fail "no MIME type for *.ov2"
fi

# Nothing of the build may be reachable: a home of its own, and the build folder out of sight.
export HOME="$root/home" XDG_CONFIG_HOME="$root/home/.config" XDG_DATA_HOME="$root/home/.local/share"
unset MARIVEL_HOME MARIVEL_RAPI_LIBRARY MARIVEL_CONFIG_DIR
mkdir -p "$root/device" "$HOME"
printf '4.5,52.5,"Harbour"\n' >"$root/in.asc"
"$installed/bin/marivel-convert" "$root/in.asc" "$root/device/poi.ov2"
MARIVEL_DEVICE_ROOT="$root/device" "$installed/bin/marivel-convert" 'MOBILE://\poi.ov2' \
    "$root/out.asc" || fail "the installed converter does not reach the device"
grep -q Harbour "$root/out.asc" || fail "the device file did not come through"
"$installed/bin/marivel-convert" --list-formats | grep -q '^w.ttov2' || fail "no formats listed"
"$installed/bin/marivel" --help | grep -q '^Usage: marivel' || fail "marivel --help fails"

# The shipped site works from wherever the installation is moved to.
cp -a "$installed" "$root/moved"
MARIVEL_CONFIG_DIR="$root/moved-config" "$root/moved/bin/marivel-update" subscribe \
    "FILE://$root/moved/share/marivel/sites/timezones/index.xml" "Europe time-zone cities" \
    "$root/moved zones.ov2" >/dev/null
MARIVEL_CONFIG_DIR="$root/moved-config" "$root/moved/bin/marivel-update" run >/dev/null \
    || fail "the shipped site does not work in a moved installation"
[ -s "$root/moved zones.ov2" ] || fail "the moved installation's site wrote nothing"
rm -rf "$root/moved" "$root/moved-config" "$root/moved zones.ov2"

# Completion offers the writable format ids after --to, from the installed converter.
completion=/usr/share/bash-completion/bash_completion
if [ -f "$completion" ]; then
    offered=$(PATH="$installed/bin:$PATH" bash -c "source $completion
        source '$installed/share/bash-completion/completions/marivel-convert'
        COMP_WORDS=(marivel-convert --to ge); COMP_CWORD=2
        COMP_LINE='marivel-convert --to ge'; COMP_POINT=\${#COMP_LINE}
        _marivel_convert marivel-convert ge --to; echo \${COMPREPLY[*]}")
    [ "$offered" = "genasc gengpx genkml geojson genkmz" ] || fail "completion after --to ge offers: $offered"
    # marivel-update's completion offers the targets of the subscriptions to unsubscribe.
    site="FILE://$installed/share/marivel/sites/timezones/index.xml"
    "$installed/bin/marivel-update" subscribe "$site" "Europe time-zone cities" \
        "$root/my zones.ov2" >/dev/null
    offered=$(PATH="$installed/bin:$PATH" bash -c "source $completion
        source '$installed/share/bash-completion/completions/marivel-update'
        COMP_WORDS=(marivel-update unsubscribe ''); COMP_CWORD=2
        COMP_LINE='marivel-update unsubscribe '; COMP_POINT=\${#COMP_LINE}
        _marivel_update marivel-update '' unsubscribe; echo \${COMPREPLY[*]}")
    [ "$offered" = "FILE://$root/my zones.ov2" ] \
        || fail "completion after unsubscribe offers: $offered"
fi
