#!/usr/bin/env bash
# script/fetch-data against a local server with fixture answers: a fresh fetch, a run that
# fetches nothing, answers with no usable download, bad downloads that keep the previous copies.
set -uo pipefail
source_dir=${1:?usage: fetch_data_http_test.sh SOURCE_DIR}
# shellcheck source=tests/tools/check.sh
source "$source_dir/tests/tools/check.sh"
tmp=$(mktemp -d)
trap 'kill "$server_pid"; gpgconf --homedir "$tmp/gnupg" --kill all; rm -rf "$tmp"' EXIT
site=$tmp/site
uuids=(dash-to-panel@jderose9.github.com caffeine@patapon.info impatience@gfxmonk.net
    custom-hot-corners-extended@G-dH.github.com tophat@fflewddur.github.io
    transparent-top-bar@ftpix.com extension-list@tu.berry arcmenu@arcmenu.com)

# publish UUID SHELL [METADATA_UUID [METADATA_SHELL]]: the info answer and the archive (no folder).
publish() {
    local dir=$tmp/zip/$1-$2 zip=/download-extension/$1-$2.zip
    rm -rf "$dir" "$site$zip"
    mkdir -p "$dir/schemas" "$site/extension-info/$1" "$site/download-extension"
    printf '{"uuid": "%s", "shell-version": ["%s"]}\n' "${3:-$1}" "${4:-$2}" >"$dir/metadata.json"
    echo schema >"$dir/schemas/gschemas.compiled"
    (cd "$dir" && zip -qr "$site$zip" .)
    printf '{"download_url": "%s?version_tag=1"}' "$zip" >"$site/extension-info/$1/$2"
}
publish_all() { for uuid in "${uuids[@]}"; do for shell in 42 43 46 50; do publish "$uuid" "$shell"; done; done; }
publish_all
# A throw-away signing key, published armoured as the real archive does, and raw.
mkdir -m 700 "$tmp/gnupg" && mkdir "$site/volian"
gpg=(gpg --homedir "$tmp/gnupg" --batch --quiet)
"${gpg[@]}" --passphrase '' --quick-gen-key 'Test <test@kelvane.invalid>' ed25519 sign never 2>/dev/null
"${gpg[@]}" --armor --export >"$site/volian/armoured.key"
"${gpg[@]}" --export >"$site/volian/binary.key"
echo "not a key" >"$site/volian/garbage.key"
python3 "$source_dir/tests/tools/fixture_server.py" "$site" "$tmp/port" "$tmp/requests" &
server_pid=$!
until [ -f "$tmp/port" ]; do sleep 0.1; done
base="http://127.0.0.1:$(cat "$tmp/port")"
# run_fetch DATA_DIR ARGS...: sets $status, $out, $err and $requests.
run_fetch() {
    : >"$tmp/requests"
    KELVANE_DATA_DIR=$1 KELVANE_EXTENSIONS_SITE=$base KELVANE_NALA_KEY_URL=$base/volian/${key:-armoured.key} \
        "$source_dir/script/fetch-data" "${@:2}" >"$tmp/out" 2>"$tmp/err"
    status=$?
    out=$(cat "$tmp/out") err=$(cat "$tmp/err") requests=$(cat "$tmp/requests")
}
data=$tmp/data
check_lines() { for line in "${@:2}"; do check_contains "$1: $line" "$line" "$err"; done; }
run_fetch "$data" extensions nala
check_eq "fresh: status, summary, stderr" "0 fetch-data: 31 fetched, 0 already there, 0 failed, 2 not available" "$status $(tail -n 1 <<<"$out")$err"
check_contains "fresh: progress" "extensions_22.10/arcmenu@arcmenu.com: fetched (GNOME Shell 43)" "$out"
check_contains "fresh: no build" "extensions_26.04/tophat@fflewddur.github.io: not available (no build for GNOME Shell 50)" "$out"
check_eq "fresh: each release has its shell's build" "8 8 7 7" "$(for r in 22.04:42 22.10:43 24.04:46 26.04:50; do
    grep -l "\"${r#*:}\"" "$data/extensions_${r%:*}"/*/metadata.json | wc -l; done | paste -sd' ')"
# Unpacked whole, the armoured key stored as gpg's binary export, no staging folder left.
check_eq "fresh: files" schema "$(cat "$data/extensions_22.04/tophat@fflewddur.github.io/schemas/gschemas.compiled"
    cmp "$data/nala/volian-archive-keyring.gpg" "$site/volian/binary.key" 2>&1
    find "$data" -maxdepth 1 -name '.*' ! -name .)"
run_fetch "$data" extensions nala
check_eq "again: summary, no request" "fetch-data: 0 fetched, 31 already there, 0 failed, 2 not available|" "$(tail -n 1 <<<"$out")|$requests"
# Answers without a usable download: each item named, the rest fetched.
rm "$site/extension-info/tophat@fflewddur.github.io/43"
: >"$site/extension-info/arcmenu@arcmenu.com/42"
echo '{"name": "x"}' >"$site/extension-info/caffeine@patapon.info/43"
echo '{"download_url": "http://127.0.0.2:9/x.zip"}' >"$site/extension-info/impatience@gfxmonk.net/43"
run_fetch "$tmp/data-missing" extensions
check_eq "missing: status and summary" "1 fetch-data: 26 fetched, 0 already there, 4 failed, 2 not available" "$status $(tail -n 1 <<<"$out")"
check_lines missing "extensions_22.10/tophat@fflewddur.github.io: FAILED: no version for GNOME Shell 43" \
    "extensions_22.04/arcmenu@arcmenu.com: FAILED: empty answer from $base" \
    "extensions_22.10/caffeine@patapon.info: FAILED: answer names no download_url" \
    "FAILED: download_url is not a path on the site: http://127.0.0.2:9/x.zip" \
    "fetch-data: failed: extensions_22.10/tophat@fflewddur.github.io"
check_eq "missing: no folder for a failed item" "" "$(find "$tmp/data-missing" -name 'tophat*43')"
publish_all
# Bad downloads over the complete set: each refused, the previous copy untouched.
cp -a "$data" "$tmp/before"
head -c 3000 /dev/urandom >"$site/download-extension/caffeine@patapon.info-42.zip"
publish impatience@gfxmonk.net 42 someone-else@example.org
publish extension-list@tu.berry 43 extension-list@tu.berry 44
python3 -c 'import sys, zipfile; z = zipfile.ZipFile(sys.argv[1], "w"); z.writestr("../escaped.txt", "x")
z.writestr("metadata.json", "{\"uuid\": \"arcmenu@arcmenu.com\", \"shell-version\": [\"43\"]}")' "$site/download-extension/arcmenu@arcmenu.com-43.zip"
ln -s /etc "$tmp/zip/tophat@fflewddur.github.io-43/etc"
(cd "$tmp/zip/tophat@fflewddur.github.io-43" && zip -qr --symlinks "$site/download-extension/tophat@fflewddur.github.io-43.zip" .)
key=garbage.key run_fetch "$data" --refresh extensions nala
check_eq "bad: status and summary" "1 fetch-data: 25 fetched, 0 already there, 6 failed, 2 not available" "$status $(tail -n 1 <<<"$out")"
check_lines bad "extensions_22.04/caffeine@patapon.info: FAILED: not a zip archive" \
    "impatience@gfxmonk.net-42.zip?version_tag=1 does not name impatience@gfxmonk.net" \
    "extensions_22.10/extension-list@tu.berry: FAILED: metadata.json" \
    "arcmenu@arcmenu.com: FAILED: zip archive holds paths outside its folder" \
    "tophat@fflewddur.github.io: FAILED: zip archive holds symbolic links" \
    "volian-archive-keyring.gpg: FAILED: $base/volian/garbage.key holds no OpenPGP public key"
check_eq "bad: previous copies unchanged, nothing beside them" "" "$(diff -r "$tmp/before" "$data" 2>&1; ls "$data"/extensions_22.10/escaped.txt 2>/dev/null)"
publish_all
# A stale copy is replaced whole; a raw binary key is kept as it is.
stale=$tmp/stale/extensions_22.10/tophat@fflewddur.github.io
mkdir -p "$stale" "$tmp/stale/nala"
echo '{"uuid": "tophat@fflewddur.github.io", "shell-version": ["42"]}' >"$stale/metadata.json"
touch "$stale/old.js"
cp "$site/volian/armoured.key" "$tmp/stale/nala/volian-archive-keyring.gpg"
key=binary.key run_fetch "$tmp/stale" nala extensions
check_eq "stale: replaced whole, the raw key kept" "0 metadata.json schemas" "$status $(cd "$stale" && echo *)$(
    grep -L '"43"' "$stale/metadata.json"; cmp "$tmp/stale/nala/volian-archive-keyring.gpg" "$site/volian/binary.key")"
run_fetch "$tmp/usage" everything
check_eq "usage" "2|fetch-data: unknown argument 'everything' (expected --refresh, extensions, debs, nala)|" "$status|$err|$requests"
check_finish
