#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit and end-to-end)
# under Wine in the build tree's own prefix, headless on a private Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/env.sh

ensure_packages
build_tree
trap stop_all EXIT
trap 'exit 130' INT TERM
start_xvfb
ensure_prefix
start_wineserver
mkdir -p "$SPW_BUILD/artifacts"
cd "$SPW_BUILD"
ctest --output-on-failure
