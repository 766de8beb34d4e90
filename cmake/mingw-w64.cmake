# Cross build for 64-bit Windows with Debian's MinGW-w64 (the posix thread model, which
# std::thread and friends need), running the built programs under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything linked in statically, so Wine needs none of the compiler's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Debian's wine package provides the wine command; wine64 alone has only its loader. Programs
# run headless in a Wine prefix of the build's own, with no Mono or Gecko installer prompts, and
# with the Japanese locale, whose ANSI code page 932 is the one the program is written for (Wine
# takes it from LC_ALL even where the Unix locale is not installed). Only Wine's notes about
# unimplemented calls are silenced: its error messages are the one account of a test that Wine
# ends before the test can print anything. tools/wine-retry starts a program again when Wine
# itself could not start it.
find_program(BRACKWIN_WINE NAMES wine wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(BRACKWIN_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR
        ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-retry ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
        WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix WINEDEBUG=fixme-all WINEDLLOVERRIDES=mscoree,mshtml=
        LC_ALL=ja_JP.UTF-8
        ${BRACKWIN_WINE})
endif()
