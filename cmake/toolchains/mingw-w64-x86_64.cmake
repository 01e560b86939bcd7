# Cross-build for 64-bit Windows: it runs the Windows tests where 32-bit programs cannot run.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
# Debian's /usr/bin/wine starts the 32-bit loader whenever wine32 is installed, and that loader
# cannot start on a machine without 32-bit support: a 64-bit exe goes straight to the 64-bit one.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../../scripts/wine64)
