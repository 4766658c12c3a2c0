#pragma once

// Three single-precision components: the simulation's only numeric type.
class Vector3 {
public:
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    Vector3() = default;
    Vector3(float x, float y, float z) : x(x), y(y), z(z) {}

    void Set(float newX, float newY, float newZ);
    float InverseLength() const;
    // Scales to unit length and returns the inverse length; a vector shorter than
    // about 0.001 (including the zero vector) becomes (0, 0, 0) and 0 is returned.
    float NormalizeGuarded();
    void Scale(float f);
};

// Approximate 1/sqrt(a) and 1/a: about 12 correct bits (relative error at most
// 1.5 * 2^-12), +0 gives +inf, NaN gives NaN.
float FastInvSqrt(float a);
float FastReciprocal(float a);

// The two ways of computing them. The SSE forms are the single-value
// approximation instructions; the exact forms serve processors or systems without SSE.
float SseInvSqrt(float a);
float SseReciprocal(float a);
float ExactInvSqrt(float a);
float ExactReciprocal(float a);

// True when this processor reports SSE (always on x86-64, never off x86).
bool CpuHasSse();

// Decides once, at start-up, which form FastInvSqrt and FastReciprocal use:
// SSE when the processor has it and the operating system saves its registers
// (osEnablesSse), exact otherwise. Until it is called the exact forms are used.
void ChooseReciprocals(bool osEnablesSse);
bool UsingSseReciprocals();
