#!/usr/bin/env bash
# Runs a command under a private Xvfb (1024x768x24) on a free display and
# always stops the server afterwards. Exit status is the command's.
set -uo pipefail

display=""
for n in $(seq 90 190); do
  if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then
    display=":$n"
    break
  fi
done
if [ -z "$display" ]; then
  echo "with-xvfb: no free display" >&2
  exit 1
fi

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp +extension GLX >/tmp/xvfb-"${display#:}".log 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null' EXIT

for _ in $(seq 1 100); do
  [ -e "/tmp/.X11-unix/X${display#:}" ] && break
  sleep 0.05
done

export DISPLAY="$display"
export LIBGL_ALWAYS_SOFTWARE=1
export vblank_mode=0
"$@"
