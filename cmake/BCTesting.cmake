# Test, fuzz-target and benchmark helpers shared by every folder under tests/.
include(GoogleTest)

if(BC_BUILD_TESTS AND NOT TARGET gtest)
  # Built from the distribution's sources so the same version serves both
  # the native and the mingw build.
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

# bc_add_gtest(<name> SOURCES ... [LIBS ...])
# Natively every test case is its own CTest test; under Wine one CTest test
# runs the whole program, since each Wine start costs about a second.
function(bc_add_gtest name)
  if(NOT BC_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE bccore ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE BC_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
  bc_target_defaults(${name})
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
    set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# bc_add_fuzzer(<name> SOURCE <file> CORPUS <dir>)
# With BC_BUILD_FUZZERS the target links libFuzzer; otherwise it is linked
# with a replay main and runs over its seed corpus as an ordinary test, so
# every saved finding stays a regression test.
function(bc_add_fuzzer name)
  cmake_parse_arguments(ARG "" "SOURCE;CORPUS" "" ${ARGN})
  if(BC_BUILD_FUZZERS)
    add_executable(fuzz_${name} ${ARG_SOURCE})
    target_link_libraries(fuzz_${name} PRIVATE bccore)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    bc_target_defaults(fuzz_${name})
    set_property(GLOBAL APPEND PROPERTY BC_FUZZ_TARGETS "${name}=${ARG_CORPUS}")
  elseif(BC_BUILD_TESTS)
    add_executable(fuzz_${name}_replay ${ARG_SOURCE} ${PROJECT_SOURCE_DIR}/tests/fuzz/FuzzReplayMain.cpp)
    target_link_libraries(fuzz_${name}_replay PRIVATE bccore)
    bc_target_defaults(fuzz_${name}_replay)
    add_test(NAME fuzz_${name}_replay COMMAND fuzz_${name}_replay ${ARG_CORPUS})
  endif()
endfunction()

# bc_add_benchmark(<name> SOURCES ... [LIBS ...]): native Release builds only.
function(bc_add_benchmark name)
  if(NOT BC_BUILD_BENCHMARKS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(bench_${name} ${ARG_SOURCES})
  target_link_libraries(bench_${name} PRIVATE bccore ${ARG_LIBS} benchmark::benchmark_main)
  bc_target_defaults(bench_${name})
endfunction()
