#!/usr/bin/env bash
# Builds the fuzz targets' seed corpora: slices of the real texts, the files vocabrix-cli writes from a few of
# them, and a handful of numbers. Usage: fuzz/make-seeds.sh CORPORA VOCABRIX_CLI OUT
set -euo pipefail
corpora=$(realpath "$1")
cli=$(realpath "$2")
out=$3
targets=(text_decoding integer_text model_concordance chart_concordance curve_file model_number)
rm -rf "$out"
for target in "${targets[@]}"; do
    mkdir -p "$out/$target"
done

# Slices keep each run fast: libFuzzer lets inputs grow to the longest seed.
for text in "$corpora"/*.txt "$corpora"/*.tsv; do
    head -c 1000 "$text" >"$out/text_decoding/$(basename "$text")"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Copies in legacy code pages, for the guess of a code page.
for copy in ru-fortunes-love.utf8.txt:CP866 ru-fortunes-knowledge.utf8.txt:CP1251 cs-fortunes-klasik-cz.utf8.txt:CP1250; do
    iconv -f UTF-8 -t "${copy#*:}" "$corpora/${copy%%:*}" >"$work/legacy"
    head -c 1000 "$work/legacy" >"$out/text_decoding/${copy%%:*}.${copy#*:}"
done
for text in en-us-constitution.ascii.txt fr-candide-excerpt.utf8.txt ru-fortunes-amur.utf8-crlf.txt \
    dv-latn-transliteration-pairs.utf8.tsv; do
    # Format 2 keeps the TABs of the word pairs inside the types.
    for format in 0 2; do
        (cd "$work" && "$cli" --format "$format" --every 7 --to 3 "$corpora/$text" >/dev/null)
        for target in model_concordance chart_concordance; do
            head -c 1000 "$work/Concordance.txt" >"$out/$target/$text.$format"
            { printf R; head -c 400 "$corpora/$text"; } >"$out/$target/$text.read-back"
        done
        head -c 1000 "$work/M.txt" >"$out/curve_file/$text.$format.measured"
        head -c 1000 "$work/C.txt" >"$out/curve_file/$text.$format.model"
    done
    { printf R; head -c 400 "$corpora/$text"; } >"$out/curve_file/$text.read-back"
done

number=0
for text in 10 " +5" '$1F' 0x10 -2147483648 2147483648 "12 " "7 times" "1 234" 99999999999999999999 \
    -9223372036854775808; do
    printf '%s' "$text" >"$out/integer_text/$((number += 1))"
done
for value in 0 0.0007 0.0015 1.5 -2.25 1234.5675 0.9995 1e15 123456789012.3456 1.7976931348623157e308; do
    perl -e 'print pack("d", $ARGV[0])' -- "$value" >"$out/model_number/$((number += 1))"
done
