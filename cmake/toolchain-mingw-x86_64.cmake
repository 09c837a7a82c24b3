# Cross build for 64-bit Windows. Used to run the test suite under a 64-bit
# Wine on machines whose kernel cannot execute 32-bit code; the shipped
# library is the i686 build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LDX_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
