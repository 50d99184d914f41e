// Concentric rings round the centre (the arc kind).
#include "gradient/GradientPaint.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pelmora::gradpaint {

namespace {

#if PELMORA_X86_64_VECTORS
// Ring indexes of a row in single precision, eight at a time: q = (sqrt(dx2[i]
// + dy2) - base) * k is formed in float scaled by 2^20, converted to a fixed
// point integer with 20 fraction bits and rounded and tested there as the bands'
// fixed-point positions are. The inputs are finite and
// dx2 + dy2 >= 0, so no NaN arises; q is clamped to -1..1001 first so the
// conversion cannot overflow. The tail of the row goes through double.
PELMORA_AVX2 void RingIndexesSingleAvx2(const double* dx2, double dy2, double base, double k,
                                        int* index, std::size_t n, double margin,
                                        Doubtful& doubtful) {
    constexpr int kBits = 20;
    constexpr std::int32_t kMask = (1 << kBits) - 1;
    const auto units = static_cast<std::int32_t>(std::ceil(margin * (1 << kBits)));
    const __m256d vdy2 = _mm256_set1_pd(dy2);
    const __m256 vbase = _mm256_set1_ps(static_cast<float>(base));
    const __m256 vk = _mm256_set1_ps(static_cast<float>(k * (1 << kBits)));
    const __m256 low = _mm256_set1_ps(-1.0f * (1 << kBits));
    const __m256 high = _mm256_set1_ps(1001.0f * (1 << kBits));
    const __m256i half = _mm256_set1_epi32(1 << (kBits - 1)), mask = _mm256_set1_epi32(kMask);
    const __m256i below = _mm256_set1_epi32(units - 1),
                  above = _mm256_set1_epi32(kMask + 1 - units + 1);
    const __m256i zero = _mm256_setzero_si256(), last = _mm256_set1_epi32(kTableLast);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m128 lo = _mm256_cvtpd_ps(_mm256_add_pd(_mm256_loadu_pd(dx2 + i), vdy2));
        const __m128 hi = _mm256_cvtpd_ps(_mm256_add_pd(_mm256_loadu_pd(dx2 + i + 4), vdy2));
        const __m256 d = _mm256_sqrt_ps(_mm256_set_m128(hi, lo));
        const __m256 scaled =
            _mm256_min_ps(high, _mm256_max_ps(low, _mm256_mul_ps(_mm256_sub_ps(d, vbase), vk)));
        const __m256i sum = _mm256_add_epi32(_mm256_cvtps_epi32(scaled), half);
        const __m256i fraction = _mm256_and_si256(sum, mask);
        const __m256i sure = _mm256_and_si256(_mm256_cmpgt_epi32(fraction, below),
                                              _mm256_cmpgt_epi32(above, fraction));
        const __m256i whole =
            _mm256_min_epi32(last, _mm256_max_epi32(zero, _mm256_srai_epi32(sum, kBits)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(index + i), whole);
        const auto sureBits =
            static_cast<std::uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(sure)));
        if (sureBits != 0xFF) {
            doubtful.AddUnsure(sureBits, 8, i);
        }
    }
    double q[8];
    const std::size_t rest = n - i;
    for (std::size_t j = 0; j < rest; ++j) {
        q[j] = (std::sqrt(dx2[i + j] + dy2) - base) * k;
    }
    RoundPositionsPlain(q, index + i, rest, margin, i, doubtful);
}
#endif

} // namespace

