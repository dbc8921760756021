// Vector instructions beyond the build's baseline: code for them is built with target
// attributes and taken only when the CPU has them, asked once.
#pragma once

#if defined(__x86_64__) && defined(__GNUC__)
inline bool HaveAvx2() {
    static const bool have = __builtin_cpu_supports("avx2");
    return have;
}
#endif
