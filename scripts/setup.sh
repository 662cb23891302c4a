#!/usr/bin/env bash
# Installs what the suite needs to build and test, with apt-get, when it is
# missing. Quiet and quick when everything is there.
# Usage: setup.sh [PACKAGE...]
set -euo pipefail

packages=(
  cmake ninja-build g++ ccache
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  libfftw3-dev libmseed-dev pkg-config
  clang-14 libclang-rt-14-dev clang-format-14
  xvfb xauth fonts-wqy-microhei fonts-arphic-uming
  g++-mingw-w64-x86-64-posix clang-tidy-14
  libxlsxwriter-dev unzip poppler-utils lld
)
# Packages named on the command line are checked instead (the packaging
# scripts' own tools).
if (($#)); then
  packages=("$@")
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" != 0 ]; then sudo=sudo; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
