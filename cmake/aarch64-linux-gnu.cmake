# Cross-building for 64-bit ARM on a Debian amd64 machine with arm64 as a foreign
# architecture: Debian's cross compiler, the arm64 libraries from their multiarch
# directories, and Qt's host tools (moc, rcc, uic) from the amd64 packages.
#   cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

# Libraries and headers of the target only; programs (moc, gzip, the emulator) of this machine.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(QT_HOST_PATH /usr)
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig)

# The tests, and the test discovery at build time, run under user-mode emulation.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static)
