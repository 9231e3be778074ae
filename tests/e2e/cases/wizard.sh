# The post-install wizard from its first question to the restart.

# The answers of a first run: welcome box, browser (and the Chrome licence), layout, theme.
answers() {
  sb_answer 0
  sb_answer 0 "$1"
  [ "$1" != chrome ] || sb_answer "${2:-0}"
  sb_answer 0 windows
  sb_answer 0 dark
}

# The system files the steps edit, as a fresh system holds them.
system_files() {
  sb_system_files text/plain=org.gnome.TextEditor.desktop video/mp4=org.gnome.Totem.desktop
}

marker=.cache/velkor-post-install.done

# The boxed headers (their first line) come in this order on stdout.
assert_headers() {
  local shown
  shown=$(grep -oE '^┊ [^┊]*[^ ┊]' "$SB_STDOUT" | cut -c 5- | paste -sd'|')
  [ "$shown" = "$1" ] || fail "headers: $shown"
}

test_two_passes_in_a_home_with_a_blank_and_a_quote() {
  sb_home "$SB_DIR/home/it's a home/kelvane test"
  sb_home_file .bashrc $'# mine\n'
  sb_home_file .ssh/config $'Host work\n  User someone\n  ServerAliveInterval 5\n'
  system_files
  answers chrome
  sb_run --noreboot
  assert_status 0
  assert_dialogs "Kelvane ~ kelvane.org|Web Browser|Google Chrome EULA|Desktop Layout|GTK Theme"
  assert_headers "Enable 'universe' and 'multiverse' repositories|Check that the packages exist|Install some dependencies|Update bash prompt|Update fish prompt|Remove Firefox snap|Remove default applications|Install applications|Install Deb-get|Install Nala|Refresh package information|Install AppImageLauncher|Install Flatpak support|Install Snap support|Install Web Browser|Install Google Chrome|Install Guake terminal|Install Zram tools|Install latest LibreOffice|Refresh package information|Install Updates|Refresh package information|Install updates: apt upgrade|Install updates: apt full-upgrade|Install Wallpaper|Install Variety|Install GNOME extensions|Update SSH configuration|Apply Layout: windows|Apply Theme: dark|Post-install tasks are complete.|Restarting the system is recommended."
  assert_order 'add-apt-repository -y universe' 'apt install .*dconf-cli$' '^dconf load' \
    'snap remove firefox' 'apt install .*gnome-tweaks' 'webp-pixbuf-loader' 'curl -fsSL .*deb-get' \
    'nala/volian' 'apt install .* nala$' '^wget .*appimagelauncher' 'apt install .* flatpak$' 'remote-add' \
    'apt install .* snapd$' '^wget .*google-chrome' 'apt install .* guake$' 'install -y .*zram-tools' 'zramswap' \
    'ppa:libreoffice' 'apt upgrade' 'apt full-upgrade' 'apt_news' 'backgrounds' 'install -y .*variety' \
    'gnome-shell-extension-installer'
  assert_not_called 'shutdown'
  [ -f "$SB_HOME/$marker" ] && [ ! -s "$SB_HOME/$marker" ] || fail "no empty done marker"
  grep -qx "# mine" "$SB_HOME/.bashrc" || fail ".bashrc lost its own lines"
  [ "$(readlink "$SB_HOME/Pictures/Wallpapers/Variety")" = "$SB_HOME/.config/variety/Favorites" ] ||
    fail "Variety link: $(readlink "$SB_HOME/Pictures/Wallpapers/Variety")"
  compgen -G "$SB_HOME/.local/share/gnome-shell/extensions/*/metadata.json" >/dev/null ||
    fail "no extension installed"
  grep -q "text/plain=org.gnome.gedit.desktop" "$SB_HOME/.config/mimeapps.list" || fail "mimeapps"
  grep -q "ALGO=zstd" "$SB_DIR/sys/etc/default/zramswap" || fail "zramswap not edited"
  # The real tools accept what the pass wrote.
  sb_exec bash -c 'set -e; bash -n .bashrc; fish -n .config/fish/functions/fish_prompt.fish
    desktop-file-validate .config/autostart/guake.desktop; ssh -G -F .ssh/config work
    ssh -G -F .ssh/config example.org' >"$SB_DIR/tools.out" 2>&1 ||
    fail "a real tool refused a file: $(sb__excerpt "$SB_DIR/tools.out")"
  grep -qx "user someone" "$SB_DIR/tools.out" || fail "ssh lost the user's own host"
  grep -qx "controlpersist 600" "$SB_DIR/tools.out" || fail "ssh lacks the connection sharing"
  # ssh takes the first value it meets: the defaults stand in front of the user's own hosts.
  ! grep -qx "serveraliveinterval 5" "$SB_DIR/tools.out" || fail "the defaults come after the user's hosts"
  # The real dconf took every settings payload.
  sb_dconf_dump >"$SB_DIR/dump"
  for key in "font='Fira Code 11'" "default-shell='/usr/bin/fish'" "gtk-theme='Yaru-dark'" \
    "show-delete-permanently=true" "panel-positions='{\"0\":\"BOTTOM\"}'"; do
    grep -qxF "$key" "$SB_DIR/dump" || fail "dconf lacks $key"
  done

  # Again, as the next start after a failed run: what is done is skipped or left alone.
  sb_installed deb-get
  sb_root_file /etc/apt/sources.list.d/libreoffice-ubuntu-ppa-jammy.list "deb x jammy main"
  rm "$SB_HOME/$marker"
  sb_clear_answers
  answers chrome
  sb_run --noreboot
  assert_status 0
  assert_stdout_has "Already enabled"
  [ "$(grep -cxF "Already installed" "$SB_STDOUT")" = 12 ] || fail "not 12 'Already installed'"
  [ "$(grep -cxF "Already up-to-date" "$SB_STDOUT")" = 5 ] || fail "a file or the updates done again"
  assert_not_called 'universe|^wget -O .*\.deb |^curl -fsSL|\./nala/|apt install -y .*(\.deb|--no-install-recommends (nala|flatpak|snapd|guake|zram-tools|variety|gnome-shell-extensions))'
  # Settings already in place are not loaded again, and nothing is left to upgrade.
  assert_not_called '^dconf load|apt (full-)?upgrade'
  [ "$(grep -c 'Host \*' "$SB_HOME/.ssh/config")" = 1 ] || fail "SSH block doubled"
  [ "$(grep -c 'PROMPT_COMMAND=' "$SB_HOME/.bashrc")" = 1 ] || fail "prompt block doubled"
  [ -z "$(ls -A "$SB_HOME/.config/variety/Favorites")" ] || fail "a link inside the favourites"
  [ -f "$SB_HOME/$marker" ] || fail "no done marker"
}

