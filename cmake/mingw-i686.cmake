# 32-bit Windows with mingw-w64: the hosts most ActiveX controls live in (tests/i686/run.sh runs
# them under 32-bit Wine). Floating point in SSE2 registers, as on x86_64: the x87 unit's wider
# intermediates would draw the simulator's chart differently.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
set(KAPTOR_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
