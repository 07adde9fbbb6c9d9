#!/usr/bin/env bash
# Tests of tools/check-i486.sh on small programs linked here without a runtime, each planting one
# case: an instruction of a later processor fails wherever it sits in an executable section, i486
# code and the data the linker puts among the code pass, and the link's inputs must be the
# project's own or come from one finished i486 runtime. Ends with "N passed, N failed".
set -uo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
CHECK="$HERE/../../tools/check-i486.sh"
CC=${CC_I686:-i686-w64-mingw32-gcc-win32}
CXX=${CXX_I686:-i686-w64-mingw32-g++-win32}
ROOT="$(mktemp -d)"
trap 'rm -rf "$ROOT"' EXIT
# The programs' folder, laid out as a build: the project's objects in CMakeFiles; the runtimes lie
# beside it.
WORK="$ROOT/build"
OWN="$WORK/CMakeFiles/test.dir"
mkdir -p "$OWN"
PASSED=0
FAILED=0

ok() { PASSED=$((PASSED + 1)); printf 'ok    %s\n' "$1"; }
bad() {
    FAILED=$((FAILED + 1))
    printf 'FAIL  %s\n' "$1"
    [ -f "$WORK/out" ] && sed 's/^/      /' "$WORK/out"
}

# link NAME INPUT...: NAME.exe and NAME.map from the inputs alone, entered at entry().
link() {
    local name="$1"
    shift
    "$CC" -nostdlib -Wl,-e,_entry -Wl,-Map="$WORK/$name.map" -o "$WORK/$name.exe" "$@"
}

# plant NAME TEXT [INPUT...]: NAME.exe of an entry point whose code is TEXT (statements split by
# ";"), linked with the inputs.
plant() {
    local name="$1" text="$2"
    shift 2
    printf '\t.text\n\t.globl _entry\n_entry:\n\t%s\n\tret\n' "$text" >"$OWN/$name.s"
    "$CC" -c "$OWN/$name.s" -o "$OWN/$name.obj" && link "$name" "$OWN/$name.obj" "$@"
}

check() { bash "$CHECK" "$@" >"$WORK/out" 2>&1 </dev/null; }

# expect pass|fail WHAT EXE [TEXT]: the check passes or fails on EXE, and a failure says TEXT.
expect() {
    if check "$3"; then
        if [ "$1" = pass ]; then ok "$2"; else bad "$2"; fi
    elif [ "$1" = pass ]; then
        bad "$2"
    elif [ -n "${4:-}" ] && ! grep -qF -- "$4" "$WORK/out"; then
        bad "$2 (no \"$4\" in the report)"
    else
        ok "$2"
    fi
}

# --- each instruction the i486 lacks fails, wherever it is; what it has passes

n=0
while IFS='|' read -r result what says text; do
    name="plant-$((++n))"
    if plant "$name" "$text"; then expect "$result" "$result: $what" "$WORK/$name.exe" "$says"; else bad "$what"; fi
done <<'EOF'
fail|a conditional move|cmovl|cmovl %edx,%eax
fail|a P6 FPU compare|fcomip|fcomip %st(1),%st
fail|an unordered P6 FPU compare|fucomi|fucomi %st(1),%st
fail|an FPU conditional move|fcmovbe|fcmovbe %st(1),%st
fail|a multi-byte NOP|nopw|nopw 0x0(%eax,%eax,1)
fail|a short multi-byte NOP|nopl|nopl (%eax)
fail|ENDBR32, in the P6 hint-NOP space|endbr32|endbr32
fail|CMPXCHG8B|cmpxchg8b|cmpxchg8b (%esi)
fail|RDTSC|rdtsc|rdtsc
fail|RDPMC|rdpmc|rdpmc
fail|CPUID|cpuid|cpuid
fail|SYSENTER|sysenter|sysenter
fail|CR4|%cr4|mov %cr4,%eax
fail|EMMS|emms|emms
fail|an MMX move|movq|movq %mm0,%mm1
fail|an SSE move|movaps|movaps %xmm0,%xmm1
fail|an SSE fence|sfence|sfence
fail|an SSE prefetch|prefetchnta|prefetchnta (%eax)
fail|an SSE3 x87 store|fisttpl|fisttpl (%eax)
fail|POPCNT|popcnt|popcnt %eax,%ecx
fail|LZCNT, which older processors run as BSR|lzcnt|lzcnt %eax,%ecx
fail|MOVBE|movbe|movbe (%esi),%eax
fail|CRC32|crc32|crc32l %eax,%ecx
fail|RDRAND|rdrand|rdrand %eax
fail|XBEGIN|xbegin|xbegin 1f; 1:
fail|SHLX|shlx|shlx %eax,%ecx,%edx
fail|ANDN|andn|andn %eax,%ecx,%edx
fail|UD0|ud0|ud0 %eax,%ecx
fail|UD1|ud1|ud1 %eax,%ecx
fail|code in .fini, after the constructor lists|cpuid|nop; .section .fini,"x"; cmovl %edx,%eax; cpuid
fail|code in an executable section of its own|rdtsc|nop; .section .mytext,"x"; cmovl %edx,%eax; rdtsc
fail|a constructor list's bytes inside the code|cmove|.byte 0x0f, 0x44, 0xc2
pass|REP BSF, which objdump prints as TZCNT||.byte 0xf3, 0x0f, 0xbc, 0xc0
pass|PAUSE, which older processors run as NOP||pause
pass|the i486's own additions||bswap %eax; xadd %ecx,(%esi); lock cmpxchg %edx,(%esi); invlpg (%eax); wbinvd
pass|the 387's compares||fld1; fcompp; fnstsw %ax; sahf; fucompp; fsincos
pass|the 387's operand sizes||fildll (%eax); fistpll (%eax); fmull (%eax); fldt (%eax); fadds (%eax)
pass|string operations, zero extensions, UD2||rep stosl; repz cmpsb; movzbl %al,%eax; movswl %ax,%eax; ud2; repz ret
pass|padding||nop; xchg %ax,%ax; .byte 0x8d, 0x74, 0x26, 0x00; .arch i486; .p2align 5
EOF

