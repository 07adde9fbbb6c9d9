#!/usr/bin/env bash
# Fails when a 32-bit Windows program's code holds an instruction that the i486 lacks, or when its
# link took start-up objects or libraries from anywhere but one runtime rebuilt for the i486
# (scripts/runtime.sh). Reads the program and the map its link wrote (-Wl,-Map), which names the
# function and the input file of each finding, since the release itself is stripped.
#
# Every section the program marks executable is read, byte for byte, less only the input sections
# the map names as data: the constructor and destructor lists (with the words the linker puts
# around them) and the exception tables, which the linker places in .text after the code.
#
# Each instruction must be on a list of the i486's own, x87 included; anything else fails, so
# that a later extension is caught without being named here. Not on it: CPUID (only late 486s
# have it, so even a use behind a test of the ID flag is for a person to look at), the hint-NOP
# space 0F 18-1F (the multi-byte NOP, ENDBR32) and every undefined opcode but UD2. Two encodings
# that later processors print under new names stay: F3 0F BC (TZCNT) is REP BSF, and F3 90
# (PAUSE) is REP NOP, on every older processor, with the same effect. F3 0F BD (LZCNT) runs as
# REP BSR there and gives another result, so it fails.
set -euo pipefail
usage="usage: check-i486.sh program.exe [program.map]"
exe=${1:?$usage}
map=${2:-${exe%.exe}.map}
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
objcopy=${OBJCOPY:-i686-w64-mingw32-objcopy}
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

# The executable sections (the CODE flag stands for IMAGE_SCN_CNT_CODE or IMAGE_SCN_MEM_EXECUTE):
# name, start and size, in hex.
"$objdump" -h -w "$exe" | awk '$1 ~ /^[0-9]+$/ && /CODE/ { print $2, $4, $3 }' >"$work/sections"
[ -s "$work/sections" ] || { echo "error: $exe has no executable section"; exit 2; }

# From the map, by address (eight hex digits, so that they sort as text): each input section (I)
# and each symbol (S), which name the findings; and, apart, the data among the code (start, end).
awk -v out="$work" '
function hex8(h) { sub(/^0x/, "", h); while (length(h) < 8) h = "0" h; return tolower(h) }
function num(h,    i, n) {
    h = hex8(h)
    for (i = 1; i <= 8; i++) n = n * 16 + index("0123456789abcdef", substr(h, i, 1)) - 1
    return n
}
function data(addr, size) { printf "%s\t%08x\n", hex8(addr), num(addr) + num(size) > (out "/data") }
/^Linker script and memory map/ { body = 1; next }
!body { next }
# An input section on one line, or its name alone with the rest on the next.
/^ \.[^ \t]+$/ { pending = $1; next }
/^ \.[^ \t]+[ \t]+0x[0-9a-f]+[ \t]+0x[0-9a-f]+[ \t]+/ { pending = $1; sub(/^ \.[^ \t]+/, "") }
pending != "" && /^[ \t]+0x[0-9a-f]+[ \t]+0x[0-9a-f]+[ \t]+[^ \t]/ {
    addr = hex8($1); size = $2; file = $0
    sub(/^[ \t]+0x[0-9a-f]+[ \t]+0x[0-9a-f]+[ \t]+/, "", file)
    if (size != "0x0") {
        printf "%s\tI\t%s\t%s\n", addr, file, pending > (out "/items")
        if (pending ~ /^\.(ctors?|dtors?|gcc_exc|gcc_except_table)([.$]|$)/) data(addr, size)
    }
    pending = ""
    next
}
{ pending = "" }
# The words that open and close each list.
/^[ \t]+0x[0-9a-f]+[ \t]+0x[0-9a-f]+[ \t]+(BYTE|SHORT|LONG|QUAD|SQUAD)[ \t]/ { data($1, $2); next }
/^[ \t]+0x[0-9a-f]+[ \t]+[^ \t0]/ && !/ = / && !/^[ \t]+0x[0-9a-f]+[ \t]+0x/ {
    name = $0; sub(/^[ \t]+0x[0-9a-f]+[ \t]+/, "", name)
    printf "%s\tS\t%s\n", hex8($1), name > (out "/items")
}
' "$map"
touch "$work/items" "$work/data"
LC_ALL=C sort -o "$work/data" "$work/data"

