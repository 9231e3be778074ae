# The main menu of later runs and each action it reaches.

# Queues the answers after the done marker (the menu opens) and runs with the arguments.
menu_run() {
  sb_done_marker
  sb_clear_answers
  local answer
  for answer in "$@"; do
    if [ "$answer" = cancel ]; then sb_answer 1; else sb_answer 0 "$answer"; fi
  done
  sb_run
}

dump_has() {
  local key
  sb_dconf_dump >"$SB_DIR/dump"
  for key in "$@"; do grep -qxF -- "$key" "$SB_DIR/dump" || fail "dconf lacks $key"; done
}

# A separator or a "back" shows the menu again; Exit ends the run with nothing changed; the
# boot mode, asked each time, decides whether rEFInd is offered.
test_navigation() {
  sb_os_release ubuntu-24.04
  menu_run sep1 theme back xanmod back cancel
  assert_status 0
  assert_stdout_has "Cancelled by user"
  assert_dialogs "Choose Action|Choose Action|GTK Theme|Choose Action|XanMod Kernel|Choose Action"
  assert_calls 4 '^sudo efibootmgr$'
  # Without EFI, efibootmgr's complaint goes to the log only.
  ! grep -qF "EFI variables" "$SB_STDOUT" "$SB_STDERR" &&
    grep -qF "EFI variables are not supported" "$SB_HOME"/.local/state/kelvane/*.log ||
    fail "efibootmgr's stderr on screen or not in the log"
  assert_not_called 'refind|^(dconf|sudo eatmydata|sudo tee) '
  menu_run website
  assert_status 0
  assert_dialogs "Choose Action"
  assert_stdout_lacks "Cancelled by user"
  sb_efi on
  menu_run cancel
  assert_called '^whiptail .* refind  Install Refind '
}

test_theme_and_layout() {
  menu_run theme dark
  assert_status 0
  assert_stdout_has "Apply Theme: dark"
  dump_has "gtk-theme='Yaru-dark'" "color-scheme='prefer-dark'"
  menu_run layout ubuntu
  assert_status 0
  assert_dialogs "Choose Action|Desktop Layout"
  assert_stdout_has "On Wayland, new extensions load at the next login"
  assert_order '^wget -O .*/kelvane_[^/]*/.*/gnome-shell-extension-installer ' \
    '^sudo mv -f .*/gnome-shell-extension-installer /usr/bin/$' '^dconf load'
  compgen -G "$SB_HOME/.local/share/gnome-shell/extensions/*/metadata.json" >/dev/null ||
    fail "no extension installed"
  dump_has "clock-show-weekday=true" "gtk-theme='Yaru-dark'"
  menu_run layout reset
  assert_status 0
  assert_order '^dconf load' '^dconf reset -f /org/gnome/$' '^gnome-session-quit --no-prompt$'
  [ "$(sb_dconf_dump | grep -c =)" = 1 ] || fail "reset left: $(sb_dconf_dump | paste -sd'|')"
}

# Where XanMod has nothing for the release or the CPU, one line and back to the menu (the verb:
# status 1). On 24.04 its key, its source with the codename, the package check, the package.
test_kernel_by_release_and_cpu() {
  local row os cpu expected
  for row in "ubuntu-22.04|3|XanMod no longer publishes kernels for Ubuntu 22.04 (jammy)." \
    "ubuntu-22.10|3|XanMod no longer publishes kernels for Ubuntu 22.10 (kinetic)." \
    "ubuntu-24.04|1|XanMod publishes no kernel for this CPU: its builds need x86-64 Level 2 features."; do
    IFS='|' read -r os cpu expected <<<"$row"
    sb_os_release "$os"
    sb_cpu_level "$cpu"
    menu_run xanmod "" cancel
    assert_status 0
    assert_dialogs "Choose Action|XanMod Kernel|Choose Action"
    assert_stdout_has "$expected"
    sb_run kernel x64v2
    assert_status 1
    assert_stderr_has "E: $expected"
    assert_not_called 'xanmod|gpg|apt'
  done
  sb_cpu_level 2
  menu_run xanmod linux-xanmod-x64v3 "" linux-xanmod-x64v2
  assert_status 0
  assert_dialogs "Choose Action|XanMod Kernel|Not Supported by CPU|XanMod Kernel"
  assert_order 'Not Supported by CPU' '^wget -qO - https://dl.xanmod.org/archive.key$' \
    '^gpg --dearmor --yes -o /etc/apt/keyrings/xanmod-archive-keyring.gpg$' \
    '^sudo tee /etc/apt/sources.list.d/xanmod-kernel.sources$' 'apt update' \
    '^apt-get -s install linux-xanmod-x64v2$' 'apt install .* linux-xanmod-x64v2$'
  assert_not_called 'linux-xanmod-x64v3$|apt-key'
  grep -qx 'Suites: noble' "$SB_DIR/sys/etc/apt/sources.list.d/xanmod-kernel.sources" || fail "suite"
  assert_stdout_has "Reboot the system to use the new kernel."
  # The source is there now: the next install goes straight to the check and the package.
  menu_run xanmod linux-xanmod-lts-x64v2
  assert_order '^apt-get -s install linux-xanmod-lts-x64v2$' 'apt install .* linux-xanmod-lts-x64v2$'
  assert_not_called 'tee|gpg|apt update'
  # An earlier version's source (retired suite, key in the shared store) makes way for the current.
  sb_cpu_level 3
  rm "$SB_DIR/sys/etc/apt/sources.list.d/xanmod-kernel.sources"
  sb_root_file /etc/apt/sources.list.d/xanmod-kernel.list "deb http://deb.xanmod.org releases main"
  sb_run kernel lts
  assert_status 0
  assert_order '^sudo rm -f /etc/apt/sources.list.d/xanmod-kernel.list /etc/apt/trusted.gpg.d/xanmod-kernel.gpg$' \
    '^sudo tee /etc/apt/sources.list.d/xanmod-kernel.sources$' 'apt install .* linux-xanmod-lts-x64v3$'
}

