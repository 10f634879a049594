# Cross compilation for the test bench build. This machine's kernel cannot
# execute 32-bit Linux processes, so Wine's 32-bit loader cannot run here;
# the tests run the same sources built as a 64-bit program under wine64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(ORV_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-common.cmake)
