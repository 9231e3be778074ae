# The end-to-end sandbox: sourced by run-case (and script/sandbox-demo, bench/run) before a case
# file. See README.md for the API. Functions named sb__* are internal.

SB_HARNESS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# Commands that every sandbox fakes with the recording stub (dconf records and runs the real one).
SB_STUBS=(sudo pkexec eatmydata apt apt-get apt-cache add-apt-repository apt-key apt-mark dpkg-query deb-get
  snap flatpak pro efibootmgr shutdown usermod wget curl xdg-open gnome-session-quit sync whiptail
  dconf chown chmod gpg dpkg fuser df)
# System folders laid over with a writable overlay; the program's writes land in $SB_DIR/sys.
SB_OVERLAY_ROOTS="/etc/apt /etc/default /usr/share /usr/bin /usr/sbin /usr/local /boot /var/cache"
# Folders below those that the test user may write (as sudo would).
SB_WRITABLE_DIRS=(/etc/apt/sources.list.d /etc/apt/preferences.d /etc/apt/trusted.gpg.d
  /etc/apt/keyrings /etc/apt/apt.conf.d /etc/default /usr/share/keyrings /usr/share/backgrounds /usr/bin /boot/efi
  /var/cache)

sb__fail() {
  printf '%s\n' "$*" >>"$SB_DIR/failure"
  exit 1
}

# Starts a fresh sandbox in the empty folder $1 for the binary $3 built from the sources in $2.
sb__init() {
  SB_DIR=$1 SB_SOURCE_DIR=$2 SB_STATUS='' SB_REAL_WHIPTAIL=${SB_REAL_WHIPTAIL:-0}
  SB_LOG=$SB_DIR/calls.log SB_DIALOGS=$SB_DIR/dialogs.log SB_WORK=$SB_DIR/work
  SB_STDOUT=$SB_DIR/stdout SB_STDERR=$SB_DIR/stderr SB_HOME=$SB_DIR/home/kelvanetest
  mkdir -p "$SB_DIR"/{conf,state,tmp,run,roottmp,sys,bin} "$SB_HOME"
  # The program and the stub run from inside the sandbox: the namespace hides the machine's
  # /tmp, where a fresh clone (and so the build) may well lie.
  SB_BINARY=$SB_DIR/bin/kelvane
  ln "$3" "$SB_BINARY" 2>/dev/null || cp "$3" "$SB_BINARY"
  cp "$SB_HARNESS/stub" "$SB_DIR/bin/stub"
  touch "$SB_DIR/conf/without" "$SB_DIR/conf/env" "$SB_DIR/state/packages" "$SB_DIR/state/answers" "$SB_DIR/fail.rules" "$SB_DIR/state/hang.rules" "$SB_DIR/state/source-fails" "$SB_DIR/state/root-owned"
  echo off >"$SB_DIR/state/efi"
  sb_fresh_state
  cp -a "$SB_SOURCE_DIR/data" "$SB_WORK"
  sb__data_stand_ins
  sb_os_release ubuntu-22.04
  sb_cpuinfo v3
  sb_cpu_level 3
  trap sb__cleanup EXIT
}

# Stand-ins for the third-party data that script/fetch-data puts into data/, where missing.
sb__data_stand_ins() {
  local release dir
  for release in 22.04 22.10 24.04 26.04; do
    dir=$SB_WORK/extensions_$release
    compgen -G "$dir/*/metadata.json" >/dev/null && continue
    mkdir -p "$dir/caffeine@patapon.info"
    echo '{"uuid": "caffeine@patapon.info"}' >"$dir/caffeine@patapon.info/metadata.json"
  done
  mkdir -p "$SB_WORK/debs" "$SB_WORK/nala"
  compgen -G "$SB_WORK/debs/webp-pixbuf-loader_*.deb" >/dev/null ||
    echo deb >"$SB_WORK/debs/webp-pixbuf-loader_0.0.0-stand-in_amd64.deb"
  [ -e "$SB_WORK/nala/volian-archive-keyring.gpg" ] ||
    echo key >"$SB_WORK/nala/volian-archive-keyring.gpg"
}

# A tmux server is the one thing a test starts outside the sandbox's namespace.
sb__cleanup() {
  [ -S "$SB_DIR/tmux.sock" ] && tmux -S "$SB_DIR/tmux.sock" kill-server 2>/dev/null
  return 0
}

