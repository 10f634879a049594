# Shared part of the mingw-w64 toolchains. The posix thread model gives
# std::thread and std::mutex; winpthread is linked statically.
set(CMAKE_C_COMPILER ${ORV_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORV_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ORV_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ORV_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
