#!/usr/bin/env bash
# Prints the folder of the i686 release's runtime, building it first when this machine has none:
# the mingw-w64 start-up objects and libraries, libgcc, libgcc_eh, libstdc++ and libsupc++,
# rebuilt for the i486 from Debian's own sources of the installed cross toolchain, by that
# toolchain's compiler. Debian's prebuilt runtime is made for the Pentium Pro (conditional moves,
# P6 FPU compares), which the i486, the Pentium and the K6 lack.
#
# The release's C runtime is CRTDLL.DLL, the one Windows 95 ships (MSVCRT.DLL came later): the
# runtime is compiled for it (__CRTDLL__) and holds its import library, libcrtdll.a, with
# mingw-w64's compatibility members, and crtdll.specs, which a link gives the compiler driver
# (-specs=) to take -lcrtdll where the driver's own specs name -lmsvcrt. libmsvcrt.a stays for the
# flavour's test programs, whose GoogleTest and C++ streams need functions CRTDLL lacks.
#
# The folder is cached outside the work tree, under /var/cache/lumora-runtime (root) or
# ~/.cache/lumora-runtime (LUMORA_RUNTIME_CACHE overrides), named after a key made of the cross
# compiler's version, the source packages' versions and the target flags. Only a folder holding
# the completion stamp for that key is used; anything else there is built again. The first build
# takes some 10 minutes on two shared cores. Progress goes to standard error, the folder alone to
# standard output. --status prints the folder and fails unless it is complete, building nothing;
# --key prints what the folder is keyed by.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

TARGET=i686-w64-mingw32
CC_PACKAGE=g++-mingw-w64-i686-win32
AS_PACKAGE=binutils-mingw-w64-i686
CRT_PACKAGE=mingw-w64-i686-dev
# The processor the runtime is made for, and the flags Debian builds its target libraries with.
ARCH=i486
TUNE=pentium
TARGET_CFLAGS="-g -O2"
# Bump when the way the runtime is built changes what it holds.
RECIPE=3
# The C runtime DLL the release links, as mingw-w64's headers are told it.
CRT_DLL=crtdll
CRT_DEFINES="-D__CRTDLL__"
JOBS="$(nproc 2>/dev/null || echo 2)"
# The Windows DLLs' import libraries that a link of the program or its tests takes: the driver's
# own, CMake's standard ones for C++ on Windows, and those the project names.
IMPORTS=(kernel32 user32 gdi32 winspool shell32 ole32 oleaut32 uuid comdlg32 advapi32 comctl32)

log() { printf '== runtime: %s\n' "$*" >&2; }

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        die "not root and no sudo: cannot run $*"
    fi
}

installed_version() {
    dpkg-query -W -f='${Version}' "$1" 2>/dev/null || true
}

# --- what the runtime is made from

cc_version="$(installed_version "$CC_PACKAGE")"
[ -n "$cc_version" ] || die "$CC_PACKAGE is not installed (bash scripts/setup.sh installs it)"
cc_release="$($TARGET-gcc-win32 -dumpversion)"
gcc_major="${cc_release%%[!0-9]*}"
# Debian versions the cross compiler as <gcc source version>+<packaging version>[+bN].
gcc_source_version="$(sed -E 's/\+[0-9.]+(\+b[0-9]+)?$//' <<<"$cc_version")"
gcc_source_package="gcc-$gcc_major-source"
crt_version="$(installed_version "$CRT_PACKAGE")"
[ -n "$crt_version" ] || die "$CRT_PACKAGE is not installed (bash scripts/setup.sh installs it)"
as_version="$(installed_version "$AS_PACKAGE")"

KEY="cross compiler: $CC_PACKAGE $cc_version ($cc_release)
assembler: $AS_PACKAGE $as_version
gcc sources: $gcc_source_package $gcc_source_version
crt sources: mingw-w64 $crt_version
target flags: -march=$ARCH -mtune=$TUNE $TARGET_CFLAGS
c runtime: $CRT_DLL ($CRT_DEFINES)
recipe: $RECIPE"

if [ -n "${LUMORA_RUNTIME_CACHE:-}" ]; then
    CACHE="$LUMORA_RUNTIME_CACHE"
elif [ "$(id -u)" -eq 0 ]; then
    CACHE=/var/cache/lumora-runtime
else
    CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/lumora-runtime"
