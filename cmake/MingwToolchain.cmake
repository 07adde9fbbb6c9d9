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
