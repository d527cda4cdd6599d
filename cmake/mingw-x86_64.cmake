# Cross build of the same sources for 64-bit Windows: the programs the tests
# and the demo run under Wine on machines whose kernel runs no 32-bit code.
set(VSETUP_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
