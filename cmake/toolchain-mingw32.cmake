# 32-bit Windows with Debian's mingw-w64, posix-threads variant (std::thread and friends
# need it); used for Norvex.dll and for the dependencies built in scripts/build-windows.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(NORVEX_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${NORVEX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NORVEX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${NORVEX_MINGW_TRIPLE}-windres)
find_program(CMAKE_AR ${NORVEX_MINGW_TRIPLE}-ar)
find_program(CMAKE_RANLIB ${NORVEX_MINGW_TRIPLE}-ranlib)

# Headers and libraries come from the target's sysroot (and any prefix the caller adds to
# CMAKE_FIND_ROOT_PATH), never from the build machine; programs run on the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${NORVEX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
