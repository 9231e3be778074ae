# The menu-only actions seen from outside: the kernel chooser, the boot manager installer and
# the extra-software checklist, each reached through the main menu.

# Until the main menu is built, the program cannot reach these actions; say so and pass.
menu_missing() {
  if [ -f "$SB_SOURCE_DIR/src/app/pending_menu.cc" ]; then
    echo "the main menu is not built yet: nothing to test" >&2
    return 0
  fi
  return 1
}

# The number of calls matching the ERE.
count_calls() { grep -cE -- "$1" "$SB_LOG"; }

assert_calls() {
  local count
  count=$(count_calls "$2")
  [ "$count" -eq "$1" ] || fail "$count calls match /$2/, expected $1: $(grep -E -- "$2" "$SB_LOG" | tr '\n' '|')"
}

assert_dialog_line() {
  sed -n "$1p" "$SB_DIALOGS" | grep -qF -- "$2" ||
    fail "dialog $1 lacks '$2': $(sed -n "$1p" "$SB_DIALOGS")"
}

test_kernel_refused_by_the_cpu_then_installed() {
  menu_missing && return 0
  sb_done_marker
  sb_cpuinfo v2
  sb_answer 0 xanmod
  sb_answer 0 linux-xanmod-x64v3
  sb_answer 0
  sb_answer 0 linux-xanmod-x64v2
  sb_run
  assert_status 0
  assert_dialogs 4
  # A level-2 CPU: the level-2 kernels are marked, the level-3 ones are not.
  assert_dialog_line 2 "x86-64v2         Generic, for CPUs circa 2009 (supported) linux-xanmod-x64v3 "
  assert_dialog_line 2 "x86-64v3         Generic, for CPUs circa 2015 linux-xanmod-rt "
  assert_dialog_line 3 "whiptail --title Not Supported by CPU --msgbox This CPU doesn't support x86-64 Level 3 features.\nSelect another kernel type. 20 78"
  assert_dialog_line 4 "whiptail --title XanMod Kernel --notags --menu Choose kernel type: 20 78 10 "
  assert_stdout_has "Selected xanmod kernel: linux-xanmod-x64v3"
  assert_stdout_has "Selected xanmod kernel: linux-xanmod-x64v2"
  # The two sides of the key pipeline run at once and may log in either order.
  local key_side
  for key_side in '^wget -qO - https://dl.xanmod.org/gpg.key$' \
    '^sudo apt-key --keyring /etc/apt/trusted.gpg.d/xanmod-kernel.gpg add -$'; do
    assert_order '^whiptail --title Not Supported by CPU ' \
      '^sudo tee /etc/apt/sources.list.d/xanmod-kernel.list$' \
      "$key_side" \
      '^sudo eatmydata apt update$' \
      '^sudo eatmydata apt install -y --no-install-recommends linux-xanmod-x64v2$'
  done
  assert_not_called 'apt install .*linux-xanmod-x64v3'
  assert_root_file_has /etc/apt/sources.list.d/xanmod-kernel.list \
    "deb http://deb.xanmod.org releases main"
  assert_stdout_has "Reboot the system to use the new kernel."

  # A second install finds the source and goes straight to the package.
  sb_answer 0 xanmod
  sb_answer 0 linux-xanmod-lts
  sb_run
  assert_status 0
  assert_calls 1 '^sudo eatmydata apt install -y --no-install-recommends linux-xanmod-lts$'
  assert_not_called '^sudo tee '
  assert_not_called '^wget '
  assert_not_called '^sudo apt-key '
  assert_not_called 'apt update'
  assert_stdout_has "Reboot the system to use the new kernel."
}

test_kernel_back_shows_the_main_menu_and_installs_nothing() {
  menu_missing && return 0
  sb_done_marker
  sb_cpuinfo v1
  sb_answer 0 xanmod
  sb_answer 0 back
  sb_answer 1
  sb_run
  assert_status 0
  assert_dialogs 3
  assert_dialog_line 3 "whiptail --title Choose Action "
  assert_stdout_has "Cancelled by user"
  assert_not_called 'apt install'
  assert_not_called '^sudo tee '
}

