# What both MinGW-w64 toolchain files share: the compilers of one target
# triplet (KIVO_MINGW_TRIPLET) with POSIX threads (GoogleTest and std::thread
# want them; the runtime is linked statically), and the target's own headers
# and libraries. ctest runs the programs through the tree's Wine runner (see
# CMakeLists.txt).
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${KIVO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KIVO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KIVO_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KIVO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
