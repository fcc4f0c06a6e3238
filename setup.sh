#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what Tavolin needs on Debian or Ubuntu, builds it, then
#   run       starts Tavolin
#   test      runs the test suite (headless)
#   sanitize  builds and runs the test suite under AddressSanitizer and UBSan
#   package   builds the Debian package build-package/tavolin_<version>_<arch>.deb
# Safe to run again: it installs only what is missing and builds incrementally.
set -euo pipefail
cd "$(dirname "$0")"
mode=${1:-run}

packages=(cmake make g++ pkg-config qtbase5-dev qtbase5-dev-tools libpolyclipping-dev libqt5svg5-dev fonts-dejavu-core)
# CPack works out the package's dependencies with dpkg-shlibdeps, and finds
# the programs among the installed files with file.
[ "$mode" = package ] && packages+=(dpkg-dev file)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
        || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    as_root apt-get update
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)
build() {  # build <dir> [cmake options...]
    local dir=$1; shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$dir" -j "$jobs"
}

case "$mode" in
run)
    build build
    exec ./build/tavolin
    ;;
test)
    build build
    cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs"
    ;;
sanitize)
    build build-sanitize -DTAVOLIN_SANITIZE=ON
    cd build-sanitize && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs"
    ;;
package)
    # Release, without the tests; cpack packs the program built here and builds
    # nothing else.
    cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
        -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
    cmake --build build-package --target tavolin -j "$jobs"
    rm -f build-package/tavolin_*.deb
    (cd build-package && cpack -G DEB)
    ;;
*)
    echo "usage: $0 [run|test|sanitize|package]" >&2
    exit 2
    ;;
esac