# The code: each executable section less the data in it, as ranges (section, start, end) that
# each begin where an instruction does.
awk -v datafile="$work/data" '
function num(h,    i, n) {
    h = tolower(h)
    for (i = 1; i <= length(h); i++) n = n * 16 + index("0123456789abcdef", substr(h, i, 1)) - 1
    return n
}
BEGIN { while ((getline line < datafile) > 0) { split(line, d, "\t"); ds[++n] = num(d[1]); de[n] = num(d[2]) } }
{
    at = num($2); end = at + num($3)
    for (i = 1; i <= n; i++) {
        if (de[i] <= at || ds[i] >= end) continue
        if (ds[i] > at) printf "%s %08x %08x\n", $1, at, ds[i]
        if (de[i] > at) at = de[i]
    }
    if (at < end) printf "%s %08x %08x\n", $1, at, end
}' "$work/sections" >"$work/ranges"

# Every instruction of the code, with its section. objdump starts an instruction at every symbol,
# and the linker puts some inside instructions (an auto-import's __fu0_ at a call's operand):
# a copy without symbols is read.
"$objcopy" --strip-all "$exe" "$work/program.exe"
while read -r section from to; do
    "$objdump" -d -w -z --start-address="0x$from" --stop-address="0x$to" "$work/program.exe" |
        awk -v section="$section" '/^ *[0-9a-f]+:\t/ { sub(/^ */, ""); sub(/:\t/, "\t"); print section "\t" $0 }'
done <"$work/ranges" >"$work/disasm"

awk -F '\t' '
BEGIN {
    n = split("aaa aad aam aas adc add and arpl bound bsf bsr bswap bt btc btr bts call cbtw cltd clc cld " \
        "cli clts cmc cmp cmps cmpxchg cwtd cwtl daa das dec div enter hlt idiv imul in inc ins int int3 " \
        "into invd invlpg iret ja jae jb jbe jcxz je jecxz jg jge jl jle jmp jne jno jnp jns jo jp js " \
        "lahf lar lcall lds lea leave les lfs lgdt lgs lidt ljmp lldt lmsw lods loop loope loopne lret " \
        "lsl lss ltr mov movs movsbl movsbw movswl movsx movzbl movzbw movzwl movzx mul neg nop not or " \
        "out outs pop popa popf push pusha pushf rcl rcr ret rol ror sahf sal sar sbb scas seta setae " \
        "setb setbe sete setg setge setl setle setne setno setnp setns seto setp sets sgdt shl shld shr " \
        "shrd sidt sldt smsw stc std sti stos str sub test verr verw wait wbinvd xadd xchg xlat xor " \
        "f2xm1 fabs fadd faddp fbld fbstp fchs fclex fcom fcomp fcompp fcos fdecstp fdiv fdivp fdivr " \
        "fdivrp ffree fiadd ficom ficomp fidiv fidivr fild fimul fincstp finit fist fistp fisub fisubr " \
        "fld fld1 fldcw fldenv fldl2e fldl2t fldlg2 fldln2 fldpi fldz fmul fmulp fnclex fninit fnop " \
        "fnsave fnstcw fnstenv fnstsw fpatan fprem fprem1 fptan frndint frstor fsave fscale fsin " \
        "fsincos fsqrt fst fstcw fstenv fstp fstsw fsub fsubp fsubr fsubrp ftst fucom fucomp fucompp " \
        "fwait fxam fxch fxtract fyl2x fyl2xp1 ud2 tzcnt pause", w, " ")
    for (i = 1; i <= n; i++) i486[w[i]] = 1
}
# Whether the i486 runs this instruction as written: its mnemonic, less the prefixes, is on the
# list, as printed or less the operand size objdump adds (b/w/l; s/l/t/ll on the FPU).
function known(text,    w, n, i, m, ops, base) {
    n = split(text, w, / +/)
    for (i = 1; i <= n && w[i] ~ /^(lock|rep|repz|repe|repnz|repne|data16|addr16|[c-gs]s)$/; i++);
    if (i > n) return 1
    m = w[i]; ops = ""
    for (i++; i <= n; i++) ops = ops " " w[i]
    # The control registers beyond CR3 came with the Pentium.
    if (ops ~ /%cr([4-9]|1[0-5])/) return 0
    base = m
    if (!(base in i486) && m ~ (m ~ /^f/ ? "[slt]$" : "[bwl]$")) base = substr(m, 1, length(m) - 1)
    if (!(base in i486) && m ~ /^fi.*ll$/) base = substr(m, 1, length(m) - 2)
    if (!(base in i486)) return 0
    # 0F 1F and the rest of the hint-NOP space take an operand; the i486 NOP does not.
    return base != "nop" || ops == ""
}
{
    count[$1]++
    text = $4; sub(/ *#.*$/, "", text); sub(/ *<[^>]*>$/, "", text); sub(/ +$/, "", text)
    if (!known(text)) { addr = $2; while (length(addr) < 8) addr = "0" addr; printf "%s\tX\t%s\n", addr, text }
}
END { for (s in count) print s, count[s] > counts }
' counts="$work/counts" "$work/disasm" >"$work/findings"
instructions=$(awk '{ n += $2 } END { print n + 0 }' "$work/counts")
if [ "$instructions" -eq 0 ]; then
    echo "error: no instructions in the executable sections of $exe"
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
        printf "0x%s  %-36s in %s  [%s]\n", $1, $3, where, file
    }' | demangle
    errors=$(wc -l <"$work/findings")
