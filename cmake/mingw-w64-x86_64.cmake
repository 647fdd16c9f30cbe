# Cross-building the game for 64-bit Windows with mingw-w64 (Debian's
# g++-mingw-w64-x86-64-posix; the posix flavour brings std::thread):
#
#   cmake --preset windows -DSDL2_DIR=<SDL2 built for mingw>/lib/cmake/SDL2
#
# (the windows preset names this file; build-windows/ is its folder).
#
# scripts/build-windows.sh does all of it, SDL2 included. Where Wine is
# installed, the tests run under it (CMAKE_CROSSCOMPILING_EMULATOR).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VANTALOOP_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VANTALOOP_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VANTALOOP_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VANTALOOP_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VANTALOOP_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(VANTALOOP_WINE NAMES wine wine64)
  if(VANTALOOP_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VANTALOOP_WINE})
  endif()
endif()
