#!/usr/bin/env bash
# script/package end to end: the tarball is unpacked and run as a user would; the Debian package
# passes lintian, then the real dpkg installs and removes it in a private mount namespace whose
# /usr, /var and /etc are throw-away overlays. Incomplete data is refused unless allowed.
set -uo pipefail

source_dir=${1:?usage: package_test.sh SOURCE_DIR}
# shellcheck source=tests/tools/check.sh
source "$source_dir/tests/tools/check.sh"
[ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root for dpkg in a mount namespace"; exit 77; }
for tool in lintian dpkg-shlibdeps man unshare; do
    command -v "$tool" >/dev/null || { echo "SKIP: no $tool (script/bootstrap installs it)"; exit 77; }
done

tmp=$(mktemp -d)
# shellcheck disable=SC2317  # called by the trap
cleanup() { rm -rf "$tmp"; }
trap cleanup EXIT
version=$(sed -nE 's/^project\(kelvane VERSION ([^ )]+).*/\1/p' "$source_dir/CMakeLists.txt")
name="kelvane-$version-x86_64"
deb="kelvane_${version}_amd64.deb"

# The repository's data with stand-ins for the fetched files, plus a linked folder, a blank in a
# name and fetch-data's staging folder.
data="$tmp/data"
cp -R "$source_dir/data" "$data"
rm -rf "$data"/extensions_* "$data/debs" "$data"/nala/*.gpg "$data"/.fetch-data.*
extension=caffeine@patapon.info
mkdir -p "$data"/extensions_{22.04,22.10,24.04,26.04}/$extension "$data/debs" "$data/.fetch-data.abc123" "$tmp/elsewhere"
tee "$data"/extensions_{22.04,22.10,24.04,26.04}/$extension/metadata.json <<<'{}' >"$data/extensions_22.04/$extension/a b.js"
printf 'deb\n' >"$data/debs/webp-pixbuf-loader_0.2.1-1_amd64.deb"
printf 'key\n' >"$data/nala/volian-archive-keyring.gpg"
mv "$data/refind" "$tmp/elsewhere/refind" && ln -s "$tmp/elsewhere/refind" "$data/refind"

listing() { find "$1" -mindepth 1 -maxdepth 1 -printf '%f\n' 2>/dev/null | LC_ALL=C sort | paste -sd ' '; }
run_package() {  # DATA_DIR [ARG]
    KELVANE_DATA_DIR=$1 KELVANE_DIST_DIR="$tmp/dist" "$source_dir/script/package" "${@:2}" \
        >"$tmp/out" 2>"$tmp/err"
    status=$? && err=$(cat "$tmp/err"); }

run_package "$data"
check_eq "package: status" 0 "$status"
[ "$status" -eq 0 ] || { tail -n 30 "$tmp/err"; check_finish; }
check_eq "package: the archives' paths last" "$tmp/dist/$name.tar.gz $tmp/dist/$deb" \
    "$(tail -n 2 "$tmp/out" | paste -sd ' ')"
check_eq "package: dist holds only the archives" "$name.tar.gz $deb" "$(listing "$tmp/dist")"

mkdir "$tmp/user" && tar -C "$tmp/user" -xf "$tmp/dist/$name.tar.gz"
top="$tmp/user/$name"
check_eq "tarball: one top folder" "$name" "$(listing "$tmp/user")"
check_eq "tarball: ./kelvane --version" "kelvane $version" "$(cd "$top" && ./kelvane --version)"
check_contains "tarball: the user README, naming its folder" "cd $name" "$(cat "$top/README.md")"
check_eq "tarball: the data as given, links followed, staging left out" \
    "Only in $data: .fetch-data.abc123" "$(diff -r -x kelvane -x copyright -x README.md "$data" "$top")"

# No error, and no warning but the changelog's name: changelog.Debian.gz though the version is native.
lintian --pedantic "$tmp/dist/$deb" >"$tmp/lintian" 2>&1
cat "$tmp/lintian"
check_eq "lintian: no error, no new warning" "" "$(grep -E '^[EW]:' "$tmp/lintian" |
    grep -v '^W: kelvane: wrong-name-for-changelog-of-native-package ')"
depends=$(dpkg-deb -f "$tmp/dist/$deb" Depends)
for package in "libc6 (>=" "libstdc++6 (>=" libgcc-s1 libglib2.0-0 "coreutils (>=" "grep (>=" \
    "findutils (>=" "mawk | gawk" rsync apt wget whiptail sudo dconf-cli; do
    check_contains "deb: depends on $package" "$package" "$depends"; done

# shellcheck disable=SC2317  # run by unshare; the results go to $tmp, which is not overlaid
in_namespace() {  # TMP DEB TOP
    for dir in usr var etc; do
        mkdir -p "$1/ns/$dir" "$1/ns/$dir.work"
        mount -t overlay overlay -o "lowerdir=/$dir,upperdir=$1/ns/$dir,workdir=$1/ns/$dir.work" "/$dir"
    done
    dpkg -i "$2"; echo "$?" >>"$1/status"
    (cd "$1/elsewhere" && kelvane --help >/dev/null; echo "$?" >>"$1/status")
    kelvane --version >"$1/version"
    MANWIDTH=80 man -l /usr/share/man/man1/kelvane.1.gz >"$1/man" 2>&1
    diff -r -x kelvane -x copyright "$3" /usr/share/kelvane >"$1/data-diff" 2>&1
    dpkg -L kelvane | grep -vx '/\.' >"$1/listed"
    dpkg -r kelvane; echo "$?" >>"$1/status"
    while read -r path; do  # what is left and owned by no other package
        if [ -e "$path" ] && ! dpkg -S "$path" >/dev/null 2>&1; then echo "$path"; fi
    done <"$1/listed" >"$1/left"
}
unshare --mount --propagation private bash -c "$(declare -f in_namespace); in_namespace \"\$@\"" \
    _ "$tmp" "$tmp/dist/$deb" "$top"
check_eq "installed: dpkg -i, --help elsewhere, dpkg -r succeed" "0 0 0" "$(paste -sd ' ' "$tmp/status")"
check_eq "installed: kelvane --version" "kelvane $version" "$(cat "$tmp/version")"
check_contains "installed: the man page renders" "kelvane [OPTIONS] VERB [ARGS]" "$(cat "$tmp/man")"
check_eq "installed: /usr/share/kelvane holds the tarball's data" "Only in $top: README.md" "$(cat "$tmp/data-diff")"
check_contains "installed: completion" /usr/share/bash-completion/completions/kelvane "$(cat "$tmp/listed")"
check_eq "removed: no file of the package left" "" "$(cat "$tmp/left")"

# Incomplete data: one line per fault, and an archive only on request, named so.
rm -rf "$tmp/dist" "$data/extensions_22.04" "$data"/nala/*.gpg "$data"/firefox/*.pref "$data"/*.jpg
mkdir "$data/extensions_22.10/no-metadata@x"
cp "$data"/debs/*.deb "$data/debs/webp-pixbuf-loader_0.2.2-1_amd64.deb"
run_package "$data"
check_eq "incomplete: status, archives" "1 " "$status $(listing "$tmp/dist")"
check_eq "incomplete: the lines" "package: missing data:
  extensions_22.04/: run script/fetch-data extensions
  extensions_22.10/no-metadata@x/metadata.json: run script/fetch-data --refresh extensions
  debs/webp-pixbuf-loader_*.deb: 2 files match, the wizard needs exactly one: delete them and run script/fetch-data debs
  nala/volian-archive-keyring.gpg: run script/fetch-data nala
  firefox/mozillateam-firefox-next.pref: restore it from git: git checkout -- data/firefox/mozillateam-firefox-next.pref
  firefox/packages.mozilla.org.pref: restore it from git: git checkout -- data/firefox/packages.mozilla.org.pref
  mirovel-T_Qe4QlMIvQ-unsplash.jpg: render it with script/make-wallpaper" "$err"
run_package "$data" --allow-incomplete
check_eq "allowed: status, both names say incomplete" \
    "0 kelvane-$version-incomplete-x86_64.tar.gz kelvane_$version~incomplete_amd64.deb" \
    "$status $(listing "$tmp/dist")"

check_finish
