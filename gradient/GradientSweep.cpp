// The angular sweep (the radiate kind): one full turn round a centre inside
// the rectangle (or when not normalised), or the clockwise sweep over the
// corners that a centre outside it sees.
#include "gradient/GradientPaint.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace pelmora::gradpaint {

namespace {

// Where the centre lies against one axis of the rectangle: 0 before, 1 inside, 2 beyond.
int Side(double c, std::int64_t extent) {
    if (c <= 0) {
        return 0;
    }
    return c >= static_cast<double>(extent) ? 2 : 1;
}

constexpr double kHalfPiD = 1.5707963267948966;
constexpr double kPiD = 3.141592653589793;
constexpr double kTwoPiD = 6.283185307179586;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// arctan(j / 16) for j = 0..16, held.
const std::array<double, 17>& AtanSixteenths() {
    static const std::array<double, 17> table = [] {
        std::array<double, 17> t{};
        for (int j = 0; j <= 16; ++j) {
            t[static_cast<std::size_t>(j)] = Held(std::atan(static_cast<Extended>(j) / 16));
        }
        return t;
    }();
    return table;
}

// The direction of (dx, dy) as DirectionAngle measures it, within
// kDirectionBound of the exact DirectionAngle of the same (unrounded) offsets;
// NaN for the zero vector, whose direction is a convention.
//
// With z = min/max of |dx|, |dy| in [0, 1] and c = j/16 the sixteenth
// nearest to z, arctan z = arctan c + arctan w with w = (z - c) / (1 + z c)
// and |w| <= 1/32. The alternating series w - w^3/3 + w^5/5 stops with an
// error below |w|^7 / 7 <= 2^-35 / 7 < 4.2e-12. The roundings add less than
// 2.2e-15: the offsets (u each, moving the angle by at most u), z (u), w
// (4u, times |w| <= 1/32), the held table entry and the polynomial (under
// 1e-16), and the three reflections pi/2 - a, pi - a, 2 pi - a (at most an
// ulp of 2 pi plus the held constant's error, 7e-16 each). DirectionAngle
// itself is within 7e-16 of the true angle (extended quotient and arc tangent,
// then held twice). Hence the bound below.
constexpr double kDirectionBound = 4.3e-12;

inline double ApproxDirection(double dx, double dy, const double* atanTable) {
    const double ax = std::abs(dx);
    const double ay = std::abs(dy);
    const bool steep = ay > ax;
    const double mx = steep ? ay : ax;
    const double mn = steep ? ax : ay;
    const double z = mx > 0 ? mn / mx : 0.0;
    const int j = static_cast<int>(z * 16 + 0.5);
    const double c = j * 0.0625;
    const double w = (z - c) / (1 + z * c);
    const double w2 = w * w;
    double a = atanTable[j] + w * (1 + w2 * (-1.0 / 3 + w2 * 0.2));
    a = steep ? kHalfPiD - a : a;
    a = dx < 0 ? kPiD - a : a;
    a = dy < 0 ? kTwoPiD - a : a;
    return mx > 0 ? a : std::numeric_limits<double>::quiet_NaN();
}

#if PELMORA_X86_64_VECTORS
// ApproxDirection of four offsets, the same arithmetic in the same order.
PELMORA_AVX2 inline __attribute__((always_inline)) __m256d
ApproxDirectionAvx2(__m256d dx, __m256d dy, const double* atanTable) {
    const __m256d zero = _mm256_setzero_pd(), one = _mm256_set1_pd(1.0);
    const __m256d ax = _mm256_andnot_pd(_mm256_set1_pd(-0.0), dx);
    const __m256d ay = _mm256_andnot_pd(_mm256_set1_pd(-0.0), dy);
    const __m256d steep = _mm256_cmp_pd(ay, ax, _CMP_GT_OQ);
    const __m256d mx = _mm256_blendv_pd(ax, ay, steep);
    const __m256d mn = _mm256_blendv_pd(ay, ax, steep);
    const __m256d some = _mm256_cmp_pd(mx, zero, _CMP_GT_OQ);
    // mn is 0 where mx is: z is 0 there, as in the scalar form.
    const __m256d z = _mm256_div_pd(mn, _mm256_blendv_pd(one, mx, some));
    const __m128i j = _mm256_cvttpd_epi32(
        _mm256_add_pd(_mm256_mul_pd(z, _mm256_set1_pd(16.0)), _mm256_set1_pd(0.5)));
    const __m256d c = _mm256_mul_pd(_mm256_cvtepi32_pd(j), _mm256_set1_pd(0.0625));
    const __m256d w = _mm256_div_pd(_mm256_sub_pd(z, c), _mm256_add_pd(one, _mm256_mul_pd(z, c)));
    const __m256d w2 = _mm256_mul_pd(w, w);
    const __m256d series = _mm256_mul_pd(
        w, _mm256_add_pd(one,
                         _mm256_mul_pd(w2, _mm256_add_pd(_mm256_set1_pd(-1.0 / 3),
                                                         _mm256_mul_pd(w2, _mm256_set1_pd(0.2))))));
    __m256d a = _mm256_add_pd(
        _mm256_mask_i32gather_pd(zero, atanTable, j, _mm256_cmp_pd(zero, zero, _CMP_EQ_OQ), 8),
        series);
    a = _mm256_blendv_pd(a, _mm256_sub_pd(_mm256_set1_pd(kHalfPiD), a), steep);
    a = _mm256_blendv_pd(a, _mm256_sub_pd(_mm256_set1_pd(kPiD), a),
                         _mm256_cmp_pd(dx, zero, _CMP_LT_OQ));
    a = _mm256_blendv_pd(a, _mm256_sub_pd(_mm256_set1_pd(kTwoPiD), a),
                         _mm256_cmp_pd(dy, zero, _CMP_LT_OQ));
    return _mm256_blendv_pd(_mm256_set1_pd(std::numeric_limits<double>::quiet_NaN()), a, some);
}

// Positions of one full turn from `angle` (see PaintTurn), four at a
// time; returns the columns done.
PELMORA_AVX2 std::size_t TurnRowAvx2(const double* dx, double dy, double angle, double seam,
                                     double k, const double* atanTable, double* q, std::size_t n) {
    const __m256d vdy = _mm256_set1_pd(dy), vangle = _mm256_set1_pd(angle);
    const __m256d vseam = _mm256_set1_pd(seam), vk = _mm256_set1_pd(k);
    const __m256d twoPi = _mm256_set1_pd(kTwoPiD), zero = _mm256_setzero_pd();
    const __m256d nan = _mm256_set1_pd(std::numeric_limits<double>::quiet_NaN());
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m256d t =
            _mm256_sub_pd(ApproxDirectionAvx2(_mm256_loadu_pd(dx + i), vdy, atanTable), vangle);
        const __m256d turned =
            _mm256_blendv_pd(t, _mm256_add_pd(t, twoPi), _mm256_cmp_pd(t, zero, _CMP_LT_OQ));
        const __m256d clear =
            _mm256_cmp_pd(_mm256_andnot_pd(_mm256_set1_pd(-0.0), t), vseam, _CMP_GT_OQ);
        _mm256_storeu_pd(q + i, _mm256_blendv_pd(nan, _mm256_mul_pd(turned, vk), clear));
    }
    return i;
}

