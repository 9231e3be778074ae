# The sandbox itself, probed with bash as the program under test: who runs, what it sees, where
# its writes land, and what the stubs record and answer.

probe() {
  SB_BINARY=/bin/bash
  sb_run -c "$1"
}

test_identity_and_fake_system_files() {
  sb_os_release ubuntu-22.10
  sb_cpuinfo v4
  probe 'id -u; id -g; id -G; echo "home=$HOME"; pwd; grep kelvanetest /etc/passwd;
    grep VERSION_ID /etc/os-release; grep -q avx512vl /proc/cpuinfo && echo has-avx512vl'
  assert_status 0
  [ "$(head -n 3 "$SB_STDOUT" | tr '\n' ' ')" = "4242 4242 4242 " ] ||
    fail "ids: $(head -n 3 "$SB_STDOUT" | tr '\n' ' ')"
  assert_stdout_has "home=$SB_HOME"
  assert_stdout_has "$SB_WORK"
  assert_stdout_has "kelvanetest:x:4242:4242:Kelvane Test:$SB_HOME:/bin/bash"
  assert_stdout_has 'VERSION_ID="22.10"'
  assert_stdout_has has-avx512vl
}

test_home_with_blank_and_files() {
  sb_home_with_blank
  sb_home_file .bashrc "# mine"
  sb_root_file /boot/efi/EFI/refind/refind.conf "timeout 20"
  probe 'cat "$HOME/.bashrc"; echo; cat /boot/efi/EFI/refind/refind.conf; echo; echo "$HOME"'
  assert_stdout_has "# mine"
  assert_stdout_has "timeout 20"
  assert_stdout_has "home with blank/kelvane test"
}

test_system_writes_stay_in_the_sandbox() {
  probe 'set -e
    echo deb > /etc/apt/sources.list.d/probe.list
    sudo tee /etc/default/zramswap <<< "ALGO=zstd" >/dev/null
    cp /dev/null /usr/share/backgrounds/probe.jpg
    mkdir -p /boot/efi/EFI/probe
    echo x > /tmp/probe-file
    sudo mv -f /tmp/probe-file /usr/bin/probe-tool
    test -f /usr/bin/probe-tool
    ! touch /etc/probe 2>/dev/null'
  assert_status 0
  assert_root_file_has /etc/apt/sources.list.d/probe.list deb
  assert_root_file_has /etc/default/zramswap "ALGO=zstd"
  assert_root_file_has /usr/bin/probe-tool x
  [ -d "$SB_DIR/sys/boot/efi/EFI/probe" ] || fail "no /boot/efi/EFI/probe in the sandbox"
  for leaked in /etc/apt/sources.list.d/probe.list /usr/bin/probe-tool /tmp/probe-file \
    /usr/share/backgrounds/probe.jpg /boot/efi; do
    [ ! -e "$leaked" ] || fail "$leaked leaked onto the machine"
  done
  findmnt 2>/dev/null | grep -q "$SB_DIR" && fail "a sandbox mount is still visible"
  return 0
}

test_stubs_record_and_keep_package_state() {
  sb_installed curl wget
  probe 'cd /tmp && sudo eatmydata apt install -y --no-install-recommends boxes tree
    sudo eatmydata apt autoremove --purge -y curl
    sudo dpkg-query -W -f '"'"'${Package}\n'"'"'
    echo "status=$?"'
  assert_status 0
  assert_order '^sudo eatmydata apt install' '^eatmydata apt install' '^apt install -y --no-install-recommends boxes tree$' \
    '^apt autoremove --purge -y curl$' '^dpkg-query -W -f \$\{Package\}\\n$'
  [ "$(grep -v status= "$SB_STDOUT")" = $'wget\nboxes\ntree' ] || fail "package list: $(cat "$SB_STDOUT")"
  grep -q $'^/tmp\tapt install' "$SB_CWD_LOG" || fail "working directory not recorded"
}

