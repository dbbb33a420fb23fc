#!/usr/bin/env bash
# Stores the result files of the shipped examples anew as the references
# that the tests compare every run with (tests/reference/<example>/).  Run it
# only when a change of the results is intended, and read the diff before
# committing:   bash scripts/update-references.sh [EXAMPLE ...]
set -euo pipefail
cd "$(dirname "$0")/.."
echo "Regenerating the stored reference results under tests/reference on purpose:"
echo "they change only when the computed results are meant to change."
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build -j"$(nproc)" --target refcheck > /dev/null

examples=("$@")
if ((${#examples[@]} == 0)); then
  for m in tests/reference/*/manifest.txt; do examples+=("$(basename "$(dirname "$m")")"); done
fi
for ex in "${examples[@]}"; do
  build/bin/refcheck --update "$PWD" "$ex" "$PWD/build/bin"
done
echo "Review the change with: git diff --stat tests/reference; git diff tests/reference"