// Positions of the sweep from start to end (see PaintSweep), four at a
// time; returns the columns done.
PELMORA_AVX2 std::size_t SweepRowAvx2(const double* dx, double dy, double end, double start,
                                      double seam, double k, const double* atanTable, double* q,
                                      std::size_t n) {
    const __m256d vdy = _mm256_set1_pd(dy), vend = _mm256_set1_pd(end);
    const __m256d vstart = _mm256_set1_pd(start), vseam = _mm256_set1_pd(seam);
    const __m256d vk = _mm256_set1_pd(k), twoPi = _mm256_set1_pd(kTwoPiD);
    const __m256d nan = _mm256_set1_pd(std::numeric_limits<double>::quiet_NaN());
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m256d a = ApproxDirectionAvx2(_mm256_loadu_pd(dx + i), vdy, atanTable);
        const __m256d t =
            _mm256_blendv_pd(a, _mm256_sub_pd(a, twoPi), _mm256_cmp_pd(a, vend, _CMP_GT_OQ));
        const __m256d clear = _mm256_cmp_pd(
            _mm256_andnot_pd(_mm256_set1_pd(-0.0), _mm256_sub_pd(a, vend)), vseam, _CMP_GT_OQ);
        _mm256_storeu_pd(q + i,
                         _mm256_blendv_pd(nan, _mm256_mul_pd(_mm256_sub_pd(t, vstart), vk), clear));
    }
    return i;
}
#endif

