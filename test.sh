#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit, gl, e2e, net).
# GL and end-to-end tests run under a private Xvfb; everything runs inside a
# private network namespace with only loopback.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"

exec ./scripts/with-netns.sh ./scripts/with-xvfb.sh \
  ctest --test-dir build --output-on-failure --timeout 600 "$@"
