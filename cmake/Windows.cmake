# Cross build with mingw-w64: the program and the test programs that run under Wine.
enable_testing()
set(LUMORA_WIN_FLAGS -static -static-libgcc -static-libstdc++)
# The Win32 ports, and the toolkit that makes and runs the native windows of the control models.
file(GLOB LUMORA_WIN32_PORT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/win32/ports/*.cpp)
add_library(lumora_win32_ports STATIC ${LUMORA_WIN32_PORT_SOURCES})
lumora_expose(win32_ports win32/ports)
target_include_directories(lumora_win32_ports PUBLIC ${LUMORA_INCLUDE_ROOTS}/win32_ports)
# COMDLG32 and SHELL32 are loaded when first used, not imported: see the dialog and shell ports.
target_link_libraries(lumora_win32_ports PUBLIC lumora_ports advapi32 gdi32 user32 kernel32)

file(GLOB LUMORA_TOOLKIT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/win32/toolkit/*.cpp
  ${CMAKE_SOURCE_DIR}/src/win32/toolkit/peers/*.cpp)
add_library(lumora_toolkit STATIC ${LUMORA_TOOLKIT_SOURCES})
lumora_expose(toolkit win32/toolkit)
target_include_directories(lumora_toolkit PUBLIC ${LUMORA_INCLUDE_ROOTS}/toolkit)
# The toolkit knows the control models and its host, not the window that uses it.
target_link_libraries(lumora_toolkit PUBLIC lumora_ui lumora_core lumora_win32_ports comctl32 gdi32 user32 kernel32)

# Everything the program and its Windows tests link.
add_library(lumora_win32 INTERFACE)
target_link_libraries(lumora_win32 INTERFACE lumora_form lumora_toolkit lumora_win32_ports)
foreach(target lumora_win32_ports lumora_toolkit)
  target_compile_options(${target} PRIVATE ${LUMORA_WARNINGS})
  target_compile_definitions(${target} PUBLIC WINVER=0x0400 _WIN32_WINNT=0x0400 _WIN32_IE=0x0300)
endforeach()
# The release has a size budget: the program's code is built for size, every function and datum in
# its own section so that the link drops what nothing calls.
# Everything runs on the one GUI thread, so function-local statics need no guard; nothing asks
# for a type at run time, so classes carry no type records beyond those exceptions need.
set(LUMORA_SIZE_FLAGS -Os -ffunction-sections -fdata-sections -fno-threadsafe-statics -fno-rtti)
foreach(layer ${LUMORA_PORTABLE_LAYERS})
  target_compile_options(${layer} PRIVATE ${LUMORA_SIZE_FLAGS})
endforeach()
target_compile_options(lumora_win32_ports PRIVATE ${LUMORA_SIZE_FLAGS})
target_compile_options(lumora_toolkit PRIVATE ${LUMORA_SIZE_FLAGS})

enable_language(RC)
set(LUMORA_RESOURCES "")
if(EXISTS ${CMAKE_SOURCE_DIR}/resources/lumora.rc)
  set(LUMORA_RESOURCES ${CMAKE_SOURCE_DIR}/resources/lumora.rc)
endif()
# The program's manifest: the program's alone.
set(LUMORA_MANIFEST ${CMAKE_SOURCE_DIR}/resources/manifest.rc)
set_property(SOURCE ${LUMORA_MANIFEST} APPEND PROPERTY OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/resources/lumora-manager.manifest)
# The program appears once the toolkit's entry point exists; the ports and their tests build
# without it.
if(EXISTS ${CMAKE_SOURCE_DIR}/src/win32/WinMain.cpp)
  add_executable(lumora-manager WIN32 ${CMAKE_SOURCE_DIR}/src/win32/WinMain.cpp
    ${CMAKE_SOURCE_DIR}/src/win32/Win9xImportShims.cpp
    ${CMAKE_SOURCE_DIR}/src/win32/ExceptionStrings.cpp ${LUMORA_RESOURCES} ${LUMORA_MANIFEST})
  target_link_libraries(lumora-manager PRIVATE lumora_win32)
  target_compile_options(lumora-manager PRIVATE ${LUMORA_WARNINGS} ${LUMORA_SIZE_FLAGS})
  # Two builds of one commit give the same bytes: the link writes no time into the image.
  target_link_options(lumora-manager PRIVATE ${LUMORA_WIN_FLAGS} -s -Wl,--gc-sections -Wl,--no-insert-timestamp)
  # The flavour's C runtime, where it is not the compiler's own (the toolchain file says).
  target_link_options(lumora-manager PRIVATE ${LUMORA_RELEASE_LINK_OPTIONS})
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # Windows 95 loads only images that ask for subsystem 4.0.
    target_link_options(lumora-manager PRIVATE -Wl,--subsystem,windows:4.0 -Wl,--major-os-version,4 -Wl,--minor-os-version,0)
    # Windows 9x never relocates a program, and a 32-bit program that is not relocated needs no
    # relocation table (older linkers never wrote one); the NT family then loads it at its
    # preferred address.
    target_link_options(lumora-manager PRIVATE -Wl,--disable-dynamicbase -Wl,--disable-reloc-section)
    # The release is stripped: its map names the functions and the inputs of what
    # tools/check-i486.sh finds.
    target_link_options(lumora-manager PRIVATE -Wl,-Map=$<TARGET_FILE_DIR:lumora-manager>/lumora-manager.map)
  endif()
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/wine/CMakeLists.txt)
  add_subdirectory(tests/wine)
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/bench/CMakeLists.txt)
  add_subdirectory(bench)
endif()
