# The supported releases: a whole pass on each, and the package check that runs before the
# first change.

system_files() {
  sb_system_files video/mp4=org.gnome.Totem.desktop video/webm=org.gnome.Showtime.desktop
}

marker=.cache/velkor-post-install.done
options=(--noreboot --yes --browser=chrome --accept-chrome-licence --layout=ubuntu --theme=dark)

# One row per release: its version, the names its archive lacks, the extension it has no build
# of, whether Nala comes from its archive, its GNOME's font-rendering, the video player left in
# the default applications, its FUSE 2 package and where its WebP loader comes from.
test_a_pass_on_each_release() {
  local row version lacks no_build nala_archive rendering player fuse webp name
  for row in "22.04|webp-pixbuf-loader|-|no||org.gnome.Showtime|libfuse2|deb" \
    "22.10||-|no||org.gnome.Showtime|libfuse2|archive" \
    "24.04|libappindicator1 steam|transparent-top-bar@ftpix.com|yes||org.gnome.Showtime|libfuse2t64|archive" \
    "26.04|libappindicator1 neofetch p7zip-rar steam|tophat@fflewddur.github.io|yes|font-rendering='manual'|vlc|libfuse2t64|none"; do
    IFS='|' read -r version lacks no_build nala_archive rendering player fuse webp <<<"$row"
    rm -rf "$SB_HOME" "$SB_DIR/sys"
    mkdir -p "$SB_HOME"
    : >"$SB_DIR/state/packages"
    sb_fresh_state
    system_files
    # What an earlier version added for Volian's retired suite makes way for the current source.
    [ "$nala_archive" = yes ] ||
      sb_root_file /etc/apt/sources.list.d/volian-archive-scar-unstable.sources "Suites: scar"
    for name in firefox thunderbird other; do sb_home_file "snap/$name/common/f" "data"; done
    sb_root_file /var/cache/snapd/names "cache"
    sb_os_release "ubuntu-$version"
    sb_snaps firefox thunderbird
    sb_installed thunderbird
    sb_run "${options[@]}"
    assert_status 0
    [ -f "$SB_HOME/$marker" ] || fail "$version: no done marker"
    # Only the data of the snaps the pass removed goes, into its backup; snapd's cache stays.
    [ "$(ls "$SB_HOME/snap" | paste -sd' ')" = "other$([ "$nala_archive" = yes ] || echo " thunderbird")" ] &&
      [ -f "$SB_DIR/sys/var/cache/snapd/names" ] || fail "$version: snap data: $(ls "$SB_HOME/snap")"
    [ -z "$(find "$SB_HOME" -type f -perm /111)" ] ||
      fail "$version: executable: $(find "$SB_HOME" -type f -perm /111)"
    assert_stdout_has "Package check: all "
    assert_order 'apt-get -s install' 'apt install'
    assert_not_called 'apt-key|kdeapps'
    for name in $lacks; do assert_not_called " $name( |$)"; done
    # deb-get's installer needs jq, which a fresh desktop lacks; AppImages need FUSE 2.
    assert_order 'apt install .* jq lsb-release curl wget distro-info-data$' 'curl -fsSL .*deb-get'
    assert_called "apt install .* $fuse$"
    assert_called '^sudo flatpak remote-add --if-not-exists flathub https://dl.flathub.org/'
    case $webp in
      deb) assert_called 'apt install -y .*debs/webp-pixbuf-loader_[^ ]*\.deb$' ;;
      archive) assert_called 'apt install .*--no-install-recommends .* webp-pixbuf-loader$' ;;
      none) assert_not_called 'webp-pixbuf-loader' ;;
    esac
    # From 24.04 on Nala is in the archive and Thunderbird a snap, which apt cannot remove.
    if [ "$nala_archive" = yes ]; then
      assert_not_called 'nala/volian|apt .*remove .* thunderbird( |$)'
      assert_called '^sudo snap remove thunderbird$'
    else
      assert_called 'nala/volian'
      assert_called 'apt .*remove .* thunderbird( |$)'
      grep -qx 'Suites: nala' "$SB_DIR/sys/etc/apt/sources.list.d/volian-nala.sources" || fail "$version: Nala's suite"
      [ ! -e "$SB_DIR/sys/etc/apt/sources.list.d/volian-archive-scar-unstable.sources" ] || fail "$version: scar kept"
    fi
    diff <(ls "$SB_WORK/extensions_$version") <(ls "$SB_HOME/.local/share/gnome-shell/extensions") ||
      fail "$version: not the release's extensions"
    sb_dconf_dump >"$SB_DIR/dump"
    grep -q "'$no_build'" "$SB_DIR/dump" && fail "$version: $no_build enabled"
    [ -z "$rendering" ] || grep -qxF "$rendering" "$SB_DIR/dump" || fail "$version: no $rendering"
    grep -q "font-rendering" "$SB_DIR/dump" && [ -z "$rendering" ] && fail "$version: font-rendering set"
    grep -q "video/webm=$player" "$SB_HOME/.config/mimeapps.list" || fail "$version: webm player"
  done
}

