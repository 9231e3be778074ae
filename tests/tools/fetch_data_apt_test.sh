#!/usr/bin/env bash
# script/fetch-data's package item against this machine's package sources (77: none offers it).
set -uo pipefail
source_dir=${1:?usage: fetch_data_apt_test.sh SOURCE_DIR}
# shellcheck source=tests/tools/check.sh
source "$source_dir/tests/tools/check.sh"
package=webp-pixbuf-loader
candidate=$(apt-cache policy "$package:amd64" 2>/dev/null | awk '$1 == "Candidate:" { print $2 }')
[[ $candidate =~ ^(|\(none\))$ ]] && echo "SKIP: no package source offers $package:amd64" && exit 77
name="${package}_${candidate//:/%3a}_amd64.deb"  # apt-get writes an epoch's ":" as "%3a"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# An older build and a broken file under the same pattern: neither counts, both must go.
mkdir -p "$tmp/old/DEBIAN" "$tmp/data/debs"
printf 'Package: %s\nVersion: 0.0.1\nArchitecture: all\nMaintainer: T <t@kelvane.invalid>\nDescription: old\n' \
    "$package" >"$tmp/old/DEBIAN/control"
dpkg-deb --build "$tmp/old" "$tmp/data/debs/${package}_0.0.1_all.deb" >/dev/null
echo broken >"$tmp/data/debs/${package}_0.0.0_amd64.deb"
for run in first again; do
    out=$(KELVANE_DATA_DIR=$tmp/data "$source_dir/script/fetch-data" debs 2>"$tmp/err")
    status=$?
    if [ "$status" != 0 ] && grep -qiE 'failed to fetch|resolve|temporary failure|unable to connect|connection' "$tmp/err"; then
        echo "SKIP: no package source answers: $(head -n 1 "$tmp/err")" && exit 77
    fi
    expected=fetched && [ $run = again ] && expected="already there"
    check_eq "$run: status and line" "0 fetch-data: debs/$name: $expected" "$status $(head -n 1 <<<"$out")"
done
# The candidate alone in debs, a real amd64 package, no staging folder left.
check_eq "files" "$name $package amd64" "$(ls -A "$tmp/data/debs") $(dpkg-deb --field "$tmp/data/debs/$name" \
    Package Architecture | cut -d' ' -f2 | paste -sd' ')$(find "$tmp/data" -maxdepth 1 -name '.*' ! -name .)"
check_finish
