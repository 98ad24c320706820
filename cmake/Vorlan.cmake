# Shared build settings of the Vorlan targets.

# Warnings are a property of our own targets only. The test script builds with VORLAN_WERROR, so
# that a new warning fails it while the build is at none.
function(vorlan_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(VORLAN_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

if(VORLAN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# The core rounds to float exactly where it stores a float, so stored files and drawings are the
# same bit for bit in every build. No fused multiply-add, and no GCC vectorizing: GCC 12 at -O2
# pairs the two halves of a projection and divides the unrounded view coordinates.
function(vorlan_exact_float target)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -ffp-contract=off -fno-tree-vectorize)
  elseif(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    target_compile_options(${target} PRIVATE -ffp-contract=off)
  endif()
endfunction()

# A core library: standard library only, no Qt include paths.
function(vorlan_core_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  vorlan_warnings(${name})
  vorlan_exact_float(${name})
  set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
endfunction()

# A test that hangs fails after this many seconds instead of holding up the whole run.
set(VORLAN_TEST_TIMEOUT 60)

# vorlan_add_test(name source libs...): one GoogleTest binary per source, registered with ctest.
function(vorlan_add_test name source)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  target_compile_definitions(${name} PRIVATE VORLAN_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
                                             VORLAN_SAMPLES="${PROJECT_SOURCE_DIR}/samples")
  vorlan_warnings(${name})
  # Times of day read the same on every machine: in UTC.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${VORLAN_TEST_TIMEOUT}
                       ENVIRONMENT "TZ=UTC0")
endfunction()

# vorlan_check_no_qt(folders...): an ALL target that fails the build when a source in one of the
# core folders includes a Qt header. It reruns only when a scanned file changes.
function(vorlan_check_no_qt)
  set(sources)
  foreach(folder IN LISTS ARGN)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${folder}/*.h"
         "${PROJECT_SOURCE_DIR}/${folder}/*.cpp")
    list(APPEND sources ${found})
  endforeach()
  set(stamp "${PROJECT_BINARY_DIR}/core-without-qt.stamp")
  add_custom_command(OUTPUT "${stamp}"
                     COMMAND ${CMAKE_COMMAND} "-DFILES=${sources}" "-DSTAMP=${stamp}"
                             -P "${PROJECT_SOURCE_DIR}/cmake/CheckNoQt.cmake"
                     DEPENDS ${sources} "${PROJECT_SOURCE_DIR}/cmake/CheckNoQt.cmake"
                     COMMENT "Checking that the core folders include no Qt header"
                     VERBATIM)
  add_custom_target(vorlan_core_without_qt ALL DEPENDS "${stamp}")
endfunction()
