#!/usr/bin/env bash
# Installs what is missing, then configures and builds Zamfu into build/.
# Run by scripts/editor and scripts/test; safe to run again.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${ZAMFU_BUILD_DIR:-$ROOT/build}"

PACKAGES=(cmake make g++ pkg-config qtbase5-dev qtbase5-dev-tools
          qttranslations5-l10n fonts-ipafont-gothic fonts-ipafont-mincho
          poppler-utils libbenchmark-dev libpng-dev libjpeg-dev zlib1g-dev
          dpkg-dev desktop-file-utils appstream shared-mime-info xdg-utils libglib2.0-bin
          librsvg2-bin clang-14 libclang-rt-14-dev)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
  else
    echo "Missing packages. Run as root:"
    echo "  apt-get update && apt-get install -y ${missing[*]}"
    exit 1
  fi
fi

cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZAMFU_TEST_HOOKS=ON ${ZAMFU_CMAKE_ARGS:-} >/dev/null
cmake --build "$BUILD" -j"$(nproc)"
