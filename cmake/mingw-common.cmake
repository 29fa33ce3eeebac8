# Shared by the two MinGW-w64 toolchain files, which set FRAMLET_TRIPLET and the processor.
# The posix thread model gives std::mutex, which GoogleTest needs; the program itself uses one
# thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${FRAMLET_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FRAMLET_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${FRAMLET_TRIPLET}-windres)
# libjpeg-turbo is cross-built by scripts/setup into the cache folder.
set(CMAKE_FIND_ROOT_PATH /usr/${FRAMLET_TRIPLET} ${CMAKE_CURRENT_LIST_DIR}/../.cache/libjpeg/${FRAMLET_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
