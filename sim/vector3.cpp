#include "sim/vector3.h"

#include <cmath>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <xmmintrin.h>
#define ORRELIN_X86 1
#endif

namespace {

bool gUseSse = false;

}  // namespace

void Vector3::Set(float newX, float newY, float newZ) {
    x = newX;
    y = newY;
    z = newZ;
}

float Vector3::InverseLength() const {
    const float sumOfSquares = x * x + y * y + z * z;
    return FastInvSqrt(sumOfSquares);
}

float Vector3::NormalizeGuarded() {
    const float s = InverseLength();
    if (s <= 1000.0f) {
        Scale(s);
        return s;
    }
    // Also reached for NaN: comparisons with NaN are false.
    Set(0.0f, 0.0f, 0.0f);
    return 0.0f;
}

void Vector3::Scale(float f) {
    x *= f;
    y *= f;
    z *= f;
}

#if ORRELIN_X86
// The target attribute lets the 32-bit build, which generates x87 code for
// processors without SSE, still carry these two; they run only after the
// start-up check has found SSE usable.
__attribute__((target("sse"))) float SseInvSqrt(float a) {
    return _mm_cvtss_f32(_mm_rsqrt_ss(_mm_set_ss(a)));
}

__attribute__((target("sse"))) float SseReciprocal(float a) {
    return _mm_cvtss_f32(_mm_rcp_ss(_mm_set_ss(a)));
}

bool CpuHasSse() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    // __get_cpuid checks first that the cpuid instruction exists (not on a 486).
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
        return false;
    }
    return (edx & bit_SSE) != 0;
}
#else
float SseInvSqrt(float a) { return ExactInvSqrt(a); }
float SseReciprocal(float a) { return ExactReciprocal(a); }
bool CpuHasSse() { return false; }
#endif

float ExactInvSqrt(float a) { return 1.0f / std::sqrt(a); }

float ExactReciprocal(float a) { return 1.0f / a; }

void ChooseReciprocals(bool osEnablesSse) { gUseSse = osEnablesSse && CpuHasSse(); }

bool UsingSseReciprocals() { return gUseSse; }

float FastInvSqrt(float a) { return gUseSse ? SseInvSqrt(a) : ExactInvSqrt(a); }

float FastReciprocal(float a) { return gUseSse ? SseReciprocal(a) : ExactReciprocal(a); }
