#pragma once
// A broken property ends the run as a crash, with what broke on stderr, so
// libFuzzer keeps the input that shows it.

#include <cstdio>
#include <cstdlib>

#define QRV_FUZZ_CHECK(condition)                                                       \
  do {                                                                                  \
    if (!(condition)) {                                                                 \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                     \
    }                                                                                   \
  } while (false)
