# The plain logic as a 32-bit Linux program (g++ -m32, static), run through
# qemu-user: it executes the i686 code paths of the shipped programs (the
# CRC-32 folding, structure layouts, 32-bit size arithmetic) on kernels that
# cannot run 32-bit programs themselves. No sanitizers, no fuzz targets.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32 -static")
set(CMAKE_LIBRARY_PATH /usr/lib32)
set(ZLIB_USE_STATIC_LIBS ON)
set(VSETUP_SANITIZE OFF CACHE BOOL "" FORCE)
# -cpu max: every instruction set extension qemu can emulate.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386-static -cpu max)
