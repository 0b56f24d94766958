# Cross-builds the Windows programs with Debian's MinGW-w64 (the POSIX threads variant, for
# std::thread and std::mutex). The runtime is linked in, so the executables need no DLL.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MORVANE_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MORVANE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MORVANE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MORVANE_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MORVANE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Tests run under Wine. Debian's wine64 keeps its loader out of the PATH.
find_program(MORVANE_WINE64 NAMES wine64 wine PATHS /usr/lib/wine /usr/lib/x86_64-linux-gnu/wine)
if(MORVANE_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MORVANE_WINE64})
endif()
