#!/usr/bin/env bash
# The Debian packages as an administrator meets them: made by cpack from
# this build, checked by lintian (no errors), installed with apt-get, the
# installed dedicated host announcing itself to the installed lobby on
# loopback (both run as the packages' system user), and removed again
# without leaving a file. Needs root; exits 77 (skipped) when either package
# was installed before, so a machine's own copy is never touched.
set -euo pipefail
cd "$1"
packages=(voidrake2 voidrake2-server)
if dpkg-query -W -f='${Status}\n' "${packages[@]}" 2>/dev/null | grep -q "ok installed"; then
  echo "skipped: voidrake2 is installed on this machine"
  exit 77
fi
rm -f voidrake2_*.deb voidrake2-server_*.deb
timeout 400 cpack -G DEB >cpack.log 2>&1 || { tail -20 cpack.log; exit 1; }
timeout 120 lintian --fail-on error voidrake2_*.deb voidrake2-server_*.deb

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  apt-get remove --purge -y -q "${packages[@]}" >/dev/null 2>&1 || true
}
trap cleanup EXIT
export DEBIAN_FRONTEND=noninteractive
timeout 150 apt-get install -y -q -o DPkg::Lock::Timeout=120 --no-install-recommends \
  ./voidrake2_*.deb ./voidrake2-server_*.deb >apt.log 2>&1 || { tail -20 apt.log; exit 1; }
getent passwd voidrake2 >/dev/null

list() {  # the installed lobby's list
  exec 3<>"/dev/tcp/127.0.0.1/$1"
  printf 'GET /LobbyServer/request.php?request=servers HTTP/1.0\r\n\r\n' >&3
  cat <&3
  exec 3<&-
}
until_true() {  # up to 10 s
  for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done
  return 1
}
out=$(mktemp -d)
chmod 755 "$out"
runuser -u voidrake2 -- /usr/bin/voidrake2-lobby --port 0 >"$out/lobby" 2>&1 &
pids+=($!)
until_true grep -q "listening on" "$out/lobby"
port=$(sed -n 's/.*listening on 127.0.0.1:\([0-9]*\).*/\1/p' "$out/lobby")
runuser -u voidrake2 -- /usr/bin/voidrake2-dedicated --port 60170 --name Packaged \
  --master "127.0.0.1:$port" >"$out/host" 2>&1 &
host=$!
pids+=($host)
listed() { [[ $(list "$port") == *'name="Packaged"'* ]]; }
gone() { [[ $(list "$port") == *'<response>'* && $(list "$port") != *'<server '* ]]; }
until_true listed ||
  { echo "the installed host was never listed"; cat "$out/host" "$out/lobby"; exit 1; }
kill -TERM "$host"
wait "$host" || true  # runuser reports the signal it passed on
until_true gone ||
  { echo "the stopped host stayed listed"; exit 1; }

timeout 150 apt-get remove --purge -y -q -o DPkg::Lock::Timeout=120 "${packages[@]}" >apt.log 2>&1 || { tail -20 apt.log; exit 1; }
left=$(ls /usr/bin/voidrake2* /usr/share/voidrake2 /usr/lib/systemd/system/voidrake2* \
  /usr/share/doc/voidrake2* 2>/dev/null || true)
[ -z "$left" ] || { echo "left after removal: $left"; exit 1; }
echo "1 passed, 0 failed"
