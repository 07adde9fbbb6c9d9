#!/usr/bin/env bash
# Fails when a 32-bit Windows program's code holds an instruction that the i486 lacks, or when its
# link took start-up objects or libraries from anywhere but one runtime rebuilt for the i486
# (scripts/runtime.sh). Reads the program and the map its link wrote (-Wl,-Map), which names the
# function and the input file of each finding, since the release itself is stripped.
#
# Beyond the i486 are: conditional moves (P6), the P6 FPU compares and moves, the multi-byte NOP
# (0F 1F), CMPXCHG8B, RDTSC, RDPMC, RDMSR/WRMSR, SYSENTER/SYSEXIT, CPUID (only late 486s have it,
# so even a use behind a test of the ID flag is for a person to look at), MMX, 3DNow! and SSE.
# The constructor lists and the exception tables that the linker puts in .text after the code are
# data, and are not read.
set -euo pipefail
usage="usage: check-i486.sh program.exe [program.map]"
exe=${1:?$usage}
map=${2:-${exe%.exe}.map}
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
cxxfilt=${CXXFILT:-i686-w64-mingw32-c++filt}
# The stamp scripts/runtime.sh leaves in a runtime it finished.
stamp=.complete

demangle() {
    if command -v "$cxxfilt" >/dev/null; then "$cxxfilt" -n; else cat; fi
}

