#pragma once

// Marks a hot loop to be compiled twice, for AVX2 and for any x86-64
// processor; the program loader picks the one the processor runs. Where the
// compiler or the system cannot do that, the loop is compiled once.
#if defined(__x86_64__) && defined(__ELF__) && (defined(__GNUC__) || defined(__clang__))
#define EZEDUDU_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define EZEDUDU_VECTOR_CLONES
#endif
