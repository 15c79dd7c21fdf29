#!/usr/bin/env bash
# Installs what building and testing need, when it is missing (Debian 12, as root).
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev libxcb1-dev clang libclang-rt-14-dev
          # the icon theme the windows fall back on, and Qt's SVG icon engine
          # and image format that draw it and our own pictures
          breeze-icon-theme libqt6svg6
          # pdftotext, with which the report test reads what was printed
          poppler-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
