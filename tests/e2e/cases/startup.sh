# Start-up checks and the command line, seen from outside: what the program refuses before it
# shows any dialog, and that it changes nothing then.

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

test_unsupported_systems_get_the_box() {
  local release
  for release in debian-12 ubuntu-20.04 ubuntu-22.04.1 derivative-22.04; do
    sb_os_release "$release"
    sb_run
    assert_status 1
    for text in "┊ This distribution is not supported:" "┊ Supported distributions:" \
      "┊  - Ubuntu 22.04 " "┊  - Ubuntu 22.10 "; do
      assert_stdout_has "$text"
    done
    assert_stdout_lacks "Dist: "
    assert_nothing_changed
    assert_not_called '^dpkg-query'
  done
  sb_os_release debian-12
  sb_run
  assert_stdout_has "┊  - Debian GNU/Linux 12 (bookworm) "
  # The box stands after an empty line, and every line of it has the same width.
  [ -z "$(head -n 1 "$SB_STDOUT")" ] || fail "no empty line before the box"
  local line widths=()
  while IFS= read -r line; do
    widths+=("$(LC_ALL=C.UTF-8 bash -c 'echo ${#1}' _ "$line")")
  done < <(tail -n +2 "$SB_STDOUT")
  [ "$(printf '%s\n' "${widths[@]}" | sort -u | wc -l)" = 1 ] ||
    fail "ragged box (widths ${widths[*]}): $(cat "$SB_STDOUT")"
}

test_supported_releases_pass_and_load_packages() {
  local release
  for release in ubuntu-22.04 ubuntu-22.10; do
    sb_os_release "$release"
    sb_done_marker
    sb_answer 1
    sb_run
    assert_stdout_has "Dist: Ubuntu 22.${release##*.}"
    assert_called '^sudo dpkg-query -W -f \$\{Package\}\\n$'
    assert_stderr_lacks "E: "
  done
  [ -d "$SB_HOME/.cache" ] || fail "no ~/.cache made"
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
