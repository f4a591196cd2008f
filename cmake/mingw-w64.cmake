# Cross build for 64-bit Windows with Debian's mingw-w64 (the posix thread
# flavour, which std::thread and std::mutex need), run under Wine:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DVESKARD_GUI=OFF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VESKARD_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VESKARD_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VESKARD_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VESKARD_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VESKARD_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime is linked in, so a test program runs under Wine without copying
# libgcc, libstdc++ or winpthread DLLs next to it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Debian's wine64 package keeps the 64-bit loader out of PATH; /usr/bin/wine
# finds it too but warns about the missing 32-bit half on every start.
find_program(VESKARD_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(VESKARD_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VESKARD_WINE})
endif()