fi
NAME="$ARCH-$(sha256sum <<<"$KEY" | cut -c1-16)"
OUT="$CACHE/$NAME"
WORK="$CACHE/$NAME.work"
STAMP="$OUT/.complete"

complete() {
    [ -f "$STAMP" ] && [ "$(sed -n '1,/^recipe:/p' "$STAMP")" = "$KEY" ]
}

case "${1:-}" in
"") ;;
--key)
    printf '%s\n' "$KEY"
    exit 0
    ;;
--status)
    printf '%s\n' "$OUT"
    complete || die "no complete runtime for this toolchain in $OUT"
    exit 0
    ;;
*) die "usage: runtime.sh [--status | --key]" ;;
esac

mkdir -p "$CACHE"
# One build per key at a time; a second caller waits and then finds it done.
exec 9>"$CACHE/$NAME.lock"
flock 9
if complete; then
    printf '%s\n' "$OUT"
    exit 0
fi

log "no complete runtime for this toolchain in $OUT: building it (some 10 minutes on two cores)"
STARTED=$SECONDS
rm -rf "$OUT" "$WORK"
mkdir -p "$WORK"
LOG="$WORK/build.log"
: >"$LOG"

# Runs a build step with its output in the log; on failure shows the log's end. The closing line
# names the step, since the CRT's steps run beside the others.
step() {
    local what="$1" began=$SECONDS
    shift
    log "$what"
    if ! "$@" >>"$LOG" 2>&1 </dev/null; then
        tail -n 40 "$LOG" >&2
        die "runtime build failed at: $what (log: $LOG)"
    fi
    log "  $((SECONDS - began)) s: $what"
}

# --- Debian's sources

export DEBIAN_FRONTEND=noninteractive
APT_UPDATED=0
apt_update() {
    # The index of a foreign architecture may fail to download; what matters is what is
    # found afterwards.
    [ $APT_UPDATED -eq 1 ] || as_root apt-get update -q >>"$LOG" 2>&1 </dev/null || true
    APT_UPDATED=1
}

need() {
    local missing=() p name
    for p in "$@"; do
        name="${p%%=*}"
        if [ "$name" != "$p" ]; then
            [ "$(installed_version "$name")" = "${p#*=}" ] && continue
        elif dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            continue
        fi
        missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing ${missing[*]}"
    if ! as_root apt-get install -y -q --no-install-recommends "${missing[@]}" >>"$LOG" 2>&1 </dev/null; then
        apt_update
        as_root apt-get install -y -q --no-install-recommends "${missing[@]}" >>"$LOG" 2>&1 </dev/null ||
            return 1
    fi
}

need g++ make patch xz-utils bzip2 dpkg-dev libgmp-dev libmpfr-dev libmpc-dev ||
    die "the host packages for building the runtime cannot be installed (log: $LOG)"
need "$gcc_source_package=$gcc_source_version" ||
    die "Debian's $gcc_source_package $gcc_source_version, the sources of the installed cross compiler," \
        "cannot be had: no i486 runtime"

# apt-get source needs a deb-src entry for the suite the packages come from.
add_deb_src() {
    local deb822=/etc/apt/sources.list.d/debian.sources list=/etc/apt/sources.list
    if [ -f "$deb822" ] && ! grep -qE '^Types:.*deb-src' "$deb822"; then
        log "adding deb-src to $deb822"
        local tmp
        tmp="$(mktemp)"
        awk 'BEGIN { RS = ""; ORS = "\n\n" }
             /URIs:[^\n]*\/debian\/?([ \n]|$)/ { sub(/Types: deb/, "Types: deb deb-src") } { print }' "$deb822" >"$tmp"
        as_root cp "$tmp" "$deb822"
        rm -f "$tmp"
    elif [ -f "$list" ] && ! grep -qE '^deb-src ' "$list"; then
        log "adding deb-src to $list"
        sed -nE 's/^deb (.*\/debian\/? .*)$/deb-src \1/p' "$list" | as_root tee -a "$list" >/dev/null
    fi
    APT_UPDATED=0
    apt_update
}
SRC="$WORK/src"
mkdir -p "$SRC"
if ! (cd "$SRC" && apt-get source -q --print-uris "mingw-w64=$crt_version") >>"$LOG" 2>&1; then
    add_deb_src
    (cd "$SRC" && apt-get source -q --print-uris "mingw-w64=$crt_version") >>"$LOG" 2>&1 ||
        die "Debian's mingw-w64 $crt_version source package cannot be had (no deb-src entry serves it): no i486 runtime"
