#pragma once

// The library is built with hidden symbol visibility; only what hosts use is exported.
#if defined(_WIN32)
#define KELVARON_DIAGNOSIS_PUBLIC
#else
#define KELVARON_DIAGNOSIS_PUBLIC __attribute__((visibility("default")))
#endif
