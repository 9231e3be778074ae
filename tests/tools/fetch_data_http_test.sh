#!/usr/bin/env bash
# script/fetch-data against a local server with fixture answers: a fresh fetch, a second run
# that fetches nothing, extensions missing for one shell version, and bad downloads that must
# leave the previous copies alone.
set -uo pipefail

source_dir=${1:?usage: fetch_data_http_test.sh SOURCE_DIR}
fetch_data="$source_dir/script/fetch-data"
# shellcheck source=tests/tools/check.sh
source "$source_dir/tests/tools/check.sh"

tmp=$(mktemp -d)
server_pid=
# shellcheck disable=SC2317  # called by the trap
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
    [ -d "$tmp/gnupg" ] && gpgconf --homedir "$tmp/gnupg" --kill all 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT

site="$tmp/site"
mkdir -p "$site/extension-info" "$site/download-extension" "$site/volian"

uuids=(
    dash-to-panel@jderose9.github.com
    caffeine@patapon.info
    custom-hot-corners-extended@G-dH.github.com
    impatience@gfxmonk.net
    tophat@fflewddur.github.io
    transparent-top-bar@ftpix.com
    extension-list@tu.berry
    arcmenu@arcmenu.com
)

# make_zip UUID SHELL VERSION ZIP [METADATA_UUID]: an extension archive laid out as the site
# publishes it (files at the top, no folder).
make_zip() {
    local dir="$tmp/zipsrc/$1-$2-$3"
    mkdir -p "$dir/schemas"
    printf '{"uuid": "%s", "name": "%s", "shell-version": ["%s"], "version": %s}\n' \
        "${5:-$1}" "$1" "$2" "$3" >"$dir/metadata.json"
    printf '// %s %s\n' "$1" "$3" >"$dir/extension.js"
    printf 'schema\n' >"$dir/schemas/gschemas.compiled"
    rm -f "$4"
    (cd "$dir" && zip -qr "$4" .)
}

# publish UUID SHELL VERSION: the info answer and the archive for that shell version.
publish() {
    local zip_name="$1-$2-v$3.shell-extension.zip"
    mkdir -p "$site/extension-info/$1"
    make_zip "$1" "$2" "$3" "$site/download-extension/$zip_name"
    printf '{"uuid": "%s", "version": %s, "download_url": "%s"}' "$1" "$3" \
        "/download-extension/$zip_name?version_tag=$3" >"$site/extension-info/$1/$2"
}

for uuid in "${uuids[@]}"; do
    publish "$uuid" 42 1
    publish "$uuid" 43 2
done

# A throw-away signing key, published armoured as the real archive does.
mkdir -m 700 "$tmp/gnupg"
gpg --homedir "$tmp/gnupg" --batch --quiet --passphrase '' \
    --quick-gen-key 'Kelvane Test Key <test@kelvane.invalid>' ed25519 sign never 2>/dev/null
gpg --homedir "$tmp/gnupg" --batch --armor --export >"$site/volian/scar.key"
gpg --homedir "$tmp/gnupg" --batch --export >"$site/volian/scar-binary.key"
key_fingerprint=$(gpg --homedir "$tmp/gnupg" --batch --with-colons --list-keys 2>/dev/null |
    awk -F: '$1 == "fpr" { print $10; exit }')

python3 "$source_dir/tests/tools/fixture_server.py" "$site" "$tmp/port" "$tmp/requests" &
server_pid=$!
for _ in $(seq 100); do
    [ -f "$tmp/port" ] && break
    sleep 0.1
done
[ -f "$tmp/port" ] || {
    echo "the fixture server did not start"
    exit 1
}
base="http://127.0.0.1:$(cat "$tmp/port")"

# run_fetch DATA_DIR ARGS...: runs the script against the local server; the status lands in
# $status, standard output in $out, standard error in $err, the requests made in $requests.
run_fetch() {
    local data=$1
    shift
    : >"$tmp/requests"
    KELVANE_DATA_DIR=$data KELVANE_EXTENSIONS_SITE=$base \
        KELVANE_NALA_KEY_URL="${key_url:-$base/volian/scar.key}" \
        "$fetch_data" "$@" >"$tmp/out" 2>"$tmp/err"
    status=$?
    out=$(cat "$tmp/out")
    err=$(cat "$tmp/err")
    requests=$(cat "$tmp/requests")
}

# The key file's fingerprint as gpg reads it; empty when it is no binary keyring.
keyring_fingerprint() {
    [ "$(head -c 5 "$1")" = "-----" ] && return
    local home
    home=$(mktemp -d)
    gpg --homedir "$home" --batch --with-colons --show-keys "$1" 2>/dev/null |
        awk -F: '$1 == "fpr" { print $10; exit }'
    rm -rf "$home"
}

metadata_of() {  # RELEASE UUID DATA_DIR
    cat "$3/extensions_$1/$2/metadata.json" 2>/dev/null
}

# ---- a fresh fetch, then a run that fetches nothing ----------------------------------------

