# 32-bit x86 Linux with the system compiler (-m32, from g++-multilib): the portable
# core's tests as static programs, so that they run wherever the kernel runs 32-bit
# programs and under qemu-i386-static where it does not (no shared i386 libraries
# needed). scripts/ia32.sh decides which, each time a test runs.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
# 64-bit file offsets and inode numbers: without them readdir() stops at once with
# EOVERFLOW on file systems that hand out 64-bit values (ext4 does to qemu-i386-static,
# which runs as a 64-bit process), and the plug-in would find no file in the host's folder.
set(CMAKE_C_FLAGS_INIT "-m32 -D_FILE_OFFSET_BITS=64")
set(CMAKE_CXX_FLAGS_INIT "-m32 -D_FILE_OFFSET_BITS=64")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32 -static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -m32)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../../scripts/ia32.sh run)
