#!/usr/bin/env bash
# Speed of the measurement pass: the Google Benchmark on the Bible (tokens per second), then vocabrix-cli on a
# 200 MB text (the Bible 40 times) against `wc -w`, with the peak memory of both.
# BUILD_DIR chooses the build folder (default build-bench); the large text is made there, not in the sources.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${BUILD_DIR:-$root/build-bench}"
bible="$root/../shared/corpora/en-web-bible.utf8.txt"

if [ ! -x /usr/bin/time ]; then
    echo "/usr/bin/time is missing: install the Debian package 'time'" >&2
    exit 1
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target measure_bench vocabrix-cli -- -j2 >/dev/null
"$build/bench/measure/measure_bench"

big="$build/bible-x40.txt"
if [ ! -f "$big" ]; then
    for _ in $(seq 40); do cat "$bible"; done >"$big"
fi
bytes=$(stat -c %s "$big")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Prints "seconds peak-kilobytes" of the command.
measure() {
    /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null
    cat "$work/time"
}

measure env LC_ALL=C.UTF-8 wc -w "$big" >/dev/null # warms the page cache
read -r wc_seconds wc_kb < <(measure env LC_ALL=C.UTF-8 wc -w "$big")
read -r cli_seconds cli_kb < <(cd "$work" && measure "$build/src/cli/vocabrix-cli" --no-model --no-concordance "$big")

awk -v bytes="$bytes" -v ws="$wc_seconds" -v wk="$wc_kb" -v cs="$cli_seconds" -v ck="$cli_kb" 'BEGIN {
    printf "text:          %.1f MB\n", bytes / 1e6
    printf "wc -w:         %.2f s, peak %.0f MB\n", ws, wk / 1024
    printf "vocabrix-cli:  %.2f s, peak %.0f MB\n", cs, ck / 1024
    printf "time ratio:    %.2f (target at most 2.5)\n", cs / ws
    printf "memory ratio:  %.2f of the file size (target at most 4)\n", ck * 1024 / bytes
}'
