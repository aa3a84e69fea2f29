#!/usr/bin/env bash
# Installs what is missing, builds and runs every test headlessly: once in Release with warnings as errors, once
# more with AddressSanitizer and UndefinedBehaviorSanitizer, the model's tests once with ThreadSanitizer, then each
# fuzz target for a while. Works from a source tarball as well as from a clone.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

# The house format is part of the build: a file out of format fails like a warning does.
if command -v clang-format >/dev/null; then
    find src tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format --dry-run --Werror
else
    echo "clang-format is missing: the format check is skipped."
fi

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Release -DVOCABRIX_WERROR=ON
cmake --build build-test
ctest --test-dir build-test --output-on-failure

# What a user installs: the tree under a prefix, its desktop entry, metainfo and manual pages, the Debian package.
scripts/check-install.sh build-test

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVOCABRIX_WERROR=ON -DVOCABRIX_SANITIZE=ON -DVOCABRIX_BENCH=OFF
cmake --build build-sanitize
ctest --test-dir build-sanitize --output-on-failure

# The model splits its rows between threads; a run hears its stop from another thread, and the command line's
# signals reach the run through a thread of their own.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOCABRIX_WERROR=ON -DVOCABRIX_SANITIZE_THREAD=ON \
    -DVOCABRIX_BENCH=OFF
cmake --build build-tsan --target model_tests run_test cli_test vocabrix-cli
build-tsan/tests/model/model_tests
build-tsan/tests/run/run_test
build-tsan/tests/cli/cli_test --gtest_filter='Cli.*Signal*:Cli.Killed*:Cli.RunsWithTheWindowsDefaults'

# Each fuzz target runs for a while from seeds made of the real texts; a broken property or a memory error
# fails the run and leaves the input that did it in build-fuzz/.
fuzz_targets=(text_decoding integer_text model_concordance chart_concordance curve_file model_number)
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DVOCABRIX_FUZZ=ON \
    -DVOCABRIX_BENCH=OFF
cmake --build build-fuzz --target "${fuzz_targets[@]/#/fuzz_}"
if [ -d ../shared/corpora ]; then
    fuzz/make-seeds.sh ../shared/corpora build-test/src/cli/vocabrix-cli build-fuzz/seeds
else
    echo "No ../shared/corpora: the fuzz targets start without seeds."
fi
for target in "${fuzz_targets[@]}"; do
    mkdir -p "build-fuzz/corpus/$target" "build-fuzz/seeds/$target"
    log="build-fuzz/$target.log"
    if ! (cd build-fuzz && "fuzz/fuzz_$target" -max_total_time="${VOCABRIX_FUZZ_SECONDS:-20}" -timeout=10 \
        -print_final_stats=1 "corpus/$target" "seeds/$target") >"$log" 2>&1; then
        tail -n 40 "$log"
        exit 1
    fi
    echo "fuzz_$target: $(sed -n 's/^stat::number_of_executed_units: *//p' "$log") executions, no fault"
done
