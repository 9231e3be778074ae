# The real whiptail in tmux: the program's dialogs draw, keys choose, the answer flows through.

test_theme_change_by_keys() {
  sb_done_marker
  sb_tmux_start
  sb_tmux_wait_text "Change Theme       Change the theme (light or dark)"
  sb_tmux_keys Down Down Enter
  sb_tmux_wait_text "Choose theme:"
  sb_tmux_keys Down Enter
  sb_tmux_wait_exit
  assert_status 0
  assert_stdout_has "Selected theme: dark"
  sb_dconf_dump | grep -qx "color-scheme='prefer-dark'" || fail "the dark theme is not in dconf"
  # The log keeps the answers, not what the dialogs drew.
  grep -qx "Answer: dark" "$SB_HOME"/.local/state/kelvane/*.log || fail "the log lacks the answer"
  ! grep -q $'\e' "$SB_HOME"/.local/state/kelvane/*.log || fail "escape sequences in the log"
}

# Undo's question answers with Enter at once, its commands in view.
test_undo_question_answers_with_enter() {
  sb_system_files
  sb_run --yes --browser=firefox --layout=windows --theme=dark --noreboot
  assert_status 0
  sb_tmux_start undo
  sb_tmux_wait_text "Run these commands now to reverse the package changes?"
  sb_tmux_wait_text "sudo apt autoremove --purge -y 'appimagelauncher' 'aptitude'"
  sb_tmux_keys Enter
  sb_tmux_wait_exit
  assert_status 0
  assert_called "^sudo apt autoremove --purge -y appimagelauncher aptitude "
}