data="$tmp/data"
run_fetch "$data" extensions nala
check_eq "fresh fetch: status" 0 "$status"
check_eq "fresh fetch: summary" "fetch-data: 17 fetched, 0 already there, 0 failed" \
    "$(tail -n 1 <<<"$out")"
check_eq "fresh fetch: one progress line per item" 17 "$(grep -c ': fetched' <<<"$out")"
check_contains "fresh fetch: progress names release and uuid" \
    "fetch-data: extensions_22.10/arcmenu@arcmenu.com: fetched (GNOME Shell 43)" "$out"
check_eq "fresh fetch: nothing on stderr" "" "$err"
for uuid in "${uuids[@]}"; do
    check_contains "fresh fetch: $uuid for 22.04 is the shell 42 build" \
        "\"shell-version\": [\"42\"], \"version\": 1}" "$(metadata_of 22.04 "$uuid" "$data")"
    check_contains "fresh fetch: $uuid for 22.10 is the shell 43 build" \
        "\"shell-version\": [\"43\"], \"version\": 2}" "$(metadata_of 22.10 "$uuid" "$data")"
done
check_eq "fresh fetch: the archive is unpacked whole" "schema" \
    "$(cat "$data/extensions_22.04/tophat@fflewddur.github.io/schemas/gschemas.compiled")"
check_eq "fresh fetch: the query names uuid and shell version" 1 \
    "$(grep -c '^/extension-info/?uuid=caffeine@patapon.info&shell_version=43$' <<<"$requests")"
check_eq "fresh fetch: armoured key stored as a binary keyring" "$key_fingerprint" \
    "$(keyring_fingerprint "$data/nala/volian-archive-scar-unstable.gpg")"
check_eq "fresh fetch: keyring equals gpg's own export" "" \
    "$(cmp "$data/nala/volian-archive-scar-unstable.gpg" "$site/volian/scar-binary.key" 2>&1)"
check_eq "fresh fetch: no staging folder left" "" \
    "$(find "$data" -mindepth 1 -maxdepth 1 -name '.*')"

run_fetch "$data" extensions nala
check_eq "second run: status" 0 "$status"
check_eq "second run: summary" "fetch-data: 0 fetched, 17 already there, 0 failed" \
    "$(tail -n 1 <<<"$out")"
check_contains "second run: progress line" \
    "fetch-data: nala/volian-archive-scar-unstable.gpg: already there" "$out"
check_eq "second run: no request at all" "" "$requests"

# ---- an extension missing for one shell version -------------------------------------------

rm "$site/extension-info/tophat@fflewddur.github.io/43"              # the site answers 404
: >"$site/extension-info/arcmenu@arcmenu.com/42"                     # an empty answer
printf '{"name": "x"}' >"$site/extension-info/caffeine@patapon.info/43" # no download named
data="$tmp/data-missing"
run_fetch "$data" extensions
check_eq "missing: status" 1 "$status"
check_eq "missing: summary" "fetch-data: 13 fetched, 0 already there, 3 failed" \
    "$(tail -n 1 <<<"$out")"
check_contains "missing: 404 is named" \
    "extensions_22.10/tophat@fflewddur.github.io: FAILED: no version for GNOME Shell 43" "$err"
check_contains "missing: 404 status reported" "404" "$err"
check_contains "missing: empty answer is named" \
    "fetch-data: extensions_22.04/arcmenu@arcmenu.com: FAILED: empty answer from $base" "$err"
check_contains "missing: answer without download is named" \
    "extensions_22.10/caffeine@patapon.info: FAILED: answer names no download_url" "$err"
check_contains "missing: failed items listed at the end" \
    "fetch-data: failed: extensions_22.10/tophat@fflewddur.github.io" "$err"
check_absent "missing: no folder for the 404" "$data/extensions_22.10/tophat@fflewddur.github.io"
check_absent "missing: no folder for the empty answer" "$data/extensions_22.04/arcmenu@arcmenu.com"
check_present "missing: the other shell version is there" \
    "$data/extensions_22.04/tophat@fflewddur.github.io/metadata.json"
publish tophat@fflewddur.github.io 43 2
publish arcmenu@arcmenu.com 42 1
publish caffeine@patapon.info 43 2

# ---- bad downloads keep the previous copy -------------------------------------------------

data="$tmp/data"  # the complete set from the fresh fetch
cp -a "$data" "$tmp/data-before"
garbage="$site/download-extension/caffeine@patapon.info-42-v1.shell-extension.zip"
head -c 3000 /dev/urandom >"$garbage"
make_zip impatience@gfxmonk.net 42 1 \
    "$site/download-extension/impatience@gfxmonk.net-42-v1.shell-extension.zip" \
    someone-else@example.org
make_zip extension-list@tu.berry 44 2 \
    "$site/download-extension/extension-list@tu.berry-43-v2.shell-extension.zip"
# An archive that tries to write beside its folder, and one with a link pointing out of it.
escape_zip="$site/download-extension/arcmenu@arcmenu.com-43-v2.shell-extension.zip"
python3 - "$escape_zip" <<'EOF'
import json, sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as z:
    meta = {"uuid": "arcmenu@arcmenu.com", "shell-version": ["43"]}
    z.writestr("metadata.json", json.dumps(meta))
    z.writestr("../escaped.txt", "outside")
