# Shared sandbox for build, tests, benchmarks and demo runs. Source it:
#   . scripts/env.sh
# Everything Wine touches lives below build/: its own prefix and its own
# XDG data folder (SHFileOperation moves folders to the XDG trash and
# SHEmptyRecycleBin empties it, so the user's own trash must never be seen).
SPW_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SPW_BUILD=${SPW_BUILD:-$SPW_ROOT/build}
export WINEPREFIX=$SPW_BUILD/wine
export XDG_DATA_HOME=$SPW_BUILD/xdg
export WINEDEBUG=-all
# No Mono/Gecko installers, no menu entries. No debugger either: winedbg
# waits forever under ctest, so a crashing test would hang until its timeout
# (for a backtrace, run the program by hand without "winedbg.exe=d").
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
export LANG=C.UTF-8
export LC_ALL=C.UTF-8
mkdir -p "$XDG_DATA_HOME"

# The functions below are shared by scripts/test.sh, run.sh and bench.sh.
# They return non-zero on failure and never exit the calling shell.

SPW_PACKAGES="g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 fonts-wine xvfb imagemagick cmake ninja-build googletest clang zip unzip"
SPW_XVFB_PID=""
SPW_WINESERVER_PID=""

spw_log() { echo "[spurwisch] $*" >&2; }

# Installs the Debian packages that are missing; quick when all are there.
ensure_packages() {
  local missing="" p sudo=""
  for p in $SPW_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  spw_log "installing:$missing"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q || return 1
  # shellcheck disable=SC2086
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q $missing || return 1
}

# Configures build/ once (Ninja, cross toolchain) and builds incrementally.
build_tree() {
  if [ ! -f "$SPW_BUILD/build.ninja" ]; then
    cmake -S "$SPW_ROOT" -B "$SPW_BUILD" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$SPW_ROOT/cmake/mingw-w64-x86_64.cmake" || return 1
  fi
  cmake --build "$SPW_BUILD" -j2
}

# Starts Xvfb on the first free display number and exports DISPLAY. Its
# second screen has 8 bits per pixel, for the tests of low-colour drawing.
# Xvfb writes the number it chose to the -displayfd descriptor once it is ready.
start_xvfb() {
  local numfile i
  numfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -screen 1 640x480x8 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
  SPW_XVFB_PID=$!
  for i in $(seq 100); do
    [ -s "$numfile" ] && break
    kill -0 "$SPW_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$numfile" ]; then
    rm -f "$numfile"
    spw_log "Xvfb did not start"
    return 1
  fi
  export DISPLAY=":$(tr -dc 0-9 <"$numfile")"
  rm -f "$numfile"
  spw_log "Xvfb pid $SPW_XVFB_PID on display $DISPLAY"
}

# True when the prefix's user registry holds the virtual desktop settings.
prefix_has_desktop() {
  grep -q '^"Desktop"="Default"' "$WINEPREFIX/user.reg" 2>/dev/null &&
    grep -q '^"Default"="1024x768"' "$WINEPREFIX/user.reg" 2>/dev/null &&
    grep -q '^"EnableShell"=dword:00000001' "$WINEPREFIX/user.reg" 2>/dev/null
}

# Creates the Wine prefix inside the build tree when missing and switches it to
# a 1024x768 virtual desktop (no waits for a window manager). Wine 8 shows the
# taskbar with its notification area there only with EnableShell set for the
# desktop. The settings must be stored before the desktop process starts, so
# the server is allowed to exit afterwards; the next start reads them.
ensure_prefix() {
  mkdir -p "$SPW_BUILD"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    spw_log "creating Wine prefix $WINEPREFIX"
    wineboot -i >"$SPW_BUILD/wineboot.log" 2>&1 || { spw_log "wineboot failed, see $SPW_BUILD/wineboot.log"; return 1; }
  fi
  ensure_symbol_font || return 1
  prefix_has_desktop && return 0
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 || return 1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1 || return 1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops\Default' /v EnableShell /t REG_DWORD /d 1 /f >/dev/null 2>&1 ||
    return 1
  if ! timeout 60 wineserver -w; then
    spw_log "another wineserver keeps $WINEPREFIX open; the desktop setting applies once it restarts"
    return 0
  fi
  prefix_has_desktop || { spw_log "virtual desktop setting was not stored"; return 1; }
}

