# The release for Windows 9x and the NT family, which runs on the i486 and later: its code, and
# the runtime it links (rebuilt by scripts/runtime.sh, which scripts/build.sh runs first), use
# only the instructions of the i486, tuned for the Pentium.
set(LUMORA_MINGW_PROCESSOR i686)
set(LUMORA_MINGW_ARCH_FLAGS -march=i486 -mtune=pentium)
# Its C runtime is CRTDLL.DLL, which every Windows from Windows 95 and NT 3.1 on ships; Windows 95
# has MSVCRT.DLL only once Internet Explorer 4 or the Visual C++ 6 runtime brought it.
set(LUMORA_MINGW_CRT crtdll)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
