# The reboot options, seen from outside: which spellings keep the wizard from restarting the
# machine, and that a menu run honours them only through the wizard.

first_run_answers() {
  sb_answer 0
  sb_answer 0 chrome
  sb_answer 0
  sb_answer 0 windows
  sb_answer 0 light
}

# One whole first run with the given arguments, from a home without the done marker.
wizard_with() {
  rm -f "$SB_HOME/.cache/velkor-post-install.done"
  sb_clear_answers
  first_run_answers
  sb_run "$@"
  assert_status 0
  [ -f "$SB_HOME/.cache/velkor-post-install.done" ] || fail "no done marker after: $*"
}

test_reboot_option_spellings() {
  local args
  for args in "--No-Reboot" "--SKIP-REBOOT" "--noreboot --noreboot" "extra --no-reboot"; do
    # shellcheck disable=SC2086 # the arguments are meant to split
    wizard_with $args
    assert_not_called '^(sudo )?shutdown'
  done
  for args in "-noreboot" "--noreboot=1" "noreboot" "--no_reboot"; do
    wizard_with "$args"
    assert_called '^sudo shutdown -r now$'
    [ "$(tail -n 1 "$SB_LOG")" = "shutdown -r now" ] ||
      fail "with $args the last command is $(tail -n 1 "$SB_LOG"), not the restart"
  done
  # A program path that reads like the option is no option.
  local program=$SB_BINARY
  SB_BINARY=/bin/bash
  wizard_with -c 'exec -a --noreboot "$0"' "$program"
  assert_called '^sudo shutdown -r now$'
}

test_menu_run_reboots_only_through_the_wizard() {
  sb_done_marker
  sb_answer 0 setup
  first_run_answers
  sb_run --noreboot
  assert_status 0
  assert_not_called 'shutdown'
  assert_called '^sudo eatmydata apt install'

  sb_clear_answers
  sb_answer 0 setup
  first_run_answers
  sb_run
  assert_status 0
  [ "$(tail -n 1 "$SB_LOG")" = "shutdown -r now" ] ||
    fail "the wizard from the menu ends with $(tail -n 1 "$SB_LOG")"
}