fi
(cd "$SRC" && apt-get source -q --download-only "mingw-w64=$crt_version") >>"$LOG" 2>&1 ||
    die "Debian's mingw-w64 $crt_version source package cannot be downloaded (log: $LOG): no i486 runtime"
step "unpacking mingw-w64 $crt_version" sh -c "cd '$SRC' && dpkg-source -x mingw-w64_*.dsc crt"
CRT_SRC="$SRC/crt/mingw-w64-crt"
[ -x "$CRT_SRC/configure" ] || die "the mingw-w64 source package holds no mingw-w64-crt/configure"
# The import check holds the release's CRTDLL imports to a copy of the definition file the import
# library is made from: they must be the same.
cmp -s "$CRT_SRC/lib32/$CRT_DLL.def" "$ROOT/tools/win9x/$CRT_DLL.def" ||
    die "mingw-w64 $crt_version's lib32/$CRT_DLL.def differs from tools/win9x/$CRT_DLL.def, which the" \
        "import check reads: copy it there and say so in tools/win9x/README.md"

# The driver's specs name the C runtime among the libraries of every link (*libgcc); these take
# CRTDLL's import library there instead.
SPECS="$WORK/$CRT_DLL.specs"
$TARGET-gcc-win32 -dumpspecs | awk -v lib="-l$CRT_DLL" '
    /^\*libgcc:$/ { print; getline; n = gsub(/-lmsvcrt( |$)/, lib " "); sub(/ $/, ""); print; found = n == 1; exit }
    END { exit !found }' >"$SPECS" || die "the driver's specs name no -lmsvcrt in *libgcc: cannot link $CRT_DLL"

# --- the mingw-w64 CRT, by Debian's cross compiler told the processor

# It is built beside the rest, with a log of its own: its configure script and gcc's run on one
# core each.
CRT_BUILD="$WORK/crt-build"
# Its makefile makes lib32/ on the way to the whole set only.
mkdir -p "$CRT_BUILD/lib32"
CRT_PIECES=(lib32/crt2.o lib32/libmingw32.a lib32/libmingwex.a
    lib32/libmoldname.a lib32/lib$CRT_DLL.a lib32/libmsvcrt.a)
for dll in "${IMPORTS[@]}"; do CRT_PIECES+=("lib32/lib$dll.a"); done
CRT_LOG="$WORK/crt-build.log"
# In a process group of its own, so that a failure elsewhere ends it with all it started.
set -m
(
    LOG="$CRT_LOG"
    : >"$LOG"
    # As Debian configures it (debian/rules): the 32-bit libraries only. Its makefile compiles
    # everything for MSVCRT 7.0 (-D__MSVCRT_VERSION__=0x700); CRTDLL's version, which the headers
    # take from __CRTDLL__, replaces that.
    step "configuring mingw-w64-crt $crt_version" sh -c 'cd "$1" && shift && "$@"' _ "$CRT_BUILD" \
        "$CRT_SRC/configure" --host=$TARGET --prefix="$WORK/install/crt" --disable-lib64 \
        --enable-lib32 CC="$TARGET-gcc-win32" \
        CFLAGS="$TARGET_CFLAGS -march=$ARCH -mtune=$TUNE -U__MSVCRT_VERSION__ $CRT_DEFINES"
    step "building the CRT's start-up objects, libraries and import libraries" \
        nice -n 19 make -C "$CRT_BUILD" -j "$JOBS" "${CRT_PIECES[@]}"
    # crtdll.def marks _onexit DATA, so the import library has no function of that name, and the
    # start-up code's call of it (atexit) would be patched in the code at each start by a run-time
    # pseudo-relocation. This member calls it through the import instead.
    cat >"$CRT_BUILD/crtdll_onexit.c" <<'EOF'
#include <stdlib.h>
extern _onexit_t(__cdecl *__MINGW_IMP_SYMBOL(_onexit))(_onexit_t);
_onexit_t __cdecl _onexit(_onexit_t func)
{
    return __MINGW_IMP_SYMBOL(_onexit)(func);
}
EOF
    step "compiling _onexit for lib$CRT_DLL.a" sh -c 'cd "$1" && shift && "$@"' _ "$CRT_BUILD" \
        $TARGET-gcc-win32 $TARGET_CFLAGS -march=$ARCH -mtune=$TUNE $CRT_DEFINES -Wall -Wextra -Werror \
        -c crtdll_onexit.c -o lib32/crtdll_onexit.o
    step "adding _onexit to lib$CRT_DLL.a" \
        $TARGET-ar rs "$CRT_BUILD/lib32/lib$CRT_DLL.a" "$CRT_BUILD/lib32/crtdll_onexit.o"
) &
CRT_JOB=$!
set +m
trap 'kill -- "-$CRT_JOB" 2>/dev/null || true; wait' EXIT

