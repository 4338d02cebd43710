# The receiver's processor: 32-bit little-endian MIPS, built with Debian's cross compiler
# (g++-mipsel-linux-gnu) and run under user-mode emulation (qemu-user) for the tests.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR mipsel)

set(CMAKE_C_COMPILER mipsel-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER mipsel-linux-gnu-g++)

set(DIRO_TARGET_SYSROOT /usr/mipsel-linux-gnu)
set(CMAKE_FIND_ROOT_PATH ${DIRO_TARGET_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under the emulator, which finds the target's loader and libraries here.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-mipsel -L ${DIRO_TARGET_SYSROOT})

set(DIRO_TARGET_TOOL_PREFIX mipsel-linux-gnu-)
