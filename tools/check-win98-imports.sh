#!/usr/bin/env bash
# Fails when an executable imports a DLL or function that Windows 98 SE lacks; warns about
# functions that Windows 98 exports only as failing stubs, and fails on them too with --no-stubs.
set -euo pipefail
exe=${1:?usage: check-win98-imports.sh program.exe [--no-stubs]}
strict=0
[ "${2:-}" = "--no-stubs" ] && strict=1
here=$(cd "$(dirname "$0")" && pwd)
data=$here/win9x
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}

"$objdump" -p "$exe" | awk -v data="$data" -v strict="$strict" '
BEGIN {
    split("KERNEL32 USER32 GDI32 ADVAPI32 SHELL32 COMCTL32 COMDLG32 OLE32 OLEAUT32 MSVCRT", list, " ")
    for (i in list) allowed[list[i]] = 1
    while ((getline line < (data "/kernel32-win95-exports.txt")) > 0)
        if (line !~ /^#/ && line != "") k32[line] = "works"
    while ((getline line < (data "/kernel32-win98-additions.tsv")) > 0) {
        if (line ~ /^#/ || line == "") continue
        split(line, f, "\t"); k32[f[1]] = f[2]
    }
    while ((getline line < (data "/msvcrt-6.0-exports.txt")) > 0)
        if (line !~ /^#/ && line != "") crt[line] = 1
    while ((getline line < (data "/missing-on-win98.txt")) > 0) {
        if (line ~ /^#/ || line == "") continue
        split(line, f, "\t"); missing[toupper(f[1]) "!" f[2]] = 1
    }
    while ((getline line < (data "/stubs-on-win98.txt")) > 0) {
        if (line ~ /^#/ || line == "") continue
        split(line, f, "\t"); stub[toupper(f[1]) "!" f[2]] = 1
    }
}
/DLL Name:/ { dll = toupper($3); sub(/\.DLL$/, "", dll); imports++
    if (!(dll in allowed)) { print "error: imports " $3 ", not one of Windows'"'"' own DLLs"; errors++ }
    next }
/^\t[0-9a-f]+\t +[0-9]+ +[^ ]+/ && dll != "" {
    name = $3; count++
    key = dll "!" name
    if (dll == "KERNEL32") {
        if (!(name in k32)) { print "error: KERNEL32!" name " is missing on Windows 98"; errors++ }
        else if (k32[name] == "stub" || key in stub) { print "warning: KERNEL32!" name " is a stub on Windows 98"; warnings++ }
    } else if (dll == "MSVCRT") {
        if (!(name in crt)) { print "error: MSVCRT!" name " is missing from MSVCRT 6.0"; errors++ }
    } else if (key in missing) { print "error: " key " is missing on Windows 98"; errors++ }
    else if (key in stub) { print "warning: " key " is a stub on Windows 98"; warnings++ }
}
END {
    printf "%d imports from %d DLLs: %d errors, %d warnings\n", count, imports, errors, warnings
    exit (errors > 0 || (strict && warnings > 0)) ? 1 : 0
}'
