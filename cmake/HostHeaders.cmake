# Exposes one folder of the host's headers to the cross compiler: a folder in
# the build tree holds a link named like the host folder, so the host's other
# headers in /usr/include never reach the Windows build.
#   orv_host_headers(TARGET boost_headers FOLDER boost PROBE signals2.hpp)
function(orv_host_headers)
  cmake_parse_arguments(ARG "" "TARGET;FOLDER;PROBE" "" ${ARGN})
  if(NOT EXISTS /usr/include/${ARG_FOLDER}/${ARG_PROBE})
    message(FATAL_ERROR "/usr/include/${ARG_FOLDER} not found: run tools/setup")
  endif()
  set(include ${CMAKE_BINARY_DIR}/host-include/${ARG_FOLDER})
  file(MAKE_DIRECTORY ${include})
  file(CREATE_LINK /usr/include/${ARG_FOLDER} ${include}/${ARG_FOLDER} SYMBOLIC)
  add_library(${ARG_TARGET} INTERFACE)
  target_include_directories(${ARG_TARGET} SYSTEM INTERFACE ${include})
endfunction()