EOF
link_zip="$site/download-extension/dash-to-panel@jderose9.github.com-43-v2.shell-extension.zip"
mkdir -p "$tmp/linksrc"
printf '{"uuid": "dash-to-panel@jderose9.github.com", "shell-version": ["43"]}' \
    >"$tmp/linksrc/metadata.json"
ln -s /etc "$tmp/linksrc/etc"
rm -f "$link_zip"
(cd "$tmp/linksrc" && zip -q --symlinks "$link_zip" metadata.json etc)
# An answer that sends the download to another host.
printf '{"download_url": "http://127.0.0.2:9/x.zip"}' \
    >"$site/extension-info/transparent-top-bar@ftpix.com/42"
printf 'not a key\n' >"$site/volian/garbage.key"

key_url="$base/volian/garbage.key" run_fetch "$data" --refresh extensions nala
check_eq "bad downloads: status" 1 "$status"
check_eq "bad downloads: summary" "fetch-data: 10 fetched, 0 already there, 7 failed" \
    "$(tail -n 1 <<<"$out")"
check_contains "bad downloads: corrupt zip named" \
    "extensions_22.04/caffeine@patapon.info: FAILED: not a zip archive" "$err"
impatience_zip="$base/download-extension/impatience@gfxmonk.net-42-v1.shell-extension.zip"
check_contains "bad downloads: wrong uuid named" \
    "FAILED: metadata.json of $impatience_zip?version_tag=1 does not name impatience@gfxmonk.net" \
    "$err"
check_contains "bad downloads: wrong shell version named" \
    "extensions_22.10/extension-list@tu.berry: FAILED: metadata.json" "$err"
check_contains "bad downloads: escaping path refused" \
    "arcmenu@arcmenu.com: FAILED: zip archive holds paths outside its folder" "$err"
check_contains "bad downloads: link refused" \
    "extensions_22.10/dash-to-panel@jderose9.github.com: FAILED: zip archive holds symbolic links" \
    "$err"
check_contains "bad downloads: foreign host refused" \
    "FAILED: download_url is not a path on the site: http://127.0.0.2:9/x.zip" \
    "$err"
check_contains "bad downloads: key without OpenPGP data named" \
    "scar-unstable.gpg: FAILED: $base/volian/garbage.key holds no OpenPGP public key" \
    "$err"
for item in extensions_22.04/caffeine@patapon.info extensions_22.04/impatience@gfxmonk.net \
    extensions_22.10/extension-list@tu.berry extensions_22.10/arcmenu@arcmenu.com \
    extensions_22.10/dash-to-panel@jderose9.github.com \
    extensions_22.04/transparent-top-bar@ftpix.com nala/volian-archive-scar-unstable.gpg; do
    check_eq "bad downloads: previous $item unchanged" "" \
        "$(diff -r "$tmp/data-before/$item" "$data/$item" 2>&1)"
done
check_absent "bad downloads: nothing written beside the folder" \
    "$data/extensions_22.10/escaped.txt"
check_eq "bad downloads: no staging folder left" "" \
    "$(find "$data" -mindepth 1 -maxdepth 1 -name '.*')"

for uuid in "${uuids[@]}"; do
    publish "$uuid" 42 1
    publish "$uuid" 43 2
done

# ---- a stale copy is replaced, and a raw binary key is kept as it is ----------------------

data="$tmp/data-stale"
mkdir -p "$data/extensions_22.10/tophat@fflewddur.github.io" "$data/nala"
printf '{"uuid": "tophat@fflewddur.github.io", "shell-version": ["42"]}' \
    >"$data/extensions_22.10/tophat@fflewddur.github.io/metadata.json"
printf 'left over\n' >"$data/extensions_22.10/tophat@fflewddur.github.io/old-file.js"
cat "$site/volian/scar.key" >"$data/nala/volian-archive-scar-unstable.gpg"  # armoured: invalid
key_url="$base/volian/scar-binary.key" run_fetch "$data" nala extensions
check_eq "stale: status" 0 "$status"
check_contains "stale: shell 43 build replaced the shell 42 one" '"shell-version": ["43"]' \
    "$(metadata_of 22.10 tophat@fflewddur.github.io "$data")"
check_absent "stale: files of the old copy are gone" \
    "$data/extensions_22.10/tophat@fflewddur.github.io/old-file.js"
check_eq "stale: the binary key is stored unchanged" "" \
    "$(cmp "$data/nala/volian-archive-scar-unstable.gpg" "$site/volian/scar-binary.key" 2>&1)"

# ---- usage ---------------------------------------------------------------------------------

run_fetch "$tmp/data-usage" everything
check_eq "usage: unknown item status" 2 "$status"
check_eq "usage: unknown item message" \
    "fetch-data: unknown argument 'everything' (expected --refresh, extensions, debs, nala)" "$err"
check_eq "usage: no request" "" "$requests"

check_finish
