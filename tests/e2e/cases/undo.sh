# The backup of a run and "kelvane undo".

undo__extensions() {
  mkdir -p "$SB_WORK/extensions_22.04/caffeine@patapon.info"
  echo '{}' >"$SB_WORK/extensions_22.04/caffeine@patapon.info/metadata.json"
}

test_theme_run_is_listed_undone_once_and_settings_come_back() {
  undo__extensions
  sb_run theme dark
  assert_status 0
  assert_stdout_has "Backup of this run: "
  sb_dconf_dump | grep -qxF "gtk-theme='Yaru-dark'" || fail "theme not applied"
  # The menu's "Undo Run" lists the run; its 'back' shows the menu again.
  sb_done_marker
  sb_answer 0 undo
  sb_answer 0 back
  sb_answer 1
  sb_run
  assert_status 0
  assert_dialogs "Choose Action|Undo a Previous Run|Choose Action"
  sb_run undo --list
  assert_status 0
  assert_stdout_has "command: theme dark, "
  sb_run undo --dry-run
  # The settings it would reset, one line per folder.
  grep -q "^Would reset /org/gnome/desktop/interface/: .*gtk-theme" "$SB_STDOUT" ||
    fail "no grouped reset: $(sb__excerpt "$SB_STDOUT")"
  assert_stdout_has " would be undone."
  sb_run undo --yes
  assert_status 0
  assert_stdout_has " undone."
  ! sb_dconf_dump | grep -qF "Yaru-dark" || fail "dark theme still set after undo"
  sb_run undo
  assert_status 0
  assert_stdout_has "was already undone: nothing to do."
}

test_missing_or_unknown_backup_is_refused() {
  mkdir -p "$SB_HOME/.local/state/kelvane/runs/2020-01-01T00-00-00-1"
  echo "kelvane-backup 9" >"$SB_HOME/.local/state/kelvane/runs/2020-01-01T00-00-00-1/manifest"
  sb_run undo 2020-01-01T00-00-00-1
  assert_status 1
  assert_stderr_has "E: Cannot undo run '2020-01-01T00-00-00-1': unknown format 'kelvane-backup 9'"
  sb_run undo nosuchrun
  assert_status 1
  assert_stderr_has "E: Cannot undo run 'nosuchrun': no such run in "
}

# The home's folders, but for those every start makes (the cache, the logs and backups).
undo__folders() {
  (cd "$SB_HOME" && find . -type d ! -path './.cache*' ! -path './.local' ! -path './.local/state*' | sort)
}

# What a first pass leaves where the test can compare it: the home's files with their modes,
# the system files, and every setting.
undo__state() {
  (cd "$SB_DIR" && find home sys/etc sys/usr/share/backgrounds -type f ! -path '*/.local/state/*' \
    -printf '%p %m\n' -exec md5sum {} \; | sort)
  sb_dconf_dump
}

# A full pass on a home with its own files and settings is undone byte for byte; a second
# pass's undo goes back to the state after the first; a dry run and a repeated undo change
# nothing.
test_full_passes_undone() {
  local first second
  sb_home_file .bashrc $'# mine\n'
  chmod 640 "$SB_HOME/.bashrc"
  sb_home_file .ssh/config $'Host work\n  User me\n'
  sb_home_file snap/firefox/common/prefs "mine"
  sb_snaps firefox
  sb_system_files
  sb_exec dconf write /org/gnome/desktop/interface/gtk-theme "'Adwaita'"
  sb_installed thunderbird
  undo__state >"$SB_DIR/before"
  undo__folders >"$SB_DIR/folders-before"
  sb_run --yes --browser=firefox --layout=windows --theme=dark --noreboot
  assert_status 0
  undo__state >"$SB_DIR/after-first"
  # A binary file is read whole through sudo, and the log gets its size, not its bytes.
  local wallpaper=/usr/share/backgrounds/mirovel-T_Qe4QlMIvQ-unsplash.jpg
  grep -qF " $(sha256sum <"$SB_DIR/sys$wallpaper" | cut -d' ' -f1) $wallpaper" \
    "$SB_HOME"/.local/state/kelvane/runs/*/manifest || fail "the wallpaper's checksum is not the file's"
  ! LC_ALL=C grep -q $'\xff\xd8' "$SB_HOME"/.local/state/kelvane/*.log || fail "JPEG bytes in the log"
  rmdir "$SB_HOME/Applications"
  sb_run setup --yes --browser=firefox --layout=minimal --theme=light --noreboot
  assert_status 0
  second=$(ls "$SB_HOME/.local/state/kelvane/runs" | tail -n 1)
  first=$(ls "$SB_HOME/.local/state/kelvane/runs" | head -n 1)
  sb_run undo --yes "$second"
  assert_status 0
  [ ! -e "$SB_HOME/Applications" ] || fail "the empty ~/Applications stayed"
  diff <(undo__state) "$SB_DIR/after-first" >"$SB_DIR/diff" ||
    fail "undo of the second pass: $(sb__excerpt "$SB_DIR/diff")"
  sb_run undo --dry-run "$first"
  diff <(undo__state) "$SB_DIR/after-first" >/dev/null || fail "the dry run changed something"
  sb_home_file Applications/mine.AppImage "app"
  # Without a terminal for its question, undo puts the files back, keeps the package changes and
  # says how to finish; the run is not undone yet, and --yes then finishes it.
  SB_REAL_WHIPTAIL=1 sb_run undo "$first"
  assert_status 1
  assert_stderr_has "E: The question 'Undo package changes' needs a terminal: the package changes were kept; 'kelvane undo --yes $first' reverses them"
  assert_not_called 'apt install|autoremove|snap install'
  assert_called '^sudo rm -f .*/etc/apt/preferences.d/mozillateam-firefox-next.pref'
  assert_stdout_has "W: $SB_HOME/Applications holds files now: it is kept"
  grep -qE "^Restored [0-9]+ files?, removed [0-9]+ files? and [1-9][0-9]* folders? that run created; the log names each one\.$" \
    "$SB_STDOUT" || fail "no count of the files: $(sb__excerpt "$SB_STDOUT")"
  grep -qxF "Removed folder: $SB_HOME/.ssh/controlmasters" "$(sed -n 's/^Log: //p' "$SB_STDOUT")" ||
    fail "the log does not name the folders"
  sb_run undo --yes "$first"
  assert_status 0
  # The settings that had no value go in one change through the dconf service, not a process each.
  [ "$(grep -c '^dconf ' "$SB_LOG")" -le 30 ] || fail "undo ran dconf $(grep -c '^dconf ' "$SB_LOG") times"
  assert_called '^sudo apt install -y .*thunderbird'
  assert_called '^sudo snap install firefox$'
  rm -r "$SB_HOME/Applications"
  diff <(undo__folders) "$SB_DIR/folders-before" >"$SB_DIR/diff" ||
    fail "folders the run made stayed: $(sb__excerpt "$SB_DIR/diff")"
  [ ! -L "$SB_HOME/Pictures/Wallpapers/Variety" ] && [ ! -e "$SB_DIR/sys/usr/bin/gnome-shell-extension-installer" ] ||
    fail "the Variety link or the extension installer stayed"
  grep -v '^.*sys/etc/apt/\|^\[' "$SB_DIR/before" >"$SB_DIR/before-files"
  diff <(undo__state | grep -v '^.*sys/etc/apt/\|^\[') "$SB_DIR/before-files" >"$SB_DIR/diff" ||
    fail "undo of the first pass: $(sb__excerpt "$SB_DIR/diff")"
  sb_run undo --yes "$first"
  assert_stdout_has "was already undone: nothing to do."
}
