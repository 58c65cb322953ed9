#!/usr/bin/env bash
# Installs the link-check benchmark's peers, which the tests do not need: Debian's linkchecker,
# and linkinator from npm (the newest release npm installs for this machine's node). A node
# that is already installed is used as it is: Debian's npm conflicts with other builds of node.
set -euo pipefail
apt_install="$(cd "$(dirname "$0")/../../scripts" && pwd)/apt-install.sh"
bash "$apt_install" linkchecker
command -v npm >/dev/null || bash "$apt_install" nodejs npm
command -v linkinator >/dev/null || npm install --global --no-audit --no-fund linkinator >/dev/null
