#pragma once

#include <cstdio>
#include <cstdlib>

// A broken invariant must stop the fuzzer on the input that broke it, in
// every build type: assert() would vanish under NDEBUG.
#define FUZZ_CHECK(condition)                                              \
  do {                                                                     \
    if (!(condition)) {                                                    \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, \
                   #condition);                                            \
      std::abort();                                                        \
    }                                                                      \
  } while (0)