tarball="$(ls /usr/src/gcc-"$gcc_major"/gcc-*.tar.xz 2>/dev/null | head -n 1)"
[ -n "$tarball" ] || die "$gcc_source_package holds no gcc tarball under /usr/src/gcc-$gcc_major"
# The test suites and the libraries of other languages are left out: only C and C++ are built.
# The other front ends' folders stay: the configuration reads their options and target hooks.
step "unpacking $(basename "$tarball")" tar -xJf "$tarball" -C "$SRC" \
    --exclude='*/gcc/testsuite' --exclude='*/gcc/ada' --exclude='*/libgo' --exclude='*/libphobos' \
    --exclude='*/libgfortran' --exclude='*/libsanitizer' --exclude='*/gnattools' --exclude='*/libada'
GCC_SRC="$(ls -d "$SRC"/gcc-*/ | head -n 1)"
GCC_SRC="${GCC_SRC%/}"
# Debian's tarball comes without the manuals' sources, and Debian's own patch for that lets the
# compiler build without them. Of the rest of Debian's series for this release, none changes
# what the Windows runtime is compiled from (its branch update is switched off).
step "applying Debian's gcc-gfdl-build patch" \
    patch -d "$GCC_SRC" -p2 -i "/usr/src/gcc-$gcc_major/debian/patches/gcc-gfdl-build.diff"

# --- libgcc, libstdc++ and libsupc++, by the installed cross compiler told the processor

# The installed compiler is built from these very sources (its version is in the key), so the
# libraries are compiled by it rather than by a compiler built anew, which took two thirds of the
# time. They come out as a compiler built anew made them but for two things of Debian's build of
# it: its identification strings read 12-win32, and it makes unaligned SSE moves (Debian's patch
# for bug 939559), which only libgcc's SSE2 conversions of _Float16 use. The build folder is
# still configured as a cross compiler for the i486 would be: libgcc takes its make variables and
# some target headers from the compiler's folder (gcc/), and only those are generated there.

# The mingw target looks for the system headers in <sysroot>/mingw/include whatever it is told;
# this sysroot shows it Debian's headers and libraries there, without touching /usr.
SYSROOT="$WORK/sysroot"
mkdir -p "$SYSROOT/mingw"
ln -s "/usr/$TARGET/include" "$SYSROOT/mingw/include"
ln -s "/usr/$TARGET/lib" "$SYSROOT/mingw/lib"

GCC_BUILD="$WORK/gcc-build"
mkdir -p "$GCC_BUILD"
# Debian's options for its win32-threads compiler (i686-w64-mingw32-g++-win32 -v), less the
# languages, LTO and translations this build does not need; the processor is the one change.
# A shared libgcc keeps libgcc_eh apart from libgcc as in Debian's; libstdc++ is built static
# only, as the release links it, and without the precompiled headers, which nothing here reads.
GCC_CONFIGURE=(
    --build=x86_64-linux-gnu --host=x86_64-linux-gnu --target=$TARGET
    --prefix="$WORK/install" --with-sysroot="$SYSROOT"
    --enable-shared=libgcc --enable-static --disable-multilib --disable-bootstrap
    --with-system-zlib --without-included-gettext --disable-nls
    --enable-libstdcxx-time=yes --enable-version-specific-runtime-libs --enable-fully-dynamic-string
    --enable-languages=c,c++ --disable-lto --enable-threads=win32
    --with-as=/usr/bin/$TARGET-as --with-ld=/usr/bin/$TARGET-ld
    --enable-libstdcxx-filesystem-ts=yes --disable-sjlj-exceptions --with-dwarf2
    --with-headers --with-arch=$ARCH --with-tune=$TUNE --disable-libstdcxx-pch
)
# Of the host, only the generators of the target headers are built: no optimisation or debug
# data to wait for.
step "configuring gcc $cc_release for $ARCH" sh -c 'cd "$1" && shift && "$@"' _ "$GCC_BUILD" \
    env CFLAGS="-O1 -g0" CXXFLAGS="-O1 -g0" \
    CFLAGS_FOR_TARGET="$TARGET_CFLAGS" CXXFLAGS_FOR_TARGET="$TARGET_CFLAGS" \
    "$GCC_SRC/configure" "${GCC_CONFIGURE[@]}"

