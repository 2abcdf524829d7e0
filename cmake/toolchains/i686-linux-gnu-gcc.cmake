# 32-bit x86 Linux with GCC 12 and -m32 (g++-12-multilib); the programs run natively. The
# toolchain asks for nothing but -m32: the build selects SSE2 arithmetic over x87 itself.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc-12)
set(CMAKE_CXX_COMPILER g++-12)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
# The kernel's 32-bit headers (asm/) from linux-libc-dev-i386-cross: g++-12-multilib does not
# provide them, and gcc-multilib, which does, removes the ARM cross compilers.
set(CMAKE_C_STANDARD_INCLUDE_DIRECTORIES /usr/i686-linux-gnu/include)
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES /usr/i686-linux-gnu/include)
