#!/usr/bin/env bash
# The Windows installer: an MSI of the program folder, built with wixl (Debian's msitools).
# Usage: windows-msi.sh PROGRAM_FOLDER VERSION OUTPUT.msi
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
folder=$(cd "$1" && pwd)
version=$2
output=$(realpath -m "$3")
[ -f "$folder/lumetra.exe" ] || { echo "windows-msi: $folder has no lumetra.exe"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# One component a file, each keyed by its path: the same file keeps its component from
# one version to the next.
(cd "$folder" && find . -type f | sed 's|^\./|folder/|' | sort) |
  wixl-heat -p folder/ --component-group ProgramFolder --var var.SourceDir \
    --directory-ref INSTALLDIR --win64 >"$work/folder.wxs"
# wixl takes the files' sources relative to the folder it runs in.
(cd "$folder" && wixl -a x64 -D SourceDir=. -D Win64=yes -D Version="$version" -o "$output" \
  "$root/share/windows/lumetra.wxs" "$work/folder.wxs")
echo "windows-msi: $output ($(du -h "$output" | cut -f1)) of $(find "$folder" -type f | wc -l) files, version $version"
