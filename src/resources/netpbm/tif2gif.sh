#!/bin/sh
# Converts the scanned cheque image $1 (TIFF as the reader sends it) into the GIF preview $2
# that the full-details dialog shows. Uses the netpbm tools of this folder when they are here,
# otherwise the system's. Exits non-zero and leaves no partial $2 when the conversion fails.
set -u
[ $# -eq 2 ] || { echo "usage: tif2gif.sh IN.tif OUT.gif" >&2; exit 2; }
here=$(dirname "$0")
PATH="$here:$PATH"
in=$1
out=$2
tmp="$out.part"
trap 'rm -f "$tmp"' EXIT
# pnmquant keeps at most the 256 colours GIF can hold; a black-and-white scan passes unchanged.
if tifftopnm -quiet "$in" | pnmquant -quiet 256 | ppmtogif -quiet >"$tmp" && [ -s "$tmp" ]; then
    mv -f "$tmp" "$out"
else
    exit 1
fi
