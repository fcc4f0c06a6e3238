#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz target with clang and runs it over a working corpus seeded
# from fuzz/corpus.
#   bash fuzz/run.sh [seconds] [more libFuzzer options...]
# Findings (crash-*, leak-*, timeout-*, oom-*) land in fuzz/corpus-run/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true

packages=(cmake make clang-14 libclang-rt-14-dev pkg-config qtbase5-dev qtbase5-dev-tools
    libpolyclipping-dev libqt5svg5-dev)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
        || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=; [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTAVOLIN_FUZZ=ON -DBUILD_TESTING=OFF
cmake --build build-fuzz -j "$(nproc)" --target tavolin_fuzz

mkdir -p fuzz/corpus-run
cd fuzz/corpus-run
exec ../../build-fuzz/fuzz/tavolin_fuzz -max_total_time="$seconds" -rss_limit_mb=4096 \
    -timeout=20 -dict=../board.dict -print_final_stats=1 "$@" . ../corpus
