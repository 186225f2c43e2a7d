# What both MinGW-w64 toolchains share; each sets CMAKE_SYSTEM_PROCESSOR first.
# The posix thread model is needed: GoogleTest does not build with the win32 one.
set(CMAKE_SYSTEM_NAME Windows)
set(LUMETRA_MINGW_TRIPLET ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)

set(CMAKE_C_COMPILER ${LUMETRA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LUMETRA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${LUMETRA_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LUMETRA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A program or library then needs only the system's own libraries (KERNEL32, msvcrt, COM).
# Qt for Windows and the Qt program share one C++ runtime instead: its DLLs ship with them.
if(NOT LUMETRA_MINGW_SHARED_RUNTIME)
  set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
  set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
  set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
set(ZLIB_USE_STATIC_LIBS ON)