test_kernel_key_failure_drops_the_source_for_a_clean_retry() {
  menu_missing && return 0
  sb_done_marker
  sb_fail apt-key
  sb_answer 0 xanmod
  sb_answer 0 linux-xanmod
  sb_run
  assert_status 0
  assert_stderr_has "E: Failed to install public key"
  assert_order '^sudo tee /etc/apt/sources.list.d/xanmod-kernel.list$' \
    '^sudo rm -f /etc/apt/sources.list.d/xanmod-kernel.list$'
  [ ! -e "$SB_DIR/sys/etc/apt/sources.list.d/xanmod-kernel.list" ] || fail "the source stayed"
  assert_not_called 'apt install'
  assert_stdout_lacks "Reboot the system"

  # A source list that cannot be written stops before the key.
  sb_fail sudo '^tee '
  sb_answer 0 xanmod
  sb_answer 0 linux-xanmod
  sb_run
  assert_status 0
  assert_stderr_has "E: Failed to install source list"
  assert_not_called '^wget '
  assert_not_called 'apt install'
}

# A configuration as an installed rEFInd leaves it, a theme repository that the fake git hands
# out, and the drivers the package would bring.
prepare_refind() {
  sb_efi on
  sb_root_file /boot/efi/EFI/refind/refind.conf "$(printf '%s\n' \
    'timeout 20' \
    '#use_nvram false' \
    '   # also_scan_dirs boot,ESP2:EFI/linux/kernels' \
    '#showtools shell, memtest' \
    '# showtools shell, gdisk' \
    'use_nvram' \
    'menuentry "Ubuntu" {' \
    '    loader /EFI/ubuntu/grubx64.efi' \
    '}')
"
  sb_root_file /boot/efi/EFI/refind/drivers_x64/.keep ""
  sb_root_file /usr/share/refind/refind/drivers_x64/btrfs_x64.efi "btrfs driver"
  local theme=/usr/share/kelvane-e2e/refind-theme-regular
  sb_root_file "$theme/icons/128-48/arrow_right.png" "arrow"
  sb_root_file "$theme/icons/128-48/func_bootorder.png" "bootorder"
  sb_root_file "$theme/theme.conf" "$(printf '%s\n' 'banner bg.png' '#banner bg_dark.png')
"
  sb_root_file /usr/bin/git "#!/bin/bash
# The last argument of \"git clone\" is the target folder.
cp -r $theme \"\${*: -1}\"
"
  chmod +x "$SB_DIR/sys/usr/bin/git"
}

expected_refind_conf() {
  printf '%s\n' \
    'timeout 20' \
    'use_nvram false' \
    'also_scan_dirs boot,@/boot,ESP2:EFI/linux/kernels' \
    'showtools shutdown, reboot, firmware, hidden_tags, mok_tool, bootorder, shell, about' \
    'showtools shutdown, reboot, firmware, hidden_tags, mok_tool, bootorder, shell, about' \
    'use_nvram' \
    'menuentry "Ubuntu" {' \
    'loader /EFI/ubuntu/grubx64.efi' \
    '}' \
    'include themes/refind-theme-regular/theme.conf'
}