# A name apt does not know stops the pass before the first change, with one line per name;
# without any package lists that is said once. A dry run on 24.04 shows the check's result.
test_package_check_before_the_first_change() {
  local row setting lines
  system_files
  for row in "gparted htop|E: Ubuntu 22.04 has no package 'gparted'|E: Ubuntu 22.04 has no package 'htop'" \
    "--no-lists|E: apt has no package lists (offline?): the packages cannot be checked.|"; do
    IFS='|' read -r setting lines <<<"$row"
    rm -f "$SB_DIR/state/apt-lacks" "$SB_DIR/state/no-lists"
    # shellcheck disable=SC2086 # the names are meant to split
    sb_apt_lacks $setting
    sb_run "${options[@]}"
    assert_status 1
    for line in "${lines%%|*}" "${lines#*|}"; do [ -z "$line" ] || assert_stderr_has "$line"; done
    [ "$(grep -c '^E: ' "$SB_STDERR")" = "$(tr '|' '\n' <<<"$lines" | grep -c .)" ] ||
      fail "error lines: $(sb__excerpt "$SB_STDERR")"
    assert_stdout_has "Stopped at step 2 of 28: Check packages"
    assert_stdout_has "Log: "
    assert_not_called '^sudo (env [^ ]+ [^ ]+ )?(eatmydata )?apt |snap remove|^dconf load'
  done
  rm -f "$SB_DIR/state/apt-lacks" "$SB_DIR/state/no-lists"
  sb_os_release ubuntu-24.04
  sb_run --dry-run "${options[@]}"
  assert_status 0
  assert_stdout_has "Package check: all "
  assert_called 'apt-get -s install .*gnome-tweaks'
}

# From 24.04 on a PPA's source is a ".sources" file: the next pass finds it and adds nothing.
test_second_pass_on_24_04_adds_no_source_twice() {
  system_files
  sb_os_release ubuntu-24.04
  sb_run "${options[@]}"
  assert_status 0
  [ -f "$SB_DIR/sys/etc/apt/sources.list.d/libreoffice-ubuntu-ppa-noble.sources" ] ||
    fail "no .sources file: $(ls "$SB_DIR/sys/etc/apt/sources.list.d")"
  rm "$SB_HOME/$marker"
  sb_run "${options[@]}"
  assert_status 0
  assert_not_called 'add-apt-repository .*ppa:'
  [ "$(ls "$SB_DIR/sys/etc/apt/sources.list.d" | paste -sd' ')" = \
    "libreoffice-ubuntu-ppa-noble.sources ubuntu.sources" ] ||
    fail "sources: $(ls "$SB_DIR/sys/etc/apt/sources.list.d")"
}
