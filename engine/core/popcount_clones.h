#pragma once

// Hot functions that count bits are built twice, one clone with the popcnt instruction and one
// for processors without it, chosen at load time; the default x86-64 target would otherwise call
// a library routine for every popcount. The thread sanitizer cannot run the clone resolver, which
// is called before it has started.

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
#define QUIRMEL_POPCOUNT_CLONES __attribute__((target_clones("popcnt", "default")))
#else
#define QUIRMEL_POPCOUNT_CLONES
#endif
