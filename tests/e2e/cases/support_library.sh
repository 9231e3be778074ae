# The per-run workspace, seen from outside: where it is made, who owns it, and the fallback
# into the home folder when the temporary folder cannot be used.

# The workspace folders below $1, one per line.
workspaces_in() {
  find "$1" -mindepth 1 -maxdepth 1 -name 'kelvane_*' | sort
}

# Fails unless $1 is a private workspace of the test user with an 8-letter suffix.
assert_private_workspace() {
  [[ $(basename "$1") =~ ^kelvane_[A-Za-z0-9]{8}$ ]] || fail "odd workspace name: $1"
  [ "$(stat -c '%a %u' "$1")" = "700 4242" ] ||
    fail "workspace $1 is $(stat -c '%a %u' "$1"), expected 700 4242"
}

test_each_run_gets_a_new_private_workspace() {
  sb_done_marker
  sb_answer 1
  sb_run --noreboot
  assert_status 0
  sb_answer 1
  sb_run --noreboot
  assert_status 0
  assert_stderr_lacks "E: "
  local found
  mapfile -t found < <(workspaces_in "$SB_DIR/tmp")
  [ "${#found[@]}" = 2 ] || fail "expected 2 workspaces, found: ${found[*]}"
  assert_private_workspace "${found[0]}"
  assert_private_workspace "${found[1]}"
  [ -z "$(find "$SB_HOME" -name '.temp')" ] || fail "a fallback workspace was made in the home"
}

test_unwritable_temp_folder_falls_back_to_the_home() {
  # A quote and a blank in the home: the fallback's clean-up command must quote the path.
  rm -rf "${SB_DIR:?}/home"
  sb__set_home "$SB_DIR/home/it's kelvane"
  sb_done_marker
  sb_answer 1
  chmod 500 "$SB_DIR/tmp"
  sb_run --noreboot
  chmod 700 "$SB_DIR/tmp"
  assert_status 0
  [ -z "$(workspaces_in "$SB_DIR/tmp")" ] || fail "a workspace appeared in the read-only folder"
  local found
  mapfile -t found < <(workspaces_in "$SB_HOME/.temp")
  [ "${#found[@]}" = 1 ] || fail "expected 1 workspace in the home, found: ${found[*]}"
  assert_private_workspace "${found[0]}"
  # One line for the failed attempt in the temporary folder, nothing about the fallback. (The
  # main menu's boot-mode probe leaves efibootmgr's own complaint on stderr: not ours.)
  [ "$(grep -c '^E: ' "$SB_STDERR")" = 1 ] || fail "stderr: $(tr '\n' '|' <"$SB_STDERR")"
  assert_stderr_has "E: Failed to create '$SB_DIR/tmp/kelvane_"
  assert_stderr_has "': Permission denied"
}
