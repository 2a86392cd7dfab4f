#!/usr/bin/env bash
# Installs what building kru needs on a Debian or Ubuntu machine, and with --tests what its tests
# need too; packages already there are left alone. Run as root, or with sudo at hand.
set -euo pipefail

packages=(cmake g++ make zlib1g-dev libcli11-dev)
if [ "${1:-}" = "--tests" ]; then
    # librsvg2-bin: rsvg-convert renders the pictures the tests look at.
    packages+=(libgtest-dev nlohmann-json3-dev librsvg2-bin)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi
echo "install-deps.sh: installing ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq "${missing[@]}"
