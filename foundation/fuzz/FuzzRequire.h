// The check of the fuzz targets: a promise the code under test must keep
// for every input. Breaking it aborts, which the fuzzer reports as a crash
// and the corpus replay in the ordinary tests as a failed run.
#pragma once

#include <cstdio>
#include <cstdlib>

#define KIVO_FUZZ_REQUIRE(condition)                                                          \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: broken promise: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)
