#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit and end-to-end)
# under Wine in the build tree's own prefix, headless on a private Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/env.sh

prepare_sandbox_run
cd "$SPW_BUILD"
ctest --output-on-failure
