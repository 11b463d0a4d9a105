#pragma once
// What the fuzz targets share: a failing check that names itself.
#include <cstdio>
#include <cstdlib>

// Stops the run with the condition that failed; libFuzzer then saves the input that caused it.
#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)
