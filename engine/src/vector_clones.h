#pragma once

// Marks a hot loop to be compiled twice, for AVX2 and for any x86-64
// processor; the program loader picks the one the processor runs. Where the
// compiler or the system cannot do that, the loop is compiled once; so it is
// under ThreadSanitizer, whose instrumented picker would run before the
// sanitizer's runtime is ready, and crash.
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define EZEDUDU_THREAD_SANITIZER
#endif
#endif
#if defined(__x86_64__) && defined(__ELF__) && (defined(__GNUC__) || defined(__clang__)) && \
    !defined(__SANITIZE_THREAD__) && !defined(EZEDUDU_THREAD_SANITIZER)
#define EZEDUDU_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define EZEDUDU_VECTOR_CLONES
#endif
