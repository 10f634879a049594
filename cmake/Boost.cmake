# Exposes only the Boost headers to the cross compiler: a folder in the build
# tree holds a "boost" link to the host's /usr/include/boost, so the host's
# other headers in /usr/include never reach the Windows build.
set(ORV_BOOST_INCLUDE ${CMAKE_BINARY_DIR}/boost-include)
if(NOT EXISTS /usr/include/boost/signals2.hpp)
  message(FATAL_ERROR "Boost headers not found: run tools/setup")
endif()
file(MAKE_DIRECTORY ${ORV_BOOST_INCLUDE})
file(CREATE_LINK /usr/include/boost ${ORV_BOOST_INCLUDE}/boost SYMBOLIC)
add_library(boost_headers INTERFACE)
target_include_directories(boost_headers SYSTEM INTERFACE ${ORV_BOOST_INCLUDE})
