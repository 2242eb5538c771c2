# Toolchain for the 32-bit Windows programs (build/win32).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KIVO_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
