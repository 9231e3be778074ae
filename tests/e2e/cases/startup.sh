# What the program does before its first dialog: options answered at once, the refusals, the
# per-run workspace.

test_help_version_and_usage_errors_run_nothing() {
  sb_os_release debian-12             # an unsupported system must not matter
  sb_run -h
  assert_status 0
  assert_stdout_has "  --dry-run      show the steps, commands and file changes; change nothing"
  sb_run --No-Reboot extra --version
  assert_status 0
  [[ $(cat "$SB_STDOUT") =~ ^kelvane\ [0-9.]+$ ]] || fail "--version printed: $(cat "$SB_STDOUT")"
  # A mistyped option or value must never start a run (and so never restart the machine).
  local row arg expected
  for row in "--no_reboot|kelvane: unknown option '--no_reboot'; did you mean '--noreboot'?" \
    "--theme=blue|kelvane: invalid value 'blue' for --theme (choose light or dark)" \
    "kernel x64v1|kelvane: invalid value 'x64v1' for kernel (choose x64v2 (x86-64v2), x64v3 (x86-64v3), lts-x64v2 (lts-x86-64v2), lts-x64v3 (lts-x86-64v3), lts, rt-x64v2 (rt-x86-64v2), rt-x64v3 (rt-x86-64v3), edge-x64v2 (edge-x86-64v2) or edge-x64v3 (edge-x86-64v3)); did you mean 'x64v2'?" \
    "reboot|kelvane: unknown command 'reboot'"; do
    IFS='|' read -r arg expected <<<"$row"
    # shellcheck disable=SC2086 # a verb and its value are two arguments
    sb_run $arg
    assert_status 2
    # One error line and a pointer to the help, which would scroll the error away.
    [ "$(cat "$SB_STDERR")" = "$expected"$'\n'"Run 'kelvane --help' for the options." ] ||
      fail "$arg: $(sb__excerpt "$SB_STDERR")"
    [ ! -s "$SB_LOG" ] && [ ! -s "$SB_STDOUT" ] && [ ! -e "$SB_HOME/.cache" ] || fail "$arg ran"
  done
}

# The data is checked before the first dialog, and found from any folder.
test_data_folder_and_preflight() {
  local item
  for item in "extensions_22.04" "debs" "nala/volian-archive-keyring.gpg"; do
    mv "$SB_WORK/$item" "$SB_DIR/aside"
    sb_run
    mv "$SB_DIR/aside" "$SB_WORK/$item"
    assert_status 1
    assert_stderr_has "E: Missing data: $item"
    assert_stderr_has "run script/fetch-data"
    assert_dialogs ""
    assert_not_called '^(sudo [^d]|dconf|whiptail)'
  done
  cp "$SB_BINARY" "$SB_WORK/kelvane"
  SB_BINARY=$SB_WORK/kelvane SB_CWD=$SB_HOME sb_run --dry-run --yes --browser=edge --layout=ubuntu \
    --theme=light
  assert_status 0
  assert_stdout_has "Dry run: nothing was changed."
  SB_CWD=$SB_HOME sb_run
  assert_status 1
  assert_stderr_has "E: Cannot find the program's data: looked in $SB_HOME, $SB_DIR/bin, /usr/share/kelvane"
}

# Each refusal: status 1, its own lines, no dialog and no command but the look-ups.
test_refusals() {
  local row setup expected
  local debian_box='
┌┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┐
┊ This distribution is not supported:    ┊
┊  - Debian GNU/Linux 12 (bookworm)      ┊
┊                                        ┊
┊ Supported distributions:               ┊
┊  - Ubuntu 22.04                        ┊
┊  - Ubuntu 22.10                        ┊
┊  - Ubuntu 24.04                        ┊
┊  - Ubuntu 26.04                        ┊
┊                                        ┊
└┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┘'
  for row in "sb_as_root|E: Do not run this program as root or with sudo: start it as your desktop user; it asks for the administrator password when it needs it." \
    "sb_no_account|E: Username not found for uid: 4242" \
    "sb_without wget rsync whiptail|E: Some required tools are missing: rsync, wget, whiptail
E: Install packages for the missing tools and try again." \
    "sb_os_release debian-12|$debian_box" \
    "sb_os_release ubuntu-22.04.1|This distribution is not supported:" \
    "sb_os_release ubuntu-20.04|This distribution is not supported:" \
    "sb_os_release derivative-22.04| - Corvid Desktop 22.04 "; do
    IFS='|' read -r -d '' setup expected <<<"$row"
    expected=${expected%$'\n'}
    rm -rf "$SB_DIR/conf/as-root" "$SB_DIR/conf/no-account" "$SB_DIR/sys/usr" "$SB_HOME/.cache"
    : >"$SB_DIR/conf/without"
    sb_os_release ubuntu-22.04
    $setup
    sb_run --noreboot
    assert_status 1
    # Once the log is open, the refusal ends by naming it.
    case $setup in
      *debian*) [ "$(grep -v '^Log: ' "$SB_STDOUT")" = "$expected" ] || fail "box: $(cat "$SB_STDOUT")" ;;
      *os_release*) assert_stdout_has "$expected" ;;
      *) [[ $(cat "$SB_STDERR") == "$expected"* ]] && ! grep -qv '^Log: ' "$SB_STDOUT" ||
        fail "$setup: $(sb__excerpt "$SB_STDERR")" ;;
    esac
    assert_not_called '^(sudo [^d]|apt|eatmydata|dconf|whiptail|shutdown)'
    # The log is open before the checks after the user's: it holds their refusal.
    [[ $setup == sb_as_root || $setup == sb_no_account ]] ||
      grep -qF -- "${expected##*$'\n'}" "$(ls -t "$SB_HOME"/.local/state/kelvane/*.log | head -n 1)" ||
      fail "$setup: the log lacks its refusal"
    if [ "$setup" = sb_as_root ] && { [ -s "$SB_LOG" ] || [ -e "$SB_HOME/.cache" ]; }; then
      fail "a root run changed something"
    fi
  done
}