// The exact direction of pixel (column i, row y) from the centre.
inline double ExactDirection(const Area& area, const Centre& c, std::size_t i, std::int64_t y) {
    return DirectionAngle(area.x0 + static_cast<std::int64_t>(i) - static_cast<Extended>(c.x),
                          y - static_cast<Extended>(c.y));
}

// One full turn round the centre, starting in the direction of `angle`.
void PaintTurn(double angle, const Centre& c, const PackedTable& table, Bitmap24& canvas,
               const Area& area) {
    const std::size_t n = area.Columns();
    const std::vector<double> dx = ColumnOffsets(area, c.x);
    const double* atanTable = AtanSixteenths().data();
    auto exact = [&](std::size_t i, std::int64_t y) {
        double t = Held(ExactDirection(area, c, i, y) - static_cast<Extended>(angle));
        if (t < 0) {
            t = Held(t + kTwoPi);
        }
        return TableIndex(static_cast<Extended>(t) * 1000 / kTwoPi);
    };
    // Exact: t = held(A - angle), shifted by held(t + 2 pi) when negative,
    // then t * 1000 / 2 pi. The approximation computes the same in double
    // from its own A: its t is off by at most kDirectionBound plus the
    // roundings of the subtraction and the shift on either side (each
    // half an ulp of |angle| + 2 pi, and the held 2 pi's own error), and
    // the scaling adds 3u relative (|q| <= 1001). The sign test t < 0 is
    // trusted only where |t| exceeds that angle bound (times 16, as every
    // margin here, for room).
    const double angleBound = kDirectionBound + 4 * kU * (std::abs(angle) + 7);
    const double seam = 16 * angleBound;
    const double margin = 16 * (angleBound * 1000 / 6.28 + 1001 * 3 * kU);
    const double k = 1000 / static_cast<double>(kTwoPi);
    Rows rows(n);
    for (std::int64_t y = area.y0; y < area.y1; ++y) {
        const double dy = static_cast<double>(y) - c.y;
        std::size_t done = 0;
#if PELMORA_X86_64_VECTORS
        if (HaveAvx2()) {
            done = TurnRowAvx2(dx.data(), dy, angle, seam, k, atanTable, rows.q.data(), n);
        }
#endif
        ComputeRow(rows.q.data() + done, n - done, [&](std::size_t j) {
            const std::size_t i = done + j;
            const double t = ApproxDirection(dx[i], dy, atanTable) - angle;
            const double turned = t < 0 ? t + kTwoPiD : t;
            return std::abs(t) > seam ? turned * k : kNaN;
        });
        PaintRow(rows, n, margin, table, area.Out(canvas, y),
                 [&](std::size_t i) { return exact(i, y); });
    }
}

// Where the centre lies: Side(x) + 3 Side(y), 0..8; 4 is inside the rectangle.
constexpr int kInside = 4;