# The downloads go into the workspace: the data folder of the installed package is root's.
test_browser_choices() {
  local row browser eula shown called never
  sb_root_data
  for row in "chrome|0|Install Google Chrome|apt install -y .* /.*/google-chrome-stable_current_amd64.deb$|^wget -O \\./" \
    "chrome|1|Install Firefox from PPA|ppa:mozillateam/firefox-next|google-chrome" \
    "edge||Selected web browser: edge|deb-get install microsoft-edge-stable|google-chrome"; do
    IFS='|' read -r browser eula shown called never <<<"$row"
    system_files
    rm -f "$SB_HOME/$marker"
    sb_clear_answers
    answers "$browser" "$eula"
    sb_run --noreboot
    assert_status 0
    assert_stdout_has "$shown"
    assert_called "$called"
    assert_not_called "$never"
    [ -f "$SB_HOME/$marker" ] || fail "$browser: no done marker"
    [ "$eula" != 0 ] || assert_called 'apt install -y .* /.*/appimagelauncher_[^/]*\.deb$'
  done
  # deb-get has no LibreWolf for 22.10 and 26.04: refused there before any change.
  rm -f "$SB_HOME/$marker"
  for version in 22.10 26.04; do
    sb_os_release "ubuntu-$version"
    sb_run --yes --browser=librewolf --layout=windows --theme=dark --noreboot
    assert_status 1
    assert_stderr_has "E: LibreWolf is not offered on Ubuntu $version: deb-get has no build of it"
    assert_not_called '^sudo (eatmydata|add-apt-repository|snap|cp)|deb-get'
  done
}