test_supported_release_with_a_failing_package_query() {
  sb_os_release ubuntu-22.10
  sb_done_marker
  sb_fail dpkg-query
  sb_answer 1
  sb_run
  assert_status 0
  assert_stdout_has "Dist: Ubuntu 22.10"
  assert_called '^sudo dpkg-query '
}

# Each run works in a private folder of its own; when the temporary folder cannot be used, in
# one below the home, whose path holds a quote and a blank here. At every ending the folder
# goes and the log, which stays, is named once (a dry run's beside the workspace).
test_workspace_private_and_removed_at_every_ending() {
  local row setup args status log
  sb_home "$SB_DIR/home/it's kelvane"
  sb_done_marker
  sb_hang whiptail 'Choose Action'
  SB_WHILE_HANGING='stat -c "%a %u" "$SB_DIR"/tmp/kelvane_* >"$SB_DIR/modes"'
  sb_run_interrupted INT
  SB_WHILE_HANGING=
  [ "$(cat "$SB_DIR/modes")" = "700 4242" ] || fail "workspace: $(cat "$SB_DIR/modes")"
  for row in "|--dry-run theme dark|0" "sb_answer 1||0" "sb_answer 0 theme; sb_answer 0 dark||0" \
    "|boot-manager dark|1" "sb_fail dconf load|theme light|1" "chmod 500 \"\$SB_DIR/tmp\"|undo --list|0"; do
    IFS='|' read -r setup args status <<<"$row"
    : >"$SB_DIR/fail.rules"
    eval "$setup"
    # shellcheck disable=SC2086 # a verb and its value are two arguments
    sb_run $args
    chmod 700 "$SB_DIR/tmp"
    [ "$SB_STATUS" = "$status" ] || fail "'$row' ended with $SB_STATUS"
    log=$(sed -n 's/^Log: //p' "$SB_STDOUT")
    [ -f "$log" ] && [[ $args != --dry-run* || $log == "$SB_DIR/tmp/kelvane-dry-run-"* ]] ||
      fail "'$row' named no log or the wrong one: $(sb__excerpt "$SB_STDOUT")"
    compgen -G "$SB_DIR/tmp/kelvane_*" >/dev/null || compgen -G "$SB_HOME/.temp/kelvane_*" >/dev/null &&
      fail "'$row' left its workspace"
  done
  grep -qF "E: Failed to create '$SB_DIR/tmp/kelvane_" "$SB_STDERR" || fail "no fallback into the home"
}

# Without a terminal no dialog can be shown: one "E: " line with the way out, status 1, nothing
# changed. The program sees no terminal on stdin; where it takes one for granted (the knob),
# the real whiptail, in a session without any terminal, fails in its own ways (status 1 when
# TERM cannot draw, else 255), which count the same.
test_no_terminal_for_a_dialog() {
  local row knob term
  SB_REAL_WHIPTAIL=1
  for row in "|dumb" "KELVANE_DIALOGS_WITHOUT_TERMINAL=1|dumb" "|xterm"; do
    IFS='|' read -r knob term <<<"$row"
    [ -z "$knob" ] || { sb_env "$knob" && touch "$SB_DIR/conf/own-group"; }
    SB_TERM=$term sb_run --yes --noreboot
    assert_status 1
    [ "$(cat "$SB_STDERR")" = "E: The dialog 'Web Browser' needs a terminal: start kelvane in one, or without dialogs with --yes and every answer as an option (see kelvane --help)" ] ||
      fail "$row: $(sb__excerpt "$SB_STDERR")"
    ! grep -q '^\$ ' "$(sed -n 's/^Log: //p' "$SB_STDOUT")" || fail "$row: a change was made"
  done
}

# The background refresh of sudo's credentials lives exactly as long as the program, however the
# program ends: normally, with status 1, or by a signal.
test_sudo_keepalive_ends_with_the_program() {
  local program="(cd '$SB_WORK' && exec '$SB_BINARY' >/dev/null 2>&1)" count="pgrep -c -f '^$SB_BINARY'"
  sb_os_release ubuntu-24.04
  sb_done_marker
  sb_answer 1
  sb_fail apt install
  sb_hang whiptail 'Choose Action'
  sb_exec bash -c "$program & for _ in \$(seq 600); do [ -e '$SB_DIR/state/hanging' ] && break; sleep 0.05; done
    echo during=\$($count); kill -TERM \$!; wait \$!; echo status=\$?; echo after=\$($count)
    : >'$SB_DIR/state/hang.rules'; $program; echo status=\$?; echo after=\$($count)
    printf '0\txanmod\n0\tlinux-xanmod-lts-x64v3\n' >'$SB_DIR/state/answers'
    $program; echo status=\$?; echo after=\$($count)" >"$SB_DIR/out" 2>&1
  [ "$(grep -E '^(during|status|after)=' "$SB_DIR/out" | paste -sd' ')" = \
    "during=2 status=143 after=0 status=0 after=0 status=1 after=0" ] ||
    fail "keep-alive: $(paste -sd' ' "$SB_DIR/out")"
}
