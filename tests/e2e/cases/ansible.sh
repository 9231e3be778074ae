# The playbook of contrib/ansible, played by the real ansible-playbook against the sandbox machine
# as an administrator reaches a desktop: root on the host, the package that script/package makes
# of the tested program installed by the real dpkg, the wizard run as the desktop user through
# sudo, with that user's session bus.

# The package, the playbook and an inventory that names this machine, in the sandbox.
ansible_setup() {
  command -v ansible-playbook >/dev/null || fail "no ansible-playbook: script/bootstrap installs ansible-core"
  KELVANE_PACKAGE_BINARY=$SB_BINARY KELVANE_DATA_DIR=$SB_WORK KELVANE_DIST_DIR=$SB_DIR/dist \
    "$SB_SOURCE_DIR/script/package" >"$SB_DIR/package.out" 2>&1 ||
    fail "script/package: $(sb__excerpt "$SB_DIR/package.out")"
  cp -R "$SB_SOURCE_DIR/contrib/ansible" "$SB_DIR/ansible"
  cat >"$SB_DIR/ansible/test.ini" <<INVENTORY
desktop ansible_connection=local ansible_python_interpreter=/usr/bin/python3 ansible_become_exe=$SB_DIR/stubs/sudo
[all:vars]
kelvane_deb=$(echo "$SB_DIR"/dist/*.deb)
kelvane_profile=profile.example.ini
kelvane_user=kelvanetest
kelvane_reboot=false
kelvane_report_dir=$SB_DIR/reports
INVENTORY
  sb_system_files
}

# One play; its output in $SB_STDOUT, its status in SB_STATUS.
play() {
  sb_exec_admin ansible-playbook -i "$SB_DIR/ansible/test.ini" "$SB_DIR/ansible/kelvane.yml" \
    >"$SB_STDOUT" 2>&1
  SB_STATUS=$?
}

# The play's closing line for the host: changed=$1, failed=$2.
assert_recap() {
  grep -qE "^desktop +: ok=[0-9]+ +changed=$1 +unreachable=0 +failed=$2 " "$SB_STDOUT" ||
    fail "recap: $(grep -A1 '^PLAY RECAP' "$SB_STDOUT" | tail -n 1), expected changed=$1 failed=$2"
}

test_second_play_changes_nothing() {
  ansible_setup
  play
  assert_status 0
  assert_recap '[1-9][0-9]*' 0
  grep -A1 "^TASK \[Kelvane's result\]" "$SB_STDOUT" | grep -q '^changed: \[desktop\]' ||
    fail "the run did not count as a change: $(grep -A3 "Kelvane's result" "$SB_STDOUT" | tr '\n' '|')"
  grep -q '"changed": *true' "$SB_DIR/reports/desktop.json" || fail "no report fetched, or not changed"
  # The settings went through the user's session bus into their dconf database.
  sb_dconf_dump | grep -qx "gtk-theme='Yaru'" || fail "the light theme is not in the user's settings"
  play
  assert_status 0
  assert_recap 0 0
  grep -q '"changed": *false' "$SB_DIR/reports/desktop.json" || fail "the second report says changed"
}

# A failing step fails the play with the step's error line; a run that stops with a usage error
# and no report fails it with kelvane's own error output.
test_failures_fail_the_play() {
  local error
  ansible_setup
  sb_fail dconf '^load'
  play
  assert_status 2
  assert_recap '[0-9]+' 1
  # The play prints its message as JSON.
  error=$(grep -h -m1 '^E: ' "$SB_HOME"/.local/state/kelvane/*.log | cut -c 4-)
  [ -n "$error" ] || fail "the run's log has no error line"
  assert_stdout_has "$(python3 -c 'import json, sys; print(json.dumps(sys.argv[1], ensure_ascii=False)[1:-1])' "$error")"
  : >"$SB_DIR/fail.rules"
  printf '[answers]\ntheme=purple\n' >"$SB_DIR/ansible/profile.example.ini"
  play
  assert_status 2
  assert_recap '[0-9]+' 1
  assert_stdout_has "profile.ini:2"
}
