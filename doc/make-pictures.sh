#!/usr/bin/env bash
# Makes the README's pictures from the real outputs beside the repository: the energy profile of
# a relaxed scan and the infrared spectrum of a frequency run, drawn by kru plot and rendered to
# PNG by rsvg-convert (Debian librsvg2-bin). Run from anywhere after building kru:
#   doc/make-pictures.sh [path/to/kru]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
kru=$(realpath "${1:-$here/../build/kru}")
realdata=${KRU_REALDATA:-$here/../../shared/realdata}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Names without folders, so the pictures' titles are the file names.
cp "$realdata/Gaussian/dvb_scan_relaxed.log" "$realdata/ORCA/dvb_ir.out" "$work/"
cd "$work"
"$kru" plot dvb_scan_relaxed.log --what energy energy-profile.svg
"$kru" plot dvb_ir.out --what ir ir-spectrum.svg
for picture in energy-profile ir-spectrum; do
    rsvg-convert --format=png -o "$here/images/$picture.png" "$picture.svg"
done
echo "written: $here/images/energy-profile.png $here/images/ir-spectrum.png"
