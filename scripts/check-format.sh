#!/usr/bin/env bash
# Fails, naming each file, when a C++ source differs from what clang-format
# makes of it under .clang-format. Checks the files given, or every tracked
# .cpp and .h file (the whole tree is kept formatted, so any file a change
# touched is among them).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -gt 0 ]; then
  files=("$@")
else
  mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null ||
    find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
fi

bad=0
for f in "${files[@]}"; do
  if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
    echo "not formatted: $f (run: clang-format -i $f)"
    bad=1
  fi
done
exit $bad
