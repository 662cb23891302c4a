# Options every target of the suite links: warnings, and floating point that
# the compiler may not rearrange (filter and velocity results must match to the bit).
add_library(suite_options INTERFACE)
add_library(suite::options ALIAS suite_options)
target_compile_options(suite_options INTERFACE
  -Wall -Wextra -Wshadow -Wfloat-conversion -ffp-contract=off -fno-fast-math)
# The test run builds with warnings as errors, so that none creeps in.
option(SUITE_WERROR "Treat compiler warnings as errors" OFF)
if(SUITE_WERROR)
  target_compile_options(suite_options INTERFACE -Werror)
endif()
# The programs convert no char string to QString implicitly: every text is a
# QStringLiteral, a QLatin1String or decoded on purpose, so that no Chinese
# text is ever taken in the wrong encoding. Test programs (marked
# SUITE_TEST_PROGRAM) compare with plain ASCII literals and are left out.
target_compile_definitions(suite_options INTERFACE
  $<$<NOT:$<BOOL:$<TARGET_PROPERTY:SUITE_TEST_PROGRAM>>>:QT_NO_CAST_FROM_ASCII>)
if(SUITE_FUZZERS)
  # Coverage for the fuzzers in every library they link.
  target_compile_options(suite_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  target_link_options(suite_options INTERFACE -fsanitize=address,undefined)
elseif(SUITE_TSAN)
  target_compile_options(suite_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(suite_options INTERFACE -fsanitize=thread)
elseif(SUITE_SANITIZE)
  target_compile_options(suite_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(suite_options INTERFACE -fsanitize=address,undefined)
endif()

# The test run links with lld where it is installed (SUITE_LLD): some sixty
# programs with the sanitizers' runtimes and line tables link in a fraction
# of the time GNU ld takes. Without lld the build links as it always has.
option(SUITE_LLD "Link with lld when it is installed" OFF)
if(SUITE_LLD)
  find_program(SUITE_LLD_PROGRAM ld.lld)
  if(SUITE_LLD_PROGRAM)
    target_link_options(suite_options INTERFACE -fuse-ld=lld)
  endif()
endif()

# The test run's quick build of the test programs: their own sources without
# optimisation and compiled together a few at a time (the libraries they test
# keep the build's optimisation). Parsing the same test and Qt headers once
# per batch instead of once per file halves the time the test run builds.
option(SUITE_QUICK_TESTS "Build the test programs unoptimised and as unity builds" OFF)
function(suite_quick_test_build name)
  if(SUITE_QUICK_TESTS)
    # A fixture in an anonymous namespace is fine in a test file of its own;
    # in a unity batch GCC would take it for one shared by a header.
    target_compile_options(${name} PRIVATE -O0 -Wno-subobject-linkage)
    set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
  endif()
endfunction()

# Reports of the test programs (one XML file each), counted by scripts/run-tests.sh.
set(SUITE_TEST_RESULTS ${CMAKE_BINARY_DIR}/test-results)
file(MAKE_DIRECTORY ${SUITE_TEST_RESULTS})

# suite_add_gtest(NAME SOURCES... LIBS ... LABELS ...)
function(suite_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE suite::options GTest::gtest GTest::gtest_main ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES SUITE_TEST_PROGRAM ON)
  suite_quick_test_build(${name})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_LABELS)
    set(ARG_LABELS fast)
  endif()
  # Each program writes a report of its test cases, which the test run counts.
  set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;GTEST_OUTPUT=xml:${SUITE_TEST_RESULTS}/${name}.xml")
endfunction()

# suite_add_qtest(NAME SOURCES... LIBS ... LABELS ...): a Qt Test program (offscreen).
function(suite_add_qtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE suite::options Qt6::Test ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES SUITE_TEST_PROGRAM ON)
  suite_quick_test_build(${name})
  # JUnit report for the test run's count, and the usual text on standard output.
  add_test(NAME ${name} COMMAND ${name} -o ${SUITE_TEST_RESULTS}/${name}.xml,junitxml -o -,txt)
  if(NOT ARG_LABELS)
    set(ARG_LABELS gui)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# suite_add_fuzzer(NAME SOURCES... LIBS ...): a libFuzzer target, only in the fuzz build.
function(suite_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT SUITE_FUZZERS)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE suite::options ${ARG_LIBS})
  set_property(GLOBAL APPEND PROPERTY SUITE_FUZZERS ${name})
  # `cmake --build --target fuzzers` builds the fuzz targets and only what they link.
  if(NOT TARGET fuzzers)
    add_custom_target(fuzzers)
  endif()
  add_dependencies(fuzzers ${name})
endfunction()
