#!/usr/bin/env bash
# Builds and runs every benchmark (build/bench/bench_*.exe) in the build tree's
# Wine sandbox on a private Xvfb. Each prints lines "NAME ratio R ...medians...".
# bench_startup, bench_tray_menu and bench_idle get the path of spurwisch.exe;
# the first also the options in SPW_BENCH_STARTUP_ARGS (see bench/startup.cpp).
#
#   scripts/bench.sh           every benchmark at its normal size
#   scripts/bench.sh --scale   only the purge at a hundred times the files and
#                              ten times the URL cache (several minutes; needs
#                              about 1 GB of disk in build/, removed afterwards)
set -euo pipefail
scale=0
case "${1:-}" in
  --scale) scale=1 ;;
  "") ;;
  *) echo "usage: scripts/bench.sh [--scale]" >&2; exit 2 ;;
esac
cd "$(dirname "$0")/.."
. scripts/env.sh

prepare_sandbox_run

# A temporary folder of FILES files and SUBFOLDERS subfolders of 20 files
# each (named PREFIX0, PREFIX1, ...), made fresh at DIR.
make_temp_fixture() {
  local dir=$1 files=$2 subfolders=$3 prefix=$4 i s
  rm -rf "$dir"
  mkdir -p "$dir"
  (
    cd "$dir" || exit 1
    for ((i = 0; i < files; i++)); do printf bench >"file$i.tmp"; done
    for ((s = 0; s < subfolders; s++)); do
      mkdir "$prefix$s"
      for ((i = 0; i < 20; i++)); do printf bench >"$prefix$s/f$i.dat"; done
    done
  )
}

status=0
if [ "$scale" = 1 ]; then
  # The large temporary folder is made here, outside Wine, which would look up
  # each new name by reading the whole folder; bench_purge moves it into place.
  started=$(date +%s)
  fixture_root="$WINEPREFIX/drive_c/spw-bench-scale"
  make_temp_fixture "$fixture_root/Temp" 100000 1000 spwbench-scale-
  spw_log "large temporary folder made in $(($(date +%s) - started)) s; running bench_purge --scale"
  timeout 3600 wine "$SPW_BUILD/bench/bench_purge.exe" --scale || status=1
  rm -rf "$fixture_root"
  spw_log "scale run took $(($(date +%s) - started)) s"
  exit $status
fi
# bench_responsive's temporary folder: 20,000 files and 50 subfolders of 20,
# made here for the same reason as the large one above.
responsive_root="$WINEPREFIX/drive_c/spw-bench-responsive"
make_temp_fixture "$responsive_root/Temp" 20000 50 sub
for bench in "$SPW_BUILD"/bench/bench_*.exe; do
  [ -e "$bench" ] || continue
  name=$(basename "$bench" .exe)
  args=()
  case "$name" in
    bench_baseline_*) continue ;; # helper programs that the benchmarks start
    bench_startup)
      # shellcheck disable=SC2206
      args=("$SPW_BUILD/spurwisch.exe" ${SPW_BENCH_STARTUP_ARGS:-}) ;;
    bench_tray_menu | bench_idle | bench_responsive | bench_preview)
      args=("$SPW_BUILD/spurwisch.exe") ;;
  esac
  spw_log "running $name"
  timeout 900 wine "$bench" "${args[@]}" || { spw_log "$name failed"; status=1; }
done
rm -rf "$responsive_root"
# The main window's repaint once more at 150 %: Wine reads the display scale
# at each process's start, so it is set in the prefix for this run only.
spw_log "running bench_repaint at 144 DPI"
with_log_pixels 144 timeout 900 wine "$SPW_BUILD/bench/bench_repaint.exe" repaint-144 ||
  { spw_log "bench_repaint at 144 DPI failed"; status=1; }
exit $status