# 0f 44 c2 is cmove %edx,%eax: as a constructor-list entry or an exception table it is data.
plant tables 'nop; .section .ctors,"w"; .byte 0x0f, 0x44, 0xc2, 0x90; .section .dtors,"w"; .byte 0x0f, 0x44, 0xc2, 0x90
    .section .gcc_except_table,"r"; .byte 0x0f, 0x44, 0xc2, 0x90, 0x0f, 0x1f, 0x00, 0x90'
if i686-w64-mingw32-objdump -d -j .text "$WORK/tables.exe" | grep -q cmove; then
    expect pass "the constructor lists and exception tables among the code are not read" "$WORK/tables.exe"
else
    bad "the linker put the tables in .text, where the check has to skip them"
fi

# --- a finding names its function

cat >"$OWN/pick.c" <<'EOF'
__attribute__((noinline)) int pick(int a, int b, int c) { return a < b ? c : b; }
int entry(int a, int b, int c) { return pick(a, b, c) + pick(b, c, a); }
EOF
"$CC" -O2 -march=pentiumpro -c "$OWN/pick.c" -o "$OWN/pick-p6.obj" && link pick-p6 "$OWN/pick-p6.obj"
expect fail "a ternary built for the Pentium Pro fails, named by its function" "$WORK/pick-p6.exe" "in pick+0x"
"$CC" -O2 -march=i486 -c "$OWN/pick.c" -o "$OWN/pick-486.obj" && link pick-486 "$OWN/pick-486.obj"
expect pass "the same ternary built for the i486 passes" "$WORK/pick-486.exe"
cat >"$OWN/hidden.cpp" <<'EOF'
namespace {
__attribute__((noinline)) int clamp(int v, int lo) { return v < lo ? lo : v; }
}
extern "C" int entry(int v, int lo) { return clamp(v, lo) * 3; }
EOF
"$CXX" -O2 -march=pentiumpro -ffunction-sections -c "$OWN/hidden.cpp" -o "$OWN/hidden.obj" &&
    link hidden "$OWN/hidden.obj"
expect fail "a static function is named from its section" "$WORK/hidden.exe" "(anonymous namespace)::clamp(int, int)"

# --- what the check needs to read

cp "$WORK/pick-486.exe" "$WORK/nomap.exe"
expect fail "a program without its link map fails" "$WORK/nomap.exe" "no link map"
what="a map named but absent fails"
if check "$WORK/pick-486.exe" "$WORK/missing.map"; then bad "$what"; else ok "$what"; fi

# --- where the link took its inputs from

runtime="$ROOT/runtime"
mkdir -p "$runtime" "$ROOT/other"
"$CC" -O2 -march=i486 -c "$OWN/pick.c" -o "$runtime/pick.o"
printf 'int spare(void) { return 1; }\n' >"$OWN/spare.c"
"$CC" -O2 -march=i486 -c "$OWN/spare.c" -o "$ROOT/other/spare.o"
cp "$ROOT/other/spare.o" "$OWN/spare.obj"
i686-w64-mingw32-ar rcs "$WORK/liblumora_spare.a" "$ROOT/other/spare.o"
cp "$WORK/liblumora_spare.a" "$WORK/libmsvcrt.a"
printf 'target flags: -march=i486 -mtune=pentium -g -O2\n' >"$runtime/.complete"
link from-runtime "$runtime/pick.o" "$OWN/spare.obj" "$WORK/liblumora_spare.a"
expect pass "the project's own inputs and a finished i486 runtime's pass" "$WORK/from-runtime.exe"
link two-places "$runtime/pick.o" "$ROOT/other/spare.o"
expect fail "an input from outside the runtime fails, named" "$WORK/two-places.exe" \
    "not from the i486 runtime: $ROOT/other/spare.o"
link foreign-crt "$runtime/pick.o" "$WORK/libmsvcrt.a"
expect fail "a library not the project's fails, in the program's folder too" "$WORK/foreign-crt.exe" \
    "not from the i486 runtime: $WORK/libmsvcrt.a"
# A call to a function its DLL exports as data: the linker adds pieces of its own to the link.
printf 'LIBRARY other.dll\nEXPORTS\nfoo DATA\n' >"$runtime/other.def"
i686-w64-mingw32-dlltool -d "$runtime/other.def" -l "$runtime/libother.a"
plant auto-import '.globl __pei386_runtime_relocator; __pei386_runtime_relocator: call _foo' "$runtime/libother.a"
expect pass "the linker's pieces for a data import pass" "$WORK/auto-import.exe"
rm "$runtime/.complete"
link unfinished "$runtime/pick.o"
expect fail "a runtime without its completion stamp fails" "$WORK/unfinished.exe" "not from the i486 runtime"
printf 'target flags: -march=pentiumpro -g -O2\n' >"$runtime/.complete"
link other-flags "$runtime/pick.o"
expect fail "a runtime built for another processor fails" "$WORK/other-flags.exe" "not from the i486 runtime"

echo "$PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]