# Wine draws the title-bar buttons with the Marlett symbol font. Debian ships
# it (fonts-wine), but a new prefix does not list it, and the buttons then show
# the letters "0 1 r". Copy it into the prefix's font folder and register it;
# the copy marks the step as done.
ensure_symbol_font() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" source=""
  [ -f "$fonts/marlett.ttf" ] && return 0
  for source in /usr/share/wine/fonts/marlett.ttf /usr/lib/wine/fonts/marlett.ttf ""; do
    [ -n "$source" ] && [ -f "$source" ] && break
  done
  [ -n "$source" ] || { spw_log "marlett.ttf not found (package fonts-wine)"; return 1; }
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' /v 'Marlett (TrueType)' \
    /d marlett.ttf /f >/dev/null 2>&1 || return 1
  mkdir -p "$fonts" && cp "$source" "$fonts/marlett.ttf"
}

# Keeps one wineserver for the prefix running, so each Wine process starts in
# milliseconds. When a server already runs for this prefix (someone else's), it
# is used and left alone: the new one exits at once and is not ours to stop.
# It gets a session of its own so that a signal to our process group cannot
# kill it before stop_all has ended its Wine processes with it.
start_wineserver() {
  setsid wineserver -f -p >/dev/null 2>&1 </dev/null &
  local pid=$!
  sleep 0.3
  if kill -0 "$pid" 2>/dev/null; then
    SPW_WINESERVER_PID=$pid
    spw_log "wineserver pid $pid for $WINEPREFIX"
  else
    spw_log "using the wineserver already running for $WINEPREFIX"
  fi
  # Start the prefix's service processes and its desktop now, with no output
  # to inherit: the persistent server keeps them alive, and an output pipe they
  # took from the first test would never close, so ctest would wait for it
  # until the test's timeout. The desktop keeper stays attached to the desktop
  # until the server ends: Wine closes a desktop a second after its last user
  # ends, and a program that starts just then can fail to create its windows.
  # rundll32 returns once the desktop is up.
  local keeper="$SPW_BUILD/tests/support/desktop_keeper.exe"
  [ -f "$keeper" ] && wine "$keeper" </dev/null >/dev/null 2>&1 &
  wine rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true
}

# Stops what this shell started: the wineserver of the prefix (with every Wine
# process of it) and the Xvfb. Safe to call twice, and from an EXIT trap under
# `set -e` (no command in it may fail).
stop_all() {
  local i
  if [ -n "$SPW_WINESERVER_PID" ]; then
    wineserver -k >/dev/null 2>&1 || true
    for i in $(seq 50); do kill -0 "$SPW_WINESERVER_PID" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$SPW_WINESERVER_PID" 2>/dev/null || true
    SPW_WINESERVER_PID=""
  fi
  if [ -n "$SPW_XVFB_PID" ]; then
    kill "$SPW_XVFB_PID" 2>/dev/null || true
    wait "$SPW_XVFB_PID" 2>/dev/null || true
    SPW_XVFB_PID=""
  fi
  return 0
}

# The whole set-up every script needs: packages, the build, and a running
# sandbox (Xvfb, prefix, wineserver) that is stopped when the script exits.
# Call it from the script itself, not from a subshell, so the traps hold.
prepare_sandbox_run() {
  ensure_packages || return 1
  build_tree || return 1
  trap stop_all EXIT
  trap 'exit 130' INT TERM
  start_xvfb || return 1
  ensure_prefix || return 1
  start_wineserver
  mkdir -p "$SPW_BUILD/artifacts"
}

# Runs a command with Wine's display scale (HKCU\Control Panel\Desktop
# "LogPixels", read by each Wine process at its start) set to DPI in the
# sandbox prefix, and sets the value back afterwards, also when the command
# fails. Returns the command's status.
with_log_pixels() {
  local dpi=$1 saved status=0
  shift
  saved=$(wine reg query 'HKCU\Control Panel\Desktop' /v LogPixels 2>/dev/null | tr -d '\r' |
    awk '/LogPixels/ {print $3}')
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || return 1
  "$@" || status=$?
  if [ -n "$saved" ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$((saved))" /f >/dev/null 2>&1
  else
    wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1
  fi
  return $status
}