test_boot_manager_on_efi_and_refused_on_bios() {
  # A dry run before rEFInd is on the ESP shows the steps after the package too.
  sb_efi on
  sb_run --dry-run boot-manager dark
  assert_status 0
  assert_stdout_has "Would edit /boot/efi/EFI/refind/refind.conf once the package has put it there"
  sb_refind_esp
  local esp=$SB_DIR/sys/boot/efi/EFI/refind
  menu_run refind dark
  assert_status 0
  assert_stdout_has "Updated"
  assert_order 'ppa:rodsmith/refind$' 'apt install .* refind git$' '^sudo ./refind/install.sh dark$' \
    '^sudo apt-mark hold grub' 'refind.conf.bkup$'
  grep -qxF 'include themes/refind-theme-regular/theme.conf' "$esp/refind.conf" || fail "no theme"
  [ -f "$esp/drivers_x64/btrfs_x64.efi" ] && [ -f "$esp/refind.conf.bkup" ] || fail "no drivers or backup"
  sb_efi off
  menu_run refind light
  assert_stderr_has "E: Boot mode is BIOS/Legacy. EFI boot mode is needed to use Refind."
  assert_not_called 'add-apt-repository|install.sh|apt-mark'
}

test_extra_software_one_call_per_source() {
  menu_run install '"steam" "vmm" "vbox" "vscode" "meet"'
  assert_status 0
  assert_calls 1 '^sudo eatmydata apt install '
  assert_calls 1 '^sudo eatmydata deb-get install '
  assert_order 'apt install .* steam virt-manager virtualbox-qt' 'deb-get install lutris heroic code webex zoom$' \
    '^sudo usermod -aG libvirt kelvanetest$' '^sudo usermod -aG vboxusers kelvanetest$'
  menu_run install ""
  assert_stdout_has "Nothing to install"
  assert_not_called '^sudo (eatmydata|usermod)'
  # A name the release lacks: said, and nothing installed, from the menu and by the verb.
  sb_apt_lacks virt-manager
  for verb in "" "software vmm vscode"; do
    # shellcheck disable=SC2086 # the verb and its values are separate arguments
    if [ -z "$verb" ]; then menu_run install '"vmm" "vscode"'; else sb_run $verb; fi
    assert_stderr_has "E: Ubuntu 22.04 has no package 'virt-manager'"
    assert_stdout_has "Nothing was installed."
    assert_not_called '^sudo (eatmydata|usermod)'
  done
  assert_status 1
  # From 24.04 on Steam comes as its installer, once the i386 architecture is there.
  sb_os_release ubuntu-24.04
  menu_run install '"steam"'
  assert_order '^dpkg --print-foreign-architectures$' '^sudo dpkg --add-architecture i386$' \
    'apt update' '^apt-get -s install steam-installer$' 'apt install .* steam-installer$'
  menu_run install '"steam" "ffmpeg"'
  assert_not_called 'add-architecture|apt update'
  assert_called 'apt install .* steam-installer smplayer mpv ffmpeg sox$'
}

