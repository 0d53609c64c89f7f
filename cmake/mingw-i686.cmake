# Cross build for 32-bit Windows. It compiles here; nothing runs it (wine64 cannot).
set(MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
