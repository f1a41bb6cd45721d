# Cross build for Linux on 32-bit ARM (ARMv7 with hardware floating point),
# run under qemu-arm.
set(QUADRIXEL_CROSS_TRIPLE arm-linux-gnueabihf)
set(QUADRIXEL_CROSS_PROCESSOR arm)
set(QUADRIXEL_CROSS_EMULATOR qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
