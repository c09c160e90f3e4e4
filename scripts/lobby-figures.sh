#!/usr/bin/env bash
# The lobby's figures under load and abuse: list latency alone and with 1000
# slow sockets held open, list requests per second for a 256-row list (wrk),
# and memory under a 200 MB header flood. Runs itself inside a private
# network namespace; needs a Release build (build/).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${VOIDRAKE_IN_NETNS:-0}" != 1 ]; then exec ./scripts/with-netns.sh "$0" "$@"; fi

ulimit -n 8192
port=8080
bench=build/bench/bench_lobby
url="http://127.0.0.1:$port/LobbyServer/request.php?request=servers"
build/lobby/voidrake2-lobby --port $port --max-per-address 256 >/dev/null &
lobby=$!
trap 'kill $lobby 2>/dev/null || true' EXIT
sleep 0.5
rss() { grep -E "$1" /proc/$lobby/status | tr -s ' \t' ' '; }

$bench $port fill 256
$bench $port latency 2000
$bench $port slow 2000
echo "after the slow sockets: $(rss VmRSS)"
wrk -t1 -c8 -d10s "$url" | grep -E "Requests/sec|Latency|requests in|Non-2xx|Socket errors"
echo "before the header flood: $(rss VmRSS)"
$bench $port headers 200 4
echo "after the header flood: $(rss VmRSS); peak: $(rss VmHWM)"
$bench $port latency 200
