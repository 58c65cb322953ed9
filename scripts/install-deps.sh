#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine needs to build and run both programs, nothing more.
# The tests and benchmarks install their servers and peer tools with install-test-deps.sh.
set -euo pipefail
cd "$(dirname "$0")"
PACKAGES=(
  # toolchain
  build-essential cmake ninja-build pkg-config
  # Debian packages: build flags, dependencies computed from the binaries
  dpkg-dev file
  # Qt 6, X11 (keyboard macros), TLS
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev
  libx11-dev libxtst-dev libxext-dev
  libssl-dev ca-certificates
  # SFTP and the desktop keyring
  libssh-dev qtkeychain-qt6-dev
  # icons and a font for the windows
  adwaita-icon-theme fonts-dejavu-core
  # name look-ups (/etc/services, /etc/protocols)
  netbase
)
bash ./apt-install.sh "${PACKAGES[@]}"
