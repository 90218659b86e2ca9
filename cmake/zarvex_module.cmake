# One static library per folder of src/, so a folder builds and tests on its own.
# zarvex_module(NAME [DEPENDS mod...] [LIBS lib...]) globs src/NAME/*.cpp into zarvex_NAME
# and adds it to the zarvex_core interface library.
function(zarvex_module name)
  cmake_parse_arguments(ARG "" "" "DEPENDS;LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(zarvex_${name} STATIC ${sources})
    set(scope PUBLIC)
  else()
    add_library(zarvex_${name} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(zarvex_${name} ${scope} ${PROJECT_SOURCE_DIR}/src)
  foreach(dep IN LISTS ARG_DEPENDS)
    target_link_libraries(zarvex_${name} ${scope} zarvex_${dep})
  endforeach()
  target_link_libraries(zarvex_${name} ${scope} ${ARG_LIBS} Threads::Threads)
  target_link_libraries(zarvex_core INTERFACE zarvex_${name})
endfunction()

# zarvex_gtest(NAME [LIBS lib...] [LABELS label...]) globs tests/NAME/*.cpp into the
# test program test_NAME, linked with GoogleTest's main and the given libraries.
function(zarvex_gtest name)
  cmake_parse_arguments(ARG "" "" "LIBS;LABELS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(test_${name} ${sources})
  target_link_libraries(test_${name} PRIVATE ${ARG_LIBS} zarvex_test_support GTest::gtest
                        GTest::gmock GTest::gtest_main)
  gtest_discover_tests(test_${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS "${ARG_LABELS}" TIMEOUT 600)
endfunction()
