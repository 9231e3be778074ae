# --help and --version, seen from outside: answered before any start-up work, so they work on
# any machine and touch nothing.

test_help_and_version_run_nothing() {
  sb_os_release debian-12             # an unsupported system must not matter
  sb_run --help
  assert_status 0
  assert_stdout_has "Usage: kelvane [--noreboot | --no-reboot | --skip-reboot]"
  assert_stdout_has "not as
root and not with sudo"
  assert_dialogs 0
  assert_not_called "."
  [ -s "$SB_STDERR" ] && fail "--help wrote to stderr: $(head -n 3 "$SB_STDERR")"

  sb_run --No-Reboot extra --version
  assert_status 0
  assert_stdout_has "kelvane "
  assert_stdout_lacks "Usage:"
  assert_not_called "."
  [ "$(wc -l <"$SB_STDOUT")" -eq 1 ] || fail "--version printed more than one line"
  return 0
}

test_look_alike_options_start_the_program() {
  sb_done_marker
  for option in -h --Version --help=1; do
    sb_answer 1                       # cancel the main menu
    sb_run "$option"
    assert_status 0
    assert_stdout_lacks "Usage:"
    assert_called "^dpkg-query "      # the start-up ran: it loads the installed packages
  done
}
