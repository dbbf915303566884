# Cross-compiles for Windows with MinGW-w64, win32 thread model: the
# programs link no pthread emulation; code that needs a thread uses
# CreateThread.
#
# MINGW_ARCH chooses the target: i686 (the default: the 32-bit programs we
# ship) or x86_64. The x86_64 build is for machines that cannot run 32-bit
# processes, where 32-bit Wine cannot start: the same sources are then built
# and tested under 64-bit Wine.
if(NOT MINGW_ARCH)
    if(DEFINED ENV{MINGW_ARCH})
        set(MINGW_ARCH $ENV{MINGW_ARCH})
    else()
        set(MINGW_ARCH i686)
    endif()
endif()
set(MINGW_ARCH ${MINGW_ARCH} CACHE STRING "MinGW target: i686 or x86_64")

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${MINGW_ARCH})

set(MINGW_TRIPLE ${MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER   ${MINGW_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER  ${MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests run under Wine in a prefix private to the build tree.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine/wine-run)