// The clockwise sweep over the corners that a centre outside the rectangle,
// in `region`, sees: from the first corner to the last.
void PaintSweep(int region, const Centre& c, const PackedTable& table, Bitmap24& canvas,
                const Area& area) {
    const std::size_t n = area.Columns();
    const std::vector<double> dx = ColumnOffsets(area, c.x);
    const double* atanTable = AtanSixteenths().data();
    const Extended wp = static_cast<Extended>(area.Wp());
    const Extended hp = static_cast<Extended>(area.Hp());
    const double corner[4] = {
        DirectionAngle(-c.x, -c.y),         // top-left
        DirectionAngle(wp - c.x, -c.y),     // top-right
        DirectionAngle(-c.x, hp - c.y),     // bottom-left
        DirectionAngle(wp - c.x, hp - c.y), // bottom-right
    };
    static constexpr int kStart[9] = {1, 1, 3, 0, -1, 3, 0, 2, 2};
    static constexpr int kEnd[9] = {2, 0, 0, 2, -1, 1, 3, 3, 1};
    Extended start = corner[kStart[region]];
    const double end = corner[kEnd[region]];
    if (start > end) {
        start -= kTwoPi;
    }
    const Extended span = end - start;
    auto exact = [&](std::size_t i, std::int64_t y) {
        double t = ExactDirection(area, c, i, y);
        if (t > end) {
            t = Held(t - kTwoPi);
        }
        return TableIndex((t - start) * 1000 / span);
    };

    // Exact: t = A, less held 2 pi past the end, then (t - start) * 1000 /
    // span. The approximation's t - start is within kDirectionBound + 3e-15
    // of the exact one (start held as a double adds half an ulp of 2 pi, the
    // shift and the subtraction an ulp of 4 pi each); scaled by 1000 / span,
    // plus 3u relative (|q| <= 1001). The test t > end is trusted only where
    // |t - end| exceeds the angle bound.
    const double angleBound = kDirectionBound + 3e-15;
    const double seam = 16 * angleBound;
    const double margin = 16 * (angleBound * 1000 / static_cast<double>(span) + 1001 * 3 * kU);
    const bool fast = span > 0 && margin < 0.01;
    const double k = fast ? static_cast<double>(1000 / span) : 0.0;
    const double startD = static_cast<double>(start);
    Rows rows(n);
    for (std::int64_t y = area.y0; y < area.y1; ++y) {
        std::uint8_t* out = area.Out(canvas, y);
        if (!fast) {
            WriteExactRow(out, n, table, [&](std::size_t i) { return exact(i, y); });
            continue;
        }
        const double dy = static_cast<double>(y) - c.y;
        std::size_t done = 0;
#if PELMORA_X86_64_VECTORS
        if (HaveAvx2()) {
            done = SweepRowAvx2(dx.data(), dy, end, startD, seam, k, atanTable, rows.q.data(), n);
        }
#endif
        ComputeRow(rows.q.data() + done, n - done, [&](std::size_t j) {
            const std::size_t i = done + j;
            const double a = ApproxDirection(dx[i], dy, atanTable);
            const double t = a > end ? a - kTwoPiD : a;
            return std::abs(a - end) > seam ? (t - startD) * k : kNaN;
        });
        PaintRow(rows, n, margin, table, out, [&](std::size_t i) { return exact(i, y); });
    }
}

} // namespace

void PaintRadiate(const TGrad& g, const PackedTable& table, Bitmap24& canvas, const Area& area) {
    const Centre c = CentreOf(g, area);
    // Only a normalised gradient narrows the ramp to what a centre outside sees.
    const int region = g.Normalize ? Side(c.x, area.Wp()) + 3 * Side(c.y, area.Hp()) : kInside;
    if (region == kInside) {
        PaintTurn(g.AngleRad(), c, table, canvas, area);
    } else {
        PaintSweep(region, c, table, canvas, area);
    }
}

} // namespace pelmora::gradpaint
