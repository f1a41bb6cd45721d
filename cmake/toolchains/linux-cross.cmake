# What the Linux cross builds share; each toolchain file sets
# QUADRIXEL_CROSS_TRIPLE (Debian's name of the target, as in
# aarch64-linux-gnu), QUADRIXEL_CROSS_PROCESSOR and QUADRIXEL_CROSS_EMULATOR,
# then includes this file. The compilers are Debian's cross compilers; the
# programs are linked statically, so that qemu-user needs no copy of the
# target's shared libraries (and because it does not start threads of
# dynamically linked i686 programs).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${QUADRIXEL_CROSS_PROCESSOR})
set(CMAKE_C_COMPILER ${QUADRIXEL_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${QUADRIXEL_CROSS_TRIPLE}-g++)
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QUADRIXEL_CROSS_EMULATOR})
set(CMAKE_FIND_ROOT_PATH /usr/${QUADRIXEL_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
