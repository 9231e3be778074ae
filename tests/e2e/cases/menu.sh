# The main menu and the theme and layout actions it reaches.

# Two extensions in the data folder, as the program carries them for 22.04.
menu__extensions() {
  local uuid
  for uuid in caffeine@patapon.info dash-to-panel@jderose9.github.com; do
    mkdir -p "$SB_WORK/extensions_22.04/$uuid"
    printf '{"uuid": "%s"}\n' "$uuid" >"$SB_WORK/extensions_22.04/$uuid/metadata.json"
  done
}

# The titles of the dialogs shown, in order, separated by "|".
menu__dialog_titles() { sed -E 's/^whiptail --title ([^-]*) --.*/\1/' "$SB_DIALOGS" | paste -sd'|'; }

menu__dump_has() {
  sb_dconf_dump >"$SB_DIR/dump"
  grep -qxF -- "$1" "$SB_DIR/dump" || fail "dconf lacks '$1': $(sb__excerpt "$SB_DIR/dump")"
}

menu__dump_lacks() {
  sb_dconf_dump >"$SB_DIR/dump"
  ! grep -qF -- "$1" "$SB_DIR/dump" || fail "dconf has '$1'"
}

test_separator_shows_the_menu_again_and_cancel_ends() {
  sb_done_marker
  sb_answer 0 sep1
  sb_answer 0 sep2
  sb_answer 1
  sb_run
  assert_status 0
  assert_stdout_has "Cancelled by user"
  assert_dialogs 3
  [ "$(menu__dialog_titles)" = "Choose Action|Choose Action|Choose Action" ] ||
    fail "dialogs: $(menu__dialog_titles)"
  # Asked again each time the menu is built.
  [ "$(grep -c '^sudo efibootmgr$' "$SB_LOG")" = 3 ] || fail "boot mode not asked three times"
  assert_not_called '^dconf '
}

test_main_menu_entries_follow_the_boot_mode() {
  sb_done_marker
  sb_answer 1
  sb_run
  assert_called '^whiptail .* Install XanMod     Install XanMod kernel '
  assert_called '^whiptail .* Website            Visit kelvane.org '
  assert_not_called '^whiptail .*refind'
  sb_efi on
  sb_answer 1
  sb_run
  assert_status 0
  assert_called '^whiptail .* Change Layout      Change GNOME shell layout refind  Install Refind     Install Refind boot manager xanmod '
}

test_dark_theme_from_the_menu_applies_and_ends() {
  sb_done_marker
  sb_answer 0 theme
  sb_answer 0 dark
  sb_run
  assert_status 0
  [ "$(menu__dialog_titles)" = "Choose Action|GTK Theme" ] || fail "dialogs: $(menu__dialog_titles)"
  assert_called '^whiptail --title GTK Theme .* back back       -- Go back -- --cancel-button Exit$'
  assert_stdout_has "Selected theme: dark"
  assert_stdout_has "┊ Apply Theme: dark ┊"
  assert_stdout_has "Applied"
  assert_stdout_lacks "Cancelled by user"
  menu__dump_has "gtk-theme='Yaru-dark'"
  menu__dump_has "color-scheme='prefer-dark'"
  menu__dump_has "scheme='Yaru-dark'"
}

test_theme_back_returns_to_the_menu() {
  sb_done_marker
  sb_answer 0 theme
  sb_answer 0 back
  sb_answer 1
  sb_run
  assert_status 0
  assert_dialogs 3
  [ "$(menu__dialog_titles)" = "Choose Action|GTK Theme|Choose Action" ] ||
    fail "dialogs: $(menu__dialog_titles)"
  assert_stdout_lacks "Selected theme"
  assert_not_called '^dconf '
}

menu__ubuntu_layout() {
  menu__extensions
  sb_answer 0 layout
  sb_answer 0 ubuntu
  sb_run
  assert_status 0
  assert_dialogs 2
  assert_stdout_has "Selected layout: ubuntu"
  assert_stdout_has "Installed extensions"
  assert_stdout_has "Installed 'gnome-shell-extension-installer'"
  assert_stdout_has "┊ Apply Layout: ubuntu ┊"
  assert_stdout_has "Applied"
  assert_home_file_has .local/share/gnome-shell/extensions/caffeine@patapon.info/metadata.json \
    '"uuid": "caffeine@patapon.info"'
  assert_home_file_has .local/share/gnome-shell/extensions/dash-to-panel@jderose9.github.com/metadata.json \
    '"uuid": "dash-to-panel@jderose9.github.com"'
  assert_root_file_has /usr/bin/gnome-shell-extension-installer ""
  # Downloaded into the private workspace, never the shared /tmp.
  assert_not_called '/tmp/gnome-shell-extension-installer'
  assert_order '^wget -O .*/kelvane_[^/]*/[0-9]+/gnome-shell-extension-installer https://github.com/brunelli/' \
    '^sudo mv -f .*/kelvane_[^/]*/[0-9]+/gnome-shell-extension-installer /usr/bin/$' \
    '^sudo chown root:root /usr/bin/gnome-shell-extension-installer$' \
    '^sudo chmod 755 /usr/bin/gnome-shell-extension-installer$' '^dconf load -f /$'
  # The extension settings and then the layout: two loads, no favourites from the menu.
  [ "$(grep -c '^dconf load -f /$' "$SB_LOG")" = 2 ] || fail "not two settings loads"
  menu__dump_lacks "favorite-apps"
  menu__dump_has "clock-show-weekday=true"
  menu__dump_has "stockgs-keep-top-panel=true"
  menu__dump_has "transparency=70"
  menu__dump_has "enabled-extensions=['dash-to-panel@jderose9.github.com', 'ubuntu-appindicators@ubuntu.com', 'user-theme@gnome-shell-extensions.gcampax.github.com', 'caffeine@patapon.info', 'custom-hot-corners-extended@G-dH.github.com', 'impatience@gfxmonk.net', 'tophat@fflewddur.github.io', 'transparent-top-bar@ftpix.com', 'apps-menu@gnome-shell-extensions.gcampax.github.com']"
}

