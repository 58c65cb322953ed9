#!/usr/bin/env bash
# Installs what the tests and benchmarks need beyond the build: test frameworks, the real
# servers the fixtures start as our own processes on ephemeral ports, a virtual X server,
# sanitizer and fuzzing tools, and the peer tools the benchmarks measure against.
set -euo pipefail
cd "$(dirname "$0")"
bash ./install-deps.sh
PACKAGES=(
  git
  # tests
  googletest libgtest-dev libgmock-dev
  clang libclang-rt-14-dev
  xvfb xauth x11-utils openbox
  iproute2 util-linux procps
  # test servers and tools the fixtures use
  vsftpd python3 python3-pyftpdlib python3-openssl nginx-light tinyproxy openssl
  poppler-utils python3-html5lib
  openssh-server openssh-client gnome-keyring dbus-daemon dbus-bin
  # checks of the Debian packages
  lintian desktop-file-utils appstream
  # peers for benchmarks
  curl lftp python3-minimal enscript ghostscript xdotool python3-pygments tidy
)
bash ./apt-install.sh "${PACKAGES[@]}"