test_cancel_at_each_question_changes_nothing() {
  local shown
  for shown in "Kelvane ~ kelvane.org|Web Browser" "Kelvane ~ kelvane.org|Web Browser|Desktop Layout" \
    "Kelvane ~ kelvane.org|Web Browser|Desktop Layout|GTK Theme"; do
    sb_clear_answers
    sb_answer 0
    [[ $shown == *Layout* ]] && sb_answer 0 firefox
    [[ $shown == *Theme ]] && sb_answer 0 windows
    sb_answer 1
    sb_run --noreboot
    assert_status 0
    assert_stdout_has "Cancelled by user"
    assert_dialogs "$shown"
    assert_not_called '^(sudo (eatmydata|add-apt-repository|snap|rm|cp|sed)|dconf|wget|curl) '
    # Only the run's own log and its record are left behind.
    [ "$(cd "$SB_HOME" && find . -mindepth 1 ! -name '*.log' ! -name last-run | sort | paste -sd' ')" = \
      "./.cache ./.local ./.local/state ./.local/state/kelvane" ] ||
      fail "the home changed: $(ls -AR "$SB_HOME")"
  done
}

# A failing package or settings command stops the run with status 1 and writes no done marker.
test_failed_command_stops_the_run() {
  local rule
  system_files
  for rule in "apt install .*gnome-tweaks" "dconf ^load"; do
    : >"$SB_DIR/fail.rules"
    # Settings already in place are not loaded again: the first load must have work to do.
    sb_exec dconf reset -f /
    sb_fail "${rule%% *}" "${rule#* }"
    sb_clear_answers
    answers firefox
    sb_run --noreboot
    assert_status 1
    assert_not_called 'curl -fsSL .*deb-get'
    [ ! -e "$SB_HOME/$marker" ] || fail "done marker written ($rule)"
    [ "$(tail -n 2 "$SB_LOG" | paste -sd'|')" = "sync|sync" ] ||
      fail "last calls: $(tail -n 3 "$SB_LOG" | paste -sd'|')"
    assert_stdout_has "Nothing after this step ran."
    assert_stdout_has "Run kelvane again: the steps already done are skipped."
  done
  # The stop names the step and the command; the log holds every command, its output and status.
  assert_stdout_has "Stopped at step 6 of 28: Terminal colours"
  assert_stdout_has "ended with status 1."
  local log
  log=$(sed -n 's/^Log: //p' "$SB_STDOUT")
  [ "$(stat -c %a "$log")" = 600 ] || fail "log mode $(stat -c %a "$log")"
  grep -q '^E: Failed to load the settings of /org/gnome/terminal/legacy/' "$SB_STDERR" ||
    fail "no line naming the settings: $(sb__excerpt "$SB_STDERR")"
  grep -Fxq "dconf: failing on purpose (sb_fail)" "$log" || fail "the log lacks the command output"
  grep '^sudo .*eatmydata apt ' "$SB_LOG" | while read -r call; do
    grep -Fxq -A1 "\$ $call" "$log" || fail "the log lacks '$call'"
  done
  [ "$(grep -c '^[$?] ' "$log")" = "$(grep -c '^\[exit [0-9-]*\]$' "$log")" ] || fail "a command without status"
  # The next start resumes: what was done is skipped, the rest finishes.
  : >"$SB_DIR/fail.rules"
  sb_clear_answers
  answers firefox
  sb_run --noreboot
  assert_status 0
  assert_stdout_has "Summary: "
  [ -e "$SB_HOME/$marker" ] || fail "the rerun did not finish"
}

# Ctrl-C (SIGINT to the program's process group) during a package command, a plain command or a
# dialog stops the run at once, and a second start finishes it.
test_interrupt_stops_the_run() {
  local row stub pattern after where
  for row in "add-apt-repository|universe|dconf-cli|at step 1 of 28: Enable extra repositories" \
    "apt|install .*dconf-cli|snap remove|at step 3 of 28: Install dependencies" \
    "whiptail|Desktop Layout|GTK Theme|Interrupted by SIGINT."; do
    IFS='|' read -r stub pattern after where <<<"$row"
    system_files
    sb_clear_answers
    answers firefox
    sb_hang "$stub" "$pattern"
    sb_run_interrupted INT --noreboot --report="$SB_HOME/report.json"
    assert_status 130
    assert_stdout_has "$where"
    [ "$(json_value "$SB_HOME/report.json" "d['exit_status'], [s['error'] for s in d['steps'] if s['state'] == 'error']")" = \
      "130 $([ "$stub" = whiptail ] && echo "[]" || echo "['interrupted by SIGINT']")" ] ||
      fail "report after $stub: $(sb__excerpt "$SB_HOME/report.json")"
    grep -q -- "$after" "$SB_LOG" "$SB_DIALOGS" && fail "'$after' ran after the interrupt"
    [ ! -e "$SB_HOME/$marker" ] || fail "done marker after an interrupt"
    compgen -G "$SB_DIR/tmp/kelvane_*" >/dev/null && fail "workspace left after $stub"
  done
  sb_clear_answers
  answers firefox
  sb_run --noreboot
  assert_status 0
  [ -e "$SB_HOME/$marker" ] || fail "the rerun did not finish"
}

