#!/usr/bin/env bash
# Runs scripts/package.sh twice into fresh folders and checks what it wrote:
# the zip named with the version of res/spurwisch.rc, holding exactly
# spurwisch.exe (this build's, byte for byte), README.md and SHA256SUMS,
# both checksum files correct, and the two zips byte-identical.
# Usage: check_package.sh SOURCE_DIR BINARY_DIR
set -u
source_dir=$1
export SPW_BUILD=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL $*"; exit 1; }

version=$(sed -n 's/^FILEVERSION \([0-9]*\),\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1.\2.\3.\4/p' "$source_dir/res/spurwisch.rc")
[ -n "$version" ] || fail "no FILEVERSION in res/spurwisch.rc"
zip_name=spurwisch-$version.zip
for run in first second; do
  bash "$source_dir/scripts/package.sh" "$work/$run" >"$work/$run.log" 2>&1 || { cat "$work/$run.log"; fail "package.sh failed"; }
  [ -f "$work/$run/$zip_name" ] || fail "no $zip_name in $work/$run: $(ls "$work/$run")"
done

listed=$(unzip -Z1 "$work/first/$zip_name" | tr '\n' ' ')
[ "$listed" = "spurwisch.exe README.md SHA256SUMS " ] || fail "the zip holds: $listed"
mkdir "$work/unpacked"
(cd "$work/unpacked" && unzip -q "../first/$zip_name") || fail "the zip does not unpack"
(cd "$work/unpacked" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS in the zip does not match"
(cd "$work/first" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS beside the zip does not match"
cmp -s "$work/unpacked/spurwisch.exe" "$SPW_BUILD/spurwisch.exe" || fail "the zip's spurwisch.exe is not this build's"
cmp -s "$work/unpacked/README.md" "$source_dir/README.md" || fail "the zip's README.md is not the tree's"
cmp -s "$work/first/$zip_name" "$work/second/$zip_name" || fail "two packings give different zips"
echo "ok $zip_name: spurwisch.exe, README.md, SHA256SUMS; checksums match; packed twice, same bytes"
