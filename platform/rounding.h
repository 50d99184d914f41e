#pragma once
// Exact arithmetic helpers. Colour and gradient maths is evaluated in 80-bit
// extended precision; a value "held" is stored as a double.
#include <cfloat>
#include <cmath>
#include <cstdint>

namespace pelmora {

static_assert(LDBL_MANT_DIG == 64,
              "colour arithmetic needs an 80-bit long double (64-bit mantissa)");
// A value held as double must be an IEEE double, not an x87 register that
// keeps 80 bits (32-bit x86 builds compute double with SSE2: -mfpmath=sse).
static_assert(FLT_EVAL_METHOD == 0, "double arithmetic must be evaluated in double precision");

using Extended = long double;

// Pi to the full extended precision, as the angle arithmetic uses it.
constexpr Extended kPi = 3.141592653589793238462643383279502884L;

// Stores an extended value the way a held 64-bit variable would.
inline double Held(Extended v) {
    return static_cast<double>(v);
}

// Round to nearest, halves to the even neighbour (the default FPU mode).
// rintl rounds exactly like nearbyintl in that mode but compiles to one x87
// instruction; nearbyintl saves and restores the FPU state on every call.
inline std::int64_t RoundEven(Extended v) {
    return static_cast<std::int64_t>(std::rintl(v));
}

// Rounds and clamps into the 32-bit range, for values that may be wild
// (hand-edited files); NaN gives 0.
inline std::int32_t RoundEven32(Extended v) {
    if (std::isnan(v)) {
        return 0;
    }
    const Extended r = std::rintl(v);
    if (r >= 2147483647.0L) {
        return INT32_MAX;
    }
    if (r <= -2147483648.0L) {
        return INT32_MIN;
    }
    return static_cast<std::int32_t>(r);
}

} // namespace pelmora
