#!/usr/bin/env bash
# Regenerates the README's pictures in docs/ from the program itself: builds,
# runs the end-to-end and gallery tests on a private Xvfb (they save their
# captures to build/artifacts/) and writes compressed copies to docs/.
#   scripts/screenshots.sh             build, run both tests, write docs/
#   scripts/screenshots.sh --no-run    only write docs/ from build/artifacts/
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/env.sh

if [ "${1:-}" != "--no-run" ]; then
  prepare_sandbox_run
  (cd "$SPW_BUILD" && ctest --output-on-failure -R '^(e2e|gallery)$')
fi
mkdir -p docs
for name in main-window tray-menu splash gallery-rest; do
  source="$SPW_BUILD/artifacts/$name.png"
  if [ ! -f "$source" ]; then
    spw_log "missing $source: run scripts/screenshots.sh without --no-run"
    exit 1
  fi
  # The captures have a few dozen colours: lossless, only recompressed.
  convert "$source" -strip -define png:compression-level=9 "docs/$name.png"
  spw_log "docs/$name.png $(identify -format '%wx%h' "docs/$name.png"), $(stat -c %s "docs/$name.png") bytes"
done
