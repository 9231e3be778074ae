# GNOME settings checked against the release's own schemas before each load.

marker=.cache/velkor-post-install.done

# A first pass on 24.04 (windows layout, a schema folder that lacks one key) and on 26.04 (ubuntu
# layout) loads only what the release's GNOME takes, and Guake's settings where its Guake reads
# them; the missing key is named once, also by a dry run, and counted. A second pass finds every
# setting in place and loads none.
test_a_pass_loads_what_each_release_takes() {
  local row version set layout lacks gone warning options
  for row in "24.04 gnome46 windows show-delete-permanently" "26.04 gnome50 ubuntu - |scheme"; do
    read -r version set layout lacks gone <<<"$row"
    rm -rf "$SB_HOME" "$SB_DIR/sys"
    mkdir -p "$SB_HOME"
    sb_system_files
    sb_os_release "ubuntu-$version"
    sb_schemas "$set" "$lacks"
    options=(--noreboot --yes --browser=firefox --layout="$layout" --theme=dark)
    warning="W: GNOME ${set#gnome} has no setting nautilus preferences $lacks; left out"
    [ "$lacks" = - ] && warning=""
    [ -z "$warning" ] || { sb_run --dry-run "${options[@]}" && assert_stderr_has "$warning"; }
    sb_run "${options[@]}"
    assert_status 0
    [ "$(grep '^W: GNOME' "$SB_STDERR")" = "$warning" ] || fail "$version: $(grep '^W: ' "$SB_STDERR")"
    [ -z "$warning" ] || assert_stdout_has "Settings left out: 1, which this GNOME does not take"
    sb_dconf_dump >"$SB_DIR/dump"
    grep -qxF "[org/guake/general]" "$SB_DIR/dump" || fail "$version: Guake's settings are elsewhere"
    ! grep -E "^\[apps/guake|^\[org/gnome/shell/extensions/system-monitor\]|^(show-appmenu|primary-monitor|available-monitors|hide-disabled|display-overview-map|$lacks$gone)=" \
      "$SB_DIR/dump" || fail "$version: a setting its GNOME does not take"
    rm "$SB_HOME/$marker"
    sb_run "${options[@]}"
    assert_status 0
    assert_not_called '^dconf load'
  done
}

# An extension's own schemas judge its settings: XML alone is compiled into the workspace first;
# XML that does not compile, or no schemas at all, is noted in the log and the extension's
# settings load unchecked.
test_copied_extensions_bring_their_schemas() {
  local data=$SB_WORK/extensions_22.04 log
  mkdir -p "$data/dash-to-panel@jderose9.github.com/schemas" "$data/impatience@gfxmonk.net/schemas"
  echo '{}' | tee "$data"/{dash-to-panel@jderose9.github.com,impatience@gfxmonk.net}/metadata.json >/dev/null
  cp "$SB_SOURCE_DIR"/tests/fixtures/schemas/gnome46/dash-to-panel/*.xml "$data/dash-to-panel@jderose9.github.com/schemas/"
  echo '<schemalist><schema id="broken"' >"$data/impatience@gfxmonk.net/schemas/broken.gschema.xml"
  sb_run layout ubuntu
  assert_status 0
  assert_stderr_has "W: GNOME 42 has no setting dash-to-panel primary-monitor that takes 0 (its type is s); left out"
  log=$(ls "$SB_HOME"/.local/state/kelvane/*.log)
  grep -qF "The schemas of $SB_HOME/.local/share/gnome-shell/extensions/impatience@gfxmonk.net do not compile" "$log" ||
    fail "no note of the broken schema"
  grep -qF "The extension $SB_HOME/.local/share/gnome-shell/extensions/caffeine@patapon.info has no settings schemas" "$log" ||
    fail "no note of the extension without schemas"
  sb_dconf_dump | grep -qx "speed-factor=0.5" || fail "the broken extension's settings were not loaded"
}
