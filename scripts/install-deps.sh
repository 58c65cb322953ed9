#!/usr/bin/env bash
# Installs everything a fresh Debian 12 machine needs to build, test and benchmark both programs.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

PACKAGES=(
  # toolchain
  build-essential cmake ninja-build pkg-config git
  clang libclang-rt-14-dev
  # Qt 6 and X11
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev
  libx11-dev libxtst-dev libxext-dev
  # tests
  googletest libgtest-dev libgmock-dev
  xvfb xauth x11-utils openbox fonts-dejavu-core
  iproute2 util-linux netbase procps
  # test servers
  vsftpd python3 python3-pyftpdlib nginx-light tinyproxy
  # peers for benchmarks
  curl lftp python3-minimal enscript
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The packaged servers start themselves on install; the tests run their own copies.
for svc in vsftpd nginx tinyproxy; do
  $SUDO systemctl disable --now "$svc" >/dev/null 2>&1 || $SUDO service "$svc" stop >/dev/null 2>&1 || true
done