test_refind_edits_land_once_and_the_backup_is_kept() {
  menu_missing && return 0
  sb_done_marker
  prepare_refind
  local esp=$SB_DIR/sys/boot/efi/EFI/refind
  sb_answer 0 refind
  sb_answer 0 dark
  sb_run
  assert_status 0
  assert_stderr_lacks "E: "
  assert_dialog_line 1 " refind  Install Refind     Install Refind boot manager "
  assert_stdout_has "refind_theme: dark"
  assert_stdout_has "Updated"
  cmp -s "$esp/refind.conf" <(expected_refind_conf) ||
    fail "refind.conf: $(tr '\n' '|' <"$esp/refind.conf")"
  grep -qxF '#use_nvram false' "$esp/refind.conf.bkup" || fail "the backup is not the original"
  grep -qxF 'banner bg_dark.png' "$esp/themes/refind-theme-regular/theme.conf" ||
    fail "the dark look is not chosen"
  [ "$(cat "$esp/themes/refind-theme-regular/icons/128-48/func_bootorder.png")" = arrow ] ||
    fail "the boot-order icon was not replaced"
  [ -f "$esp/drivers_x64/btrfs_x64.efi" ] || fail "the drivers were not copied"
  assert_order '^sudo eatmydata add-apt-repository -y ppa:rodsmith/refind$' \
    '^sudo eatmydata apt install -y --no-install-recommends refind git$' \
    '^sudo ./refind/install.sh dark$' \
    '^sudo apt-mark hold grub-efi-amd64 grub-efi-amd64-signed grub-common grub-efi-amd64-bin grub-common grub2-common$' \
    '^sudo cp -f /boot/efi/EFI/refind/refind.conf /boot/efi/EFI/refind/refind.conf.bkup$'

  # Again: the backup is neither copied nor changed, the configuration stays byte for byte.
  cp "$esp/refind.conf.bkup" "$SB_DIR/first-backup"
  sb_answer 0 refind
  sb_answer 0 dark
  sb_run
  assert_status 0
  assert_stdout_has "Updated"
  assert_not_called '^sudo cp -f \S+refind.conf \S+refind.conf.bkup$'
  cmp -s "$esp/refind.conf.bkup" "$SB_DIR/first-backup" || fail "the backup changed"
  cmp -s "$esp/refind.conf" <(expected_refind_conf) ||
    fail "refind.conf after the second run: $(tr '\n' '|' <"$esp/refind.conf")"
}

test_refind_in_bios_mode_stops_with_its_error_line() {
  menu_missing && return 0
  sb_done_marker
  prepare_refind
  sb_efi off
  # The menu offers no rEFInd entry in BIOS mode; the action guards itself all the same.
  sb_answer 0 refind
  sb_answer 0 light
  sb_run
  assert_status 0
  sed -n 1p "$SB_DIALOGS" | grep -q " refind " && fail "the BIOS menu offers rEFInd"
  assert_stderr_has "E: Boot mode is BIOS/Legacy. EFI boot mode is needed to use Refind."
  assert_not_called 'add-apt-repository'
  assert_not_called 'install.sh'
  assert_not_called 'apt-mark'
  [ ! -e "$SB_DIR/sys/boot/efi/EFI/refind/refind.conf.bkup" ] || fail "a backup was made"
}

test_extra_software_one_call_per_source() {
  menu_missing && return 0
  sb_done_marker
  sb_answer 0 install
  sb_answer 0 '"steam" "vmm" "vbox" "vscode"'
  sb_run
  assert_status 0
  assert_dialog_line 2 "whiptail --title Install Software --notags --checklist Choose items to install: 30 78 20 build "
  assert_dialog_line 2 " skype webex zoom skype OFF --cancel-button Exit"
  assert_stdout_has "Selected install: steam vmm vbox vscode"
  assert_stdout_lacks "Nothing to install"
  assert_calls 1 '^sudo eatmydata apt install '
  assert_calls 1 '^sudo eatmydata deb-get install '
  assert_order \
    '^sudo eatmydata apt install -y --no-install-recommends steam virt-manager virtualbox-qt virtualbox-ext-pack virtualbox-guest-additions-iso$' \
    '^sudo eatmydata deb-get install lutris heroic code$' \
    '^sudo usermod -aG libvirt kelvanetest$' \
    '^sudo usermod -aG vboxusers kelvanetest$'
}

test_extra_software_nothing_ticked() {
  menu_missing && return 0
  sb_done_marker
  sb_answer 0 install
  sb_answer 0 ""
  sb_run
  assert_status 0
  grep -qx "Selected install: " "$SB_STDOUT" || fail "no empty selection line: $(tr '\n' '|' <"$SB_STDOUT")"
  assert_stdout_has "Nothing to install"
  assert_not_called 'apt install'
  assert_not_called 'deb-get'
  assert_not_called 'usermod'
}

