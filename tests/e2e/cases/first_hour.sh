# The first hour after a fresh install: another package manager holding the lock, prompts,
# sleep, the network and the disk.

answers() {
  sb_answer 0
  sb_answer 0 "$1"
  [ "$1" != chrome ] || sb_answer 0
  sb_answer 0 windows
  sb_answer 0 dark
}

marker=.cache/velkor-post-install.done

# The holder lets go after three checks: the run waits, says so once, and finishes. Every apt
# call asks nothing, upgrades keep changed configuration files, and deb-get gets the token
# without it reaching the log.
test_lock_held_for_a_while_then_the_pass_finishes() {
  sb_system_files
  sb_lock_held 3
  sb_env KELVANE_LOCK_WAIT=1200:0.05 DEBGET_TOKEN=tok-secret-42
  answers edge
  sb_run --noreboot
  assert_status 0
  assert_stdout_has "Waiting for another package manager (unattended-upgr, pid "
  [ "$(grep -c "Waiting for another package manager" "$SB_STDOUT")" = 1 ] || fail "wait line not once"
  [ -f "$SB_HOME/$marker" ] || fail "no done marker"
  assert_order 'fuser /var/lib/dpkg/lock-frontend' 'add-apt-repository -y universe'
  # No logind in this sandbox: one warning, and the run goes on.
  assert_stderr_has "W: Cannot keep the machine awake"
  ! grep -q '^E: ' "$SB_STDERR" || fail "an error: $(grep -m1 '^E: ' "$SB_STDERR")"
  local asking
  asking=$(grep -E '^sudo .*(^| )apt(-get)? ' "$SB_LOG" | grep -v 'DEBIAN_FRONTEND=noninteractive')
  [ -z "$asking" ] || fail "apt may ask: $asking"
  assert_calls 2 '^sudo .*apt (full-)?upgrade -y .*--force-confdef -o Dpkg::Options::=--force-confold'
  assert_called '^sudo env .*DEBGET_TOKEN=tok-secret-42 eatmydata deb-get install microsoft-edge-stable$'
  ! grep -rq tok-secret-42 "$SB_HOME/.local/state/kelvane" || fail "the token is in the log"
  # A holder that ends before its name is read (unattended-upgrade finishing) is no error.
  sb_lock_held 2 gone
  sb_run software vscode
  assert_status 0
  assert_stdout_has "Waiting for another package manager (pid "
  ! grep -q '^E: ' "$SB_STDERR" || fail "an error: $(grep -m1 '^E: ' "$SB_STDERR")"
  assert_called 'deb-get install code$'
}

# A holder that never lets go: the run stops at the first package command and names it.
test_lock_never_freed_stops_and_names_the_holder() {
  sb_system_files
  sb_lock_held forever
  sb_env KELVANE_LOCK_WAIT=1:0.2
  answers firefox
  sb_run --noreboot
  assert_status 1
  assert_stderr_has "E: Another package manager (unattended-upgr, pid "
  assert_stdout_has "Stopped at step 1 of 28: Enable extra repositories"
  assert_not_called 'add-apt-repository'
}

# A host without an answer or a full disk stops the run before its first change, also in a dry
# run; --skip-network-check goes on. The kernel needs room on /boot.
test_checks_before_the_first_change() {
  local row setup args status expected
  for row in "sb_fail curl google||1|E: No answer from dl.google.com (the web browser)" \
    "sb_fail curl google|--dry-run|1|E: No answer from dl.google.com (the web browser)" \
    "sb_disk_free 1073741824||1|E: Not enough free space on /: 1.0 GiB free, 5.0 GiB needed" \
    "sb_disk_free 104857600|kernel x64v3|1|E: Not enough free space on /boot: 100 MiB free, 300 MiB needed" \
    "sb_fail curl google|--skip-network-check|0|"; do
    IFS='|' read -r setup args status expected <<<"$row"
    : >"$SB_DIR/fail.rules"
    rm -f "$SB_DIR/state/disk-free"
    sb_system_files
    sb_clear_answers
    sb_os_release ubuntu-22.04
    # XanMod publishes for 24.04 and later.
    if [[ $args == kernel* ]]; then sb_os_release ubuntu-24.04; else answers chrome; fi
    $setup
    # shellcheck disable=SC2086
    sb_run --noreboot $args
    assert_status "$status"
    if [ -n "$expected" ]; then
      assert_stderr_has "$expected"
      assert_stdout_has "Nothing was changed."
      assert_not_called '^sudo env|add-apt-repository|^dconf load|xanmod'
    else
      assert_called 'google-chrome'
    fi
  done
}

