# The checks before the first dialog: tools, distribution, user folders, installed packages.

test_debian_gets_the_whole_box_and_nothing_runs() {
  sb_os_release debian-12
  sb_run
  assert_status 1
  local expected
  expected=$(printf '%s\n' \
    '' \
    '┌┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┐' \
    '┊ This distribution is not supported:    ┊' \
    '┊  - Debian GNU/Linux 12 (bookworm)      ┊' \
    '┊                                        ┊' \
    '┊ Supported distributions:               ┊' \
    '┊  - Ubuntu 22.04                        ┊' \
    '┊  - Ubuntu 22.10                        ┊' \
    '┊                                        ┊' \
    '└┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┘')
  [ "$(cat "$SB_STDOUT")" = "$expected" ] || fail "box differs: $(sb__excerpt "$SB_STDOUT")"
  [ ! -s "$SB_STDERR" ] || fail "unexpected stderr: $(sb__excerpt "$SB_STDERR")"
  assert_dialogs 0
  assert_not_called '^sudo '
  # The per-user cache folder is made before the distribution is judged.
  [ -d "$SB_HOME/.cache" ] || fail "no ~/.cache"
}

test_other_releases_and_derivatives_are_refused() {
  local release
  for release in ubuntu-20.04 ubuntu-22.04.1 derivative-22.04; do
    sb_os_release "$release"
    sb_run
    assert_status 1
    assert_stdout_has "This distribution is not supported:"
    assert_stdout_has " - Ubuntu 22.04 "
    assert_stdout_has " - Ubuntu 22.10 "
    assert_stdout_lacks "Dist: "
    assert_dialogs 0
    assert_not_called '^sudo '
  done
  assert_stdout_has " - Corvid Desktop 22.04 "
}

test_missing_tools_are_named_in_order() {
  sb_without wget rsync
  sb_run
  assert_status 1
  [ "$(cat "$SB_STDERR")" = "E: Some required tools are missing: rsync, wget
E: Install packages for the missing tools and try again." ] ||
    fail "stderr: $(sb__excerpt "$SB_STDERR")"
  assert_stdout_lacks "Dist: "
  assert_dialogs 0
}

test_missing_whiptail_is_a_missing_tool() {
  sb_os_release debian-12
  sb_without whiptail
  sb_run
  assert_status 1
  assert_stderr_has "E: Some required tools are missing: whiptail"
  # Tools are checked before the distribution.
  assert_stdout_lacks "not supported"
}

test_supported_release_loads_the_package_list() {
  sb_os_release ubuntu-22.10
  sb_done_marker
  sb_answer 1
  sb_run
  assert_status 0
  assert_stdout_has "Dist: Ubuntu 22.10"
  assert_stderr_lacks "E: "
  assert_called '^sudo dpkg-query -W -f \$\{Package\}\\n$'
}

test_failing_package_query_is_not_fatal() {
  sb_done_marker
  sb_fail dpkg-query
  sb_answer 1
  sb_run
  assert_status 0
  assert_stdout_has "Dist: Ubuntu 22.04"
  assert_called '^sudo dpkg-query '
}
