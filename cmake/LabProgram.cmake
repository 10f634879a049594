# orv_lab_program(NAME SOURCES... [GUI]): a test-only Windows program that
# lands in bin/ beside the test program. Console programs use wmain.
function(orv_lab_program name)
  cmake_parse_arguments(ARG "GUI" "" "" ${ARGN})
  if(ARG_GUI)
    add_executable(${name} WIN32 ${ARG_UNPARSED_ARGUMENTS})
  else()
    add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  endif()
  target_compile_options(${name} PRIVATE ${ORV_WARNINGS})
  target_link_options(${name} PRIVATE -municode)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  add_dependencies(orvtests ${name})
endfunction()
