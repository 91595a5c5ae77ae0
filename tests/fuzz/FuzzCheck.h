#pragma once
// What a fuzz target asserts: a broken property ends the run with the input
// that broke it, under libFuzzer and in the replay alike.

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                                         \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                        \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)
