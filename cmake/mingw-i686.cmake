# 32-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-i686).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(PELMORA_MINGW_TRIPLE i686-w64-mingw32)
set(PELMORA_WINE_LOADER /usr/lib/wine/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# double is IEEE double, as on every other target: SSE2 arithmetic, not the
# x87 unit's excess precision (which GCC does not even round at assignments
# in C++). long double stays the x87 80-bit type. Every processor that runs a
# current Windows has SSE2. The launcher calls in with a stack aligned to 4
# bytes only: functions that keep SSE values on the stack realign it.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mincoming-stack-boundary=2")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mincoming-stack-boundary=2")
