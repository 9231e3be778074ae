# Start-up and the command line, seen from outside.

test_plain_run_ends_normally() {
  sb_done_marker
  sb_answer 1
  sb_run --noreboot
  assert_status 0
}
