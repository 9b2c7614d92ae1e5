#!/usr/bin/env bash
# Builds if needed and starts spurwisch.exe from the sandbox folder build/run/
# (its settings file spurwisch.cfg lands there), in the build tree's own Wine
# prefix and its virtual desktop.
# With $DISPLAY: runs the program there until it exits.
# Without: runs it on a private Xvfb, waits for the main window, saves a
# screenshot of the desktop to build/artifacts/run.png and closes the program.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/env.sh

ensure_packages
build_tree
[ -f "$SPW_BUILD/spurwisch.exe" ] || { spw_log "no $SPW_BUILD/spurwisch.exe was built"; exit 1; }
mkdir -p "$SPW_BUILD/run" "$SPW_BUILD/artifacts"
cp "$SPW_BUILD/spurwisch.exe" "$SPW_BUILD/run/spurwisch.exe"

if [ -n "${DISPLAY:-}" ]; then
  ensure_prefix
  cd "$SPW_BUILD/run"
  exec wine spurwisch.exe
fi

trap stop_all EXIT
trap 'exit 130' INT TERM
start_xvfb
ensure_prefix
start_wineserver
driver="$SPW_BUILD/tests/e2e/e2e_driver.exe"
shot="$SPW_BUILD/artifacts/run.png"
(cd "$SPW_BUILD/run" && exec wine spurwisch.exe) &
program=$!

status=0
if wine "$driver" --wait-window TForm1 40; then
  sleep 1 # let the window finish painting
else
  spw_log "the main window did not appear; the screenshot shows what is there"
  status=1
fi
import -window root -crop 1024x768+0+0 +repage "$shot"
echo "screenshot: $shot"

wine "$driver" --close-window TForm1 >/dev/null || true
for _ in $(seq 150); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$program" 2>/dev/null; then
  spw_log "the program did not end after WM_CLOSE; stopping it"
  status=1
fi
exit $status
