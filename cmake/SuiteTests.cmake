# orv_suite_tests(TARGET [OWN_PROCESS Suite.Case...])
#
# Registers a GoogleTest program with CTest as one test per suite: each suite
# runs all its cases in one process (--gtest_filter=Suite.*), so that a suite
# pays for one start of a 32-bit Wine process instead of one per case. The
# suites are read from the program itself (--gtest_list_tests) when CTest
# runs, through the cross-compiling emulator, and read again only when the
# program is newer than the list.
#
# A case named under OWN_PROCESS runs in a process of its own, as a CTest
# test named Suite.Case, and its suite's process leaves it out; say at the
# call why it needs one.
function(orv_suite_tests target)
  cmake_parse_arguments(ARG "" "" "OWN_PROCESS" ${ARGN})
  set(script "${CMAKE_CURRENT_BINARY_DIR}/${target}_suites.cmake")
  set(list_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_tests.txt")
  file(GENERATE OUTPUT "${script}" CONTENT
"set(ORV_SUITE_PROGRAM \"$<TARGET_FILE:${target}>\")
set(ORV_SUITE_EMULATOR \"${CMAKE_CROSSCOMPILING_EMULATOR}\")
set(ORV_SUITE_LIST_FILE \"${list_file}\")
set(ORV_SUITE_OWN_PROCESS \"${ARG_OWN_PROCESS}\")
set(ORV_SUITE_CMAKE \"${CMAKE_COMMAND}\")
include(\"${PROJECT_SOURCE_DIR}/cmake/SuiteTestsAtTestTime.cmake\")
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${script}")
endfunction()
