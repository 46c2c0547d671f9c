#!/bin/sh
# Merges the cheque's front (tmp-front.jpg) and back (tmp-back.jpg) of this folder into one
# picture, the front above the back, and writes it over the front image file $1. The output
# format follows $1's extension (.jpg/.jpeg, .tif/.tiff, .png, .gif). The inputs may be JPEG or
# TIFF. On any failure $1 is left as it was.
set -u
[ $# -eq 1 ] || { echo "usage: CombinePics.sh FRONT-IMAGE-FILE" >&2; exit 2; }
here=$(dirname "$0")
PATH="$here:$PATH"
target=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/combine.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT

to_pnm() {
    jpegtopnm -quiet "$1" >"$2" 2>/dev/null && [ -s "$2" ] && return 0
    tifftopnm -quiet "$1" >"$2" 2>/dev/null && [ -s "$2" ] && return 0
    return 1
}

to_pnm "$here/tmp-front.jpg" "$work/front.pnm" || exit 1
to_pnm "$here/tmp-back.jpg" "$work/back.pnm" || exit 1
pnmcat -quiet -tb -jleft -white "$work/front.pnm" "$work/back.pnm" >"$work/both.pnm" || exit 1

case $(printf '%s' "$target" | tr 'A-Z' 'a-z') in
    *.tif | *.tiff) pnmtotiff -quiet "$work/both.pnm" >"$work/out" ;;
    *.png) pnmtopng -quiet "$work/both.pnm" >"$work/out" ;;
    *.gif) pnmquant -quiet 256 "$work/both.pnm" | ppmtogif -quiet >"$work/out" ;;
    *) pnmtojpeg -quiet "$work/both.pnm" >"$work/out" ;;
esac
[ $? -eq 0 ] && [ -s "$work/out" ] || exit 1
# Replace the front image in one step, so a reader of the file never sees half a picture.
cp -f "$work/out" "$target.part" && mv -f "$target.part" "$target"
