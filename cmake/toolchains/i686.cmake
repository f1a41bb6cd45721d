# Cross build for Linux on 32-bit x86, run under qemu-i386.
set(QUADRIXEL_CROSS_TRIPLE i686-linux-gnu)
set(QUADRIXEL_CROSS_PROCESSOR i686)
set(QUADRIXEL_CROSS_EMULATOR qemu-i386)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
