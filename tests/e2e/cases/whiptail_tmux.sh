# The real whiptail, driven by keys in tmux: the dialog command lines as the program builds them
# render, and the answer comes back through the redirected answer file and the exit status.

# The answer file lies in a folder whose name holds a single quote, escaped as the program does.
answer_dir() { printf '%s' "$SB_DIR/tmp/it's here"; }
quoted_answer_path() {
  local path
  path="$(answer_dir)/answer"
  printf "'%s'" "${path//\'/\'\\\'\'}"
}

main_menu_command() {
  local items=""
  while [ $# -gt 1 ]; do
    items+=" '$1' '$2'"
    shift 2
  done
  printf "whiptail --title 'Choose Action' --cancel-button 'Exit' --notags --menu 'Choose action:' 20 78 10%s 2> %s" \
    "$items" "$(quoted_answer_path)"
}

run_dialog() {
  mkdir -p "$(answer_dir)"
  chown -R "$SB_UID:$SB_UID" "$SB_DIR/tmp"
  SB_BINARY=/bin/sh
  sb_tmux_start -c "$1; echo \"dialog status \$?\""
}

main_menu() {
  main_menu_command \
    setup ' Run Setup          Run the post-install wizard again' \
    sep1 ' -----------------  -----------------------------------' \
    theme ' Change Theme       Change the theme (light or dark)' \
    layout ' Change Layout      Change GNOME shell layout' \
    xanmod ' Install XanMod     Install XanMod kernel' \
    install ' Install Software   Install extra software' \
    sep2 ' -----------------  -----------------------------------' \
    website ' Website            Visit kelvane.org' \
    donate ' Donate             Support this project'
}

test_main_menu_renders_and_answers_a_tag() {
  run_dialog "$(main_menu)"
  sb_tmux_wait_text "Choose action:"
  local screen
  screen=$(sb_tmux_screen)
  for text in "Choose Action" "Run Setup          Run the post-install wizard again" \
    "Visit kelvane.org" "<Exit>"; do
    grep -qF -- "$text" <<<"$screen" || fail "the menu does not show '$text'"
  done
  grep -qE "'setup'|\bsep1\b" <<<"$screen" && fail "tags are shown despite --notags"
  sb_tmux_keys Down Down Enter
  sb_tmux_wait_exit
  assert_stdout_has "dialog status 0"
  [ "$(cat "$(answer_dir)/answer")" = theme ] ||
    fail "answer file holds '$(cat "$(answer_dir)/answer")', expected theme with no line break"
}

test_exit_button_and_escape_cancel() {
  run_dialog "$(main_menu)"
  sb_tmux_wait_text "Choose action:"
  sb_tmux_keys Tab Tab Enter
  sb_tmux_wait_exit
  assert_stdout_has "dialog status 1"
  [ ! -s "$(answer_dir)/answer" ] || fail "a cancelled menu wrote an answer"

  run_dialog "$(main_menu)"
  sb_tmux_wait_text "Choose action:"
  sb_tmux_keys Escape
  sb_tmux_wait_exit
  assert_stdout_has "dialog status 255"
}

test_checklist_answers_quoted_tags() {
  run_dialog "whiptail --title 'Install Software' --notags --checklist 'Choose items to install:' 30 78 20 vmm 'virt-manager' OFF vbox 'VirtualBox' OFF gparted 'GParted' OFF --cancel-button 'Exit' 2> $(quoted_answer_path)"
  sb_tmux_wait_text "Choose items to install:"
  sb_tmux_screen | grep -q "\[ \] virt-manager" || fail "items do not start unticked"
  sb_tmux_keys Space Down Down Space Enter
  sb_tmux_wait_exit
  assert_stdout_has "dialog status 0"
  [ "$(cat "$(answer_dir)/answer")" = '"vmm" "gparted"' ] ||
    fail "checklist answer: $(cat "$(answer_dir)/answer")"
}

test_yesno_and_msgbox() {
  run_dialog "whiptail --title 'Google Chrome EULA' --yesno 'Do you accept?' 12 78"
  sb_tmux_wait_text "Do you accept?"
  sb_tmux_keys Enter
  sb_tmux_wait_exit
  assert_stdout_has "dialog status 0"

  run_dialog "whiptail --title 'Google Chrome EULA' --yesno 'Do you accept?' 12 78"
  sb_tmux_wait_text "Do you accept?"
  sb_tmux_keys Tab Enter
  sb_tmux_wait_exit
  assert_stdout_has "dialog status 1"

  run_dialog "whiptail --title 'Not Supported by CPU' --msgbox 'It'\\''s not for this CPU' 20 78"
  sb_tmux_wait_text "It's not for this CPU"
  sb_tmux_keys Enter
  sb_tmux_wait_exit
  assert_stdout_has "dialog status 0"
}

# script/run --sandbox: the demo on a terminal lists what the program would have run and
# leaves nothing behind.
test_sandbox_demo_lists_the_commands() {
  command -v tmux >/dev/null || fail "tmux is not installed"
  mkdir -p "$SB_DIR/demo-tmp"
  tmux -S "$SB_DIR/tmux.sock" new-session -d -x 100 -y 40 \
    "TMPDIR=$(printf %q "$SB_DIR/demo-tmp") KELVANE_BINARY=$(printf %q "$SB_BINARY") $(printf %q "$SB_HARNESS/sandbox-demo") --menu --efi; sleep 600"
  local tries=100
  while [ "$tries" -gt 0 ]; do
    sb_tmux_screen | grep -qF "The program ended" && break
    # Once the main menu exists it comes first: leave it.
    sb_tmux_screen | grep -qF "Choose action:" && sb_tmux_keys Escape
    sleep 0.1
    tries=$((tries - 1))
  done
  sb_tmux_wait_text "The program ended with status 0. It would have run these commands:"
  sb_tmux_screen | grep -qE '^  sudo dpkg-query -W -f \$\{Package\}\\n$' ||
    fail "the demo's list lacks the package query: $(sb_tmux_screen | tr '\n' '|')"
  tries=50
  while [ -n "$(ls -A "$SB_DIR/demo-tmp")" ] && [ "$tries" -gt 0 ]; do
    sleep 0.1
    tries=$((tries - 1))
  done
  [ -z "$(ls -A "$SB_DIR/demo-tmp")" ] || fail "the demo left $(ls -A "$SB_DIR/demo-tmp")"
}

# The program itself with the real whiptail: a menu run driven by keys.
test_program_theme_change_by_keys() {
  sb_done_marker
  sb_tmux_start
  sb_tmux_wait_text "Choose action:"
  sb_tmux_screen | grep -qF "Change Theme       Change the theme (light or dark)" ||
    fail "the main menu lacks the theme entry"
  sb_tmux_keys Down Down Enter
  sb_tmux_wait_text "Choose theme:"
  sb_tmux_keys Down Enter
  sb_tmux_wait_exit
  assert_status 0
  assert_called '^dconf load -f /$'
  sb_dconf_dump | grep -qx "color-scheme='prefer-dark'" || fail "the dark theme is not in dconf"
}

test_program_exit_button_ends_the_run() {
  sb_done_marker
  sb_tmux_start
  sb_tmux_wait_text "Choose action:"
  sb_tmux_keys Escape
  sb_tmux_wait_exit
  assert_status 0
  assert_stdout_has "Cancelled by user"
  assert_not_called '^(sudo eatmydata|dconf) '
}
