#!/bin/sh
# Runs golden_files on the PC and on the receiver's processor (under the emulator) and compares
# the folders they write byte for byte.
# Usage: compare_files.sh HOST_GOLDEN_FILES "EMULATOR ARGS" TARGET_GOLDEN_FILES OUTDIR
set -u
host=$1
emulator=$2
target=$3
out=$4
rm -rf "$out" && mkdir -p "$out/pc" "$out/receiver" || exit 1
if [ ! -x "$host" ]; then
    echo "compare_files: no PC build of golden_files at $host" >&2
    exit 1
fi
"$host" "$out/pc" >/dev/null || { echo "compare_files: the PC run failed" >&2; exit 1; }
# shellcheck disable=SC2086
$emulator "$target" "$out/receiver" >/dev/null || { echo "compare_files: the receiver run failed" >&2; exit 1; }
fail=0
for f in "$out/pc"/* "$out/receiver"/*; do
    name=$(basename "$f")
    if [ ! -f "$out/pc/$name" ] || [ ! -f "$out/receiver/$name" ]; then
        echo "compare_files: $name is written by one build only" >&2
        fail=1
    elif ! cmp "$out/pc/$name" "$out/receiver/$name" >&2; then
        fail=1
    fi
done
[ $fail = 0 ] && echo "compare_files: $(ls "$out/pc" | wc -l) files identical: $(ls "$out/pc" | tr '\n' ' ')"
exit $fail
