# Included by CTest (see SuiteTests.cmake): reads the program's cases and
# adds one test per suite, plus one per case that needs a process of its own.
# Expects ORV_SUITE_PROGRAM, ORV_SUITE_EMULATOR, ORV_SUITE_LIST_FILE,
# ORV_SUITE_OWN_PROCESS and ORV_SUITE_CMAKE.

# The test program stops a case that runs longer than this (see TestMain.cpp);
# a suite's time limit leaves each of its cases that long, and a minute more
# for the start.
set(orv_case_seconds 300)

if(NOT EXISTS "${ORV_SUITE_PROGRAM}")
  add_test(orvtests_missing "${ORV_SUITE_CMAKE}" -E false)
  message(WARNING "${ORV_SUITE_PROGRAM} does not exist: build the test bench")
  return()
endif()

if(NOT EXISTS "${ORV_SUITE_LIST_FILE}" OR "${ORV_SUITE_PROGRAM}" IS_NEWER_THAN "${ORV_SUITE_LIST_FILE}")
  execute_process(COMMAND ${ORV_SUITE_EMULATOR} "${ORV_SUITE_PROGRAM}" --gtest_list_tests
                  OUTPUT_VARIABLE listing RESULT_VARIABLE status TIMEOUT 300)
  if(NOT status EQUAL 0)
    add_test(orvtests_listing_failed "${ORV_SUITE_CMAKE}" -E false)
    message(WARNING "listing the cases of ${ORV_SUITE_PROGRAM} failed (${status}):\n${listing}")
    return()
  endif()
  file(WRITE "${ORV_SUITE_LIST_FILE}" "${listing}")
endif()
file(STRINGS "${ORV_SUITE_LIST_FILE}" lines)

# Suite lines end with a dot; case lines are indented below them.
set(suites "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "[ \t]*#.*$" "" line "${line}")
  string(REGEX REPLACE "\r$" "" line "${line}")
  if(line MATCHES "^([A-Za-z0-9_/]+)\\.$")
    set(suite "${CMAKE_MATCH_1}")
    list(APPEND suites "${suite}")
    set(cases_${suite} 0)
  elseif(line MATCHES "^  ([A-Za-z0-9_/]+)$")
    math(EXPR cases_${suite} "${cases_${suite}} + 1")
  endif()
endforeach()

foreach(suite IN LISTS suites)
  set(filter "${suite}.*")
  set(own "")
  foreach(name IN LISTS ORV_SUITE_OWN_PROCESS)
    if(name MATCHES "^${suite}\\.")
      list(APPEND own "${name}")
    endif()
  endforeach()
  list(LENGTH own owned)
  if(owned GREATER 0)
    string(REPLACE ";" ":" excluded "${own}")
    set(filter "${filter}-${excluded}")
  endif()
  math(EXPR shared "${cases_${suite}} - ${owned}")
  if(shared GREATER 0)
    math(EXPR limit "${shared} * ${orv_case_seconds} + 60")
    add_test("${suite}" ${ORV_SUITE_EMULATOR} "${ORV_SUITE_PROGRAM}" "--gtest_filter=${filter}")
    set_tests_properties("${suite}" PROPERTIES TIMEOUT ${limit})
  endif()
  foreach(name IN LISTS own)
    math(EXPR limit "${orv_case_seconds} + 60")
    add_test("${name}" ${ORV_SUITE_EMULATOR} "${ORV_SUITE_PROGRAM}" "--gtest_filter=${name}")
    set_tests_properties("${name}" PROPERTIES TIMEOUT ${limit})
  endforeach()
endforeach()
