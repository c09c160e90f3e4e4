#!/usr/bin/env bash
# Runs a command under a private Xvfb (1024x768x24) and always stops the
# server afterwards. Exit status is the command's. Xvfb picks the display
# number itself (-displayfd), so wrappers started side by side never share a
# server. -noreset: the tests start one process per test, and a server that
# resets each time its last client leaves now and then left the next client
# waiting forever inside XOpenDisplay.
set -uo pipefail

fifo_dir=$(mktemp -d)
log="$fifo_dir/xvfb.log"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset +extension GLX \
  3>"$fifo_dir/display" >"$log" 2>&1 &
xvfb_pid=$!
cleanup() {
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
  rm -rf "$fifo_dir"
}
trap cleanup EXIT

number=""
for _ in $(seq 1 600); do  # up to 30 s on a loaded machine
  number=$(tr -dc '0-9' 2>/dev/null <"$fifo_dir/display")
  if [ -n "$number" ] && [ -e "/tmp/.X11-unix/X$number" ]; then
    break
  fi
  if ! kill -0 "$xvfb_pid" 2>/dev/null; then
    echo "with-xvfb: Xvfb did not start:" >&2
    cat "$log" >&2
    exit 1
  fi
  number=""
  sleep 0.05
done
if [ -z "$number" ]; then
  echo "with-xvfb: Xvfb did not report a display" >&2
  exit 1
fi

export DISPLAY=":$number"
export LIBGL_ALWAYS_SOFTWARE=1
export vblank_mode=0
"$@"
