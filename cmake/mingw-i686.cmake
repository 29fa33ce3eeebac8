# Cross-compiling the Windows program with MinGW-w64 (i686).
set(CMAKE_SYSTEM_PROCESSOR X86)
set(FRAMLET_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