test_ubuntu_layout_from_the_menu() {
  sb_done_marker
  menu__ubuntu_layout
}

test_ubuntu_layout_with_a_blank_in_the_home_path() {
  sb_home_with_blank
  sb_done_marker
  menu__ubuntu_layout
}

test_installer_script_present_is_not_fetched_again() {
  sb_done_marker
  sb_root_file /usr/bin/gnome-shell-extension-installer "#!/bin/sh"
  menu__extensions
  sb_answer 0 layout
  sb_answer 0 minimal
  sb_run
  assert_status 0
  assert_not_called '^wget '
  assert_stdout_lacks "Installed 'gnome-shell-extension-installer'"
  [ "$(grep -c '^dconf load -f /$' "$SB_LOG")" = 4 ] || fail "not four settings loads"
  menu__dump_has "clock-show-seconds=false"
  menu__dump_has "clock-show-weekday=false"
  menu__dump_has "panel-positions='{\"0\":\"LEFT\"}'"
}

test_failed_installer_download_installs_nothing() {
  sb_done_marker
  sb_fail wget 'gnome-shell-extension-installer'
  menu__extensions
  sb_answer 0 layout
  sb_answer 0 windows
  sb_run
  assert_status 0
  assert_stderr_has "E: Failed to download: https://github.com/brunelli/"
  assert_stdout_lacks "Installed 'gnome-shell-extension-installer'"
  assert_not_called '^sudo mv '
  assert_stdout_has "Applied"
}

test_reset_clears_gnome_settings_and_logs_out() {
  sb_done_marker
  menu__extensions
  sb_answer 0 layout
  sb_answer 0 reset
  sb_run
  assert_status 0
  assert_stdout_has "┊ Apply Layout: reset ┊"
  assert_stdout_has "Applied"
  assert_order '^dconf load -f /$' '^dconf reset -f /org/gnome/$' '^gnome-session-quit --no-prompt$'
  [ "$(grep -c '^dconf load -f /$' "$SB_LOG")" = 1 ] || fail "not one settings load"
  [ "$(sb_dconf_dump)" = "$(printf '[com/ftpix/transparentbar]\ntransparency=70')" ] ||
    fail "more than the top bar's setting is left: $(sb_dconf_dump | head -c 300)"
}

test_failing_settings_load_ends_with_status_1() {
  sb_done_marker
  menu__extensions
  sb_fail dconf '^load'
  sb_answer 0 layout
  sb_answer 0 windows
  sb_run
  assert_status 1
  [ "$(grep -c '^dconf load -f /$' "$SB_LOG")" = 1 ] || fail "later settings were loaded"
  assert_stdout_lacks "Apply Layout"
  assert_stdout_lacks "Applied"
}

test_missing_extensions_are_reported_and_settings_still_load() {
  sb_done_marker
  sb_answer 0 layout
  sb_answer 0 windows
  sb_run
  assert_status 0
  assert_stderr_has "E: Failed to install extensions: $SB_HOME/.local/share/gnome-shell/extensions/"
  assert_not_called '^wget '
  menu__dump_has "panel-positions='{\"0\":\"BOTTOM\"}'"
}

test_website_returns_at_once() {
  sb_done_marker
  sb_answer 0 website
  sb_run
  assert_status 0
  assert_dialogs 1
  assert_stdout_lacks "Cancelled by user"
  assert_not_called '^dconf '
}

test_unknown_answers_change_nothing() {
  sb_done_marker
  sb_answer 0 bogus
  sb_run
  assert_status 0
  assert_dialogs 1
  assert_not_called '^dconf '
  # A theme or layout name the program does not know shows its header and changes nothing.
  sb_clear_answers
  sb_answer 0 theme
  sb_answer 0 purple
  sb_run
  assert_status 0
  assert_stdout_has "Selected theme: purple"
  assert_stdout_has "┊ Apply Theme: purple ┊"
  assert_stdout_has "Applied"
  assert_not_called '^dconf '
  sb_clear_answers
  sb_answer 0 layout
  sb_answer 0 tiled
  sb_run
  assert_status 0
  assert_stdout_has "┊ Apply Layout: tiled ┊"
  assert_stdout_has "Applied"
  [ "$(grep -c '^dconf load -f /$' "$SB_LOG")" = 1 ] || fail "more than the extension settings loaded"
}
