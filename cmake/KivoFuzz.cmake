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