# Failures that once went unreported: each is an "E: " line and an error of its step; the
# pass ends with status 1 and no restart, and the next pass repairs them.
test_failures_that_stayed_silent() {
  local fish=.config/fish/functions/fish_prompt.fish step
  sb_system_files
  # A whiteout: the system's list of default applications is gone.
  rm "$SB_DIR/sys/usr/share/applications/defaults.list"
  mknod "$SB_DIR/sys/usr/share/applications/defaults.list" c 0 0
  sb_home_file Pictures/Wallpapers "a file where the folder belongs"
  sb_fail apt '^(update|upgrade|full-upgrade) '
  sb_fail snap 'remove firefox'
  sb_fail chmod 'fish_prompt'
  answers firefox
  sb_run
  assert_status 1
  assert_not_called shutdown
  for step in "Update fish prompt" "Remove Firefox snap and default applications" "Install Nala" \
    "Install updates" "Install Variety" "Default applications"; do
    assert_stdout_has "Step with an error: $step"
  done
  for line in "E: Failed to set mode u+rw-x,go-wx on $SB_HOME/$fish" "E: Failed to remove the firefox snap" \
    "E: Refreshing the package information failed" "E: Installing the updates failed" \
    "E: Failed to link the Variety favourites" "E: Failed to set the default applications"; do
    assert_stderr_has "$line"
  done
  : >"$SB_DIR/fail.rules"
  rm -f "$SB_DIR/sys/usr/share/applications/defaults.list" "$SB_HOME/Pictures/Wallpapers"
  sb_system_files
  # As an earlier version left it: executable, and writable by everyone.
  chmod 777 "$SB_HOME/$fish"
  sb_clear_answers
  answers firefox
  sb_run
  assert_status 0
  [ "$(stat -c %a "$SB_HOME/$fish")" = 644 ] || fail "fish prompt mode not repaired"
}

# A mocked logind on a private system bus: the inhibitor is held during the upgrade and gone
# after an interrupted run and after a finished one.
test_logind_inhibitor_during_the_unattended_part() {
  local tries
  /usr/bin/python3 -c 'import dbusmock' 2>/dev/null || fail "python3-dbusmock is needed (script/bootstrap)"
  # Inside the sandbox (the bus needs the test user's account), on the program's system bus.
  inhibitors() {
    sb__enter "$SB_HOME" gdbus call --system --dest org.freedesktop.login1 \
      --object-path /org/freedesktop/login1 --method org.freedesktop.login1.Manager.ListInhibitors
  }
  sb_exec true
  sb__enter "$SB_HOME" bash -c 'dbus-daemon --session --fork --nopidfile \
    --address="$DBUS_SYSTEM_BUS_ADDRESS" && exec /usr/bin/python3 -m dbusmock --system --template logind' \
    </dev/null >"$SB_DIR/mock.log" 2>&1 &
  disown # sb_run_interrupted waits for its own jobs only
  tries=600
  until inhibitors >/dev/null 2>&1; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] ||
      fail "the logind mock did not start: $(sb__excerpt "$SB_DIR/mock.log")$(sb__excerpt "$SB_DIR/enter.log")"
    sleep 0.1
  done
  sb_system_files
  answers firefox
  sb_hang apt '^upgrade '
  SB_WHILE_HANGING='inhibitors >"$SB_DIR/during"'
  sb_run_interrupted INT --noreboot
  SB_WHILE_HANGING=
  assert_status 130
  grep -qF "'sleep:idle', 'Kelvane', 'Installing and configuring the system', 'block'" \
    "$SB_DIR/during" || fail "no inhibitor during the upgrade: $(cat "$SB_DIR/during")"
  for run in interrupted finished; do
    # The mock drops the lock when it sees the file descriptor closed, in its own time.
    tries=600
    until [ "$(inhibitors)" = "(@a(ssssuu) [],)" ]; do
      tries=$((tries - 1))
      [ "$tries" -gt 0 ] || fail "inhibitor kept after the $run run: $(inhibitors)"
      sleep 0.1
    done
    [ $run = finished ] && break
    sb_clear_answers
    answers firefox
    sb_run --noreboot
    assert_status 0
    assert_stdout_has "Post-install tasks are complete."
  done
}
