# Cross-compiling the Windows program with MinGW-w64 (x86_64). The posix thread model gives
# std::mutex, which GoogleTest needs; the program itself uses one thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(FRAMLET_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${FRAMLET_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FRAMLET_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${FRAMLET_TRIPLET}-windres)
# libjpeg-turbo is cross-built by scripts/setup into the cache folder.
set(CMAKE_FIND_ROOT_PATH /usr/${FRAMLET_TRIPLET} ${CMAKE_CURRENT_LIST_DIR}/../.cache/libjpeg/${FRAMLET_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