test_refind_failures_stop_and_change_nothing_further() {
  menu_missing && return 0
  sb_done_marker
  prepare_refind
  local esp=$SB_DIR/sys/boot/efi/EFI/refind
  sb_fail apt-mark
  sb_answer 0 refind
  sb_answer 0 light
  sb_run
  assert_status 0
  assert_stderr_has "E: Failed to install refind to ESP"
  assert_not_called 'drivers_x64'
  assert_not_called 'refind.conf.bkup'
  [ ! -e "$esp/drivers_x64/btrfs_x64.efi" ] || fail "the drivers were copied"
  grep -qxF '#use_nvram false' "$esp/refind.conf" || fail "refind.conf was edited"

  # Without a configuration in either folder nothing is installed on the ESP.
  rm -f "$esp/refind.conf"
  sb_answer 0 refind
  sb_answer 0 light
  sb_run
  assert_status 0
  assert_stderr_has "E: Refind installation directory not found on ESP"
  assert_not_called 'install.sh'
  assert_not_called 'apt-mark'
}

# Each step that stops the action, and what it leaves behind.
test_refind_each_failing_step_stops_with_its_error_line() {
  menu_missing && return 0
  sb_done_marker
  local esp=$SB_DIR/sys/boot/efi/EFI/refind rule pattern message
  local -a cases=(
    "install.sh|Failed to install refind to ESP"
    "drivers_x64|Failed to install refind to ESP"
    "^cat |Failed to read: /boot/efi/EFI/refind/refind.conf"
    "^cp -f \S+ /boot/efi/EFI/refind/refind.conf$|Failed to update: /boot/efi/EFI/refind/refind.conf"
  )
  for rule in "${cases[@]}"; do
    pattern=${rule%%|*}
    message=${rule#*|}
    rm -rf "$SB_DIR/sys/boot/efi"
    : >"$SB_DIR/fail.rules"
    prepare_refind
    sb_fail sudo "$pattern"
    sb_answer 0 refind
    sb_answer 0 dark
    sb_run
    assert_status 0
    assert_stderr_has "E: $message"
    assert_stdout_lacks "Updated"
    grep -qxF '#use_nvram false' "$esp/refind.conf" || fail "refind.conf was edited ($pattern)"
  done

  # A theme name that is neither light nor dark never reaches a root command line.
  : >"$SB_DIR/fail.rules"
  sb_answer 0 refind
  sb_answer 0 'dark; touch /tmp/owned'
  sb_run
  assert_status 0
  assert_stderr_has "E: Unknown Refind theme: 'dark; touch /tmp/owned'"
  assert_not_called 'install.sh'
  assert_not_called 'add-apt-repository'
}

test_refind_in_the_fallback_folder() {
  menu_missing && return 0
  sb_done_marker
  prepare_refind
  local boot=$SB_DIR/sys/boot/efi/EFI/BOOT
  mkdir -p "$boot"
  mv "$SB_DIR/sys/boot/efi/EFI/refind/"{refind.conf,drivers_x64} "$boot/"
  sb_answer 0 refind
  sb_answer 0 light
  sb_run
  assert_status 0
  assert_stderr_lacks "E: "
  cmp -s "$boot/refind.conf" <(expected_refind_conf) || fail "refind.conf: $(tr '\n' '|' <"$boot/refind.conf")"
  [ -f "$boot/drivers_x64/btrfs_x64.efi" ] || fail "the drivers were not copied"
  [ -d "$boot/themes/refind-theme-regular/icons/128-48" ] || fail "no theme in the fallback folder"
  assert_called '^sudo cp -f /boot/efi/EFI/BOOT/refind.conf /boot/efi/EFI/BOOT/refind.conf.bkup$'
}

test_extra_software_failed_install_and_installed_packages() {
  menu_missing && return 0
  sb_done_marker
  sb_fail apt '^install '
  sb_answer 0 install
  sb_answer 0 '"steam" "vmm"'
  sb_run
  assert_status 1
  assert_not_called 'deb-get'
  assert_not_called 'usermod'

  # Everything from APT already there: no APT call, the deb-get packages still come.
  : >"$SB_DIR/fail.rules"
  sb_installed steam
  sb_answer 0 install
  sb_answer 0 '"steam"'
  sb_run
  assert_status 0
  assert_stdout_has "Nothing to install"
  assert_not_called 'apt install'
  assert_called '^sudo eatmydata deb-get install lutris heroic$'

  sb_answer 0 install
  sb_answer 1
  sb_run
  assert_status 0
  assert_stdout_has "Cancelled by user"
  assert_not_called 'deb-get'
}
