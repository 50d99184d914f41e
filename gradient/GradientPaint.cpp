// Gradient painting: the entry point that picks the painter for the kind,
// and the helpers the painters share (see GradientPaint.h).
#include "gradient/GradientPaint.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace pelmora {

double DirectionAngle(long double dx, long double dy) {
    if (dx == 0) {
        return dy > 0 ? Held(kPi / 2) : Held(3 * kPi / 2);
    }
    const double t = Held(std::atan(dy / dx));
    if (dx < 0) {
        return Held(t + kPi);
    }
    if (dy < 0) {
        return Held(t + gradpaint::kTwoPi);
    }
    return t;
}

void SetWideVectorPainting(bool allowed) {
    gradpaint::wideVectorsAllowed.store(allowed, std::memory_order_relaxed);
}

namespace gradpaint {

PackedTable Pack(const TGrad::Table24& table) {
    PackedTable packed;
    for (std::size_t i = 0; i < packed.size(); ++i) {
        packed[i] =
            table[i][0] | (std::uint32_t{table[i][1]} << 8) | (std::uint32_t{table[i][2]} << 16);
    }
    return packed;
}

void RoundPositionsPlain(const double* q, int* index, std::size_t n, double margin,
                         std::size_t first, Doubtful& doubtful) {
    const double limit = 0.5 - margin;
    for (std::size_t i = 0; i < n; ++i) {
        // Far outside 0..1000 only the side matters; NaN fails the test.
        const double c = std::min(std::max(q[i], -1.0), 1001.0);
        const double r = (c + kRoundMagic) - kRoundMagic;
        if (std::abs(c - r) <= limit) {
            index[i] = static_cast<int>(std::min(std::max(r, 0.0), 1000.0));
        } else {
            index[i] = 0;
            doubtful.Add(first + i);
        }
    }
}

namespace {

#if PELMORA_X86_64_VECTORS
// The same, four at a time. maxpd and minpd return their second operand when
// either is NaN, so the operand order below carries NaN through to the test,
// which it fails.
PELMORA_AVX2 void RoundPositionsAvx2(const double* q, int* index, std::size_t n, double margin,
                                     Doubtful& doubtful) {
    const __m256d low = _mm256_set1_pd(-1.0), high = _mm256_set1_pd(1001.0);
    const __m256d zero = _mm256_setzero_pd(), last = _mm256_set1_pd(1000.0);
    const __m256d magic = _mm256_set1_pd(kRoundMagic), limit = _mm256_set1_pd(0.5 - margin);
    const __m256d sign = _mm256_set1_pd(-0.0);
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m256d c = _mm256_min_pd(high, _mm256_max_pd(low, _mm256_loadu_pd(q + i)));
        const __m256d r = _mm256_sub_pd(_mm256_add_pd(c, magic), magic);
        const __m256d distance = _mm256_andnot_pd(sign, _mm256_sub_pd(c, r));
        const __m256d sure = _mm256_cmp_pd(distance, limit, _CMP_LE_OQ);
        const __m256d value =
            _mm256_blendv_pd(zero, _mm256_min_pd(last, _mm256_max_pd(zero, r)), sure);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(index + i), _mm256_cvttpd_epi32(value));
        const auto sureBits = static_cast<std::uint32_t>(_mm256_movemask_pd(sure));
        if (sureBits != 0xF) {
            doubtful.AddUnsure(sureBits, 4, i);
        }
    }
    RoundPositionsPlain(q + i, index + i, n - i, margin, i, doubtful);
}
#endif

} // namespace

void RoundPositions(const double* q, int* index, std::size_t n, double margin, Doubtful& doubtful) {
#if PELMORA_X86_64_VECTORS
    if (HaveAvx2()) {
        RoundPositionsAvx2(q, index, n, margin, doubtful);
        return;
    }
#endif
    RoundPositionsPlain(q, index, n, margin, 0, doubtful);
}

Centre CentreOf(const TGrad& g, const Area& area) {
    return Centre{Held((g.CenterX / 50.0L + 1) * area.Wp() * 0.5L),
                  Held((g.CenterY / 50.0L + 1) * area.Hp() * 0.5L)};
}

std::vector<double> ColumnOffsets(const Area& area, double cx) {
    std::vector<double> dx(area.Columns());
    for (std::int64_t x = area.x0; x < area.x1; ++x) {
        dx[static_cast<std::size_t>(x - area.x0)] = static_cast<double>(x) - cx;
    }
    return dx;
}

} // namespace gradpaint

void TGrad::Draw(Bitmap24& canvas, std::int32_t left, std::int32_t top, std::int32_t right,
                 std::int32_t bottom, std::int32_t lumi, std::int32_t hue) {
    if (right < left) {
        std::swap(left, right);
    }
    if (bottom < top) {
        std::swap(top, bottom);
    }
    BuildTable(lumi, hue);

    // Only the pixels that land on the canvas are computed; each depends on the
    // whole rectangle's size, not on what is visible. Every pixel of the
    // rectangle is overwritten, so they are written straight into the canvas.
    gradpaint::Area area;
    area.W = static_cast<std::int64_t>(right) - left + 1;
    area.H = static_cast<std::int64_t>(bottom) - top + 1;
    area.left = left;
    area.top = top;
    area.x0 = std::max<std::int64_t>(0, -static_cast<std::int64_t>(left));
    area.y0 = std::max<std::int64_t>(0, -static_cast<std::int64_t>(top));
    area.x1 = std::min<std::int64_t>(area.W, static_cast<std::int64_t>(canvas.Width()) - left);
    area.y1 = std::min<std::int64_t>(area.H, static_cast<std::int64_t>(canvas.Height()) - top);
    if (area.Empty()) {
        return;
    }

    const std::uint8_t kind = std::min<std::uint8_t>(Kind, gkQuad);
    if (kind == gkQuad) {
        gradpaint::PaintQuad(*this, canvas, area, lumi, hue);
        return;
    }
    const gradpaint::PackedTable table = gradpaint::Pack(table_);
    switch (kind) {
    case gkLinear:
        gradpaint::PaintLinear(*this, table, canvas, area);
        break;
    case gkRadiate:
        gradpaint::PaintRadiate(*this, table, canvas, area);
        break;
    default:
        gradpaint::PaintArc(*this, table, canvas, area);
        break;
    }
}

} // namespace pelmora
