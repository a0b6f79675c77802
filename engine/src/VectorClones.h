// Marks a function to be built for the baseline processor, for AVX2 with
// FMA and for AVX-512; the loader picks the build the processor runs, so the
// default build stays portable. Other compilers and targets get one build.
#pragma once

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define KELO_VECTOR_CLONES \
    __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#else
#define KELO_VECTOR_CLONES
#endif
