# The backup of a run and "kelvane undo".

undo__extensions() {
  mkdir -p "$SB_WORK/extensions_22.04/caffeine@patapon.info"
  echo '{}' >"$SB_WORK/extensions_22.04/caffeine@patapon.info/metadata.json"
}

test_theme_run_is_listed_undone_once_and_settings_come_back() {
  undo__extensions
  sb_run theme dark
  assert_status 0
  assert_stdout_has "Backup of this run: "
  sb_dconf_dump | grep -qxF "gtk-theme='Yaru-dark'" || fail "theme not applied"
  sb_run undo --list
  assert_status 0
  assert_stdout_has "command: theme dark, "
  sb_run undo --dry-run
  assert_stdout_has "Would run: dconf reset '/org/gnome/desktop/interface/gtk-theme'"
  sb_run undo --yes
  assert_status 0
  assert_stdout_has " undone."
  ! sb_dconf_dump | grep -qF "Yaru-dark" || fail "dark theme still set after undo"
  sb_run undo
  assert_status 0
  assert_stdout_has "was already undone: nothing to do."
}

test_missing_or_unknown_backup_is_refused() {
  mkdir -p "$SB_HOME/.local/state/kelvane/runs/2020-01-01T00-00-00-1"
  echo "kelvane-backup 9" >"$SB_HOME/.local/state/kelvane/runs/2020-01-01T00-00-00-1/manifest"
  sb_run undo 2020-01-01T00-00-00-1
  assert_status 1
  assert_stderr_has "E: Cannot undo run '2020-01-01T00-00-00-1': unknown format 'kelvane-backup 9'"
  sb_run undo nosuchrun
  assert_status 1
  assert_stderr_has "E: Cannot undo run 'nosuchrun': no such run in "
}
