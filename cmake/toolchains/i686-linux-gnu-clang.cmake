# 32-bit x86 Linux with clang 14 and -m32, using GCC 12's 32-bit libraries (g++-12-multilib); the
# programs run natively. The build selects SSE2 arithmetic over x87 itself.
include(${CMAKE_CURRENT_LIST_DIR}/i686-linux-gnu-gcc.cmake)
set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
