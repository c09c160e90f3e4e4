#!/usr/bin/env bash
# The lobby's figures under load and abuse: list latency alone and with
# 10,000 slow sockets held open (4 per address), list requests per second
# for a 256-row list (wrk, 64 connections) with the in-process table and
# with the Redis store side by side, the time a game takes to show in a
# second lobby sharing the store, and memory under a 200 MB header flood.
# Runs itself inside a private network namespace, with its own redis-server
# on 127.0.0.1; needs a Release build (build/).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${VOIDRAKE_IN_NETNS:-0}" != 1 ]; then exec ./scripts/with-netns.sh "$0" "$@"; fi

ulimit -n "$(ulimit -Hn)"
bench=build/bench/bench_lobby
lobby=build/lobby/voidrake2-lobby
url() { echo "http://127.0.0.1:$1/LobbyServer/request.php?request=servers"; }
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT
redis-server --port 6390 --bind 127.0.0.1 --save '' --appendonly no >/dev/null &
pids+=($!)
$lobby --port 8080 --max-per-address 512 2>/dev/null &
local=$!
pids+=($!)
for port in 8081 8082; do
  $lobby --port $port --max-per-address 512 --store redis://127.0.0.1:6390 2>/dev/null &
  pids+=($!)
done
sleep 0.5
rss() { grep -E "$2" "/proc/$1/status" | tr -s ' \t' ' '; }
load() { echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"; }

$bench 8080 fill 256
$bench 8081 fill 256
echo "== list requests per second, 256 rows, wrk 64 connections (in-process, Redis, twice) $(load)"
for round in 1 2; do
  for port in 8080 8081; do
    printf '%s port %s: ' "$([ $port = 8080 ] && echo in-process || echo redis)" $port
    wrk -t2 -c64 -d5s "$(url $port)" | grep -E "Requests/sec" | tr -s ' '
  done
done
echo "== a game announced to one lobby, listed by the other $(load)"
$bench 8081 spread 8082 20
echo "== list latency alone and with 10000 slow sockets $(load)"
for port in 8080 8081; do
  $bench $port latency 500
  $bench $port slow 500 10000
  pid=$([ $port = 8080 ] && echo $local || echo "${pids[2]}")
  echo "port $port after the slow sockets: $(rss "$pid" VmRSS); peak: $(rss "$pid" VmHWM) $(load)"
done
echo "== header flood $(load)"
$bench 8080 headers 200 4
echo "after the header flood: $(rss $local VmRSS); peak: $(rss $local VmHWM)"
$bench 8080 latency 200
