# Cross-building for Windows x86-64 with Debian's MinGW-w64 (the POSIX-thread
# flavour, package g++-mingw-w64-x86-64-posix).  Programs built here run on
# this machine through Wine: CTest and test discovery start them through the
# crosscompiling emulator, which a build may override with
# -DCMAKE_CROSSCOMPILING_EMULATOR=...
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MORAVEL_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MORAVEL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MORAVEL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MORAVEL_MINGW_TRIPLET}-windres)
set(CMAKE_OBJDUMP ${MORAVEL_MINGW_TRIPLET}-objdump CACHE FILEPATH "objdump of the target")

# Libraries and headers of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${MORAVEL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian's Wine puts its 64-bit loader outside PATH.
find_program(MORAVEL_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CACHE)
if(MORAVEL_WINE AND NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MORAVEL_WINE})
endif()
