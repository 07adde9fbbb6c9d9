# The release for Windows 9x and the NT family.
set(LUMORA_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
