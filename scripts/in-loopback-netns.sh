#!/usr/bin/env bash
# Runs a command in a private network namespace that has only loopback, so no test traffic
# can leave the machine and no name look-up reaches an outside name server.
set -euo pipefail
if [ "$(id -u)" -eq 0 ]; then
  exec unshare --net -- bash -c 'ip link set lo up && exec "$@"' netns "$@"
else
  exec unshare --map-root-user --net -- bash -c 'ip link set lo up && exec "$@"' netns "$@"
fi
