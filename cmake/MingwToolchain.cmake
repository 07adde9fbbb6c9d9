# The mingw-w64 cross toolchain for LUMORA_MINGW_PROCESSOR (i686 or x86_64), included by the
# toolchain file of each flavour: the win32-threads compilers, and libraries and headers from the
# cross root only.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${LUMORA_MINGW_PROCESSOR})
set(CMAKE_C_COMPILER ${LUMORA_MINGW_PROCESSOR}-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER ${LUMORA_MINGW_PROCESSOR}-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER ${LUMORA_MINGW_PROCESSOR}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LUMORA_MINGW_PROCESSOR}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The Wine loader that runs this flavour's programs, for CTest (scripts/build.sh passes the one
# scripts/common.sh names): the 32-bit one for i686, the 64-bit one for x86_64.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  if(LUMORA_MINGW_PROCESSOR STREQUAL "i686")
    set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
  else()
    set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
  endif()
endif()

# A flavour that names its processor (LUMORA_MINGW_ARCH_FLAGS) builds for it, and links the
# runtime rebuilt for it instead of Debian's: LUMORA_RUNTIME, the folder scripts/runtime.sh
# prints. A folder without the script's completion stamp is refused, so that a link never falls
# back on Debian's runtime for another processor. Both are options of the folder rather than
# cached flags: a build folder configured before takes them up, and so does one whose runtime
# was built anew for a new compiler; the compiler checks build and link with them too.
if(LUMORA_MINGW_ARCH_FLAGS)
  if(NOT EXISTS "${LUMORA_RUNTIME}/.complete")
    message(FATAL_ERROR "The ${LUMORA_MINGW_PROCESSOR} flavour links a runtime built for its processor: "
      "configure with -DLUMORA_RUNTIME=\"$(bash scripts/runtime.sh)\" (scripts/build.sh does); "
      "LUMORA_RUNTIME is \"${LUMORA_RUNTIME}\".")
  endif()
  set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES LUMORA_RUNTIME)
  add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:${LUMORA_MINGW_ARCH_FLAGS}>")
  add_link_options(-B${LUMORA_RUNTIME}/ -L${LUMORA_RUNTIME})
endif()

# A flavour that names CRTDLL as its C runtime (LUMORA_MINGW_CRT) is compiled for it as mingw-w64
# means it, __CRTDLL__ (its headers then take __MSVCRT_VERSION__ as 0), and its release links it in
# place of MSVCRT: the compiler's specs name -lmsvcrt among the libraries every link takes, and the
# runtime's crtdll.specs, written from them, names -lcrtdll there instead
# (LUMORA_RELEASE_LINK_OPTIONS, Windows.cmake). The test programs keep MSVCRT: GoogleTest's streams
# need functions that CRTDLL lacks.
if(LUMORA_MINGW_CRT STREQUAL "crtdll")
  if(NOT EXISTS "${LUMORA_RUNTIME}/crtdll.specs")
    message(FATAL_ERROR "The ${LUMORA_MINGW_PROCESSOR} flavour links CRTDLL, but the runtime \"${LUMORA_RUNTIME}\" "
      "has no crtdll.specs: an older scripts/runtime.sh made it.")
  endif()
  add_compile_definitions(__CRTDLL__)
  set(LUMORA_RELEASE_LINK_OPTIONS -specs=${LUMORA_RUNTIME}/crtdll.specs)
elseif(LUMORA_MINGW_CRT)
  message(FATAL_ERROR "Unknown C runtime LUMORA_MINGW_CRT=${LUMORA_MINGW_CRT} (crtdll, or none for MSVCRT)")
endif()
