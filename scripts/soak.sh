#!/usr/bin/env bash
# Builds and runs the full soak (200 rounds: 200 cleaning runs, 1,000 tray
# menus, 10,000 repaints, 500 minimise/restore cycles; about 10 minutes) in the
# build tree's Wine sandbox on a private Xvfb. CI runs the short form as the
# ctest "soak".
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/env.sh

prepare_sandbox_run
started=$(date +%s)
status=0
timeout 3600 wine "$SPW_BUILD/tests/soak/soak_driver.exe" "$SPW_BUILD/spurwisch.exe" "$SPW_BUILD/artifacts" --full ||
  status=1
spw_log "soak took $(($(date +%s) - started)) s"
exit $status
