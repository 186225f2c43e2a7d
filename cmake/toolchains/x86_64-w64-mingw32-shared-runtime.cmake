# Cross-build for Windows, 64 bits, with the C++ runtime as DLLs: for Qt for Windows and
# the Qt program, which must share one runtime across Qt's DLLs and the program.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LUMETRA_MINGW_SHARED_RUNTIME ON)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
