#!/usr/bin/env bash
# Fails on an include that runs from a lower folder of src/ into a higher one, quoted or in
# angle brackets.
#
# The portable layers are also kept apart by the build (each sees only the include roots of what
# it links); the folders under src/win32 share libraries, so only this check keeps them in order.
# Usage: check-layers.sh [SRC_DIR]   (default: the src/ beside this script)
set -euo pipefail

src="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/src}"

# What each folder may include from, besides itself. Keep in step with CMakeLists.txt and
# cmake/Windows.cmake.
declare -A below=(
    [ports]=""
    [core]=""
    [ui]="core"
    [settings]="core ports"
    [tuning]="settings core ports"
    [monitor]="settings ui core ports"
    [form]="monitor tuning settings ui core ports"
    [win32/ports]="ports"
    [win32/toolkit]="win32/ports ui core"
    [win32/toolkit/peers]="win32/toolkit win32/ports ui core"
    [win32]="win32/toolkit/peers win32/toolkit win32/ports form monitor tuning settings ui core ports"
)

status=0
checked=0
while IFS= read -r file; do
    folder="${file#"$src"/}"
    folder="${folder%/*}"
    if [ -z "${below[$folder]+set}" ]; then
        echo "error: $file: src/$folder is not a known layer (add it to ${BASH_SOURCE[0]##*/})"
        status=1
        continue
    fi
    checked=$((checked + 1))
    allowed=" $folder ${below[$folder]} "
    line=0
    while IFS= read -r text; do
        line=$((line + 1))
        if [[ "$text" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
            target="${BASH_REMATCH[1]}"
            # A bare name is the folder's own file.
            [[ "$target" == */* ]] || continue
            into="${target%/*}"
            written="\"$target\""
        elif [[ "$text" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<([^\>]+)\> ]]; then
            # The include roots find a layer's header in angle brackets too; any other is the
            # platform's or a library's (<windows.h>, <gtest/gtest.h>).
            target="${BASH_REMATCH[1]}"
            into="${target%/*}"
            [[ "$target" == */* ]] && [ -n "${below[$into]+set}" ] || continue
            written="<$target>"
        else
            continue
        fi
        if [[ "$allowed" != *" $into "* ]]; then
            echo "error: ${file#"$src"/}:$line: src/$folder includes $written from src/$into, which is not beneath it"
            status=1
        fi
    done <"$file"
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

[ "$checked" -gt 0 ] || { echo "error: no sources under $src"; exit 1; }
[ "$status" -eq 0 ] && echo "layers: $checked files, every include runs downwards"
exit "$status"
