#!/usr/bin/env bash
# Regenerates the README's pictures in docs/ from the program itself: builds,
# runs the end-to-end (also at 150 %) and gallery tests on a private Xvfb
# (they save their captures to build/artifacts/) and writes compressed copies
# to docs/.
#   scripts/screenshots.sh             build, run both tests, write docs/
#   scripts/screenshots.sh --no-run    only write docs/ from build/artifacts/
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/env.sh

if [ "${1:-}" != "--no-run" ]; then
  prepare_sandbox_run
  (cd "$SPW_BUILD" && ctest --output-on-failure -R '^(e2e|e2e_display_scale|e2e_display_scale_reset|gallery)$')
fi
mkdir -p docs
# Capture in build/artifacts -> picture in docs/ (the 150 % ones taken at 144 DPI).
for pair in main-window:main-window tray-menu:tray-menu splash:splash gallery-rest:gallery-rest \
  main-window-144:main-window-150 tray-menu-144:tray-menu-150; do
  source="$SPW_BUILD/artifacts/${pair%%:*}.png" target="docs/${pair##*:}.png"
  if [ ! -f "$source" ]; then
    spw_log "missing $source: run scripts/screenshots.sh without --no-run"
    exit 1
  fi
  # The captures have a few dozen colours: lossless, only recompressed.
  convert "$source" -strip -define png:compression-level=9 "$target"
  spw_log "$target $(identify -format '%wx%h' "$target"), $(stat -c %s "$target") bytes"
done
