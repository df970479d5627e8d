# Build helpers shared by every folder.
#
# voren_library(NAME SOURCES ... [DEPS ...] [SYSLIBS ...])
#   A static library, plus NAME_asan built with AddressSanitizer and
#   UndefinedBehaviorSanitizer when VOREN_SANITIZERS is on. DEPS are other
#   voren libraries (their _asan twins are linked into the _asan variant);
#   SYSLIBS are linked into both.
#
# voren_unit_tests(AREA SOURCES ... DEPS ...)
#   A GoogleTest executable unit_AREA whose tests CTest lists one by one,
#   plus unit_AREA_asan run as the single test "asan.AREA".

option(VOREN_SANITIZERS "Also build and run the unit tests under ASan+UBSan" ON)
set(VOREN_SAN_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer
                    -fno-sanitize-recover=undefined)

find_package(GTest REQUIRED)
include(GoogleTest)

# Libraries named in DEPS that do not exist yet (a folder without sources) are skipped.
function(voren_existing out)
  set(found "")
  foreach(dep ${ARGN})
    if(TARGET ${dep})
      list(APPEND found ${dep})
    endif()
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

function(voren_library name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS;SYSLIBS" ${ARGN})
  if(NOT A_SOURCES)
    return()
  endif()
  voren_existing(A_DEPS ${A_DEPS})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_DEPS} ${A_SYSLIBS})
  if(VOREN_SANITIZERS)
    add_library(${name}_asan STATIC ${A_SOURCES})
    target_include_directories(${name}_asan PUBLIC ${PROJECT_SOURCE_DIR})
    list(TRANSFORM A_DEPS APPEND _asan OUTPUT_VARIABLE asan_deps)
    target_link_libraries(${name}_asan PUBLIC ${asan_deps} ${A_SYSLIBS})
    target_compile_options(${name}_asan PUBLIC ${VOREN_SAN_FLAGS} -O0 -g1)
    target_link_options(${name}_asan PUBLIC ${VOREN_SAN_FLAGS})
  endif()
endfunction()

function(voren_unit_tests area)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  voren_existing(A_DEPS ${A_DEPS})
  add_executable(unit_${area} ${A_SOURCES})
  target_link_libraries(unit_${area} PRIVATE ${A_DEPS} GTest::gtest_main)
  gtest_discover_tests(unit_${area} DISCOVERY_MODE PRE_TEST
                       PROPERTIES ENVIRONMENT "VOREN_BUILD_DIR=${PROJECT_BINARY_DIR}")
  if(VOREN_SANITIZERS)
    add_executable(unit_${area}_asan ${A_SOURCES})
    list(TRANSFORM A_DEPS APPEND _asan OUTPUT_VARIABLE asan_deps)
    target_link_libraries(unit_${area}_asan PRIVATE ${asan_deps} GTest::gtest_main)
    target_compile_options(unit_${area}_asan PRIVATE ${VOREN_SAN_FLAGS} -O0 -g1)
    target_link_options(unit_${area}_asan PRIVATE ${VOREN_SAN_FLAGS})
    add_test(NAME asan.${area} COMMAND unit_${area}_asan)
    set_tests_properties(asan.${area} PROPERTIES ENVIRONMENT
      "VOREN_BUILD_DIR=${PROJECT_BINARY_DIR};ASAN_OPTIONS=detect_leaks=1:abort_on_error=0;UBSAN_OPTIONS=print_stacktrace=1")
  endif()
endfunction()
