# Cross-compiling to 64-bit Windows with MinGW-w64.
set(MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
