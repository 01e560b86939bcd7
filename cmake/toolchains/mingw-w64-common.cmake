# What both Windows cross-builds share, for the CMAKE_SYSTEM_PROCESSOR that the including
# toolchain file sets: Debian's mingw-w64 for it (posix thread model, for std::mutex), statically
# linked, so the program needs no DLL beside the Windows system ones.
set(CMAKE_SYSTEM_NAME Windows)
set(TK_MINGW ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${TK_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TK_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TK_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TK_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
