// Four corner colours blended across the rectangle (the four-corner kind).
#include "gradient/GradientPaint.h"

#include "gradient/ColorAdjust.h"
#include "platform/syscolors.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pelmora::gradpaint {

namespace {

// Bilinear blend of one channel between the four corner values:
// TL + Round((TR - TL) u + (BL - TL) v + (TL - TR - BL + BR) u v), evaluated in
// that order in extended precision, clamped to 0..255. The terms that depend
// on the column alone are kept per column.
//
// The approximation evaluates the same sum in double. Each of its three terms
// is at most 510 in magnitude (|TR - TL|, |BL - TL| <= 255, |TL - TR - BL + BR|
// <= 510, u, v in [0, 1]), each carries at most 3 roundings, and the two
// additions one each: under (255 + 255 + 510) * 5u < 6e-13 in all; the exact
// side's error is smaller still. So a margin of 1e-9 decides the rounding.
constexpr double kQuadLimit = 0.5 - 1e-9;

class ChannelBlend {
public:
    ChannelBlend(int tl, int tr, int bl, int br, const std::vector<double>& u)
        : tl_(tl), across_(tr - tl), down_(bl - tl), twist_(tl - tr - bl + br), u_(u),
          acrossD_(u.size()), twistD_(u.size()) {
        for (std::size_t i = 0; i < u.size(); ++i) {
            acrossD_[i] = across_ * u[i];
            twistD_[i] = twist_ * u[i];
        }
    }
    // Per row: the row's share of the blend.
    void SetRow(double v) {
        v_ = v;
        downV_ = down_ * static_cast<Extended>(v);
        downVD_ = down_ * v;
    }
    int Exact(std::size_t column) const {
        const Extended u = u_[column];
        const Extended offset = across_ * u + downV_ + twist_ * u * v_;
        return std::clamp(tl_ + RoundSmall(offset), 0, 255);
    }
    // The approximation of a column's value, or -1 when only Exact decides.
    int Approx(std::size_t column) const {
        const double offset = acrossD_[column] + downVD_ + twistD_[column] * v_;
        const double r = (offset + kRoundMagic) - kRoundMagic;
        if (!(std::abs(offset - r) <= kQuadLimit)) {
            return -1;
        }
        return std::clamp(tl_ + static_cast<int>(r), 0, 255);
    }

    // The row's blend as slope * u + intercept, in single precision.
    struct SingleTerms {
        float Slope, Intercept;
        int Tl;
    };
    SingleTerms Single() const {
        return {static_cast<float>(across_ + twist_ * v_), static_cast<float>(downVD_), tl_};
    }

private:
    int tl_;
    int across_, down_, twist_;
    const std::vector<double>& u_;
    std::vector<double> acrossD_;
    std::vector<double> twistD_;
    double v_ = 0;
    Extended downV_ = 0;
    double downVD_ = 0;
};

// Twelve bytes of four B, G, R pixels packed as B | G << 8 | R << 16.
inline void PutPacked4(std::uint8_t* out, const std::uint32_t* p) {
    Put4(out, p[0] | (p[1] << 24));
    Put4(out + 4, (p[1] >> 8) | (p[2] << 16));
    Put4(out + 8, (p[2] >> 16) | (p[3] << 8));
}

#if PELMORA_X86_64_VECTORS
// The blend in single precision, eight columns at a time, written straight
// into the row as 24 bytes; returns the columns done. The sum is formed as
// slope * u + intercept with slope = (TR - TL) + (TL - TR - BL + BR) v and
// intercept = (BL - TL) v, each rounded to float, as is u: with v = 2^-24,
// |u slope| <= 765 and |intercept| <= 255, the value is within
// 765 * 4v + 255 * 2v < 2.2e-4 of the exact sum (whose own error is far
// smaller). A margin of twice that leaves about one pixel in three hundred
// to the exact blend.
constexpr float kQuadSingleMargin = 4.4e-4f;

PELMORA_AVX2 inline __attribute__((always_inline)) __m256i
BlendEightAvx2(const ChannelBlend::SingleTerms& t, __m256 u, __m256i& sure) {
    const __m256 value =
        _mm256_add_ps(_mm256_mul_ps(u, _mm256_set1_ps(t.Slope)), _mm256_set1_ps(t.Intercept));
    const __m256i whole = _mm256_cvtps_epi32(value); // nearest, halves to even
    const __m256 distance =
        _mm256_andnot_ps(_mm256_set1_ps(-0.0f), _mm256_sub_ps(value, _mm256_cvtepi32_ps(whole)));
    const __m256 near =
        _mm256_cmp_ps(distance, _mm256_set1_ps(0.5f - kQuadSingleMargin), _CMP_LE_OQ);
    sure = _mm256_and_si256(sure, _mm256_castps_si256(near));
    return _mm256_min_epi32(
        _mm256_set1_epi32(255),
        _mm256_max_epi32(_mm256_setzero_si256(), _mm256_add_epi32(whole, _mm256_set1_epi32(t.Tl))));
}

PELMORA_AVX2 std::size_t BlendRowSingleAvx2(const ChannelBlend::SingleTerms& blue,
                                            const ChannelBlend::SingleTerms& green,
                                            const ChannelBlend::SingleTerms& red, const float* u,
                                            std::uint8_t* out, std::size_t n, Doubtful& doubtful) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256 columns = _mm256_loadu_ps(u + i);
        __m256i sure = _mm256_set1_epi32(-1);
        const __m256i b = BlendEightAvx2(blue, columns, sure);
        const __m256i g = BlendEightAvx2(green, columns, sure);
        const __m256i r = BlendEightAvx2(red, columns, sure);
        const __m256i bgr =
            _mm256_or_si256(b, _mm256_or_si256(_mm256_slli_epi32(g, 8), _mm256_slli_epi32(r, 16)));
        StoreEightAvx2(bgr, sure, out, i, doubtful);
    }
    return i;
}
#endif

} // namespace