# What goes wrong in a step that does not stop the run is summed up at the end: no restart, no
# done marker, status 1; the next pass repairs what failed. A PPA that publishes nothing for the
# release is taken out again with its key, and the pass goes on.
test_errors_are_summed_up_and_repaired() {
  sb_home_file .bashrc "# private"
  chmod 600 "$SB_HOME/.bashrc"
  sb_home_file .ssh/config $'Host work\n'
  chmod 400 "$SB_HOME/.ssh/config"
  sb_root_file /usr/share/applications/defaults.list $'[Default Applications]\n'
  sb_fail add-apt-repository 'universe'
  sb_fail chmod '600 .*ssh/config'
  sb_fail sudo 'chmod 755 /usr/bin/gnome-shell-extension-installer'
  sb_apt_source_fails '^libreoffice-'
  answers firefox
  sb_run --report="$SB_HOME/report.json"
  assert_status 1
  # Each failed step with its first error line, for a caller that reads the report.
  [ "$(json_value "$SB_HOME/report.json" "d['exit_status'], '|'.join(s['tag'] + ': ' + s['error'] for s in d['steps'] if s['state'] == 'error')")" = \
    "1 repos: Failed to enable the 'universe' and 'multiverse' repositories|zram: Failed to update file: /etc/default/zramswap|libreoffice: apt could not use the LibreOffice PPA (its repository does not have a Release file); the run took its source out again: /etc/apt/sources.list.d/libreoffice-ubuntu-ppa-jammy.list|extensions: Failed to install '/usr/bin/gnome-shell-extension-installer': sudo chmod 755 /usr/bin/gnome-shell-extension-installer|ssh: Failed to set mode 600 on $SB_HOME/.ssh/config" ] ||
    fail "report: $(sb__excerpt "$SB_HOME/report.json")"
  assert_not_called shutdown
  [ ! -e "$SB_HOME/$marker" ] || fail "done marker after errors"
  for line in "Step with an error: Enable extra repositories" "Step with an error: Install Zram tools" \
    "Step with an error: Install LibreOffice" \
    "Step with an error: Update SSH configuration" "Step with an error: Install GNOME extensions" \
    "The machine was not restarted because of these errors."; do
    assert_stdout_has "$line"
  done
  assert_stderr_has "E: apt could not use the LibreOffice PPA (its repository does not have a Release file); the run took its source out again: /etc/apt/sources.list.d/libreoffice-ubuntu-ppa-jammy.list"
  [ -z "$(ls "$SB_DIR/sys/etc/apt/sources.list.d" "$SB_DIR/sys/etc/apt/trusted.gpg.d" | grep libreoffice)" ] ||
    fail "the PPA stayed: $(ls -R "$SB_DIR/sys/etc/apt")"
  assert_not_called 'apt install .*libreoffice-calc'
  # The PPA's update, its removal, the update once more; then the upgrades still run.
  [ "$(grep -oE '^(add-apt-repository .*libreoffice|apt update|sudo rm -f .*libreoffice|apt (full-)?upgrade)' \
    "$SB_LOG" | sed -n '/^add-apt/,$p' | sed -E 's/^(sudo rm|add-apt-repository) .*/\1/' | paste -sd'|')" = \
    "add-apt-repository|apt update|sudo rm|apt update|apt update|apt upgrade|apt full-upgrade" ] ||
    fail "calls after the PPA: $(grep -E 'libreoffice|^apt (update|upgrade)' "$SB_LOG" | paste -sd'|')"
  : >"$SB_DIR/state/source-fails"
  assert_stderr_has "E: Failed to set mode 600 on $SB_HOME/.ssh/config"
  assert_stdout_lacks "Updated: $SB_HOME/.ssh/config"
  [ "$(stat -c %a "$SB_HOME/.bashrc")" = 600 ] || fail ".bashrc mode $(stat -c %a "$SB_HOME/.bashrc")"
  [ ! -e "$SB_HOME/.cache/.post-install-addl-repos-enabled" ] || fail "universe marker written"
  # A failed LibreOffice install stops the next pass; the one after finishes everything.
  : >"$SB_DIR/fail.rules"
  sb_fail apt 'install .*libreoffice-calc'
  sed -i '/^libreoffice-/d' "$SB_DIR/state/packages"
  system_files
  sb_clear_answers
  answers firefox
  sb_run
  assert_status 1
  assert_stdout_has "Stopped at step 17 of 28: Install LibreOffice"
  [ -e "$SB_HOME/.cache/.post-install-addl-repos-enabled" ] || fail "universe not enabled again"
  : >"$SB_DIR/fail.rules"
  sb_clear_answers
  answers firefox
  sb_run
  assert_status 0
  assert_called 'apt install .*libreoffice-calc'
  assert_stdout_has "Installed 'gnome-shell-extension-installer'"
  [ "$(stat -c %a "$SB_HOME/.ssh/config")" = 600 ] || fail "ssh config not repaired"
  assert_called 'shutdown -r now'
}

