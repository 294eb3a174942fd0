#!/usr/bin/env bash
# Fails, naming the texts, when a text of the current sources has no finished translation in a
# translation file: a new text, a changed one, or one left unfinished. The committed files
# are not touched; scripts/update-translations runs on copies of them.
set -euo pipefail
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The source text of each message whose translation is unfinished, one per line.
unfinished() {
    awk '/<source>/ { source = "" ; inside = 1 }
         inside { source = source (source == "" ? "" : "\\n") $0 }
         /<\/source>/ { inside = 0 }
         /<translation type="unfinished"/ {
             sub(/^ *<source>/, "", source); sub(/<\/source>.*$/, "", source); print "  " source
         }' "$1"
}

status=0
for ts in "$root"/translations/*.ts; do
    copy="$work/$(basename "$ts")"
    cp "$ts" "$copy"
    "$root/scripts/update-translations" "$copy"
    missing=$(unfinished "$copy")
    if [ -n "$missing" ]; then
        echo "$(basename "$ts") has no finished translation of:" >&2
        echo "$missing" >&2
        status=1
    fi
done
[ $status -eq 0 ] || echo "Run scripts/update-translations and translate these entries." >&2
exit $status
