# Shared by the mingw-w64 toolchains: set KAPTOR_MINGW_TRIPLET before including this file.
# The POSIX thread model gives std::thread and std::mutex; the runtime libraries are linked
# statically so that every binary needs nothing but the system's own DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KAPTOR_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KAPTOR_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KAPTOR_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KAPTOR_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
