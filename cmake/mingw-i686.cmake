# 32-bit Windows with mingw-w64: the hosts most ActiveX controls live in. Built and linked
# only; this machine cannot run 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KAPTOR_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
