# Cross-compiling the Windows program with MinGW-w64 (x86_64).
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(FRAMLET_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
