# GNOME settings checked against the release's own schemas before each load.

marker=.cache/velkor-post-install.done

# A first pass on 24.04 (windows layout) and 26.04 (ubuntu layout) loads only what the
# release's GNOME takes, Guake's settings where its Guake reads them; a second pass finds every
# setting in place and loads none.
test_a_pass_loads_what_each_release_takes() {
  local row version set layout gone key
  for row in "24.04 gnome46 windows" "26.04 gnome50 ubuntu |scheme"; do
    read -r version set layout gone <<<"$row"
    rm -rf "$SB_HOME" "$SB_DIR/sys"
    mkdir -p "$SB_HOME"
    sb_system_files
    sb_os_release "ubuntu-$version"
    sb_schemas "$set"
    sb_run --noreboot --yes --browser=firefox --layout="$layout" --theme=dark
    assert_status 0
    ! grep '^W: GNOME' "$SB_STDERR" || fail "$version: a setting was left out"
    sb_dconf_dump >"$SB_DIR/dump"
    for key in '[org/guake/general]' "default-shell='/usr/bin/fish'" 'restore-state=true' \
      "style-scheme-for-dark-theme-variant='Yaru-dark'"; do
      [ "$version" = 24.04 ] && [[ $key == style-* ]] && continue
      grep -qxF -- "$key" "$SB_DIR/dump" || fail "$version: dconf lacks $key"
    done
    grep -q "^favorite-apps=.*'org.gnome.Settings.desktop'" "$SB_DIR/dump" || fail "$version: no Settings icon"
    ! grep -E "^\[apps/guake|^\[org/gnome/shell/extensions/system-monitor\]|^(show-appmenu|primary-monitor|available-monitors|hide-disabled|display-overview-map$gone)=" \
      "$SB_DIR/dump" || fail "$version: a setting its GNOME does not take"
    rm "$SB_HOME/$marker"
    sb_run --noreboot --yes --browser=firefox --layout="$layout" --theme=dark
    assert_status 0
    assert_not_called '^dconf load'
  done
}

# A key the machine's schema lacks is named once, left out, and counted; the run ends well. A
# dry run shows the same line.
test_a_key_the_schema_lacks_is_left_out() {
  local line="W: GNOME 46 has no setting nautilus preferences show-delete-permanently; left out"
  sb_system_files
  sb_os_release ubuntu-24.04
  sb_schemas gnome46 show-delete-permanently
  sb_run --dry-run --noreboot --yes --browser=firefox --layout=minimal --theme=light
  assert_stderr_has "$line"
  sb_run --noreboot --yes --browser=firefox --layout=minimal --theme=light
  assert_status 0
  [ "$(grep -c '^W: GNOME' "$SB_STDERR")" = 1 ] || fail "W: lines: $(grep '^W: ' "$SB_STDERR")"
  assert_stderr_has "$line"
  assert_stdout_has "Settings left out: 1, which this GNOME does not take (see the W: lines)."
  sb_dconf_dump >"$SB_DIR/dump"
  grep -qx "show-create-link=true" "$SB_DIR/dump" || fail "the rest of the payload was not loaded"
  ! grep -q "^show-delete-permanently=" "$SB_DIR/dump" || fail "the key was loaded"
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
  grep -q "^? glib-compile-schemas --strict --targetdir=.* '$SB_HOME/.local/share/gnome-shell/extensions/dash-to-panel@jderose9.github.com/schemas'$" "$log" ||
    fail "the extension's schemas were not compiled"
  grep -qF "The schemas of $SB_HOME/.local/share/gnome-shell/extensions/impatience@gfxmonk.net do not compile" "$log" ||
    fail "no note of the broken schema"
  grep -qF "The extension $SB_HOME/.local/share/gnome-shell/extensions/caffeine@patapon.info has no settings schemas" "$log" ||
    fail "no note of the extension without schemas"
  sb_dconf_dump | grep -qx "speed-factor=0.5" || fail "the broken extension's settings were not loaded"
}