# A done marker that cannot be written: an error, no completion, status 1.
test_unwritable_cache_fails_honestly() {
  system_files
  sb_home_file .cache/.post-install-addl-repos-enabled ""
  chmod 500 "$SB_HOME/.cache"
  answers firefox
  sb_run --noreboot
  chmod 700 "$SB_HOME/.cache"
  assert_status 1
  assert_stderr_has "E: Cannot write the done marker"
  assert_stdout_lacks "Post-install tasks are complete."
}

# A fresh machine again: the home, the system files and the packages as before the first pass.
fresh_world() {
  rm -rf "$SB_HOME" "$SB_DIR/sys"
  mkdir -p "$SB_HOME"
  : >"$SB_DIR/state/packages"
  sb_fresh_state
  system_files
}

# The commands of the last run as its log has them, workspace names and backups left out.
commands_run() {
  sed -n 's/^\$ //p' "$(ls "$SB_HOME"/.local/state/kelvane/*.log | tail -n 1)" |
    grep -v '/.local/state/kelvane/runs/' | sed -E 's#/kelvane_[A-Za-z0-9]+/[0-9/]+#/W/#g'
}

# Answers as options make the same pass as answers in dialogs, with no dialog at all.
test_answers_as_options() {
  system_files
  answers chrome
  sb_run --noreboot
  commands_run >"$SB_DIR/by-dialogs"
  fresh_world
  sb_run --noreboot --yes --browser=chrome --accept-chrome-licence --layout=windows --theme=dark
  assert_status 0
  assert_dialogs ""
  diff <(commands_run) "$SB_DIR/by-dialogs" >"$SB_DIR/diff" ||
    fail "the passes differ: $(sb__excerpt "$SB_DIR/diff")"
  fresh_world
  sb_run --noreboot --yes --browser=chrome --layout=windows --theme=dark
  assert_stdout_has "Chrome EULA accepted: false"
  assert_called 'mozillateam'
  # With dialogs the licence is asked, the browser given or not (the disk check then stops).
  rm "$SB_HOME/$marker"
  sb_clear_answers
  sb_answer 0
  sb_answer 1
  sb_disk_free 1
  sb_run --noreboot --browser=chrome --layout=windows --theme=dark
  assert_dialogs "Kelvane ~ kelvane.org|Google Chrome EULA"
  assert_stdout_has "Selected web browser: firefox"
}

