#!/usr/bin/env bash
# Installs what is missing, builds and runs every test headlessly: once in Release with warnings as errors,
# once more with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# The house format is part of the build: a file out of format fails like a warning does.
git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Release -DVOCABRIX_WERROR=ON
cmake --build build-test
ctest --test-dir build-test --output-on-failure

# What a user installs: the tree under a prefix, its desktop entry, metainfo and manual pages, the Debian package.
scripts/check-install.sh build-test

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVOCABRIX_WERROR=ON -DVOCABRIX_SANITIZE=ON -DVOCABRIX_BENCH=OFF
cmake --build build-sanitize
ctest --test-dir build-sanitize --output-on-failure
