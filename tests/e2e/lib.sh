# The end-to-end sandbox: sourced by run-case (and sandbox-demo) before a case file. See README.md
# for the API. Functions named sb__* are internal.

SB_HARNESS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SB_UID=4242

# Commands that every sandbox fakes with the recording stub (dconf records and runs the real one).
SB_STUBS=(sudo apt apt-get add-apt-repository apt-key apt-mark dpkg-query eatmydata deb-get snap
  flatpak pro efibootmgr shutdown usermod wget curl xdg-open gnome-session-quit pkexec sync
  whiptail dconf chown)

# System folders laid over with a writable overlay; the program's writes land in $SB_DIR/sys.
SB_OVERLAY_ROOTS=(/etc/apt /etc/default /usr/share /usr/bin /usr/sbin /usr/local /boot /var/cache)
# Folders below those that the test user may write (as sudo would), created when missing.
SB_WRITABLE_DIRS=(/etc/apt /etc/apt/sources.list.d /etc/apt/preferences.d /etc/apt/trusted.gpg.d
  /etc/apt/apt.conf.d /etc/default /usr/share/keyrings /usr/share/backgrounds /usr/bin /boot
  /boot/efi /var/cache)

# ---- internal -----------------------------------------------------------------------------------

sb__fail() {
  printf '%s\n' "$*" >>"$SB_DIR/failure"
  exit 1
}