fi
# What was read: each executable section, its instructions, and the data skipped in it.
summary=$(awk -v ranges="$work/ranges" -v counts="$work/counts" '
function num(h,    i, n) {
    for (i = 1; i <= length(h); i++) n = n * 16 + index("0123456789abcdef", substr(h, i, 1)) - 1
    return n
}
BEGIN {
    while ((getline line < ranges) > 0) { split(line, r, " "); code[r[1]] += num(r[3]) - num(r[2]) }
    while ((getline line < counts) > 0) { split(line, c, " "); count[c[1]] = c[2] }
}
{
    printf "%s%s 0x%s-0x%08x: %d instructions, %d bytes of data skipped", (NR > 1 ? "; " : ""), $1, $2,
        num($2) + num($3), count[$1], num($3) - code[$1]
}' "$work/sections")
echo "$errors instructions beyond the i486 among the $instructions read in $(wc -l <"$work/sections")" \
    "executable section(s) ($summary)"

# The link's inputs: the project's own, which CMake built under the program's folder (its objects
# in CMakeFiles, its libraries liblumora_*.a beside the program), and the runtime's, all from one
# runtime that scripts/runtime.sh finished for the i486. Any other file under the program's
# folder is no more the project's than one elsewhere. The map names the project's own relative to
# the folder the link ran in, the program's.
own=$(realpath "$(dirname "$exe")")
# The linker's own inputs are no files: "dll stuff", "linker stubs", and the list of run-time
# pseudo-relocations it makes for data imported without __imp_ (NAME_rtr000000.o, _ertr...).
awk '/^LOAD / && !/^LOAD (dll stuff|linker stubs|[^\/]*_e?rtr[0-9]+\.o)$/ { sub(/^LOAD /, ""); print }' "$map" |
    while read -r input; do
        case "$input" in /*) ;; *) input="$own/$input" ;; esac
        input=$(realpath -m "$input")
        case "$input" in
        "$own"/CMakeFiles/*.obj | "$own"/CMakeFiles/*/objects.a) ;;
        "$own"/liblumora_*.a) [ "$(dirname "$input")" = "$own" ] || echo "$input" ;;
        *) echo "$input" ;;
        esac
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
