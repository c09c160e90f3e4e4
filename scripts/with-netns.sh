#!/usr/bin/env bash
# Runs a command inside a private network namespace with only loopback up,
# so nothing a test sends can leave the machine. The LAN search address is
# the loopback broadcast there.
set -uo pipefail

export VOIDRAKE_LAN_ADDRESS=127.255.255.255
if [ "${VOIDRAKE_IN_NETNS:-0}" = 1 ]; then
  ip link set lo up
  exec "$@"
fi
export VOIDRAKE_IN_NETNS=1
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo -E"
exec $SUDO unshare -n "$0" "$@"