# A dry run shows the commands the real pass then runs, in order, and changes nothing.
test_dry_run_shows_the_real_pass() {
  local options=(--yes --browser=firefox --layout=windows --theme=dark --noreboot) before
  system_files
  sb_home_file .bashrc "# mine"
  before=$(cd "$SB_DIR" && find home sys -type f | sort | xargs md5sum)
  sb_run --dry-run "${options[@]}"
  assert_status 0
  # Settings as their values, system and home files as diffs, the steps in the conditional.
  for line in "Would set /org/gnome/desktop/interface/gtk-theme: (not set) → 'Yaru-dark'" \
    "+PROMPT_COMMAND=__prompt_command" "Would write: /etc/default/zramswap" "+ALGO=zstd" \
    "Would write: $SB_HOME/.config/mimeapps.list" "+text/plain=org.gnome.gedit.desktop" \
    "Would be applied" "Dry run: nothing was changed."; do
    assert_stdout_has "$line"
  done
  grep -qE "^Dry run: [0-9]+ steps, [0-9]+ already done, [1-9][0-9]* would change the system\.$" "$SB_STDOUT" ||
    fail "summary: $(grep '^Dry run: ' "$SB_STDOUT")"
  [ "$(cd "$SB_DIR" && find home sys -type f | sort | xargs md5sum)" = "$before" ] ||
    fail "the dry run changed a file"
  sed -n 's/^Would run: //p' "$SB_STDOUT" | sed -E 's#/kelvane_[A-Za-z0-9]+/[0-9/]+#/W/#g' \
    >"$SB_DIR/would"
  sb_run "${options[@]}"
  assert_status 0
  # What the dry run shows as values and diffs instead of commands.
  diff "$SB_DIR/would" <(commands_run | grep -vE "^(dconf load|sudo sed -i .*zramswap|cp -f /usr/share/applications/defaults.list|sed -i .*mimeapps)") \
    >"$SB_DIR/diff" || fail "the dry run and the real pass differ: $(sb__excerpt "$SB_DIR/diff")"
  # A second pass's dry run comes to the "Already ..." decisions a real one would; its welcome
  # box announces no restart.
  rm "$SB_HOME/$marker"
  sb_answer 0
  sb_run --dry-run "${options[@]:1}"
  assert_dialogs "Kelvane ~ kelvane.org"
  ! grep -qiE "reboot|restart" "$SB_DIALOGS" || fail "the dry run's welcome box announces a restart"
  assert_stdout_has "Already enabled"
  assert_stdout_has "Already up-to-date"
  assert_stdout_lacks "Would set /org/gnome/desktop/interface/gtk-theme"
}

# --noreboot and its spellings in any letter case keep the wizard from restarting the machine;
# anything else restarts it as the very last command, also when the wizard runs from the menu.
test_reboot_options() {
  local row reboot args
  # The spellings of the option are the unit tests'; one of them stands for all here.
  for row in "no --SKIP-REBOOT" "yes" "menu-no --noreboot" "menu-yes" "fail"; do
    read -r reboot args <<<"$row"
    system_files
    rm -f "$SB_HOME/$marker"
    : >"$SB_DIR/fail.rules"
    sb_clear_answers
    [[ $reboot == menu-* ]] && sb_done_marker && sb_answer 0 setup
    [ "$reboot" = fail ] && sb_fail shutdown
    answers firefox
    # shellcheck disable=SC2086 # the arguments are meant to split
    sb_run $args
    assert_status 0
    [ -f "$SB_HOME/$marker" ] || fail "no done marker after '$row'"
    if [[ $reboot == *no ]]; then
      assert_not_called shutdown
      assert_stdout_has "Post-install tasks are complete."
    else
      [ "$(grep -v '^sync$' "$SB_LOG" | tail -n 2 | paste -sd'|')" = "sudo shutdown -r now|shutdown -r now" ] ||
        fail "with '$row' the run ends with $(tail -n 2 "$SB_LOG" | paste -sd'|')"
    fi
  done
  assert_stderr_has "E: Failed to reboot system. Please reboot manually."
  # Ctrl-C while the summary counts down to the restart keeps the machine running.
  rm -f "$SB_HOME/$marker"
  : >"$SB_DIR/fail.rules"
  sb_clear_answers
  answers firefox
  SB_RESTART_COUNTDOWN=600 SB_INTERRUPT_AT="Restarting in 600 s; Ctrl-C keeps the machine running" \
    sb_run_interrupted INT
  assert_status 0
  assert_not_called shutdown
  assert_stdout_has "Not restarting: restart the machine when you are ready."
  [ -f "$SB_HOME/$marker" ] || fail "no done marker after Ctrl-C in the countdown"
}
