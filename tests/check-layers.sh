#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every include of the program runs down the layers, never up: a file may
# include its own folder's headers and those of the layers before it here.
# Prints each include that breaks the order and fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
layers=(core/xml core/board core/rules core/place core/frame core/merge core/run picture cli gui)
rank() {
    local i
    for i in "${!layers[@]}"; do [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }; done
    echo 99
}
status=0
for i in "${!layers[@]}"; do
    for file in "${layers[$i]}"/*.cpp "${layers[$i]}"/*.h; do
        [ -e "$file" ] || continue
        while read -r header; do
            if [ "$(rank "$(dirname "$header")")" -gt "$i" ]; then
                echo "$file includes $header, a layer above its own"
                status=1
            fi
        done < <(sed -n 's/^#include "\([^"]*\/[^"]*\)".*/\1/p' "$file")
    done
done
exit $status