# What a user sees when a step of an action fails, that the action stops there, and that the
# run ends with status 1 as the action's verb does.
test_action_failures() {
  local row stub rule answers expected never
  sb_refind_esp
  sb_os_release ubuntu-24.04
  for row in "gpg||xanmod linux-xanmod-x64v3|Failed to install the signing key: https://dl.xanmod.org/archive.key|apt install|tee" \
    "apt-get|^-s install|xanmod linux-xanmod-x64v3|\"env LC_ALL=C apt-get -s install linux-xanmod-x64v3\" ended with status 1|apt install" \
    "sudo|install.sh|refind dark|Failed to install refind to ESP|apt-mark" \
    "sudo|^cp -f \S+ /boot/efi/EFI/refind/refind.conf$|refind light|Failed to update: /boot/efi/EFI/refind/refind.conf|" \
    "||refind dark;x|Unknown Refind theme: 'dark;x'|install.sh" \
    "wget|installer|layout windows|Failed to download: https://github.com/brunelli/|^sudo mv"; do
    IFS='|' read -r stub rule answers expected never <<<"$row"
    : >"$SB_DIR/fail.rules"
    [ -n "$stub" ] && sb_fail "$stub" "$rule"
    rm -f "$SB_DIR/sys/usr/bin/gnome-shell-extension-installer"
    # shellcheck disable=SC2086 # the answers are meant to split
    menu_run $answers
    assert_status 1
    assert_stderr_has "E: $expected"
    [ -z "$never" ] || assert_not_called "$never"
  done
  # Neither a source without its key nor one without the kernel stays behind.
  [ ! -e "$SB_DIR/sys/etc/apt/sources.list.d/xanmod-kernel.sources" ] || fail "a kernel source stayed"
  grep -qxF '#use_nvram false' "$SB_DIR/sys/boot/efi/EFI/refind/refind.conf" || fail "refind.conf edited"
}

# The commands that changed the system in the last run, from its log.
changes_made() {
  sed -n 's/^\$ //p' "$(ls "$SB_HOME"/.local/state/kelvane/*.log | tail -n 1)" |
    grep -v '/.local/state/kelvane/runs/' | sed -E 's#/kelvane_[A-Za-z0-9]+/[0-9/]+#/W/#g'
}

# Each verb does what its menu entry does, from the same state, without a dialog.
test_verbs_do_what_the_menu_does() {
  local row verb answers=()
  sb_os_release ubuntu-24.04
  sb_cpu_level 2
  for row in "theme dark|theme;dark" "layout windows|layout;windows" \
    "kernel x64v2|xanmod;linux-xanmod-x64v2" "boot-manager light|refind;light" \
    "software steam vscode meet|install;\"steam\" \"vscode\" \"meet\""; do
    IFS='|' read -r verb answers <<<"$row"
    IFS=';' read -ra answers <<<"$answers"
    rm -rf "$SB_HOME" "$SB_DIR/sys"
    mkdir -p "$SB_HOME"
    : >"$SB_DIR/state/packages"
    rm -f "$SB_DIR/state/architectures"
    sb_refind_esp
    menu_run "${answers[@]}"
    assert_status 0
    changes_made >"$SB_DIR/by-menu"
    rm -rf "$SB_HOME" "$SB_DIR/sys"
    mkdir -p "$SB_HOME"
    : >"$SB_DIR/state/packages"
    rm -f "$SB_DIR/state/architectures"
    sb_refind_esp
    sb_done_marker
    # shellcheck disable=SC2086 # the verb and its values are separate arguments
    sb_run $verb
    assert_status 0
    assert_dialogs ""
    diff "$SB_DIR/by-menu" <(changes_made) >"$SB_DIR/diff" ||
      fail "$verb differs from the menu: $(sb__excerpt "$SB_DIR/diff")"
  done
  # The checks refuse as the menu does, with status 1 and nothing installed.
  sb_run kernel x64v3
  assert_status 1
  assert_stderr_has "E: This CPU doesn't support x86-64 Level 3 features. Select another kernel type."
  # An action that reports an error ends with status 1 too: no rEFInd on the ESP.
  rm -rf "$SB_DIR/sys/boot/efi/EFI/refind"
  sb_run boot-manager dark
  assert_status 1
  assert_stderr_has "E: Refind installation directory not found on ESP"
  sb_efi off
  sb_run boot-manager dark
  assert_status 1
  assert_stderr_has "E: Boot mode is BIOS/Legacy. EFI boot mode is needed to use Refind."
  assert_not_called 'apt install|add-apt-repository'
}