# Everything that must be right just before the program starts: stubs, passwd, ownership.
sb__prepare() {
  local stub dir
  rm -rf "$SB_DIR/stubs"
  mkdir -p "$SB_DIR/stubs"
  for stub in "${SB_STUBS[@]}"; do
    [ "$stub" = whiptail ] && [ "$SB_REAL_WHIPTAIL" = 1 ] && continue
    grep -qxF -- "$stub" "$SB_DIR/conf/without" || ln -s ../bin/stub "$SB_DIR/stubs/$stub"
  done
  {
    echo "root:x:0:0:root:/root:/bin/bash"
    [ -f "$SB_DIR/conf/no-account" ] || echo "kelvanetest:x:4242:4242:Kelvane Test:$SB_HOME:/bin/bash"
  } >"$SB_DIR/conf/passwd"
  for dir in "${SB_WRITABLE_DIRS[@]}"; do mkdir -p "$SB_DIR/sys$dir"; done
  sb__release_sources
  # The machine's own schemas are not the release's: a sandbox has none but those of sb_schemas.
  dir=$SB_DIR/sys/usr/share/glib-2.0
  [ -e "$dir/schemas" ] || { mkdir -p "$dir" && mknod "$dir/schemas" c 0 0; }
  chmod 755 "$SB_DIR" "$(dirname "$SB_DIR")" "$SB_DIR/conf"
  chmod 644 "$SB_DIR/conf/"*
  chmod 1777 "$SB_DIR/roottmp"
  chmod 700 "$SB_DIR/run"
  touch "$SB_LOG" "$SB_DIALOGS" "$SB_DIR/failure"
  # Only what is meant for the test user changes owner; the overlay work folders stay root's.
  chown -R 4242:4242 "$SB_DIR"/{state,tmp,run,sys,calls.log,dialogs.log,failure} \
    "$(dirname "$SB_HOME")"
  local owned
  while read -r owned; do
    [ ! -f "$SB_DIR/sys$owned" ] || chown 0:0 "$SB_DIR/sys$owned"
  done <"$SB_DIR/state/root-owned"
  if [ -f "$SB_DIR/conf/root-data" ]; then chown -R 0:0 "$SB_WORK"; else chown -R 4242:4242 "$SB_WORK"; fi
}

# From 24.04 on the release's own sources are a deb822 file and sources.list is left empty.
sb__release_sources() {
  local major codename file=$SB_DIR/sys/etc/apt/sources.list.d/ubuntu.sources
  major=$(sed -n 's/^VERSION_ID="\{0,1\}\([0-9]*\).*/\1/p' "$SB_DIR/conf/os-release")
  codename=$(sed -n 's/^VERSION_CODENAME=//p' "$SB_DIR/conf/os-release")
  [ "${major:-0}" -ge 24 ] && [ ! -e "$file" ] || return 0
  sed "s/@CODENAME@/$codename/g" "$SB_SOURCE_DIR/tests/fixtures/apt/ubuntu.sources" >"$file"
  : >"$SB_DIR/sys/etc/apt/sources.list"
}

# Runs a command inside the sandbox as the test user, in the folder $1.
sb__enter() {
  local cwd=$1
  shift
  SB_HOME=$SB_HOME SB_OVERLAY_ROOTS=$SB_OVERLAY_ROOTS SB_TERM=${SB_TERM:-dumb} \
    unshare --mount --pid --fork --mount-proc --propagation private \
    "$SB_HARNESS/sandbox-enter" "$SB_DIR" "$cwd" "$@"
}

# ---- configuration (call before sb_run) ---------------------------------------------------------

