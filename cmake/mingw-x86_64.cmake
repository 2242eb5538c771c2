# Toolchain for the 64-bit Windows programs (build/win64).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KIVO_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
