# Cross build for Linux on 64-bit IBM Z (big-endian), run under qemu-s390x.
set(QUADRIXEL_CROSS_TRIPLE s390x-linux-gnu)
set(QUADRIXEL_CROSS_PROCESSOR s390x)
set(QUADRIXEL_CROSS_EMULATOR qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
