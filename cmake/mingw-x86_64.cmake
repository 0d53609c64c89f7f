# Cross build for 64-bit Windows with mingw-w64 (posix threads: GoogleTest needs std::mutex).
set(MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
