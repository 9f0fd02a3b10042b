#!/usr/bin/env bash
# The Debian package of a build folder: its file list, its dependencies, the
# lintian verdict, and the unpacked program run the way an installed one is
# (korvo --version, a first start with a fresh HOME seeding the user's folder,
# the demo universe imported from there). Nothing is installed on the machine.
#   package_test.sh BUILD_DIR
set -euo pipefail
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack"; }
deb="$(ls "$work"/out/*.deb)"

dpkg-deb -c "$deb" | awk '{ $1=$2=$3=$4=$5=""; sub(/^ +/, ""); print }' >"$work/list"
expected=(./usr/bin/korvo-bo6 ./usr/bin/korvo
          ./usr/share/applications/korvo-bo6.desktop
          ./usr/share/icons/hicolor/scalable/apps/korvo-bo6.svg
          ./usr/share/metainfo/korvo-bo6.metainfo.xml
          ./usr/share/man/man1/korvo.1.gz ./usr/share/man/man1/korvo-bo6.1.gz
          ./usr/share/doc/korvo-bo6/copyright ./usr/share/doc/korvo-bo6/changelog.gz
          ./usr/share/korvo-bo6/Korvo-BO6.ini ./usr/share/korvo-bo6/Korvo-BO6.html
          ./usr/share/korvo-bo6/Fonctions_sql_oracle.html ./usr/share/korvo-bo6/ParamOra.dat
          ./usr/share/korvo-bo6/web/index_fr.html ./usr/share/korvo-bo6/web/index_en.html
          ./usr/share/korvo-bo6/UNIVERS/UNV_UNIVERSE.xml
          "./usr/share/korvo-bo6/REQUETES/Masse salariale par département.xml"
          "./usr/share/korvo-bo6/CONDITIONS/Masse salariale par département.xml")
for size in 16 22 24 32 48 64 128 256; do
  expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/korvo-bo6.png")
done
for f in "${expected[@]}"; do grep -qxF "$f" "$work/list" || fail "the package lacks $f"; done
# Everything lies under /usr; no version-control leftovers.
grep -v -e '^\./$' -e '^\./usr/' "$work/list" && fail "files outside /usr"
grep -e '\.gitkeep$' "$work/list" && fail "a .gitkeep in the package"

# The dependencies come from the executables' shared libraries.
depends="$(dpkg-deb -f "$deb" Depends)"
for lib in libqt6widgets6 libqt6core6 libsqlite3-0 libxlsxwriter4 libc6; do
  [[ "$depends" == *"$lib "* || "$depends" == *"$lib," || "$depends" == *"$lib" ]] ||
    fail "Depends lacks $lib: $depends"
done
[ "$(dpkg-deb -f "$deb" Version)" = "@PROJECT_VERSION@" ] || fail "package version"

if command -v lintian >/dev/null; then
  lintian --allow-root "$deb" >"$work/lintian.log" 2>&1 || true
  if grep -q '^E:' "$work/lintian.log"; then cat "$work/lintian.log" >&2; fail "lintian errors"; fi
fi

root="$work/root"
dpkg-deb -x "$deb" "$root"
[ "$("$root/usr/bin/korvo" --version)" = "@PROJECT_VERSION@" ] ||
  fail "korvo --version: $("$root/usr/bin/korvo" --version 2>&1)"

# First start with a fresh HOME and no XDG_DATA_HOME: the program stays up
# behind its connection dialog (timeout ends it) and has seeded
# ~/.local/share/korvo-bo6 from the package's data, marking the first run seen.
home="$work/home"
mkdir -p "$home"
status=0
(cd / && env -u XDG_DATA_HOME HOME="$home" QT_QPA_PLATFORM=offscreen \
   timeout 8 "$root/usr/bin/korvo-bo6" >"$work/gui.log" 2>&1) || status=$?
[ "$status" = 124 ] || { cat "$work/gui.log" >&2; fail "korvo-bo6 ended with status $status"; }
user="$home/.local/share/korvo-bo6"
[ -f "$user/UNIVERS/UNV_UNIVERSE.xml" ] || fail "the user folder was not seeded"
grep -q '^MESG_DEMO=YES' "$user/Korvo-BO6.ini" || fail "the settings in the user folder were not written"
[ -f "$user/REQUETES/Masse salariale par département.xml" ] || fail "the demo queries were not seeded"

# The demo universe of the user folder imports into the embedded engine.
(cd "$user" && env -u XDG_DATA_HOME HOME="$home" "$root/usr/bin/korvo" import scott/tiger@local:demo \
   >"$work/import.log" 2>&1) || { cat "$work/import.log" >&2; fail "korvo import"; }
(cd "$user" && env -u XDG_DATA_HOME HOME="$home" "$root/usr/bin/korvo" universes scott/tiger@local:demo \
   >"$work/universes.log" 2>&1) || { cat "$work/universes.log" >&2; fail "korvo universes"; }
grep -q "Korvo démonstration" "$work/universes.log" || { cat "$work/universes.log" >&2; fail "no demo universe"; }
[ -d "$user/databases/demo" ] || fail "the embedded database is not in the user folder"
echo "package ok: $(basename "$deb"), $(wc -l <"$work/list") entries"
