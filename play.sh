#!/usr/bin/env bash
# Installs what is missing, builds (Release), generates the data files and
# starts the game in its run directory. Extra arguments go to the game.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)" --target game
cd build/run
exec ../voidrake2 "$@"