# The top-level makefile's target compilers, put in the place of the in-tree ones the folder would
# build: -nostdinc++ and the -L options as the top level gives its own, the driver and the
# processor flags changed. Being part of the compiler's command, those flags reach every configure
# test and compile of the target libraries, as the defaults of a compiler configured --with-arch
# would.
# The pieces of libgcc the runtime takes are made, not its shared library nor libgcov.
# So are the C runtime's: the headers are told it, and the link tests of the configuration see its
# exports, through the CRTDLL import library Debian built from the same sources (this runtime's
# own is built beside; the names are the same).
{
    printf 'TARGET_CC = %s\n' "$TARGET-gcc-win32 -march=$ARCH -mtune=$TUNE $CRT_DEFINES -specs=$SPECS"
    printf 'TARGET_CXX = %s\n' "$TARGET-g++-win32 -march=$ARCH -mtune=$TUNE $CRT_DEFINES -specs=$SPECS"
    cat <<'EOF'
CC_FOR_TARGET = $(STAGE_CC_WRAPPER) $(TARGET_CC)
GCC_FOR_TARGET = $(STAGE_CC_WRAPPER) $(TARGET_CC)
LIBSTDCXX_DIRS = -L$$r/$(TARGET_SUBDIR)/libstdc++-v3/src \
    -L$$r/$(TARGET_SUBDIR)/libstdc++-v3/src/.libs \
    -L$$r/$(TARGET_SUBDIR)/libstdc++-v3/libsupc++/.libs
CXX_FOR_TARGET = $(STAGE_CC_WRAPPER) $(TARGET_CXX) -nostdinc++ \
    `if test -f $$r/$(TARGET_SUBDIR)/libstdc++-v3/scripts/testsuite_flags; then \
    $(SHELL) $$r/$(TARGET_SUBDIR)/libstdc++-v3/scripts/testsuite_flags --build-includes; \
    else echo -funconfigured-libstdc++-v3 ; fi` $(LIBSTDCXX_DIRS)
RAW_CXX_FOR_TARGET = $(STAGE_CC_WRAPPER) $(TARGET_CC) -shared-libgcc -nostdinc++ $(LIBSTDCXX_DIRS)
TARGET-target-libgcc = libgcc.a libgcc_eh.a crtbegin.o crtend.o crtfastmath.o

# What libgcc reads from gcc/, made by the compiler's own rules as all-gcc runs them, but for the
# compiler that libgcc.mvars would wait for.
.PHONY: gcc-target-headers
gcc-target-headers: configure-gcc all-build-libiberty
	@r=`${PWD_COMMAND}`; export r; \
	s=`cd $(srcdir); ${PWD_COMMAND}`; export s; \
	$(HOST_EXPORTS) \
	(cd $(HOST_SUBDIR)/gcc && \
	  $(MAKE) $(BASE_FLAGS_TO_PASS) $(EXTRA_HOST_FLAGS) $(STAGE1_FLAGS_TO_PASS) $(EXTRA_GCC_FLAGS) \
		-o xgcc -o specs libgcc.mvars tm.h tconfig.h options.h insn-constants.h insn-modes.h)
configure-target-libgcc: gcc-target-headers
EOF
} >"$GCC_BUILD/runtime.mk"
# -o all-gcc: nothing of the compiler is built.
GCC_MAKE=(nice -n 19 make -C "$GCC_BUILD" -j "$JOBS" -f Makefile -f runtime.mk -o all-gcc)
step "generating the target headers libgcc reads" "${GCC_MAKE[@]}" gcc-target-headers
step "building libgcc" "${GCC_MAKE[@]}" all-target-libgcc
step "building libstdc++" "${GCC_MAKE[@]}" all-target-libstdc++-v3
wait "$CRT_JOB" || die "runtime build failed at the CRT (log: $CRT_LOG)"

# --- the runtime folder, flat: what the driver asks for by name, found through -B and -L

