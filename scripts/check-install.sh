#!/usr/bin/env bash
# Checks what a user gets from a build: installs it into a scratch folder (never into the system), validates the
# desktop entry, metainfo and manual pages, runs the installed command line, then builds the Debian package and
# checks its file list and dependencies.
# Usage: scripts/check-install.sh BUILD_DIR
set -euo pipefail

build=$(realpath "${1:?usage: $0 BUILD_DIR}")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
app_id=org.vocabrix.Vocabrix
failures=0

fail()
{
    echo "check-install: $*" >&2
    failures=$((failures + 1))
}

# The whole tree, so that a test program, a benchmark or a stray file that gets installed is caught too.
expected_tree()
{
    local prefix=$1
    echo "$prefix/bin/vocabrix"
    echo "$prefix/bin/vocabrix-cli"
    echo "$prefix/share/applications/$app_id.desktop"
    echo "$prefix/share/icons/hicolor/scalable/apps/$app_id.svg"
    for size in 16 22 24 32 48 64 128 256; do
        echo "$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    done
    echo "$prefix/share/man/man1/vocabrix-cli.1.gz"
    echo "$prefix/share/man/man1/vocabrix.1.gz"
    echo "$prefix/share/metainfo/$app_id.metainfo.xml"
}

compare_lists()
{
    local what=$1 expected=$2 actual=$3
    if ! diff <(sort <<<"$expected") <(sort <<<"$actual") >"$scratch/tree.diff"; then
        fail "$what (< missing, > unexpected):"
        grep '^[<>]' "$scratch/tree.diff" >&2
    fi
}

root=$scratch/root
prefix=/usr/local
DESTDIR=$root cmake --install "$build" --prefix "$prefix" >/dev/null
compare_lists "the installed tree is not the expected one" "$(expected_tree "$prefix")" \
    "$(cd "$root" && find . -type f -o -type l | sed 's|^\.||')"
share=$root$prefix/share

# Both validators print hints and warnings without failing on them; here any remark fails.
desktop=$share/applications/$app_id.desktop
remarks=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate failed"
[ -z "$remarks" ] || fail "desktop-file-validate: $remarks"
appstreamcli validate --no-net --no-color "$share/metainfo/$app_id.metainfo.xml" >"$scratch/appstream.txt" 2>&1 ||
    { fail "appstreamcli validate failed:"; cat "$scratch/appstream.txt" >&2; }

# The pieces must name each other: the menu entry its program and icon, the metainfo its menu entry.
desktop_value()
{
    sed -n "s/^$1=//p" "$desktop"
}
[ -x "$root$prefix/bin/$(desktop_value Exec | cut -d' ' -f1)" ] || fail "Exec= of the desktop entry is not installed"
[ "$(desktop_value Icon)" = "$app_id" ] || fail "Icon= of the desktop entry is not $app_id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$share/metainfo/$app_id.metainfo.xml" ||
    fail "the metainfo does not launch $app_id.desktop"

# A PNG's width and height are the big-endian words at bytes 16 and 20.
for png in "$share"/icons/hicolor/*x*/apps/"$app_id".png; do
    size=$(basename "$(dirname "$(dirname "$png")")")
    read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
        awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }')
    [ "${width}x${height}" = "$size" ] || fail "$png is ${width}x${height}, not $size"
done

for page in "$share"/man/man1/*.1.gz; do
    warnings=$(zcat "$page" | LC_ALL=C.UTF-8 groff -man -ww -z -Tutf8 2>&1) || fail "groff failed on $page"
    [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
    ! zgrep -q '@[A-Z_]\+@' "$page" || fail "$(basename "$page") has an unreplaced @VARIABLE@"
done

# Every option of the help text has its entry in the manual page, and the page has no option the program lacks.
cli=$root$prefix/bin/vocabrix-cli
help_options=$("$cli" --help | grep -o -- '--[a-z][a-z-]*' | sort -u)
page_options=$(zcat "$share/man/man1/vocabrix-cli.1.gz" | grep -o -- '\\-\\-[a-z][a-z\\-]*' | sed 's/\\//g' | sort -u)
compare_lists "the options of vocabrix-cli.1 are not those of its --help" "$help_options" "$page_options"

# The installed command line runs from any folder.
mkdir "$scratch/run"
printf 'the cat saw the dog\n' >"$scratch/run/text.txt"
(cd "$scratch/run" && "$cli" text.txt >out.txt 2>err.txt) ||
    fail "the installed vocabrix-cli failed: $(cat "$scratch/run/err.txt")"
[ "$(cat "$scratch/run/out.txt")" = "Done!" ] || fail "the installed vocabrix-cli did not say Done!"
for output in M.txt C.txt C.sd.txt Concordance.txt; do
    [ -s "$scratch/run/$output" ] || fail "the installed vocabrix-cli wrote no $output"
done

# The package: named as Debian names it, holding the same tree under /usr, depending on what the programs load.
cpack -G DEB -B "$scratch/deb" --config "$build/CPackConfig.cmake" >"$scratch/cpack.txt" 2>&1 ||
    { fail "cpack failed:"; cat "$scratch/cpack.txt" >&2; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
deb=$scratch/deb/vocabrix_${version}_$(dpkg --print-architecture).deb
if [ ! -f "$deb" ]; then
    fail "no package $(basename "$deb")"
else
    compare_lists "the package's files are not the expected ones" "$(expected_tree /usr)" \
        "$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\.||')"
    depends=$(dpkg-deb --field "$deb" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//')
    # Every package that holds, on this machine, a library the programs link, and the X11 platform plugin that Qt
    # loads by name at run time.
    needed=$(readelf --dynamic "$root$prefix"/bin/* | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p' | sort -u)
    multiarch=$(dpkg-architecture --query DEB_HOST_MULTIARCH)
    for file in $needed qt6/plugins/platforms/libqxcb.so; do
        owner=$(dpkg-query --search "*/$multiarch/$file" 2>/dev/null | head -n 1 | cut -d: -f1 || true)
        [ -n "$owner" ] || { fail "no package holds $file"; continue; }
        grep -qx "$owner" <<<"$depends" || fail "the package does not depend on $owner, which holds $file"
    done
fi

if [ "$failures" -ne 0 ]; then
    echo "check-install: $failures failed" >&2
    exit 1
fi
echo "check-install: the installed tree, its desktop files and the package are right"