test_failing_stubs_and_missing_commands() {
  sb_fail apt 'install .*nala'
  sb_fail xdg-open
  sb_without rsync snap
  probe 'apt install -y tree; echo "tree=$?"; apt install -y nala; echo "nala=$?"
    xdg-open https://kelvane.org; echo "open=$?"; sudo apt update; echo "update=$?"
    command -v rsync || echo "no rsync"; command -v snap || echo "no snap"; which awk >/dev/null && echo "awk ok"'
  for line in tree=0 nala=1 open=1 update=0 "no rsync" "no snap" "awk ok"; do
    grep -qx "$line" "$SB_STDOUT" || fail "missing line '$line' in: $(cat "$SB_STDOUT")"
  done
}

test_efi_and_downloads() {
  sb_efi on
  probe 'sudo efibootmgr >/dev/null && echo efi; cd "$HOME"; wget https://example.org/dir/a.deb?x=1
    wget -O /tmp/gnome-shell-extension-installer https://example.org/i; test -s /tmp/gnome-shell-extension-installer && echo named
    test -f a.deb && echo basename; curl -sL https://example.org/s | wc -c'
  for line in efi named basename 0; do
    grep -qx "$line" "$SB_STDOUT" || fail "missing line '$line' in: $(cat "$SB_STDOUT")"
  done
}

test_whiptail_answers_in_order() {
  sb_answer 0 "theme"
  sb_answer 1
  probe 'whiptail --title "Choose Action" --menu x 20 78 10 a b 2>"$TMPDIR/answer"; echo "first=$? $(cat "$TMPDIR/answer")"
    whiptail --title "GTK Theme" --menu y 20 78 10 2>/dev/null; echo "second=$?"'
  assert_dialogs 2
  assert_stdout_has "first=0 theme"
  assert_stdout_has "second=1"
  assert_called "^whiptail --title GTK Theme --menu y"

  # Left-over answers go; the next run starts from a fresh queue.
  sb_answer 0 "left over"
  sb_clear_answers
  sb_answer 0 "fresh"
  probe 'whiptail --title Again --menu z 20 78 10 2>"$TMPDIR/answer"; cat "$TMPDIR/answer"'
  assert_stdout_has fresh
  assert_stdout_lacks "left over"
}

test_dconf_is_real_and_persists() {
  probe 'printf "\n[org/gnome/desktop/interface]\ncolor-scheme='"'"'prefer-dark'"'"'\n" | dconf load -f /'
  assert_status 0
  assert_called '^dconf load -f /$'
  sb_dconf_dump | grep -qx "color-scheme='prefer-dark'" || fail "dconf dump lacks the loaded key"
  probe 'printf "[broken\n" | dconf load -f /'
  [ "$SB_STATUS" != 0 ] || fail "dconf accepted a broken payload"
}

test_nothing_left_running() {
  # A sleep of an odd length that nothing else on the machine would run.
  local length=$((RANDOM + 100000)).5
  probe "sleep $length & disown; (sleep $length &) ; echo started"
  assert_stdout_has started
  local cmdline
  for cmdline in /proc/[0-9]*/cmdline; do
    [ "$(tr '\0' ' ' <"$cmdline" 2>/dev/null)" = "sleep $length " ] && fail "a sandbox process outlived its run"
  done
  return 0
}

# The harness must be able to fail: run the deliberately failing case and read its verdicts.
test_failures_are_reported() {
  local out
  out=$(SB_ONLY='' SB_KEEP='' SB_TIMEOUT=5 KELVANE_BINARY=/bin/bash "$SB_HARNESS/run-case" "$SB_HARNESS/selftest/must_fail.sh" 2>&1)
  local status=$?
  [ "$status" != 0 ] || fail "run-case exited 0 on failures"
  for line in "FAIL test_wrong_status: exit status 3, expected 0" \
    "FAIL test_dialog_without_answer: no whiptail answer left for dialog 'Never Answered'" \
    "FAIL test_hangs: timed out after 5s" "PASS test_passes" "1 passed, 3 failed"; do
    grep -q "^$line" <<<"$out" || fail "run-case output lacks '$line': $(tr '\n' '|' <<<"$out")"
  done
  local cmdline
  for cmdline in /proc/[0-9]*/cmdline; do
    [ "$(tr '\0' ' ' <"$cmdline" 2>/dev/null)" = "sleep 301.75 " ] && fail "a timed-out program survived"
  done
  return 0
}
