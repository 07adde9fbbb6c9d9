#!/usr/bin/env bash
# Fails when an executable imports a DLL or function that Windows 98 SE lacks, or when no imported
# function could be read from it; warns about functions that Windows 98 exports only as failing
# stubs, and fails on them too with --no-stubs.
# With --win95 it checks against Windows 95 as it ships instead: KERNEL32 against Windows 95's own
# exports, USER32, GDI32, ADVAPI32 and COMCTL32 against the functions checked for Windows 95
# (tools/win9x/checked-on-win95.tsv), every other DLL as for Windows 98.
# The C runtime is CRTDLL.DLL, which both ship, held in both modes to the names of mingw-w64's
# crtdll.def, its import library's source (tools/win9x/crtdll.def). MSVCRT.DLL fails in both:
# Windows 95 has none until Internet Explorer 4 or the Visual C++ 6 runtime installs it.
# Prints how many functions it imports from each DLL.
#
#   check-win98-imports.sh program.exe [--no-stubs] [--win95]
set -euo pipefail
exe=${1:?usage: check-win98-imports.sh program.exe [--no-stubs] [--win95]}
shift
strict=0
target="Windows 98"
for option in "$@"; do
    case "$option" in
    --no-stubs) strict=1 ;;
    --win95) target="Windows 95" ;;
    *) echo "unknown option $option" >&2; exit 2 ;;
    esac
done
here=$(cd "$(dirname "$0")" && pwd)
data=$here/win9x
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}

"$objdump" -p "$exe" | awk -v data="$data" -v strict="$strict" -v target="$target" -v exe="$exe" '
BEGIN {
    win95 = target == "Windows 95"
    split("KERNEL32 USER32 GDI32 ADVAPI32 SHELL32 COMCTL32 COMDLG32 OLE32 OLEAUT32 CRTDLL", list, " ")
    for (i in list) allowed[list[i]] = 1
    # USER32, GDI32, ADVAPI32 and COMCTL32 are checked against an allow-list for Windows 95.
    split("USER32 GDI32 ADVAPI32 COMCTL32", list, " ")
    for (i in list) listed95[list[i]] = 1
    while ((getline line < (data "/kernel32-win95-exports.txt")) > 0)
        if (line !~ /^#/ && line != "") { k32[line] = "works"; k95[line] = 1 }
    while ((getline line < (data "/kernel32-win98-additions.tsv")) > 0) {
        if (line ~ /^#/ || line == "") continue
        split(line, f, "\t"); k32[f[1]] = f[2]
    }
    # A definition line is NAME [DATA] [== EXPORT]: with "==", the import library gives the
    # linker NAME for the export EXPORT, the one name of the two that the DLL has.
    while ((getline line < (data "/crtdll.def")) > 0) {
        sub(/;.*/, "", line)
        if ((n = split(line, w)) == 0) continue
        if (w[1] == "EXPORTS") { exports = 1; continue }
        if (!exports) continue
        name = w[1]
        for (i = 2; i < n; i++) if (w[i] == "==") name = w[i + 1]
        crt[name] = 1; crtNames++
    }
    if (crtNames == 0) { print "error: no export of CRTDLL read from " data "/crtdll.def"; errors++ }
    while ((getline line < (data "/missing-on-win98.txt")) > 0) {
        if (line ~ /^#/ || line == "") continue
        split(line, f, "\t"); missing[toupper(f[1]) "!" f[2]] = 1
    }
    while ((getline line < (data "/stubs-on-win98.txt")) > 0) {
        if (line ~ /^#/ || line == "") continue
        split(line, f, "\t"); stub[toupper(f[1]) "!" f[2]] = 1
    }
    if (win95) {
        while ((getline line < (data "/missing-on-win95.txt")) > 0) {
            if (line ~ /^#/ || line == "") continue
            split(line, f, "\t"); missing[toupper(f[1]) "!" f[2]] = 1
        }
        while ((getline line < (data "/checked-on-win95.tsv")) > 0) {
            if (line ~ /^#/ || line == "") continue
            split(line, f, "\t"); checked95[toupper(f[1]) "!" f[2]] = 1
        }
    }
}
/DLL Name:/ { dll = toupper($3); sub(/\.DLL$/, "", dll); imports++; order[imports] = dll; per[dll] += 0
    if (dll == "MSVCRT") {
        print "error: imports " $3 ", which Windows 95 lacks: the release takes its C runtime from CRTDLL.DLL"
        errors++
    } else if (!(dll in allowed)) { print "error: imports " $3 ", not one of Windows'"'"' own DLLs"; errors++ }
    next }
/^\t[0-9a-f]+\t +[0-9]+ +[^ ]+/ && dll != "" {
    name = $3; count++; per[dll]++
    key = dll "!" name
    if (dll == "KERNEL32") {
        if (win95 && !(name in k95)) {
            print "error: KERNEL32!" name " is missing on Windows 95" ((name in k32) ? " (Windows 98 added it)" : "")
            errors++
        } else if (!(name in k32)) { print "error: KERNEL32!" name " is missing on Windows 98"; errors++ }
        else if (k32[name] == "stub" || key in stub) { print "warning: KERNEL32!" name " is a stub on " target; warnings++ }
    } else if (dll == "CRTDLL") {
        if (!(name in crt)) { print "error: CRTDLL!" name " is not exported by CRTDLL.DLL (win9x/crtdll.def)"; errors++ }
    } else if (key in missing) { print "error: " key " is missing on " target; errors++ }
    else if (win95 && (dll in listed95) && !(key in checked95)) {
        print "error: " key " is not among the functions checked for Windows 95 (win9x/checked-on-win95.tsv)"
        errors++
    }
    else if (key in stub) { print "warning: " key " is a stub on " target; warnings++ }
}
END {
    # An import table read as empty is a misread (another objdump, a file that is no program),
    # never a program that needs nothing.
    if (count == 0) { print "error: no imported function read from " exe; errors++ }
    for (i = 1; i <= imports; i++) if (!(order[i] in shown)) {
        printf "%s%s %d", (i > 1 ? ", " : "functions imported: "), order[i], per[order[i]]
        shown[order[i]] = 1
    }
    if (imports) print ""
    printf "%s: %d imports from %d DLLs: %d errors, %d warnings\n", target, count, imports, errors, warnings
    exit (errors > 0 || (strict && warnings > 0)) ? 1 : 0
}'
