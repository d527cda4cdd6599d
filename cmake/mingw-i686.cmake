# Cross build for 32-bit Windows (the shipped programs), POSIX thread model
# (GoogleTest needs std::mutex).
set(VSETUP_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
