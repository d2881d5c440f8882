# 32-bit Linux with the host's GCC (g++-multilib): the portable test suite with the same data
# model as 32-bit Windows (4-byte pointers, size_t and long). Programs are linked statically and
# run under qemu-i386-static, so they need neither 32-bit libraries nor a kernel that runs
# 32-bit programs. Floating point in SSE2 registers, as on x86_64 (see mingw-i686.cmake).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32 -static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386-static)
# GoogleTest from Debian's sources, built with these flags (the packaged one is 64-bit).
set(KAPTOR_GTEST_FROM_SOURCES ON)
