# Native build: the portable system's unit tests, benchmarks and fuzz targets.
if(LUMORA_SANITIZE)
  set(LUMORA_SAN_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  foreach(layer ${LUMORA_PORTABLE_LAYERS})
    target_compile_options(${layer} PUBLIC ${LUMORA_SAN_FLAGS})
    target_link_options(${layer} PUBLIC ${LUMORA_SAN_FLAGS})
  endforeach()
endif()

enable_testing()
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)

file(GLOB LUMORA_FAKE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fakes/*.cpp)
file(GLOB LUMORA_UNIT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_library(lumora_fakes STATIC ${LUMORA_FAKE_SOURCES})
target_include_directories(lumora_fakes PUBLIC ${CMAKE_SOURCE_DIR}/tests)
# The fake registry keeps binary values as bytes in the platform's order (core/LittleEndian.h).
target_link_libraries(lumora_fakes PUBLIC lumora_ports lumora_core)
target_compile_options(lumora_fakes PRIVATE ${LUMORA_WARNINGS})

# The window state's fields as the stores declare them (cmake/StoreFields.cmake), for the rule
# tests and the control map: a field added to a store is in both without a list to edit.
set(LUMORA_GENERATED ${CMAKE_BINARY_DIR}/generated)
file(GLOB LUMORA_STORE_HEADERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*/*Store.h)
add_custom_command(OUTPUT ${LUMORA_GENERATED}/StoreFields.inc
  COMMAND ${CMAKE_COMMAND} -DSRC=${CMAKE_SOURCE_DIR}/src -DOUT=${LUMORA_GENERATED}/StoreFields.inc
          -P ${CMAKE_SOURCE_DIR}/cmake/StoreFields.cmake
  DEPENDS ${CMAKE_SOURCE_DIR}/cmake/StoreFields.cmake ${CMAKE_SOURCE_DIR}/src/form/TForm1.h ${LUMORA_STORE_HEADERS}
  COMMENT "Reading the stores' fields")
add_custom_target(lumora_store_fields DEPENDS ${LUMORA_GENERATED}/StoreFields.inc)

# The reader of Wine's relay trace is portable: its tests run here, over a trace captured under Wine.
add_executable(unit_tests ${LUMORA_UNIT_SOURCES} ${CMAKE_SOURCE_DIR}/tests/wine/RelayTrace.cpp)
target_compile_definitions(unit_tests PRIVATE LUMORA_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
target_link_libraries(unit_tests PRIVATE lumora_fakes lumora_form GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
target_compile_options(unit_tests PRIVATE ${LUMORA_WARNINGS})
target_include_directories(unit_tests PRIVATE ${LUMORA_GENERATED})
add_dependencies(unit_tests lumora_store_fields)
include(GoogleTest)
# Each test runs behind tests/gtest-run.sh, which fails a test program that ended part-way.
set_target_properties(unit_tests PROPERTIES CROSSCOMPILING_EMULATOR "/bin/sh;${CMAKE_SOURCE_DIR}/tests/gtest-run.sh")
gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 60)

if(EXISTS ${CMAKE_SOURCE_DIR}/bench/CMakeLists.txt)
  add_subdirectory(bench)
endif()
if(LUMORA_FUZZ AND EXISTS ${CMAKE_SOURCE_DIR}/tests/fuzz/CMakeLists.txt)
  add_subdirectory(tests/fuzz)
endif()

# The control map's writer (docs/control-map.md), from the pages and stores on the fake machine.
add_executable(control_map ${CMAKE_SOURCE_DIR}/tests/map/ControlMap.cpp)
target_link_libraries(control_map PRIVATE lumora_fakes lumora_form)
target_compile_options(control_map PRIVATE ${LUMORA_WARNINGS})
target_include_directories(control_map PRIVATE ${LUMORA_GENERATED})
add_dependencies(control_map lumora_store_fields)
