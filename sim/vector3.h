#pragma once

#include <cmath>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

// Approximate 1/sqrt(a) and 1/a: about 12 correct bits (relative error at most
// 1.5 * 2^-12), +0 gives +inf, NaN gives NaN. They stand in for every square
// root and division of the simulation.
float FastInvSqrt(float a);
float FastReciprocal(float a);

// Three single-precision components: the simulation's only numeric type.
class Vector3 {
  public:
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    Vector3() = default;
    Vector3(float x, float y, float z) : x(x), y(y), z(z) {}

    void Set(float newX, float newY, float newZ) {
        x = newX;
        y = newY;
        z = newZ;
    }

    float InverseLength() const {
        const float sumOfSquares = x * x + y * y + z * z;
        return FastInvSqrt(sumOfSquares);
    }

    // Scales to unit length and returns the inverse length; a vector shorter
    // than about 0.001 (the zero vector among them) or with a NaN component
    // becomes (0, 0, 0) and 0 is returned.
    float NormalizeGuarded() {
        const float s = InverseLength();
        if (s <= 1000.0f) {
            Scale(s);
            return s;
        }
        Set(0.0f, 0.0f, 0.0f);
        return 0.0f;
    }

    void Scale(float f) {
        x *= f;
        y *= f;
        z *= f;
    }
};

// The two ways of computing the approximations. The SSE forms are the
// single-value approximation instructions; the exact forms serve processors or
// systems without SSE and meet the same accuracy bound.
float SseInvSqrt(float a);
float SseReciprocal(float a);
inline float ExactInvSqrt(float a) {
    return 1.0f / std::sqrt(a);
}
inline float ExactReciprocal(float a) {
    return 1.0f / a;
}

// True when this processor reports SSE (always on x86-64, never off x86).
bool CpuHasSse();

// Decides once, at start-up, which form FastInvSqrt and FastReciprocal use:
// SSE when the processor has it and the operating system saves its registers
// (osEnablesSse), exact otherwise. Until it is called the exact forms are used.
void ChooseReciprocals(bool osEnablesSse);
bool UsingSseReciprocals();

// Read on every call; set only by ChooseReciprocals.
extern bool gUseSseReciprocals;

#if defined(__SSE__)
// Where SSE is part of the target (x86-64), the instructions are inlined into
// the force pass; the 32-bit build keeps them out of line behind the check.
inline float SseInvSqrt(float a) {
    return _mm_cvtss_f32(_mm_rsqrt_ss(_mm_set_ss(a)));
}
inline float SseReciprocal(float a) {
    return _mm_cvtss_f32(_mm_rcp_ss(_mm_set_ss(a)));
}
#endif

inline float FastInvSqrt(float a) {
    return gUseSseReciprocals ? SseInvSqrt(a) : ExactInvSqrt(a);
}

inline float FastReciprocal(float a) {
    return gUseSseReciprocals ? SseReciprocal(a) : ExactReciprocal(a);
}
