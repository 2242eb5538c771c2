# The shared set-up of the libFuzzer targets (native, clang only). Each fuzz
# folder's CMakeLists.txt works from the top-level tree (-DKIVO_FUZZ=ON) and
# on its own:
#   cmake_minimum_required(VERSION 3.20)
#   include(${CMAKE_CURRENT_LIST_DIR}/<up>/cmake/KivoFuzz.cmake)
#   kivo_fuzz_project(KIVOSomethingFuzz)
#   kivo_add_fuzzer(target sources...)
# The sources under test are compiled into each target rather than linked
# from the product libraries, so that they carry the fuzzer's coverage
# instrumentation.

macro(kivo_fuzz_project name)
    if(CMAKE_SOURCE_DIR STREQUAL CMAKE_CURRENT_SOURCE_DIR)
        project(${name} LANGUAGES CXX)
        set(CMAKE_CXX_STANDARD 17)
        set(CMAKE_CXX_STANDARD_REQUIRED ON)
        set(CMAKE_CXX_EXTENSIONS OFF)
        if(NOT CMAKE_BUILD_TYPE)
            set(CMAKE_BUILD_TYPE RelWithDebInfo)
        endif()
        add_compile_options(-Wall -Wextra)
    endif()
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "The fuzz targets need clang's libFuzzer; configure with -DCMAKE_CXX_COMPILER=clang++")
    endif()
endmacro()

set(KIVO_FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)

function(kivo_add_fuzzer name)
    add_executable(${name} ${ARGN})
    target_compile_features(${name} PRIVATE cxx_std_17)
    target_compile_options(${name} PRIVATE ${KIVO_FUZZ_FLAGS})
    target_link_options(${name} PRIVATE ${KIVO_FUZZ_FLAGS})
endfunction()

# Sources that more than one target compiles: the word-adjustment engine with
# the text rules it follows, and the file cipher of the built-in libraries.
set(KIVO_FUZZ_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)
set(KIVO_FUZZ_WA_SOURCES
    ${KIVO_FUZZ_ROOT}/engine/WALibrary.cpp
    ${KIVO_FUZZ_ROOT}/engine/WALibraryText.cpp
    ${KIVO_FUZZ_ROOT}/engine/WALibraryLists.cpp
    ${KIVO_FUZZ_ROOT}/engine/LeadByteTable.cpp
    ${KIVO_FUZZ_ROOT}/engine/AdjustedText.cpp
    ${KIVO_FUZZ_ROOT}/engine/TextAdjuster.cpp
    ${KIVO_FUZZ_ROOT}/engine/WAMatcher.cpp
    ${KIVO_FUZZ_ROOT}/engine/SegmentSignatures.cpp
    ${KIVO_FUZZ_ROOT}/engine/TextGramIndex.cpp
    ${KIVO_FUZZ_ROOT}/foundation/TextTrim.cpp
    ${KIVO_FUZZ_ROOT}/foundation/DbcsText.cpp
)
set(KIVO_FUZZ_CIPHER_SOURCES
    ${KIVO_FUZZ_ROOT}/control/cipher/FileCipher.cpp
    ${KIVO_FUZZ_ROOT}/control/cipher/KeyStream.cpp
    ${KIVO_FUZZ_ROOT}/control/cipher/SHA.cpp
    ${KIVO_FUZZ_ROOT}/control/cipher/DoubleBuffering.cpp
    ${KIVO_FUZZ_ROOT}/control/cipher/StreamCipher.cpp
    ${KIVO_FUZZ_ROOT}/control/cipher/LibraryCipher.cpp
    ${KIVO_FUZZ_ROOT}/control/cipher/LibraryCache.cpp
    ${KIVO_FUZZ_ROOT}/control/cipher/FileSystemPosix.cpp
)
