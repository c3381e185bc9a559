# clang-14 targeting i686-w64-mingw32 against the mingw-w64 headers and GCC's libstdc++.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(_triple i686-w64-mingw32)
set(_gcc /usr/lib/gcc/${_triple}/12-posix) # clang cannot parse Debian's "12-posix" directory name
set(CMAKE_SYSROOT /usr/${_triple})
foreach(_l C CXX ASM)
  set(CMAKE_${_l}_COMPILER_TARGET ${_triple})
endforeach()
set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_ASM_COMPILER clang-14)
set(CMAKE_RC_COMPILER ${_triple}-windres)
set(CMAKE_AR /usr/bin/${_triple}-ar)
set(CMAKE_RANLIB /usr/bin/${_triple}-ranlib)
set(CMAKE_LINKER /usr/bin/${_triple}-ld)
# GCC predefines these for mingw; without them clang emits an inline type_info::operator==
# that clashes with the one in libstdc++.a.
set(CMAKE_CXX_FLAGS_INIT
    "-D__GXX_TYPEINFO_EQUALITY_INLINE=0 -D__GXX_MERGED_TYPEINFO_NAMES=0 -Wno-unused-command-line-argument -nostdinc++ -isystem ${_gcc}/include/c++ -isystem ${_gcc}/include/c++/${_triple} -isystem ${_gcc}/include/c++/backward")
# -B: link GCC's crtbegin.o/crtend.o, which register the unwind tables; mingw-w64's own
# are empty, and without the registration every thrown exception ends the program.
foreach(_k EXE SHARED MODULE)
  set(CMAKE_${_k}_LINKER_FLAGS_INIT "-static -pthread -B${_gcc} -L${_gcc}")
endforeach()
set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
