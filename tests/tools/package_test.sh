#!/usr/bin/env bash
# script/package end to end: the archive is unpacked in a fresh folder and the program is run
# from there exactly as a user would (tar xf, cd, ./kelvane).
set -uo pipefail

source_dir=${1:?usage: package_test.sh SOURCE_DIR}
# shellcheck source=tests/tools/check.sh
source "$source_dir/tests/tools/check.sh"

tmp=$(mktemp -d)
# shellcheck disable=SC2317  # called by the trap
cleanup() { rm -rf "$tmp"; }
trap cleanup EXIT

# The version as CMake declares it, read here independently of the program.
version=$(sed -nE 's/^project\(kelvane VERSION ([^ )]+).*/\1/p' "$source_dir/CMakeLists.txt")
name="kelvane-$version-x86_64"

data="$tmp/data"
mkdir -p "$data/extensions_22.04/caffeine@patapon.info" "$data/extensions_22.10" "$data/debs" \
    "$data/nala" "$data/.fetch-data.abc123" "$tmp/elsewhere/refind"
printf '{"uuid": "caffeine@patapon.info"}\n' \
    >"$data/extensions_22.04/caffeine@patapon.info/metadata.json"
printf 'deb\n' >"$data/debs/webp-pixbuf-loader_0.2.1-1_amd64.deb"
printf 'key\n' >"$data/nala/volian-archive-scar-unstable.gpg"
printf 'image\n' >"$data/wallpaper image.jpg"
printf 'half written\n' >"$data/.fetch-data.abc123/junk"
printf 'timeout 20\n' >"$tmp/elsewhere/refind/refind.conf"
ln -s "$tmp/elsewhere/refind" "$data/refind"

run_package() {  # DATA_DIR
    KELVANE_DATA_DIR=$1 KELVANE_DIST_DIR="$tmp/dist" "$source_dir/script/package" \
        >"$tmp/out" 2>"$tmp/err"
    status=$?
    out=$(cat "$tmp/out")
    err=$(cat "$tmp/err")
}

run_package "$data"
check_eq "package: status" 0 "$status"
if [ "$status" -ne 0 ]; then
    printf '%s\n' "$out" "$err" | tail -n 30
    check_finish
fi
archive="$tmp/dist/$name.tar.gz"
check_eq "package: archive path printed last" "$archive" "$(tail -n 1 <<<"$out")"
check_eq "package: no warning with complete data" "" "$(grep "^package: warning" <<<"$err")"
check_eq "package: one top folder" "$name/" "$(tar tzf "$archive" | sort | head -n 1)"
check_eq "package: nothing outside the top folder" "" "$(tar tzf "$archive" | grep -v "^$name/")"
check_eq "package: staging folders left out" "" "$(tar tzf "$archive" | grep '/\.')"
check_eq "package: dist holds only the archive" "$name.tar.gz" "$(ls -A "$tmp/dist")"

mkdir "$tmp/user"
(cd "$tmp/user" && tar xf "$archive")
check_eq "unpacked: the binary is executable" yes \
    "$([ -x "$tmp/user/$name/kelvane" ] && echo yes)"
version_out=$(cd "$tmp/user/$name" && ./kelvane --version)
check_eq "unpacked: --version exit status" 0 "$?"
check_eq "unpacked: --version" "kelvane $version" "$version_out"
help_out=$(cd "$tmp/user/$name" && ./kelvane --help)
check_eq "unpacked: --help exit status" 0 "$?"
check_contains "unpacked: --help shows the usage" "Usage: kelvane" "$help_out"
check_eq "unpacked: extension folder beside the binary" "" \
    "$(diff -r "$data/extensions_22.04" "$tmp/user/$name/extensions_22.04" 2>&1)"
check_present "unpacked: empty release folder kept" "$tmp/user/$name/extensions_22.10"
check_present "unpacked: a name with a blank" "$tmp/user/$name/wallpaper image.jpg"
check_present "unpacked: debs" "$tmp/user/$name/debs/webp-pixbuf-loader_0.2.1-1_amd64.deb"
check_eq "unpacked: a linked folder is copied, not linked" "timeout 20" \
    "$([ -L "$tmp/user/$name/refind" ] || cat "$tmp/user/$name/refind/refind.conf")"

# Without fetched data the archive is still made, and each missing piece is named.
rm -rf "$tmp/dist"
mkdir "$tmp/empty-data"
run_package "$tmp/empty-data"
check_eq "empty data: status" 0 "$status"
for piece in extensions_22.04 extensions_22.10 nala/volian-archive-scar-unstable.gpg \
    "debs/webp-pixbuf-loader_*.deb"; do
    check_contains "empty data: warns about $piece" \
        "package: warning: $tmp/empty-data has no $piece (run script/fetch-data)" "$err"
done
check_eq "empty data: only the program" "$name/ $name/kelvane" \
    "$(tar tzf "$archive" | sort | tr '\n' ' ' | sed 's/ $//')"

# A data entry named like the program would be overwritten by it: refused.
printf 'not the program\n' >"$tmp/empty-data/kelvane"
run_package "$tmp/empty-data"
check_eq "name clash: status" 1 "$status"
check_contains "name clash: message" "package: $tmp/empty-data/kelvane would hide the program" "$err"

check_finish
