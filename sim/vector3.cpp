#include "sim/vector3.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <xmmintrin.h>
#define ORRELIN_X86 1
#endif

bool gUseSseReciprocals = false;

#if ORRELIN_X86
#if !defined(__SSE__)
// The 32-bit build generates x87 code for processors without SSE; the target
// attribute lets it still carry these two, which run only after the start-up
// check has found SSE usable.
__attribute__((target("sse"))) float SseInvSqrt(float a) {
    return _mm_cvtss_f32(_mm_rsqrt_ss(_mm_set_ss(a)));
}

__attribute__((target("sse"))) float SseReciprocal(float a) {
    return _mm_cvtss_f32(_mm_rcp_ss(_mm_set_ss(a)));
}
#endif

bool CpuHasSse() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    // __get_cpuid first checks that the cpuid instruction exists (not on a 486).
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
        return false;
    }
    return (edx & bit_SSE) != 0;
}
#else
float SseInvSqrt(float a) {
    return ExactInvSqrt(a);
}
float SseReciprocal(float a) {
    return ExactReciprocal(a);
}
bool CpuHasSse() {
    return false;
}
#endif

void ChooseReciprocals(bool osEnablesSse) {
    gUseSseReciprocals = osEnablesSse && CpuHasSse();
}

bool UsingSseReciprocals() {
    return gUseSseReciprocals;
}