sb__fixture() {
  local file=$2
  [[ $file == */* ]] || file=$SB_SOURCE_DIR/tests/fixtures/$1/$2
  cp "$file" "$SB_DIR/conf/$1" 2>/dev/null || sb__fail "no $1 fixture $2"
}
sb_os_release() { sb__fixture os-release "$1"; }
sb_cpuinfo() { sb__fixture cpuinfo "$1"; }
# The program takes the CPU's level from CPUID; the sandbox sets it through the hidden knob.
sb_cpu_level() { echo "$1" >"$SB_DIR/conf/cpu-level"; }
sb_efi() { echo "$1" >"$SB_DIR/state/efi"; }
sb_installed() { printf '%s\n' "$@" >>"$SB_DIR/state/packages"; }
# apt's simulation finds no package $@; with --no-lists apt has no package lists at all.
sb_apt_lacks() {
  if [ "$1" = --no-lists ]; then touch "$SB_DIR/state/no-lists"; else printf '%s\n' "$@" >>"$SB_DIR/state/apt-lacks"; fi
}
sb_fail() { printf '%s\t%s\n' "$1" "${2:-}" >>"$SB_DIR/fail.rules"; }
sb_hang() { printf '%s\t%s\n' "$1" "${2:-}" >>"$SB_DIR/state/hang.rules"; }
sb_as_root() { touch "$SB_DIR/conf/as-root"; }
sb_no_account() { touch "$SB_DIR/conf/no-account"; }
sb_root_data() { touch "$SB_DIR/conf/root-data"; }
sb_answer() { printf '%s\t%s\n' "$1" "${2:-}" >>"$SB_DIR/state/answers"; }
sb_clear_answers() { : >"$SB_DIR/state/answers"; }
sb_env() { printf '%s\n' "$@" >>"$SB_DIR/conf/env"; }
sb_snaps() { printf '%s\n' "$@" >"$SB_DIR/state/snaps"; }
sb_lock_held() {
  echo "$1" >"$SB_DIR/state/lock-held"
  if [ "${2:-}" = gone ]; then touch "$SB_DIR/state/lock-gone"; else rm -f "$SB_DIR/state/lock-gone"; fi
}
# apt update fails for each source file whose name matches the ERE $1: no Release file.
sb_apt_source_fails() { echo "$1" >>"$SB_DIR/state/source-fails"; }
sb_disk_free() { echo "$1" >"$SB_DIR/state/disk-free"; }
sb_done_marker() { sb_home_file .cache/velkor-post-install.done ""; }
# What a fresh desktop has besides its files: the Firefox snap, no Flatpak remote, apt's news on,
# and updates waiting, one of them kept back by "apt upgrade" for "apt full-upgrade".
sb_fresh_state() {
  echo firefox >"$SB_DIR/state/snaps"
  printf '%s\n' libc6 'linux-generic kept' >"$SB_DIR/state/upgradable"
  rm -f "$SB_DIR/state/remotes" "$SB_DIR/state/apt-news-off"
}

# Hides a command: its stub is not installed and the machine's own copy is whited out.
sb_without() {
  local command dir
  for command in "$@"; do
    echo "$command" >>"$SB_DIR/conf/without"
    for dir in /usr/bin /usr/sbin /usr/local/bin /usr/local/sbin; do
      if [ -e "$dir/$command" ] || [ -L "$dir/$command" ]; then
        mkdir -p "$SB_DIR/sys$dir"
        mknod "$SB_DIR/sys$dir/$command" c 0 0
      fi
    done
  done
}

# The home moves to $1 (a path below the sandbox).
sb_home() {
  rm -rf "${SB_DIR:?}/home"
  SB_HOME=$1
  mkdir -p "$SB_HOME"
}

sb_home_file() {
  mkdir -p "$(dirname "$SB_HOME/$1")"
  printf '%s' "$2" >"$SB_HOME/$1"
}

# The file appears at <abs-path> inside the sandbox (below one of $SB_OVERLAY_ROOTS).
sb_root_file() {
  mkdir -p "$(dirname "$SB_DIR/sys$1")"
  printf '%s' "$2" >"$SB_DIR/sys$1"
}

# The settings schemas of fixture set $1 (gnome42, gnome43, gnome46, gnome50) compiled into the
# sandbox's /usr/share/glib-2.0/schemas, without the keys named $2...
sb_schemas() {
  local dir=$SB_DIR/sys/usr/share/glib-2.0/schemas key
  rm -rf "$dir"
  mkdir -p "$dir"
  cp "$SB_SOURCE_DIR/tests/fixtures/schemas/$1"/*/*.xml "$dir/" || sb__fail "no schema set $1"
  for key in "${@:2}"; do
    perl -0pi -e "s{<key [^>]*name=[\"']\Q$key\E[\"'].*?</key>}{}gs" "$dir"/*.gschema.xml
  done
  glib-compile-schemas --strict "$dir" >/dev/null || sb__fail "the $1 schemas do not compile"
}

# The system files a fresh Ubuntu has and the wizard edits: zram's settings, and the default
# applications with the lines "$@" ("video/mp4=org.gnome.Totem.desktop").
sb_system_files() {
  sb_root_file /etc/default/zramswap $'#ALGO=lz4\n#PERCENT=50\n# PRIORITY=100\n'
  sb_root_file /usr/share/applications/defaults.list "$(printf '%s\n' '[Default Applications]' "$@")"$'\n'
}

# An EFI machine whose system partition is as an installed rEFInd package leaves it, and a
# theme that a fake git hands out to the program's install script.
sb_refind_esp() {
  local theme=/usr/share/kelvane-e2e/theme
  sb_efi on
  sb_root_file /boot/efi/EFI/refind/refind.conf $'timeout 20\n#use_nvram false\n'
  sb_root_file /boot/efi/EFI/refind/drivers_x64/.keep ""
  sb_root_file /usr/share/refind/refind/drivers_x64/btrfs_x64.efi "driver"
  sb_root_file $theme/icons/128-48/arrow_right.png "arrow"
  sb_root_file $theme/theme.conf $'banner bg.png\n'
  sb_root_file /usr/bin/git "#!/bin/sh
eval cp -r $theme \"\\\${\$#}\""
  chmod +x "$SB_DIR/sys/usr/bin/git"
}

# ---- running ------------------------------------------------------------------------------------

sb_run() {
  sb__prepare
  : >"$SB_LOG"
  : >"$SB_DIALOGS"
  sb__enter "${SB_CWD:-$SB_WORK}" "$SB_BINARY" "$@" </dev/null >"$SB_STDOUT" 2>"$SB_STDERR"
  SB_STATUS=$?
  [ -s "$SB_DIR/failure" ] && exit 1
  if grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$SB_STDERR"; then
    sb__fail "sanitizer report: $(grep -m1 -E 'Sanitizer|runtime error' "$SB_STDERR")"
  fi
  return 0
}

# Runs the program in a process group of its own until a call of sb_hang hangs (or, with
# SB_INTERRUPT_AT set, until its output shows that text), then sends that group the signal $1
# (as a terminal's Ctrl-C sends SIGINT) and waits for the program's end.
sb_run_interrupted() {
  local signal=$1 tries=6000 pid
  shift
  touch "$SB_DIR/conf/own-group"
  rm -f "$SB_DIR/state/hanging" "$SB_DIR/state/status" "$SB_STDOUT"
  { sb_run "$@"; echo "$SB_STATUS" >"$SB_DIR/state/status"; } &
  until [ -e "$SB_DIR/state/hanging" ] || [ "$tries" = 0 ] ||
    { [ -n "${SB_INTERRUPT_AT:-}" ] && grep -qF -- "$SB_INTERRUPT_AT" "$SB_STDOUT" 2>/dev/null; }; do
    sleep 0.05
    tries=$((tries - 1))
  done
  pid=$(pgrep -f -- "^$SB_BINARY" | head -n 1)
  [ -n "$pid" ] || sb__fail "the program did not reach the hanging call"
  [ -z "${SB_WHILE_HANGING:-}" ] || eval "$SB_WHILE_HANGING"
  # Field 5 of /proc/PID/stat is the process group (ps cannot read a nested pid namespace).
  kill -s "$signal" -- "-$(cut -d' ' -f5 "/proc/$pid/stat")"
  wait
  rm -f "$SB_DIR/conf/own-group"
  : >"$SB_DIR/state/hang.rules"
  SB_STATUS=$(cat "$SB_DIR/state/status")
}

# Runs a command in the sandbox as the test user, in the home.
sb_exec() {
  sb__prepare
  sb__enter "$SB_HOME" "$@" </dev/null
}
sb_dconf_dump() { sb_exec /usr/bin/dconf dump /; }

# Runs a command in the sandbox as root, the way an administrator's tool reaches the machine: the
# machine's own commands (no stubs), its writes below /var/lib, /var/log, /var/tmp and /root kept
# in the sandbox too, /run private with the test user's session bus at /run/user/4242/bus. The
# stubbed sudo takes root to the test user ("sudo -u kelvanetest ...").
sb_exec_admin() {
  SB_ADMIN=1 SB_OVERLAY_ROOTS="$SB_OVERLAY_ROOTS /var/lib /var/log /var/tmp /root" sb_exec "$@"
}

# ---- the real whiptail in tmux ------------------------------------------------------------------

# Starts the program in the sandbox inside a detached 100x32 tmux window with the real whiptail.
sb_tmux_start() {
  command -v tmux >/dev/null || sb__fail "tmux is not installed"
  SB_REAL_WHIPTAIL=1
  sb__prepare
  : >"$SB_LOG"
  {
    printf 'source %q\nSB_DIR=%q SB_WORK=%q SB_HOME=%q\n' "$SB_HARNESS/lib.sh" "$SB_DIR" "$SB_WORK" "$SB_HOME"
    printf 'SB_TERM=$TERM sb__enter "$SB_WORK"'
    printf ' %q' "$SB_BINARY" "$@"
    printf '\necho $? >%q.new && mv %q.new %q\nsleep 600\n' "$SB_DIR/status" "$SB_DIR/status" "$SB_DIR/status"
  } >"$SB_DIR/tmux-run.sh"
  tmux -S "$SB_DIR/tmux.sock" new-session -d -x 100 -y 32 "bash $(printf %q "$SB_DIR/tmux-run.sh")" ||
    sb__fail "tmux did not start"
}

sb_tmux_screen() { tmux -S "$SB_DIR/tmux.sock" capture-pane -p "$@"; }
sb_tmux_keys() { tmux -S "$SB_DIR/tmux.sock" send-keys "$@"; }

# Waits (at most 60 s) until the screen shows the text.
sb_tmux_wait_text() {
  local tries=600
  until sb_tmux_screen | grep -qF -- "$1"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || sb__fail "the screen never showed '$1': $(sb_tmux_screen | tr -s '\n' '|')"
    sleep 0.1
  done
}

# Waits for the program to end; sets SB_STATUS and puts the screen history in $SB_STDOUT.
sb_tmux_wait_exit() {
  local tries=600
  until [ -f "$SB_DIR/status" ]; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || sb__fail "the program did not end: $(sb_tmux_screen | tr -s '\n' '|')"
    sleep 0.1
  done
  SB_STATUS=$(cat "$SB_DIR/status")
  sb_tmux_screen -S - >"$SB_STDOUT"
}

# ---- assertions ---------------------------------------------------------------------------------

sb__excerpt() { head -c 600 "$1" | tr '\n' '|'; }
fail() { sb__fail "$*"; }
assert_status() {
  [ "$SB_STATUS" = "$1" ] || fail "exit status $SB_STATUS, expected $1; stderr: $(sb__excerpt "$SB_STDERR")"
}
assert_stdout_has() { grep -qF -- "$1" "$SB_STDOUT" || fail "stdout lacks '$1': $(sb__excerpt "$SB_STDOUT")"; }
assert_stdout_lacks() { ! grep -qF -- "$1" "$SB_STDOUT" || fail "stdout has '$1'"; }
assert_stderr_has() { grep -qF -- "$1" "$SB_STDERR" || fail "stderr lacks '$1': $(sb__excerpt "$SB_STDERR")"; }
assert_called() { grep -qE -- "$1" "$SB_LOG" || fail "no call matches /$1/: $(sb__excerpt "$SB_LOG")"; }
assert_not_called() {
  local hit
  hit=$(grep -m1 -E -- "$1" "$SB_LOG") && fail "unexpected call matching /$1/: $hit"
  return 0
}
# The number of calls matching the ERE $2 is $1.
assert_calls() {
  local count
  count=$(grep -cE -- "$2" "$SB_LOG")
  [ "$count" = "$1" ] || fail "$count calls match /$2/, expected $1"
}

# The first call matching each ERE comes after the first call matching the one before.
assert_order() {
  local previous=0 before="" pattern line
  for pattern in "$@"; do
    line=$(grep -n -m1 -E -- "$pattern" "$SB_LOG" | cut -d: -f1)
    [ -n "$line" ] || fail "no call matches /$pattern/"
    [ "$line" -gt "$previous" ] || fail "/$pattern/ (call $line) comes before /$before/ (call $previous)"
    previous=$line before=$pattern
  done
}

# Prints the value of the python expression $2 over the JSON object d read from the file $1 (a
# tuple as its items joined by blanks); a file that is no JSON fails the test.
json_value() {
  python3 -c 'import json, sys
d = json.load(open(sys.argv[1]))
v = eval(sys.argv[2])
print(*v) if isinstance(v, tuple) else print(v)' "$1" "$2" || fail "no JSON in $1: $(sb__excerpt "$1")"
}

# The titles of the dialogs shown, in order, joined by "|".
assert_dialogs() {
  local titles
  titles=$(awk '{ s = substr($0, index($0, "--title ") + 8); print substr(s, 1, index(s, " --") - 1) }' \
    "$SB_DIALOGS" | paste -sd'|')
  [ "$titles" = "$1" ] || fail "dialogs '$titles', expected '$1'"
}