sb__fixture() {
  local kind=$1 name=$2 candidate
  if [[ $name == */* ]]; then
    [ -f "$name" ] || sb__fail "no such fixture file: $name"
    printf '%s\n' "$name"
    return
  fi
  candidate=$SB_SOURCE_DIR/tests/fixtures/$kind/$name
  [ -f "$candidate" ] || sb__fail "no $kind fixture named $name"
  printf '%s\n' "$candidate"
}

# Starts a fresh sandbox in the empty folder $1 for the binary $3 built from the sources in $2.
sb__init() {
  SB_DIR=$1
  SB_SOURCE_DIR=$2
  SB_LOG=$SB_DIR/calls.log
  SB_CWD_LOG=$SB_DIR/calls-cwd.log
  SB_DIALOGS=$SB_DIR/dialogs.log
  SB_STDOUT=$SB_DIR/stdout
  SB_STDERR=$SB_DIR/stderr
  SB_WORK=$SB_DIR/work
  SB_HOME=$SB_DIR/home/kelvanetest
  SB_STATUS=
  SB_REAL_WHIPTAIL=${SB_REAL_WHIPTAIL:-0}
  mkdir -p "$SB_DIR"/{conf,state,answers,stubs,tmp,run,roottmp,sys,bin}
  # The program runs from inside the sandbox: the namespace hides the machine's /tmp, where a
  # fresh clone (and so the build) may well lie.
  SB_BINARY=$SB_DIR/bin/kelvane
  ln "$3" "$SB_BINARY" 2>/dev/null || cp "$3" "$SB_BINARY"
  echo "$SB_UID" >"$SB_DIR/conf/uid"
  printf '%s\n' "${SB_OVERLAY_ROOTS[@]}" >"$SB_DIR/conf/overlay-roots"
  : >"$SB_DIR/conf/without"
  : >"$SB_DIR/state/packages"
  : >"$SB_DIR/fail.rules"
  echo 1 >"$SB_DIR/answers/next"
  echo off >"$SB_DIR/state/efi"
  if [ -d "$SB_SOURCE_DIR/data" ]; then
    cp -a "$SB_SOURCE_DIR/data" "$SB_WORK"
  else
    mkdir -p "$SB_WORK"
  fi
  sb_os_release ubuntu-22.04
  sb_cpuinfo v3
  sb__set_home "$SB_HOME"
  trap sb__cleanup EXIT
  trap 'exit 143' TERM
}

# A tmux server is the one thing a test starts outside the namespace.
sb__cleanup() {
  if [ -S "$SB_DIR/tmux.sock" ]; then
    tmux -S "$SB_DIR/tmux.sock" kill-server 2>/dev/null
  fi
  return 0
}

sb__set_home() {
  SB_HOME=$1
  mkdir -p "$SB_HOME"
  printf '%s\n' "$SB_HOME" >"$SB_DIR/conf/home"
}

# Everything that must be right just before the program starts: stubs, passwd, ownership.
sb__prepare() {
  local stub
  rm -rf "$SB_DIR/stubs"
  mkdir -p "$SB_DIR/stubs"
  # The stub is copied in, like the program: the sources may lie below the hidden /tmp.
  cp "$SB_HARNESS/stub" "$SB_DIR/stubs/.stub"
  for stub in "${SB_STUBS[@]}"; do
    [ "$stub" = whiptail ] && [ "$SB_REAL_WHIPTAIL" = 1 ] && continue
    grep -qxF -- "$stub" "$SB_DIR/conf/without" && continue
    ln -s .stub "$SB_DIR/stubs/$stub"
  done
  {
    echo "root:x:0:0:root:/root:/bin/bash"
    echo "nobody:x:65534:65534:nobody:/nonexistent:/usr/sbin/nologin"
    [ -f "$SB_DIR/conf/no-account" ] ||
      echo "kelvanetest:x:$SB_UID:$SB_UID:Kelvane Test:$SB_HOME:/bin/bash"
  } >"$SB_DIR/conf/passwd"
  local dir
  for dir in "${SB_WRITABLE_DIRS[@]}"; do
    mkdir -p "$SB_DIR/sys$dir"
  done
  chmod 755 "$SB_DIR" "$(dirname "$SB_DIR")"
  chmod 1777 "$SB_DIR/roottmp"
  chmod 700 "$SB_DIR/run"
  chmod 644 "$SB_DIR/conf/"*
  # Only the folders meant for the test user change owner; the overlay work folders stay root's.
  chown -R "$SB_UID:$SB_UID" "$SB_DIR"/{state,answers,tmp,run,sys} "$SB_WORK" \
    "$(dirname "$SB_HOME")"
  touch "$SB_LOG" "$SB_CWD_LOG" "$SB_DIALOGS" "$SB_DIR/failure"
  chown "$SB_UID:$SB_UID" "$SB_LOG" "$SB_CWD_LOG" "$SB_DIALOGS" "$SB_DIR/failure"
}

# Runs a command inside the sandbox as the test user, in the folder $1.
sb__enter() {
  local cwd=$1
  shift
  SB_TERM=${SB_TERM:-dumb} unshare --mount --pid --fork --mount-proc --propagation private \
    "$SB_HARNESS/sandbox-enter" "$SB_DIR" "$cwd" -- "$@"
}

# ---- configuration (call before sb_run) ---------------------------------------------------------

sb_os_release() { cp "$(sb__fixture os-release "$1")" "$SB_DIR/conf/os-release" || exit 1; }

sb_cpuinfo() { cp "$(sb__fixture cpuinfo "$1")" "$SB_DIR/conf/cpuinfo" || exit 1; }

sb_efi() {
  case $1 in
    on | off) echo "$1" >"$SB_DIR/state/efi" ;;
    *) sb__fail "sb_efi takes on or off, not $1" ;;
  esac
}

sb_installed() { printf '%s\n' "$@" >>"$SB_DIR/state/packages"; }

# The snaps that "snap list" shows.
sb_snaps() { printf '%s\n' "$@" >>"$SB_DIR/state/snaps"; }

sb_fail() { printf '%s\t%s\n' "$1" "${2:-}" >>"$SB_DIR/fail.rules"; }

# Hides a command: its stub is not installed and the machine's own copy is whited out.
sb_without() {
  local command dir
  for command in "$@"; do
    echo "$command" >>"$SB_DIR/conf/without"
    for dir in /usr/bin /usr/sbin /usr/local/bin /usr/local/sbin; do
      if [ -e "$dir/$command" ] || [ -L "$dir/$command" ]; then
        mkdir -p "$SB_DIR/sys$dir"
        rm -rf "${SB_DIR:?}/sys$dir/$command"
        mknod "$SB_DIR/sys$dir/$command" c 0 0
      fi
    done
  done
}

# The program runs as root as far as it can tell: uid 0 inside a user namespace that is the
# test user outside, so it still cannot write anything the test user could not.
sb_as_root() { touch "$SB_DIR/conf/as-root"; }

# The fake /etc/passwd has no line for the test user.
sb_no_account() { touch "$SB_DIR/conf/no-account"; }

sb_answer() {
  local next count
  count=$(find "$SB_DIR/answers" -name '[0-9]*' | wc -l)
  next=$(printf %04d $((count + 1)))
  printf '%s\n%s' "$1" "${2:-}" >"$SB_DIR/answers/$next"
}

# Drops the answers still queued (for a second run that starts afresh).
sb_clear_answers() {
  rm -f "$SB_DIR"/answers/[0-9]*
  echo 1 >"$SB_DIR/answers/next"
}

sb_done_marker() { sb_home_file .cache/velkor-post-install.done ""; }

sb_home_with_blank() {
  rm -rf "${SB_DIR:?}/home"
  sb__set_home "$SB_DIR/home with blank/kelvane test"
}

sb_home_file() {
  mkdir -p "$(dirname "$SB_HOME/$1")"
  printf '%s' "$2" >"$SB_HOME/$1"
}

# The file appears at <abs-path> inside the sandbox (it must lie below an overlaid folder).
sb_root_file() {
  local root ok=0
  for root in "${SB_OVERLAY_ROOTS[@]}"; do
    [[ $1 == "$root"/* ]] && ok=1
  done
  [ "$ok" = 1 ] || sb__fail "sb_root_file: $1 is not below ${SB_OVERLAY_ROOTS[*]}"
  mkdir -p "$(dirname "$SB_DIR/sys$1")"
  printf '%s' "$2" >"$SB_DIR/sys$1"
}

# ---- running -----------------------------------------------------------------------------------

sb_run() {
  sb__prepare
  : >"$SB_LOG"
  : >"$SB_CWD_LOG"
  : >"$SB_DIALOGS"
  sb__enter "$SB_WORK" "$SB_BINARY" "$@" </dev/null >"$SB_STDOUT" 2>"$SB_STDERR"
  SB_STATUS=$?
  if [ -s "$SB_DIR/failure" ]; then
    exit 1
  fi
  if grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$SB_STDERR"; then
    sb__fail "sanitizer report: $(grep -m1 -E 'Sanitizer|runtime error' "$SB_STDERR")"
  fi
  return 0
}

sb_dconf_dump() {
  sb__prepare
  sb__enter "$SB_HOME" /usr/bin/dconf dump / </dev/null
}

# ---- the real whiptail in tmux ------------------------------------------------------------------

# Starts the program in the sandbox inside a detached tmux window of 100x32 with the real
# whiptail; drive it with sb_tmux_keys and sb_tmux_wait_text, then sb_tmux_wait_exit.
sb_tmux_start() {
  command -v tmux >/dev/null || sb__fail "tmux is not installed"
  SB_REAL_WHIPTAIL=1
  sb__prepare
  : >"$SB_LOG"
  : >"$SB_DIALOGS"
  rm -f "$SB_DIR/tmux.status"
  {
    printf 'source %q\n' "$SB_HARNESS/lib.sh"
    printf 'SB_DIR=%q SB_WORK=%q\n' "$SB_DIR" "$SB_WORK"
    printf 'SB_TERM=$TERM sb__enter "$SB_WORK"'
    printf ' %q' "$SB_BINARY" "$@"
    printf '\necho $? >%q.new && mv %q.new %q\nsleep 600\n' \
      "$SB_DIR/tmux.status" "$SB_DIR/tmux.status" "$SB_DIR/tmux.status"
  } >"$SB_DIR/tmux-run.sh"
  tmux -S "$SB_DIR/tmux.sock" new-session -d -x 100 -y 32 "bash $(printf %q "$SB_DIR/tmux-run.sh")" ||
    sb__fail "tmux did not start"
}

sb_tmux_screen() { tmux -S "$SB_DIR/tmux.sock" capture-pane -p; }

sb_tmux_keys() { tmux -S "$SB_DIR/tmux.sock" send-keys "$@"; }

# Waits (default 10 s) until the screen shows the text.
sb_tmux_wait_text() {
  local tries=$((${2:-10} * 10))
  while [ "$tries" -gt 0 ]; do
    sb_tmux_screen | grep -qF -- "$1" && return 0
    sleep 0.1
    tries=$((tries - 1))
  done
  sb__fail "the screen never showed '$1'; screen: $(sb_tmux_screen | grep -v '^ *$' | tr '\n' '|')"
}

# Waits (default 20 s) for the program to end; sets SB_STATUS and puts the screen in $SB_STDOUT.
sb_tmux_wait_exit() {
  local tries=$((${1:-20} * 10))
  while [ ! -f "$SB_DIR/tmux.status" ] && [ "$tries" -gt 0 ]; do
    sleep 0.1
    tries=$((tries - 1))
  done
  [ -f "$SB_DIR/tmux.status" ] || sb__fail "the program did not end; screen: $(sb_tmux_screen | tr '\n' '|')"
  SB_STATUS=$(cat "$SB_DIR/tmux.status")
  tmux -S "$SB_DIR/tmux.sock" capture-pane -p -S - >"$SB_STDOUT"
  tmux -S "$SB_DIR/tmux.sock" kill-server 2>/dev/null
  return 0
}

# ---- assertions ---------------------------------------------------------------------------------

sb__excerpt() { head -c 600 "$1" | tr '\n' '|'; }

assert_status() {
  [ "$SB_STATUS" = "$1" ] ||
    sb__fail "exit status $SB_STATUS, expected $1; stderr: $(sb__excerpt "$SB_STDERR")"
}

assert_stdout_has() {
  grep -qF -- "$1" "$SB_STDOUT" ||
    sb__fail "stdout lacks '$1'; stdout: $(sb__excerpt "$SB_STDOUT")"
}

assert_stdout_lacks() {
  ! grep -qF -- "$1" "$SB_STDOUT" || sb__fail "stdout has '$1'"
}

assert_stderr_has() {
  grep -qF -- "$1" "$SB_STDERR" ||
    sb__fail "stderr lacks '$1'; stderr: $(sb__excerpt "$SB_STDERR")"
}

assert_stderr_lacks() {
  ! grep -qF -- "$1" "$SB_STDERR" || sb__fail "stderr has '$1'"
}

assert_called() {
  grep -qE -- "$1" "$SB_LOG" || sb__fail "no call matches /$1/; calls: $(sb__excerpt "$SB_LOG")"
}

assert_not_called() {
  local hit
  hit=$(grep -m1 -E -- "$1" "$SB_LOG") && sb__fail "unexpected call matching /$1/: $hit"
  return 0
}

# The first call matching each pattern comes after the first call matching the one before.
assert_order() {
  local previous_line=0 previous_pattern="" pattern line
  for pattern in "$@"; do
    line=$(grep -n -m1 -E -- "$pattern" "$SB_LOG" | cut -d: -f1)
    [ -n "$line" ] || sb__fail "no call matches /$pattern/"
    [ "$line" -gt "$previous_line" ] ||
      sb__fail "/$pattern/ (call $line) does not come after /$previous_pattern/ (call $previous_line)"
    previous_line=$line
    previous_pattern=$pattern
  done
}

assert_dialogs() {
  local count
  count=$(wc -l <"$SB_DIALOGS")
  [ "$count" -eq "$1" ] || sb__fail "$count dialogs shown, expected $1: $(sb__excerpt "$SB_DIALOGS")"
}

assert_home_file_has() {
  [ -f "$SB_HOME/$1" ] || sb__fail "no home file $1"
  grep -qF -- "$2" "$SB_HOME/$1" || sb__fail "home file $1 lacks '$2'"
}

# Reads what the program wrote at <abs-path> (the overlay's upper layer).
assert_root_file_has() {
  [ -f "$SB_DIR/sys$1" ] || sb__fail "the program wrote no file $1"
  grep -qF -- "$2" "$SB_DIR/sys$1" || sb__fail "$1 lacks '$2'"
}

# Fails the test with a message of its own.
fail() { sb__fail "$*"; }
