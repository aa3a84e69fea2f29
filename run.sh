#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts Vocabrix.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVOCABRIX_BENCH=OFF
cmake --build build --target vocabrix
exec build/src/app/vocabrix "$@"
