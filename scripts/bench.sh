#!/usr/bin/env bash
# Builds and runs every benchmark (build/bench/bench_*.exe) in the build tree's
# Wine sandbox on a private Xvfb. Each prints lines "NAME ratio R ...medians...".
# bench_startup and bench_tray_menu get the path of spurwisch.exe; the first
# also the options in SPW_BENCH_STARTUP_ARGS (see bench/startup.cpp).
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

status=0
for bench in "$SPW_BUILD"/bench/bench_*.exe; do
  [ -e "$bench" ] || continue
  name=$(basename "$bench" .exe)
  args=()
  case "$name" in
    bench_baseline_*) continue ;; # helper programs that the benchmarks start
    bench_startup)
      # shellcheck disable=SC2206
      args=("$SPW_BUILD/spurwisch.exe" ${SPW_BENCH_STARTUP_ARGS:-}) ;;
    bench_tray_menu)
      args=("$SPW_BUILD/spurwisch.exe") ;;
  esac
  spw_log "running $name"
  timeout 900 wine "$bench" "${args[@]}" || { spw_log "$name failed"; status=1; }
done
exit $status