void PaintQuad(const TGrad& g, Bitmap24& canvas, const Area& area, std::int32_t lumi,
               std::int32_t hue) {
    // Every 90 degrees turns the arrangement one corner further clockwise.
    const std::int64_t k = 4 - g.Angle / 90;
    TColor corner[4];
    for (int i = 0; i < 4; ++i) {
        const auto index = static_cast<int>(((k + i) % 4 + 4) % 4);
        corner[i] = PaintColor(g.GetColor(std::min(index, g.Count() - 1)), lumi, hue);
    }
    const TColor tl = corner[2], tr = corner[3], bl = corner[1], br = corner[0];

    const std::size_t n = area.Columns();
    std::vector<double> u(n);
    for (std::int64_t x = area.x0; x < area.x1; ++x) {
        u[static_cast<std::size_t>(x - area.x0)] =
            area.Wp() == 0 ? 0.0 : Held(static_cast<Extended>(x) / area.Wp());
    }
    ChannelBlend blue(BlueOf(tl), BlueOf(tr), BlueOf(bl), BlueOf(br), u);
    ChannelBlend green(GreenOf(tl), GreenOf(tr), GreenOf(bl), GreenOf(br), u);
    ChannelBlend red(RedOf(tl), RedOf(tr), RedOf(bl), RedOf(br), u);
    auto exact = [&](std::size_t i) {
        return static_cast<std::uint32_t>(blue.Exact(i) | (green.Exact(i) << 8) |
                                          (red.Exact(i) << 16));
    };
    std::vector<std::uint32_t> packed(n);
    const std::vector<float> uSingle(u.begin(), u.end());
    Doubtful doubtful(n);
    for (std::int64_t y = area.y0; y < area.y1; ++y) {
        const double v = area.Hp() == 0 ? 0.0 : Held(static_cast<Extended>(y) / area.Hp());
        blue.SetRow(v);
        green.SetRow(v);
        red.SetRow(v);
        doubtful.Clear();
        std::uint8_t* out = area.Out(canvas, y);
        std::size_t done = 0;
#if PELMORA_X86_64_VECTORS
        if (HaveAvx2()) {
            done = BlendRowSingleAvx2(blue.Single(), green.Single(), red.Single(), uSingle.data(),
                                      out, n, doubtful);
        }
#endif
        // The rest of the row (all of it without AVX2) in double.
        for (std::size_t i = done; i < n; ++i) {
            const int b = blue.Approx(i), gr = green.Approx(i), r = red.Approx(i);
            if (b < 0 || gr < 0 || r < 0) {
                packed[i] = 0;
                doubtful.Add(i);
            } else {
                packed[i] = static_cast<std::uint32_t>(b | (gr << 8) | (r << 16));
            }
        }
        std::size_t i = done;
        for (; i + 4 <= n; i += 4) {
            PutPacked4(out + 3 * i, packed.data() + i);
        }
        for (; i < n; ++i) {
            Put3(out + 3 * i, packed[i]);
        }
        doubtful.ForEach([&](std::size_t column) { Put3(out + 3 * column, exact(column)); });
    }
}

} // namespace pelmora::gradpaint
