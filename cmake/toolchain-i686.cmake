# 32-bit x86 build on a 64-bit Debian machine, the architecture the
# point-of-sale host runs on. Compiler: Debian's g++-i686-linux-gnu; libraries:
# the multiarch i386 packages under /usr/lib/i386-linux-gnu (qtbase5-dev:i386,
# libgtest-dev:i386, ...). No sysroot: multiarch keeps both worlds side by side
# under /usr, so the search has to be steered to the i386 one.
#
# Usage: cmake -S . -B build-i386 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686.cmake
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER i686-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER i686-linux-gnu-g++)

set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(_vesanu_i386_libdir /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE})

# find_package() and find_library() look in /usr/lib/<arch> for the arch
# above; keep the amd64 directories out so that nothing 64-bit is picked up
# by a module that searches more widely.
list(APPEND CMAKE_IGNORE_PATH
    /usr/lib/x86_64-linux-gnu
    /usr/lib/x86_64-linux-gnu/cmake
    /lib/x86_64-linux-gnu)
set(Qt5_DIR ${_vesanu_i386_libdir}/cmake/Qt5 CACHE PATH "Qt 5 for i386")
set(GTest_DIR ${_vesanu_i386_libdir}/cmake/GTest CACHE PATH "GoogleTest for i386")

# Qt's i386 CMake files name /usr/lib/qt5/bin/moc and rcc, which
# qtbase5-dev-tools provides as native amd64 programs (Multi-Arch: foreign):
# code generators run on the build machine, so nothing needs changing there.

# pkg-config has no i686 wrapper on Debian; point it at the i386 .pc files.
set(ENV{PKG_CONFIG_LIBDIR} "${_vesanu_i386_libdir}/pkgconfig:/usr/share/pkgconfig")

# The amd64 kernel runs i386 programs directly (the loader comes with
# libc6:i386), or hands them to qemu through binfmt_misc where it cannot
# (scripts/test-i386), so test discovery and CTest name no emulator.
