# CMake toolchain for Windows x64 with Debian's MinGW-w64 cross compiler
# (g++-mingw-w64-x86-64-posix: the posix thread model, which std::thread needs).
#   cmake -DCMAKE_TOOLCHAIN_FILE=packaging/windows/mingw-w64-x86_64.cmake \
#         -DCMAKE_PREFIX_PATH=PREFIX ...
# Libraries, headers and CMake packages are looked for only in the MinGW
# sysroot and in the prefixes given (CMAKE_PREFIX_PATH, CMAKE_FIND_ROOT_PATH),
# never among this machine's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PLUMWICK_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PLUMWICK_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PLUMWICK_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${PLUMWICK_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${PLUMWICK_MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${PLUMWICK_MINGW_TRIPLET}-ranlib CACHE FILEPATH "")

# The prefixes given count as roots, so that ONLY below finds what is in them.
set(CMAKE_FIND_ROOT_PATH /usr/${PLUMWICK_MINGW_TRIPLET} ${CMAKE_FIND_ROOT_PATH} ${CMAKE_PREFIX_PATH})
list(REMOVE_DUPLICATES CMAKE_FIND_ROOT_PATH)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config would otherwise answer with this machine's own libraries.
set(PLUMWICK_PKG_CONFIG_DIRS "")
foreach(root IN LISTS CMAKE_FIND_ROOT_PATH)
    string(APPEND PLUMWICK_PKG_CONFIG_DIRS "${root}/lib/pkgconfig:")
endforeach()
set(ENV{PKG_CONFIG_LIBDIR} "${PLUMWICK_PKG_CONFIG_DIRS}")
set(ENV{PKG_CONFIG_PATH} "")

# -static: libgcc, libstdc++ and winpthread go into each exe and DLL, so that a
# program needs no MinGW DLL beside it (import libraries, such as OpenAL32's,
# still link to their DLL). --no-insert-timestamp: the same sources give the
# same PE bytes.
foreach(kind EXE SHARED MODULE)
    set(CMAKE_${kind}_LINKER_FLAGS_INIT "-static -Wl,--no-insert-timestamp")
endforeach()
