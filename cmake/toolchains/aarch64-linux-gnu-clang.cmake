# 64-bit ARM Linux with clang 14, using the headers, libraries and linker of Debian's GCC 12 cross
# toolchain (g++-12-aarch64-linux-gnu); run the programs under qemu-aarch64-static.
include(${CMAKE_CURRENT_LIST_DIR}/aarch64-linux-gnu-gcc.cmake)
set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_C_COMPILER_TARGET aarch64-linux-gnu)
set(CMAKE_CXX_COMPILER_TARGET aarch64-linux-gnu)
