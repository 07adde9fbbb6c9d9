#!/usr/bin/env bash
# Tests of tools/check-i486.sh on small programs linked here without a runtime: code built for
# the Pentium Pro and hand-written instructions of each later family must fail it, i486 code and
# data after the code must pass, and the link's inputs must come from one finished i486 runtime.
# Ends with "N passed, N failed".
set -uo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
CHECK="$HERE/../../tools/check-i486.sh"
CC=${CC_I686:-i686-w64-mingw32-gcc-win32}
CXX=${CXX_I686:-i686-w64-mingw32-g++-win32}
ROOT="$(mktemp -d)"
trap 'rm -rf "$ROOT"' EXIT
# The programs and their own objects; the runtimes lie beside this folder, as outside a build.
WORK="$ROOT/build"
mkdir -p "$WORK"
PASSED=0
FAILED=0

ok() { PASSED=$((PASSED + 1)); printf 'ok    %s\n' "$1"; }
bad() {
    FAILED=$((FAILED + 1))
    printf 'FAIL  %s\n' "$1"
    [ -f "$WORK/out" ] && sed 's/^/      /' "$WORK/out"
}

# link NAME OBJECT...: NAME.exe and NAME.map from the objects alone, entered at entry().
link() {
    local name="$1"
    shift
    "$CC" -nostdlib -Wl,-e,_entry -Wl,-Map="$WORK/$name.map" -o "$WORK/$name.exe" "$@"
}

# assemble NAME TEXT: NAME.o from the lines of TEXT after an entry point.
assemble() {
    printf '\t.text\n\t.globl _entry\n_entry:\n%s\n\tret\n' "$2" >"$WORK/$1.s"
    "$CC" -c "$WORK/$1.s" -o "$WORK/$1.o"
}

check() { bash "$CHECK" "$@" >"$WORK/out" 2>&1 </dev/null; }

# expect_fail NAME EXE [TEXT]: the check fails on EXE and says TEXT.
expect_fail() {
    if check "$2"; then
        bad "$1"
    elif [ -n "${3:-}" ] && ! grep -qF -- "$3" "$WORK/out"; then
        bad "$1 (no \"$3\" in the report)"
    else
        ok "$1"
    fi
}

expect_pass() {
    if check "$2"; then ok "$1"; else bad "$1"; fi
}

# --- compiled code: a ternary of ints is a conditional move on the Pentium Pro only

cat >"$WORK/pick.c" <<'EOF'
__attribute__((noinline)) int pick(int a, int b, int c) { return a < b ? c : b; }
int entry(int a, int b, int c) { return pick(a, b, c) + pick(b, c, a); }
EOF
"$CC" -O2 -march=pentiumpro -c "$WORK/pick.c" -o "$WORK/pick-p6.o" && link pick-p6 "$WORK/pick-p6.o"
what="the Pentium Pro build of the ternary has a cmov to find"
if i686-w64-mingw32-objdump -d "$WORK/pick-p6.o" | grep -q cmov; then ok "$what"; else bad "$what"; fi
expect_fail "a ternary built for the Pentium Pro fails, named by its function" "$WORK/pick-p6.exe" "in pick+0x"
"$CC" -O2 -march=i486 -c "$WORK/pick.c" -o "$WORK/pick-486.o" && link pick-486 "$WORK/pick-486.o"
expect_pass "the same ternary built for the i486 passes" "$WORK/pick-486.exe"

# A function without a public symbol is named by its own section, demangled.
cat >"$WORK/hidden.cpp" <<'EOF'
namespace {
__attribute__((noinline)) int clamp(int v, int lo) { return v < lo ? lo : v; }
}
extern "C" int entry(int v, int lo) { return clamp(v, lo) * 3; }
EOF
"$CXX" -O2 -march=pentiumpro -ffunction-sections -c "$WORK/hidden.cpp" -o "$WORK/hidden.o" &&
    link hidden "$WORK/hidden.o"
expect_fail "a static function is named from its section" "$WORK/hidden.exe" "(anonymous namespace)::clamp(int, int)"

# --- each family of instructions the i486 lacks

n=0
while IFS='|' read -r what insn; do
    name="beyond-$((++n))"
    assemble "$name" "	$insn" && link "$name" "$WORK/$name.o"
    expect_fail "fails on $what ($insn)" "$WORK/$name.exe" "${insn%% *}"
