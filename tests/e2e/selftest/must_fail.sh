# Every test here but one must fail: cases/harness.sh and the CTest entry (WILL_FAIL) rely on it.
test_wrong_status() {
  SB_BINARY=/bin/bash
  sb_run -c 'exit 3'
  assert_status 0
}

test_dialog_without_answer() {
  SB_BINARY=/bin/bash
  sb_run -c 'whiptail --title "Never Answered" --msgbox hi 20 78; sleep 30'
}

test_hangs() {
  SB_BINARY=/bin/bash
  sb_run -c "sleep ${SB_HANG:-301.75} & sleep ${SB_HANG:-301.75}"
}

test_passes() {
  SB_BINARY=/bin/bash
  sb_run -c true
  assert_status 0
}
