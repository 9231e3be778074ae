# The sandbox itself, probed with bash as the program: who runs, what it sees, where its writes
# land, what the stubs record; and that the harness reports failures and leaves nothing running.

test_sandbox_sanity() {
  sb_cpuinfo v4
  sb_installed curl
  sb_fail apt 'install .*nala'
  sb_without rsync
  SB_BINARY=/bin/bash
  sb_run -c 'id -u; id -G; echo "$HOME"; grep -c avx512vl /proc/cpuinfo
    sudo eatmydata apt install -y tree; apt install nala || echo nala failed
    sudo dpkg-query -W -f "\${Package}\n"; command -v rsync || echo no rsync
    sudo tee /etc/default/probe <<<probe; ! touch /etc/probe 2>/dev/null'
  assert_status 0
  [ "$(cat "$SB_STDOUT")" = "4242
4242
$SB_HOME
1
nala failed
curl
tree
no rsync
probe" ] || fail "the probe printed: $(sb__excerpt "$SB_STDOUT")"
  assert_order '^sudo eatmydata apt install -y tree$' '^eatmydata apt install' '^apt install -y tree$'
  [ "$(cat "$SB_DIR/sys/etc/default/probe")" = probe ] || fail "the write did not land in the sandbox"
  [ ! -e /etc/default/probe ] || fail "the write leaked onto the machine"
}

# The deliberately failing case, with a sleep of an odd length that nothing else would run. Only
# the hanging test gets the short time limit: on a loaded machine a sandbox alone may take longer.
test_failures_are_reported() {
  local hang=$((RANDOM + 100000)).25 out
  run_must_fail() {
    SB_ONLY=$1 SB_KEEP='' SB_TIMEOUT=$2 SB_HANG=$hang KELVANE_BINARY=/bin/bash \
      "$SB_HARNESS/run-case" "$SB_HARNESS/selftest/must_fail.sh" 2>&1
  }
  out=$(run_must_fail '^test_(wrong_status|dialog_without_answer|passes)$' 600) && fail "run-case exited 0"
  out+=$'\n'$(run_must_fail '^test_hangs$' 5) && fail "run-case exited 0 on a hang"
  [ "$out" = "FAIL test_wrong_status: exit status 3, expected 0; stderr: 
FAIL test_dialog_without_answer: no whiptail answer left for dialog 'Never Answered'
PASS test_passes
1 passed, 2 failed
FAIL test_hangs: timed out after 5s
0 passed, 1 failed" ] || fail "run-case printed: $(tr '\n' '|' <<<"$out")"
  # run-case returns only once a test's processes are gone.
  grep -lxz "${hang%.25}\.25" /proc/[0-9]*/cmdline 2>/dev/null &&
    fail "a timed-out program survived"
  return 0
}

# The demo, headless on 24.04 and then as a dry run: the release's sources it seeds are marked
# as seeded, both logs are kept, and the session bus's messages are in the demo's own log.
test_sandbox_demo() {
  local extra args=(--os ubuntu-24.04 --yes --browser=firefox --layout=windows --theme=dark --noreboot)
  for extra in "" --dry-run; do
    KELVANE_BINARY=$SB_BINARY KELVANE_DEMO_LOGS=$SB_DIR/demo-logs \
      "$SB_SOURCE_DIR/script/sandbox-demo" "${args[@]}" ${extra:+"$extra"} >"$SB_DIR/demo.out" 2>&1 ||
      fail "the demo failed: $(sb__excerpt "$SB_DIR/demo.out")"
    grep -qxF "  /etc/apt/sources.list.d/ubuntu.sources (seeded by the demo, unchanged)" "$SB_DIR/demo.out" &&
      ! grep -q "Activating service" "$SB_DIR/demo.out" || fail "the demo printed: $(sb__excerpt "$SB_DIR/demo.out")"
  done
  ls "$SB_DIR"/demo-logs/{kelvane-dry-run-,sandbox-demo-,2}*.log >/dev/null || fail "logs: $(ls "$SB_DIR/demo-logs")"
}
