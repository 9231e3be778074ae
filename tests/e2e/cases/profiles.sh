# Choosing and repeating a pass: status, skipped steps, profiles and the JSON report.

system_files() {
  sb_system_files text/plain=org.gnome.TextEditor.desktop video/mp4=org.gnome.Totem.desktop
}

# Every file below the home and the system folders, with its checksum.
files_now() { (cd "$SB_DIR" && find home sys -type f | sort | xargs -r md5sum); }

test_status_and_usage_errors_change_nothing() {
  local before row args message
  system_files
  sb_home_file bad.ini $'[answers]\nlayout=windows\ntheme=blue\n'
  before=$(files_now)
  sb_run status --json
  assert_status 0
  # Every step of the help's list, none done on a fresh machine but the check, which leaves
  # nothing behind.
  [ "$(json_value "$SB_STDOUT" "' '.join(s['tag'] for s in d['steps'])")" = \
    "$(sb_run --help && sed -n '/^Wizard steps/,/^$/p' "$SB_STDOUT" | sed '1d;/cannot be skipped/,$d' | xargs)" ] ||
    fail "status lists other steps than the help"
  sb_run status --json
  [ "$(json_value "$SB_STDOUT" "d['release'], {s['tag']: s['state'] for s in d['steps'] if s['state'] != 'todo'}, d['last_run']")" = \
    "22.04 {'check': 'done'} None" ] || fail "status: $(sb__excerpt "$SB_STDOUT")"
  assert_not_called '^sudo '
  # Usage errors stop before anything runs.
  for row in "--skip=libreofice|kelvane: unknown step 'libreofice' for --skip (the tags are in --help); did you mean 'libreoffice'?" \
    "--skip=deps|kelvane: step 'deps' cannot be skipped: step 'apps' (Install applications) needs it" \
    "--profile=$SB_HOME/bad.ini|kelvane: $SB_HOME/bad.ini:3: invalid value 'blue' for theme (choose light or dark)" \
    "--report=$SB_DIR/conf/report.json|kelvane: cannot write the report $SB_DIR/conf/report.json: Permission denied"; do
    IFS='|' read -r args message <<<"$row"
    sb_run --yes --noreboot "$args"
    assert_status 2
    assert_stderr_has "$message"
    [ ! -s "$SB_LOG" ] || fail "'$args' ran $(sb__excerpt "$SB_LOG")"
  done
  [ "$(files_now)" = "$before" ] || fail "a file changed"
  [ -z "$(ls -A "$SB_HOME/.local/state/kelvane" 2>/dev/null)" ] || fail "a log or record was written"
}

# The line Ansible runs, twice: the first pass changes the machine, the second finds it done.
test_profile_pass_repeated_reports_no_change() {
  local first=$SB_HOME/first.json second=$SB_HOME/second.json
  system_files
  sb_home_file lab.ini $'[answers]\nbrowser=firefox\nlayout=minimal\ntheme=light\n[steps]\nskip=libreoffice\n'
  sb_run --profile="$SB_HOME/lab.ini" --yes --noreboot --report="$first"
  assert_status 0
  assert_dialogs ""
  assert_stdout_has "Selected layout: minimal"
  assert_stdout_has "Step 17 of 28: Install LibreOffice (skipped)"
  assert_not_called 'ppa:libreoffice|libreoffice-'
  [ "$(stat -c %a "$first")" = 644 ] || fail "report mode $(stat -c %a "$first")"
  [ "$(json_value "$first" "d['command'], d['exit_status'], d['changed'], d['restart_needed'], d['steps'][16]")" = \
    "wizard 0 True True {'tag': 'libreoffice', 'title': 'Install LibreOffice', 'state': 'skipped'}" ] ||
    fail "first report: $(sb__excerpt "$first")"
  # Judged by the last run's answers, only the skipped step is left to do.
  sb_run status --json
  [ "$(json_value "$SB_STDOUT" "[s['tag'] for s in d['steps'] if s['state'] != 'done'], d['theme'], d['layout'], d['last_run']['status']")" = \
    "['libreoffice'] light minimal 0" ] || fail "status after the pass: $(sb__excerpt "$SB_STDOUT")"
  # The next machine takes what "profile" prints; here the same one, set up already.
  sb_run profile
  assert_status 0
  cp "$SB_STDOUT" "$SB_HOME/copy.ini"
  sb_run --profile="$SB_HOME/copy.ini" --yes --noreboot --report="$second"
  assert_status 0
  assert_dialogs ""
  [ "$(json_value "$second" "d['changed'], d['restart_needed'], sorted({s['state'] for s in d['steps']})")" = \
    "False False ['already', 'skipped']" ] || fail "second report: $(sb__excerpt "$second")"
  assert_stdout_has "Summary: 0 steps did their work, 27 were already done, 1 skipped, 0 reported an error."
  assert_stdout_has "Already done: Enable extra repositories, Check packages, Install dependencies,"
  # The log keeps every step's outcome.
  [ "$(grep -cE '^--- step [0-9]+ of 28: .*: (already done|skipped)$' "$(json_value "$second" "d['log']")")" = 28 ] ||
    fail "the log lacks step outcomes"
  assert_not_called '^sudo (env [^ ]+ [^ ]+ )?eatmydata apt (install|upgrade|full-upgrade)|^dconf load'
}
