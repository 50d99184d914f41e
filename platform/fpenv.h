#pragma once
// The floating-point environment the colour arithmetic needs, for the time
// the launcher's call is in the plug-in. A host may run with the x87 unit at
// 53-bit precision (programs built with MSVC do), which would quietly round
// every long double to a double, or with floating-point exceptions unmasked
// (Delphi programs do), which would turn an infinity into a crash. The scope
// sets 64-bit precision, rounding to nearest and all exceptions masked, and
// puts the host's settings back when it ends.
#include <cstdint>

namespace pelmora {

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))

class FloatEnvironmentScope {
public:
    // x87: precision control 64 bits (bits 8-9), round to nearest (bits
    // 10-11 clear), the six exceptions masked (bits 0-5).
    static constexpr std::uint16_t kX87 = 0x037F;
    // SSE: round to nearest, no flush to zero, the six exceptions masked.
    static constexpr std::uint32_t kSse = 0x1F80;

    FloatEnvironmentScope() {
        asm volatile("fnstcw %0" : "=m"(x87_));
        asm volatile("stmxcsr %0" : "=m"(sse_));
        const std::uint16_t x87 = kX87;
        // Flags the host had raised are its own business: only the control
        // bits change, the status bits (0-5) are kept.
        const std::uint32_t sse = (sse_ & 0x3Fu) | kSse;
        asm volatile("fldcw %0" : : "m"(x87));
        asm volatile("ldmxcsr %0" : : "m"(sse));
    }
    ~FloatEnvironmentScope() {
        asm volatile("fclex");
        asm volatile("fldcw %0" : : "m"(x87_));
        asm volatile("ldmxcsr %0" : : "m"(sse_));
    }
    FloatEnvironmentScope(const FloatEnvironmentScope&) = delete;
    FloatEnvironmentScope& operator=(const FloatEnvironmentScope&) = delete;

private:
    std::uint16_t x87_ = 0;
    std::uint32_t sse_ = 0;
};

#else

class FloatEnvironmentScope {};

#endif

} // namespace pelmora