void PaintArc(const TGrad& g, const PackedTable& table, Bitmap24& canvas, const Area& area) {
    const Centre c = CentreOf(g, area);
    const Extended cx = c.x;
    const Extended cy = c.y;
    const Extended wp = static_cast<Extended>(area.Wp());
    const Extended hp = static_cast<Extended>(area.Hp());

    const Extended far = std::sqrt(std::max((wp - cx) * (wp - cx), cx * cx) +
                                   std::max((hp - cy) * (hp - cy), cy * cy));
    const Extended ex = cx < 0 ? -cx : (cx > wp ? cx - wp : 0);
    const Extended ey = cy < 0 ? -cy : (cy > hp ? cy - hp : 0);
    const Extended near = std::sqrt(ex * ex + ey * ey);
    const bool normalised = g.Normalize && near != 0;
    const std::size_t n = area.Columns();

    auto exact = [&](std::size_t i, std::int64_t y) {
        const Extended dx = area.x0 + static_cast<std::int64_t>(i) - cx;
        const Extended dy = y - cy;
        const Extended d = std::sqrt(dx * dx + dy * dy);
        if (normalised) {
            return TableIndex((d - near) * 1000 / (far - near));
        }
        return far == 0 ? 0 : TableIndex(d * 1000 / far);
    };

    // Approximation: d = sqrt(dx^2 + dy^2) in double from offsets rounded to
    // double: within 3.1u relative of the real distance, which is at most far
    // for every pixel of the rectangle (the exact d is within 3ue of it).
    // Unnormalised, q = d * k with k = 1000 / far rounded: off by at most
    // 1000 * 3.1u + 2u * |q|. Normalised, q = (d - near) * k with near and k
    // rounded: the difference is off by 3.1u far + u near <= 4.1u far, scaled
    // by 1000 / (far - near), plus 2u * |q|. The exact side adds a few ue.
    const Extended base = normalised ? near : 0;
    const Extended range = far - base;
    const double bound =
        range > 0 ? static_cast<double>(4.2L * kU * far * 1000 / range) + 1001 * 2.1 * kU : 1.0;
    const double margin = 16 * bound;
    const bool fast = range > 0 && margin < 0.01;
    const double k = fast ? static_cast<double>(1000 / range) : 0.0;
    const double baseD = static_cast<double>(base);
#if PELMORA_X86_64_VECTORS
    // With AVX2 the square root and the scaling are done in single precision
    // (v = 2^-24): the sum rounded to float (v, halved by the root) and the
    // correctly rounded root (v) put d within 1.5v + 3.1u of the real
    // distance, relative; base rounded to float adds v base <= v far, the
    // subtraction v |d - base|, the scale factor and the product v |q| each;
    // the conversion to 20 fraction bits half a unit, 2^-21. In all at most
    // (2.5v far + v range) 1000 / range + 2v 1001 + 2^-21 < (1.5e-7 far / range
    // + 1.2e-7) 1000 + 5e-7. The margin is twice the bound here: the doubtful
    // pixels, about one in a thousand, are each an extended square root.
    const double floatBound =
        range > 0 ? static_cast<double>(1.5e-7L * far / range + 1.2e-7L) * 1000 + 5e-7 : 1.0;
    const double floatMargin = 2 * floatBound;
    const bool single = fast && HaveAvx2() && floatMargin < 0.002;
#endif

    std::vector<double> dx2 = ColumnOffsets(area, c.x);
    for (double& d : dx2) {
        d *= d;
    }
    Rows rows(n);
    for (std::int64_t y = area.y0; y < area.y1; ++y) {
        std::uint8_t* out = area.Out(canvas, y);
        if (!fast) {
            WriteExactRow(out, n, table, [&](std::size_t i) { return exact(i, y); });
            continue;
        }
        const double dy = static_cast<double>(y) - c.y;
        const double dy2 = dy * dy;
#if PELMORA_X86_64_VECTORS
        if (single) {
            rows.doubtful.Clear();
            RingIndexesSingleAvx2(dx2.data(), dy2, baseD, k, rows.index.data(), n, floatMargin,
                                  rows.doubtful);
            WriteRow(out, rows.index.data(), n, table, rows.doubtful,
                     [&](std::size_t i) { return exact(i, y); });
            continue;
        }
#endif
        const double* squares = dx2.data();
        ComputeRow(rows.q.data(), n,
                   [=](std::size_t i) { return (std::sqrt(squares[i] + dy2) - baseD) * k; });
        PaintRow(rows, n, margin, table, out, [&](std::size_t i) { return exact(i, y); });
    }
}

} // namespace pelmora::gradpaint