[ -f "$exe" ] || { echo "error: no program $exe"; exit 2; }
[ -f "$map" ] || { echo "error: no link map $map (link with -Wl,-Map=$map)"; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
: >"$work/items"

# From the map: where .text starts and where its code ends (the constructor list follows it),
# and, by address, each input section (I) and each symbol (S) in it. Addresses are eight hex
# digits, so they sort as text.
awk -v out="$work" '
function hex8(h) { sub(/^0x/, "", h); while (length(h) < 8) h = "0" h; return tolower(h) }
/^Linker script and memory map/ { body = 1; next }
!body { next }
/^\.text[ \t]/ { intext = 1; start = hex8($2); next }
intext && /^\.[a-z]/ { intext = 0 }
!intext { next }
/___CTOR_LIST__ = \./ && stop == "" { stop = hex8($1); next }
# An input section on one line, or its name alone with the rest on the next.
/^ \.[^ \t]+$/ { pending = $1; next }
/^ \.[^ \t]+[ \t]+0x[0-9a-f]+[ \t]+0x[0-9a-f]+[ \t]+/ { pending = $1; sub(/^ \.[^ \t]+/, "") }
pending != "" && /^[ \t]+0x[0-9a-f]+[ \t]+0x[0-9a-f]+[ \t]+[^ \t]/ {
    addr = hex8($1); size = $2; file = $0
    sub(/^[ \t]+0x[0-9a-f]+[ \t]+0x[0-9a-f]+[ \t]+/, "", file)
    if (size != "0x0") printf "%s\tI\t%s\t%s\n", addr, file, pending > (out "/items")
    pending = ""
    next
}
{ pending = "" }
/^[ \t]+0x[0-9a-f]+[ \t]+[^ \t0]/ && !/ = / && !/^[ \t]+0x[0-9a-f]+[ \t]+0x/ {
    name = $0; sub(/^[ \t]+0x[0-9a-f]+[ \t]+/, "", name)
    printf "%s\tS\t%s\n", hex8($1), name > (out "/items")
}
END { printf "%s %s\n", start, stop > (out "/range") }
' "$map"
read -r start stop <"$work/range" || true
if [ -z "${start:-}" ] || [ -z "${stop:-}" ]; then
    echo "error: $map shows no .text section with the constructor list after its code"
    exit 2
fi

# Every instruction of the code, with its bytes.
"$objdump" -d -w --start-address="0x$start" --stop-address="0x$stop" "$exe" >"$work/disasm"
awk '
function hex8(h) { while (length(h) < 8) h = "0" h; return h }
# What the instruction at this line needs beyond the i486, or "".
function beyond(bytes, text,    w, n, i, m, ops) {
    n = split(text, w, /[ \t]+/)
    prefix = "^(lock|rep|repz|repe|repnz|repne|data16|data32|addr16|addr32|[c-gs]s|notrack|bnd)$"
    for (i = 1; i <= n && w[i] ~ prefix; i++);
    m = w[i]; ops = ""
    for (i++; i <= n; i++) ops = ops " " w[i]
    if (m ~ /^cmov/) return "conditional move (P6)"
    if (m ~ /^fcmov/) return "FPU conditional move (P6)"
    if (m ~ /^fu?comip?$/) return "FPU compare to EFLAGS (P6)"
    if (bytes ~ /^((66|67|f0|f2|f3|2e|36|3e|26|64|65) )*0f 1f/ || m ~ /^nop[wl]$/ || (m == "nop" && ops != ""))
        return "multi-byte NOP (P6)"
    if (m == "cmpxchg8b") return "CMPXCHG8B (Pentium)"
    if (m ~ /^rdtscp?$/ || m == "rdpmc" || m == "rdmsr" || m == "wrmsr" || m == "rsm") return "model-specific (Pentium)"
    if (m ~ /^sys(enter|exit|call|ret)$/) return "fast system call (Pentium II)"
    if (m == "cpuid") return "CPUID (not on every i486)"
    if (m == "emms" || m == "femms" || ops ~ /%mm[0-7]/) return "MMX"
    if (ops ~ /%[xyz]mm[0-9]/) return "SSE"
    if (m ~ /^(ldmxcsr|stmxcsr|fxsave|fxrstor|[slm]fence|clflush|movnti|prefetch|fisttp|monitor|mwait)/ ||
        m ~ /^(xsave|xrstor|xgetbv|vzero)/)
        return "SSE-era"
    if (m == "(bad)") return "not an i486 instruction"
    return ""
}
/^ *[0-9a-f]+:\t/ {
    split($0, f, "\t")
    addr = f[1]; sub(/^ */, "", addr); sub(/:$/, "", addr)
    bytes = f[2]; sub(/ +$/, "", bytes)
    text = f[3]; sub(/ *#.*$/, "", text); sub(/ +$/, "", text)
    count++
    why = beyond(bytes, text)
    if (why != "") printf "%s\tX\t%s\t%s\n", hex8(addr), text, why
}
END { print count + 0 > "/dev/stderr" }
' "$work/disasm" >"$work/findings" 2>"$work/count"
instructions=$(cat "$work/count")
if [ "$instructions" -eq 0 ]; then
    echo "error: no instructions between 0x$start and 0x$stop in $exe"
    exit 2
fi

# Each finding with the function (nearest symbol at or before it) and the input file it is in.
errors=0
if [ -s "$work/findings" ]; then
    cat "$work/items" "$work/findings" | LC_ALL=C sort -t "$(printf '\t')" -k1,1 -k2,2 -s | awk -F '\t' '
    function num(h,    i, n) {
        for (i = 1; i <= length(h); i++) n = n * 16 + index("0123456789abcdef", substr(h, i, 1)) - 1
        return n
    }
    # The driver names its files through the compiler folder: /usr/lib/gcc/x/12/../../../../x/lib.
    function tidy(path) { while (sub(/\/[^\/.][^\/]*\/\.\.\//, "/", path)); return path }
    $2 == "I" { file = tidy($3); section = $4; symbol = ""; symaddr = $1; next }
    $2 == "S" { symbol = $3; symaddr = $1; next }
    $2 == "X" {
        # Without a symbol, a function section still carries the (mangled) function name.
        where = symbol
        if (where == "") { where = section; sub(/^\.text[$.]/, "", where) }
        offset = num($1) - num(symaddr)
        if (offset) where = where sprintf("+0x%x", offset)
        printf "0x%s  %-32s %-28s in %s  [%s]\n", $1, $3, $4, where, file
    }' | demangle
    errors=$(wc -l <"$work/findings")
fi
echo "$errors instructions beyond the i486 among the $instructions of the code (0x$start-0x$stop)"

# The link's inputs from outside the program's own build folder (the map names those relative to
# it, or under it) are the runtime's: all from one runtime that scripts/runtime.sh finished for
# the i486.
own=$(realpath "$(dirname "$exe")")
awk '/^LOAD \// { sub(/^LOAD /, ""); print }' "$map" | while read -r input; do
    input=$(realpath -m "$input")
    case "$input" in "$own"/*) ;; *) echo "$input" ;; esac
done | sort -u >"$work/inputs"
foreign=0
if [ -s "$work/inputs" ]; then
    runtime=""
    while read -r input; do
        dir=$(dirname "$input")
        if [ -f "$dir/$stamp" ] && grep -q -- '-march=i486' "$dir/$stamp"; then
            runtime=$dir
            break
        fi
    done <"$work/inputs"
    while read -r input; do
        if [ "$(dirname "$input")" != "$runtime" ]; then
            echo "not from the i486 runtime: $input"
            foreign=$((foreign + 1))
        fi
    done <"$work/inputs"
    echo "$foreign of $(wc -l <"$work/inputs") runtime inputs from elsewhere than ${runtime:-a finished i486 runtime}"
fi
[ "$errors" -eq 0 ] && [ "$foreign" -eq 0 ]
