#!/usr/bin/env bash
# script/fetch-data's package item run for real against this machine's package sources. Ends
# with status 77 (skipped) and the reason when no source knows the package or none answers.
set -uo pipefail

source_dir=${1:?usage: fetch_data_apt_test.sh SOURCE_DIR}
fetch_data="$source_dir/script/fetch-data"
# shellcheck source=tests/tools/check.sh
source "$source_dir/tests/tools/check.sh"

package=webp-pixbuf-loader
candidate=$(apt-cache policy "$package:amd64" 2>/dev/null | awk '$1 == "Candidate:" { print $2 }')
if [ -z "$candidate" ] || [ "$candidate" = "(none)" ]; then
    echo "SKIP: no package source offers $package:amd64 here"
    exit 77
fi
# apt-get writes an epoch's ":" as "%3a" in file names.
expected_name="${package}_${candidate//:/%3a}_amd64.deb"

tmp=$(mktemp -d)
# shellcheck disable=SC2317  # called by the trap
cleanup() { rm -rf "$tmp"; }
trap cleanup EXIT

run_fetch() {
    KELVANE_DATA_DIR="$tmp/data" "$fetch_data" "$@" >"$tmp/out" 2>"$tmp/err"
    status=$?
    out=$(cat "$tmp/out")
    err=$(cat "$tmp/err")
}

# An older build of the package and a broken file under the same pattern: neither counts as
# "already there", and both have to go once the real package is in place, because the installer
# takes the pattern as one file.
mkdir -p "$tmp/old/DEBIAN" "$tmp/data/debs"
printf 'Package: %s\nVersion: 0.0.1\nArchitecture: all\nMaintainer: %s\nDescription: old\n' \
    "$package" "Test <test@kelvane.invalid>" >"$tmp/old/DEBIAN/control"
dpkg-deb --build "$tmp/old" "$tmp/data/debs/${package}_0.0.1_all.deb" >/dev/null
printf 'broken\n' >"$tmp/data/debs/${package}_0.0.0_amd64.deb"

run_fetch debs
unreachable='failed to fetch|could not resolve|temporary failure|unable to connect'
unreachable+='|connection (refused|timed out)'
if [ "$status" -ne 0 ] && grep -qiE "$unreachable" <<<"$err"; then
    echo "SKIP: no package source answers: $(head -n 1 <<<"$err")"
    exit 77
fi
check_eq "apt: status" 0 "$status"
check_eq "apt: progress line" "fetch-data: debs/$expected_name: fetched" "$(head -n 1 <<<"$out")"
check_eq "apt: summary" "fetch-data: 1 fetched, 0 already there, 0 failed" "$(tail -n 1 <<<"$out")"
check_eq "apt: the candidate version, alone in debs" "$expected_name" "$(ls "$tmp/data/debs")"
check_eq "apt: dpkg-deb reads the package name" "$package" \
    "$(dpkg-deb --field "$tmp/data/debs/$expected_name" Package)"
check_eq "apt: built for amd64" amd64 \
    "$(dpkg-deb --field "$tmp/data/debs/$expected_name" Architecture)"
check_eq "apt: no staging folder left" "" \
    "$(find "$tmp/data" -mindepth 1 -maxdepth 1 -name '.*')"

run_fetch debs
check_eq "apt again: status" 0 "$status"
check_eq "apt again: kept" "fetch-data: debs/$expected_name: already there" "$(head -n 1 <<<"$out")"

check_finish
