#!/usr/bin/env bash
# Qt for Windows (x86_64, MinGW-w64, shared libraries) made from the source of Debian's
# qtbase package of the host Qt's version, into a cache folder outside the checkout.
# Prints the install prefix as its only line on standard output; progress goes to
# standard error. A prefix whose stamp matches is reused at once.
#
#   LUMETRA_QT_WINDOWS   the cache folder (default ${XDG_CACHE_HOME:-~/.cache}/lumetra)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

say() { echo "windows-qt: $*" >&2; }
fail() {
  say "$*"
  exit 1
}

host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null) ||
  fail "the host Qt (qt6-base-dev) is not installed: run scripts/setup.sh --windows"
qt_version=${host_version%%[+-]*}

toolchain=$root/cmake/toolchains/x86_64-w64-mingw32-shared-runtime.cmake
patches=("$root"/cmake/qt-windows/*.patch)
flags=(
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF
  -DQT_BUILD_TESTS=OFF -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF
  -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_concurrent=OFF
  -DFEATURE_xml=OFF -DFEATURE_printsupport=OFF -DFEATURE_testlib=ON -DFEATURE_direct2d=OFF
  -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_jpeg=OFF -DFEATURE_system_zlib=OFF
  -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF -DFEATURE_freetype=ON
  -DFEATURE_system_freetype=OFF -DFEATURE_harfbuzz=ON -DFEATURE_system_harfbuzz=OFF
)
compiler=$(x86_64-w64-mingw32-g++-posix --version 2>/dev/null | head -1) ||
  fail "MinGW-w64 (g++-mingw-w64-x86-64-posix) is not installed: run scripts/setup.sh --windows"

hash=$({
  printf '%s\n' "$host_version" "$compiler" "${flags[@]}"
  cat "${patches[@]}" "$toolchain" "$root/cmake/toolchains/mingw-w64.cmake"
} | sha256sum | cut -c1-12)
cache=${LUMETRA_QT_WINDOWS:-${XDG_CACHE_HOME:-$HOME/.cache}/lumetra}
prefix=$cache/qt-$qt_version-windows-x86_64-$hash
stamp=$prefix/lumetra-stamp

if [ -f "$stamp" ] && [ "$(head -1 "$stamp")" = "$hash" ]; then
  say "Qt $qt_version for Windows reused from $prefix"
  echo "$prefix"
  exit 0
fi

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

# apt-get source needs deb-src entries; the machine's configuration has only deb ones.
# Their twins are derived from the machine's own Debian entries, whatever mirror it uses.
ensure_source_entries() {
  if apt-get source --print-uris -qq "qt6-base=$host_version" >/dev/null 2>&1; then
    return
  fi
  local twin=/etc/apt/sources.list.d/lumetra-deb-src.sources
  say "adding deb-src twins of the machine's Debian entries ($twin)"
  local out
  out=$(mktemp)
  local file
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] && [ "$file" != "$twin" ] || continue
    # Each stanza whose types hold "deb" is copied with deb-src as its type.
    awk 'BEGIN { RS = ""; ORS = "\n\n" }
         /(^|\n)Types:[^\n]*(^|[ \t])deb([ \t]|\n|$)/ && /debian/ {
           sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' \
      "$file" >>"$out"
  done
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] || continue
    awk 'BEGIN { ORS = "\n\n" } $1 == "deb" && /debian/ { $1 = "Types: deb-src\nURIs:"; \
           print $1 " " $2 "\nSuites: " $3 "\nComponents:" substr($0, index($0, $4) - 1) }' \
      "$file" >>"$out" 2>/dev/null || true
  done
  [ -s "$out" ] || fail "no Debian entry in the apt configuration to take a deb-src twin of"
  "${sudo_cmd[@]}" install -m 0644 "$out" "$twin"
  rm -f "$out"
  "${sudo_cmd[@]}" apt-get update -qq
}

# A line a minute at least: the build is the test command's longest silence.
progress() {
  local what=$1 last=$SECONDS line="" status
  while true; do
    IFS= read -r -t 30 line && status=0 || status=$?
    if [ "$status" -eq 0 ]; then
      echo "$line" >>"$log"
    elif [ "$status" -le 128 ]; then
      break # the end of the build's output
    fi
    if [ $((SECONDS - last)) -ge 30 ]; then
      say "$what ($((SECONDS - started)) s): ${line:0:90}"
      last=$SECONDS
    fi
  done
}

mkdir -p "$cache"
work=$cache/work-$hash
log=$cache/qt-$qt_version-windows-x86_64-$hash.log
rm -rf "$work" "$prefix"
mkdir -p "$work"
: >"$log"
trap 'rm -rf "$work"' EXIT
started=$SECONDS

ensure_source_entries
say "fetching the source of qt6-base $host_version"
(cd "$work" && apt-get source -qq "qt6-base=$host_version") >>"$log" 2>&1 ||
  fail "apt-get source qt6-base=$host_version failed (see $log)"
source_dir=$(find "$work" -maxdepth 1 -mindepth 1 -type d -name 'qt6-base-*' | head -1)
[ -n "$source_dir" ] || fail "no source folder after apt-get source (see $log)"

say "applying the project's patches"
for patch in "${patches[@]}"; do
  (cd "$source_dir/src/plugins/platforms/windows" && patch -p0 --forward -s <"$patch") \
    >>"$log" 2>&1 || fail "patch $(basename "$patch") does not apply (see $log)"
done

say "configuring (log: $log)"
cmake -G Ninja -S "$source_dir" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake "${flags[@]}" >>"$log" 2>&1 ||
  fail "configuring Qt for Windows failed (see $log)"

say "building: about 2,300 CPU seconds"
set +e
cmake --build "$work/build" --parallel "$(nproc)" 2>&1 | progress building
build_status=${PIPESTATUS[0]}
set -e
[ "$build_status" -eq 0 ] || {
  tail -40 "$log" >&2
  fail "building Qt for Windows failed (see $log)"
}
cmake --install "$work/build" >>"$log" 2>&1 || fail "installing Qt for Windows failed (see $log)"

cat >"$prefix/README-Windows-Qt.txt" <<EOF
Qt $qt_version for Windows (x86_64, MinGW-w64, shared libraries), built from the source of
Debian's package qt6-base $host_version with Debian's patches and the project's patches
(cmake/qt-windows/). Qt is licensed under the LGPL 3; its source is the Debian source package
named above.
EOF
printf '%s\nqt6-base %s\n%s\nbuilt in %d s\n' "$hash" "$host_version" "$compiler" \
  $((SECONDS - started)) >"$stamp"
say "Qt $qt_version for Windows built in $((SECONDS - started)) s into $prefix"
echo "$prefix"
