# Cross build for Linux on 64-bit ARM, run under qemu-aarch64.
set(QUADRIXEL_CROSS_TRIPLE aarch64-linux-gnu)
set(QUADRIXEL_CROSS_PROCESSOR aarch64)
set(QUADRIXEL_CROSS_EMULATOR qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
