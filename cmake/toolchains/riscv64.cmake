# Cross build for Linux on 64-bit RISC-V, run under qemu-riscv64.
set(QUADRIXEL_CROSS_TRIPLE riscv64-linux-gnu)
set(QUADRIXEL_CROSS_PROCESSOR riscv64)
set(QUADRIXEL_CROSS_EMULATOR qemu-riscv64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
