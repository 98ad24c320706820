# Shared build settings of the Vorlan targets.

# Warnings are a property of our own targets only.
function(vorlan_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

if(VORLAN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# A core library: standard library only, no Qt include paths.
function(vorlan_core_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  vorlan_warnings(${name})
  set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
endfunction()

# vorlan_add_test(name source libs...): one GoogleTest binary per source, registered with ctest.
function(vorlan_add_test name source)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE VORLAN_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
                                             VORLAN_SAMPLES="${PROJECT_SOURCE_DIR}/samples")
  vorlan_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()
