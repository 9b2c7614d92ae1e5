#!/usr/bin/env bash
# Builds spurwisch.exe and packs it for download:
#   OUT/spurwisch-VERSION.zip   spurwisch.exe, README.md and SHA256SUMS (the
#                               SHA-256 of those two)
#   OUT/SHA256SUMS              the SHA-256 of the zip and of spurwisch.exe
# VERSION is the file version in the program's version resource (1.0.0.0).
# OUT is build/package unless given. The build is reproducible and the zip
# is packed with fixed times, order and attributes, so anyone who builds the
# same commit gets the same bytes and can check a download against them.
#
#   scripts/package.sh [OUT]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/env.sh

out=${1:-$SPW_BUILD/package}
mkdir -p "$out"
out=$(cd "$out" && pwd)

# The file version from the executable itself: VS_FIXEDFILEINFO starts with
# the signature 0xFEEF04BD, then the structure's version, then
# dwFileVersionMS and dwFileVersionLS; read as little-endian 16-bit words
# they are minor, major, revision, build.
exe_version() {
  local offset minor major revision build
  offset=$(LC_ALL=C grep -obUaP '\xBD\x04\xEF\xFE' "$1" | head -n 1 | cut -d: -f1)
  [ -n "$offset" ] || return 1
  read -r minor major revision build < <(od -An -tu2 -j $((offset + 8)) -N 8 "$1")
  [ -n "$build" ] || return 1
  echo "$major.$minor.$build.$revision"
}

ensure_packages
build_tree
exe=$SPW_BUILD/spurwisch.exe
[ -f "$exe" ] || { spw_log "no $exe was built"; exit 1; }
version=$(exe_version "$exe") || { spw_log "no version resource in $exe"; exit 1; }

# Every file gets the commit's time (or SOURCE_DATE_EPOCH), in UTC: a zip
# stores local times.
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 315532800)}
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$exe" "$stage/spurwisch.exe"
cp README.md "$stage/README.md"
(cd "$stage" && sha256sum spurwisch.exe README.md >SHA256SUMS)
touch -d "@$epoch" "$stage/spurwisch.exe" "$stage/README.md" "$stage/SHA256SUMS"

zip_name=spurwisch-$version.zip
rm -f "$out/$zip_name"
(cd "$stage" && TZ=UTC zip -q -X -D "$out/$zip_name" spurwisch.exe README.md SHA256SUMS)
cp "$exe" "$out/spurwisch.exe"
(cd "$out" && sha256sum "$zip_name" spurwisch.exe >SHA256SUMS)
spw_log "wrote $out/$zip_name and $out/SHA256SUMS"
cat "$out/SHA256SUMS"
