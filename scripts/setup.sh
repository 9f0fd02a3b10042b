#!/usr/bin/env bash
# Sets up Korvo-BO6 on a Debian 12 machine: installs what is missing, builds,
# lays out the run folder, then either starts the program or runs every test.
#   scripts/setup.sh start   build and start korvo-bo6 from ./run
#   scripts/setup.sh test    build and run the whole test suite through ctest, then
#                            each fuzz target for 60 s (KORVO_FUZZ_SECONDS)
#   scripts/setup.sh build   build and lay out ./run only
#   scripts/setup.sh package build the Debian package and install it (korvo-bo6 in
#                            the desktop's menu, korvo and korvo-bo6 in /usr/bin)
set -euo pipefail
mode="${1:-start}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KORVO_BUILD_DIR:-$root/build}"
run="$root/run"

packages=(build-essential cmake ninja-build ccache pkg-config
          qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-odbc libgl-dev
          libsqlite3-dev libpcre2-dev libxlsxwriter-dev googletest libgtest-dev libgmock-dev libbenchmark-dev
          xvfb xauth fonts-dejavu-core qt6-translations-l10n lintian)
bash "$root/scripts/install_packages.sh" "${packages[@]}"

# ccache hashes paths relative to the checkout and not the build folder's own
# path, so every clone shares its cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-true}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${KORVO_CMAKE_ARGS:-}
cmake --build "$build" --parallel "$(nproc)"

# The program reads its settings, help pages, profiles and universe folder
# from the folder it runs in, so the run folder holds the program and data/.
mkdir -p "$run"
cp -f "$build/src/korvo-bo6" "$build/src/korvo" "$run/"
# The shipped help pages are refreshed; everything else (settings, profiles,
# the universe folder, which an export overwrites with the user's own) is
# installed only when the run folder has none.
for item in "$root"/data/*; do
  name="$(basename "$item")"
  case "$name" in
    *.html|web) rm -rf "${run:?}/$name"; cp -r "$item" "$run/" ;;
    # Demo saved queries are added beside the user's own, never over them.
    REQUETES|CONDITIONS|SCRIPTS) cp -rn "$item" "$run/" ;;
    *) [ -e "$run/$name" ] || cp -r "$item" "$run/" ;;
  esac
done

case "$mode" in
  start)
    cd "$run"
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
      echo "No display found: starting under Xvfb (set DISPLAY to use your desktop)."
      exec xvfb-run -a ./korvo-bo6
    fi
    exec ./korvo-bo6 ;;
  test)
    ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" --timeout 600
    # Each fuzz target for a minute over its seed corpus: a crash, leak or hang fails.
    bash "$root/scripts/fuzz.sh" "${KORVO_FUZZ_SECONDS:-60}" ;;
  build) ;;
  package)
    rm -f "$build"/korvo-bo6_*.deb
    (cd "$build" && cpack -G DEB)
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    deb="$(ls "$build"/korvo-bo6_*.deb)"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "$deb"
    echo "Installed $(basename "$deb"): start Korvo-BO6 from the menu or run korvo-bo6;" \
         "remove it with: ${sudo:+sudo }apt-get remove korvo-bo6" ;;
  *) echo "usage: $0 [start|test|build|package]" >&2; exit 2 ;;
esac