STAGE="$WORK/out"
mkdir -p "$STAGE"
take() {
    local piece
    for piece in "$@"; do
        [ -s "$piece" ] || die "the runtime build made no $piece"
        cp "$piece" "$STAGE/"
    done
}
LIBGCC="$GCC_BUILD/$TARGET/libgcc"
LIBSTDCXX="$GCC_BUILD/$TARGET/libstdc++-v3"
for piece in "${CRT_PIECES[@]}"; do take "$CRT_BUILD/$piece"; done
# The driver takes crtbegin.o and crtend.o from libgcc's folder before the CRT's: so does this.
take "$LIBGCC/crtbegin.o" "$LIBGCC/crtend.o" "$LIBGCC/crtfastmath.o" "$LIBGCC/libgcc.a" "$LIBGCC/libgcc_eh.a"
take "$LIBSTDCXX/src/.libs/libstdc++.a" "$LIBSTDCXX/libsupc++/.libs/libsupc++.a"
take "$LIBSTDCXX/src/filesystem/.libs/libstdc++fs.a"
take "$SPECS"

# A C++ program with an exception, linked as the release links, must take every runtime piece
# from the new folder and none from Debian's, import its C runtime from CRTDLL.DLL alone, and need
# no pseudo-relocation of its code at start-up. Its exception is a class of its own, as the
# release's messages avoid the library's reference-counted string (src/win32/ExceptionStrings.cpp),
# whose object brings std::random_device, which needs functions CRTDLL lacks.
probe="$WORK/probe"
mkdir -p "$probe"
cat >"$probe/probe.cpp" <<'EOF'
#include <exception>
struct probe_error : std::exception {
    const char *what() const noexcept override { return "probe"; }
};
int main(int argc, char **) {
    try {
        if (argc > 3) throw probe_error();
    } catch (const std::exception &e) {
        return static_cast<int>(e.what()[0]);
    }
    return 0;
}
EOF
log "linking a probe program against the new runtime"
if ! $TARGET-g++-win32 -march=$ARCH -mtune=$TUNE $CRT_DEFINES -O2 -c "$probe/probe.cpp" -o "$probe/probe.o" \
    >"$probe/trace" 2>&1 ||
    ! $TARGET-g++-win32 -mwindows -static -static-libgcc -static-libstdc++ -B"$STAGE/" -L"$STAGE" \
        -specs="$STAGE/$CRT_DLL.specs" -Wl,-t \
        "$probe/probe.o" -o "$probe/probe.exe" "${IMPORTS[@]/#/-l}" >"$probe/trace" 2>&1; then
    cat "$probe/trace" >&2
    die "the probe program does not link against the new runtime"
fi
# ld -t names each input: a file, or an archive with its member.
sed -nE 's/^\(?([^()]*\.(o|a))\)?.*$/\1/p' "$probe/trace" | grep -E '^/' | sort -u >"$probe/inputs"
grep -vE "^($STAGE/|$probe/)" "$probe/inputs" >"$probe/foreign" || true
if [ -s "$probe/foreign" ] || ! grep -q "^$STAGE/crt2.o$" "$probe/inputs"; then
    cat "$probe/foreign" >&2
    die "the probe program took runtime pieces from outside the new runtime"
fi
dlls="$($TARGET-objdump -p "$probe/probe.exe" | sed -nE 's/^\tDLL Name: (.*)$/\1/p' | tr 'a-z' 'A-Z' | sort | paste -sd' ')"
case " $dlls " in
*" ${CRT_DLL^^}.DLL "*) ;;
*) die "the probe program imports no ${CRT_DLL^^}.DLL (it imports $dlls)" ;;
esac
case " $dlls " in *" MSVCRT.DLL "*) die "the probe program imports MSVCRT.DLL besides ${CRT_DLL^^}.DLL" ;; esac
# The list of run-time pseudo-relocations, which the linker writes for data imported without
# __imp_, is empty.
relocs="$($TARGET-nm "$probe/probe.exe" | awk '/ ___RUNTIME_PSEUDO_RELOC_LIST(_END)?__$/ { print $1 }' | sort -u | wc -l)"
[ "$relocs" -eq 1 ] || die "the probe program needs run-time pseudo-relocations (or has no list of them)"

mv "$STAGE" "$OUT"
{
    printf '%s\n' "$KEY"
    printf 'built in: %s s\n' "$((SECONDS - STARTED))"
} >"$STAMP.tmp"
mv "$STAMP.tmp" "$STAMP"
rm -rf "$WORK"
log "built in $((SECONDS - STARTED)) s: $OUT"
printf '%s\n' "$OUT"