done <<'EOF'
a conditional move|cmovl %edx,%eax
a P6 FPU compare|fcomip %st(1),%st
an unordered P6 FPU compare|fucomi %st(1),%st
an FPU conditional move|fcmovbe %st(1),%st
a multi-byte NOP|nopw 0x0(%eax,%eax,1)
a short multi-byte NOP|nopl (%eax)
CMPXCHG8B|cmpxchg8b (%esi)
RDTSC|rdtsc
RDPMC|rdpmc
CPUID|cpuid
SYSENTER|sysenter
EMMS|emms
an MMX move|movq %mm0,%mm1
MMX arithmetic|paddb %mm1,%mm0
an SSE move|movaps %xmm0,%xmm1
SSE arithmetic|addss %xmm1,%xmm0
an SSE fence|sfence
an SSE prefetch|prefetchnta (%eax)
the SSE control word|ldmxcsr (%eax)
an SSE3 x87 store|fisttpl (%eax)
EOF

# --- what the i486 has passes, and so does data the linker puts after the code

assemble i486 "	bswap %eax
	xadd %ecx,(%esi)
	lock cmpxchg %edx,(%esi)
	fld1
	fldz
	fcompp
	fnstsw %ax
	sahf
	fucompp
	invlpg (%eax)
	wbinvd
	nop
	xchg %ax,%ax
	.byte 0x8d, 0x74, 0x26, 0x00
	.arch i486
	.p2align 5" && link i486 "$WORK/i486.o"
expect_pass "i486 instructions and padding pass" "$WORK/i486.exe"

# 0f 44 c2 is cmove %edx,%eax: as a constructor-list entry or an exception table it is data.
assemble tables "	nop
	.section .ctors,\"w\"
	.byte 0x0f, 0x44, 0xc2, 0x90
	.section .gcc_except_table,\"r\"
	.byte 0x0f, 0x44, 0xc2, 0x90, 0x0f, 0x1f, 0x00, 0x90" && link tables "$WORK/tables.o"
if i686-w64-mingw32-objdump -d -j .text "$WORK/tables.exe" | grep -q cmove; then
    expect_pass "the constructor list and exception tables after the code are not read" "$WORK/tables.exe"
else
    bad "the linker put the tables in .text, where the check has to skip them"
fi
assemble inline "	.byte 0x0f, 0x44, 0xc2" && link inline "$WORK/inline.o"
expect_fail "the same bytes inside the code fail" "$WORK/inline.exe" "cmove"

# --- what the check needs to read

cp "$WORK/pick-486.exe" "$WORK/nomap.exe"
expect_fail "a program without its link map fails" "$WORK/nomap.exe" "no link map"
what="a map named but absent fails"
if check "$WORK/pick-486.exe" "$WORK/missing.map"; then bad "$what"; else ok "$what"; fi

# --- where the link took its inputs from

runtime="$ROOT/runtime"
mkdir -p "$runtime"
"$CC" -O2 -march=i486 -c "$WORK/pick.c" -o "$runtime/pick.o"
printf 'target flags: -march=i486 -mtune=pentium -g -O2\n' >"$runtime/.complete"
link from-runtime "$runtime/pick.o"
expect_pass "inputs from a finished i486 runtime pass" "$WORK/from-runtime.exe"
mkdir -p "$ROOT/other"
printf 'int spare(void) { return 1; }\n' >"$WORK/spare.c"
"$CC" -O2 -march=i486 -c "$WORK/spare.c" -o "$ROOT/other/spare.o"
link two-places "$runtime/pick.o" "$ROOT/other/spare.o"
expect_fail "an input from outside the runtime fails, named" "$WORK/two-places.exe" \
    "not from the i486 runtime: $ROOT/other/spare.o"
rm "$runtime/.complete"
link unfinished "$runtime/pick.o"
expect_fail "a runtime without its completion stamp fails" "$WORK/unfinished.exe" "not from the i486 runtime"
printf 'target flags: -march=pentiumpro -g -O2\n' >"$runtime/.complete"
link other-flags "$runtime/pick.o"
expect_fail "a runtime built for another processor fails" "$WORK/other-flags.exe" "not from the i486 runtime"

echo "$PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]
