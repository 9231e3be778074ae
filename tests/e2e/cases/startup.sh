# Who may start the program, seen from outside: what it refuses before it shows any dialog, and
# that it changes nothing then. (The distribution and package checks: startup_checks.sh.)

# Nothing ran but the lookups a start-up check may make.
assert_nothing_changed() {
  assert_dialogs 0
  assert_not_called '^(sudo|apt|eatmydata|dconf|whiptail|shutdown)( |$)'
}

test_refuses_root() {
  sb_as_root
  sb_run --noreboot
  assert_status 1
  assert_stderr_has "E: Do not run this program as root or with sudo: start it as your desktop user; it asks for the administrator password when it needs it."
  [ ! -s "$SB_STDOUT" ] || fail "stdout is not empty: $(cat "$SB_STDOUT")"
  [ ! -s "$SB_LOG" ] || fail "commands ran: $(cat "$SB_LOG")"
  [ ! -e "$SB_HOME/.cache" ] || fail "a root run created ~/.cache"
}

test_missing_tools_are_listed_in_order() {
  sb_without rsync
  sb_run
  assert_status 1
  [ "$(cat "$SB_STDERR")" = "E: Some required tools are missing: rsync
E: Install packages for the missing tools and try again." ] || fail "stderr: $(cat "$SB_STDERR")"
  assert_nothing_changed

  sb_without whiptail wget cp
  sb_run
  assert_status 1
  assert_stderr_has "E: Some required tools are missing: cp, rsync, wget, whiptail"
  assert_nothing_changed
}

test_home_with_a_blank() {
  sb_home_with_blank
  sb_done_marker
  sb_answer 1
  sb_run
  assert_status 0
  [ -d "$SB_HOME/.cache" ] || fail "no .cache in '$SB_HOME'"
  assert_stderr_lacks "E: "
}

test_unknown_account_stops_before_any_change() {
  sb_no_account
  sb_run
  assert_status 1
  assert_stderr_has "E: Username not found for uid: 4242"
  assert_nothing_changed
}
