// Parallel bands (the linear kind): whole rows or columns alike at the right
// angles, fixed-point positions for every other angle.
#include "gradient/GradientPaint.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace pelmora::gradpaint {

namespace {

// A row of one colour: four pixels per three 4-byte stores.
void FillRow(std::uint8_t* out, std::size_t n, std::uint32_t bgr) {
    const std::uint32_t w0 = bgr | (bgr << 24), w1 = (bgr >> 8) | (bgr << 16),
                        w2 = (bgr >> 16) | (bgr << 8);
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        Put4(out + 3 * i, w0);
        Put4(out + 3 * i + 4, w1);
        Put4(out + 3 * i + 8, w2);
    }
    for (; i < n; ++i) {
        Put3(out + 3 * i, bgr);
    }
}

// Fixed-point positions with kFixedBits fraction bits: index[i] := the
// rounding of (base + step[i]) / 2^kFixedBits, where base already holds the
// half for rounding; doubtful (see RoundPositions) where the fraction lies
// within `margin` units of a rounding boundary. Sums stay below 2^32.
constexpr int kFixedBits = 22;
constexpr std::uint32_t kFixedMask = (1u << kFixedBits) - 1;

void FixedPositionsPlain(std::uint32_t base, const std::uint32_t* step, int* index, std::size_t n,
                         std::uint32_t margin, std::size_t first, Doubtful& doubtful) {
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t sum = base + step[i];
        const std::uint32_t fraction = sum & kFixedMask;
        // The sums never exceed the table; the bound keeps a slip from reading outside it.
        index[i] = static_cast<int>(std::min<std::uint32_t>(sum >> kFixedBits, kTableLast));
        if (fraction < margin || fraction > kFixedMask + 1 - margin) {
            doubtful.Add(first + i);
        }
    }
}

#if PELMORA_X86_64_VECTORS
// FixedPositionsPlain and the writing of the pixels in one pass, eight at a
// time (the fractions are below 2^22, so signed comparisons serve):
// the indexes stay in a register, one gather fetches their colours and two
// stores that do not overlap put out the 24 bytes. Doubtful pixels get a
// colour that is overwritten later. Returns the columns done.
PELMORA_AVX2 std::size_t FixedRowAvx2(std::uint32_t base, const std::uint32_t* step, std::size_t n,
                                      std::uint32_t margin, const PackedTable& table,
                                      std::uint8_t* out, Doubtful& doubtful) {
    const __m256i vbase = _mm256_set1_epi32(static_cast<int>(base));
    const __m256i mask = _mm256_set1_epi32(static_cast<int>(kFixedMask));
    const __m256i below = _mm256_set1_epi32(static_cast<int>(margin) - 1);
    const __m256i above = _mm256_set1_epi32(static_cast<int>(kFixedMask + 2 - margin));
    const __m256i last = _mm256_set1_epi32(kTableLast);
    const auto* entries = reinterpret_cast<const int*>(table.data());
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i sum =
            _mm256_add_epi32(vbase, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(step + i)));
        const __m256i fraction = _mm256_and_si256(sum, mask);
        const __m256i sure = _mm256_and_si256(_mm256_cmpgt_epi32(fraction, below),
                                              _mm256_cmpgt_epi32(above, fraction));
        const __m256i index = _mm256_min_epu32(_mm256_srli_epi32(sum, kFixedBits), last);
        const __m256i colours = _mm256_i32gather_epi32(entries, index, 4);
        StoreEightAvx2(colours, sure, out, i, doubtful);
    }
    return i;
}
#endif

// Straight bands across a single axis: position of a column (or row) index
// along a rectangle whose extent on that axis is `extent` (W' or H').
int AxisPosition(std::int64_t i, std::int64_t extent, bool reversed) {
    if (extent == 0) { // a single column or row has no ramp: first stop
        return 0;
    }
    const double s = Held(static_cast<Extended>(extent) / 1000);
    const int p = TableIndex(i / static_cast<Extended>(s));
    return reversed ? kTableLast - p : p;
}

} // namespace

void PaintLinear(const TGrad& g, const PackedTable& table, Bitmap24& canvas, const Area& area) {
    const std::size_t n = area.Columns();
    if (g.Angle == 0 || g.Angle == 180) { // whole columns alike: one row, copied
        std::uint8_t* first = area.Out(canvas, area.y0);
        for (std::int64_t x = area.x0; x < area.x1; ++x) {
            const auto i = static_cast<std::size_t>(x - area.x0);
            const int p = AxisPosition(x, area.Wp(), g.Angle == 180);
            (i + 1 < n ? Put4 : Put3)(first + 3 * i, table[static_cast<std::size_t>(p)]);
        }
        for (std::int64_t y = area.y0 + 1; y < area.y1; ++y) {
            std::memcpy(area.Out(canvas, y), first, n * 3);
        }
        return;
    }
    if (g.Angle == 90 || g.Angle == 270) { // whole rows alike
        for (std::int64_t y = area.y0; y < area.y1; ++y) {
            const int p = AxisPosition(y, area.Hp(), g.Angle == 270);
            FillRow(area.Out(canvas, y), n, table[static_cast<std::size_t>(p)]);
        }
        return;
    }

    const double rad = g.AngleRad();
    double sn = Held(std::sin(static_cast<Extended>(rad)));
    double cs = Held(std::cos(static_cast<Extended>(rad)));
    const bool fromBottom = sn < 0;
    const bool fromRight = cs < 0;
    sn = std::abs(sn);
    cs = std::abs(cs);
    const double total =
        Held(static_cast<Extended>(area.Hp()) * sn + static_cast<Extended>(area.Wp()) * cs);
    if (total == 0) { // a single pixel: no ramp
        for (std::int64_t y = area.y0; y < area.y1; ++y) {
            FillRow(area.Out(canvas, y), n, table[0]);
        }
        return;
    }

    std::vector<double> along(n);
    for (std::int64_t x = area.x0; x < area.x1; ++x) {
        const std::int64_t xr = fromRight ? area.Wp() - x : x;
        along[static_cast<std::size_t>(x - area.x0)] = Held(static_cast<Extended>(xr) * cs);
    }
    auto exact = [&](double a, std::size_t i) {
        return TableIndex((static_cast<Extended>(a) + along[i]) * 1000 / total);
    };

    // Exact: (a + b) * 1000 / total in extended, with a, b >= 0 and total
    // held, a + b <= total (1 + 2u). The approximation is a sum in fixed
    // point with kFixedBits fraction bits: A = a k and B = b k in double
    // (k = 1000 / total rounded; 2u relative each), each rounded to the
    // nearest unit (half a unit each). Against the real (a + b) 1000 / total
    // that is off by at most 2^-(kFixedBits) + 2u (|A| + |B|) <= 2.4e-7 + 2.3e-13,
    // and the exact value by 3ue relative more; the margin is 16 times that.
    // Positions stay in 0..1001, so the sums stay below 2^32.
    constexpr double kScale = 1u << kFixedBits;
    const auto margin = static_cast<std::uint32_t>(std::ceil(16 * 2.5e-7 * kScale));
    const double k = 1000.0 / total;
    std::vector<std::uint32_t> step(n);
    for (std::size_t i = 0; i < n; ++i) {
        step[i] = static_cast<std::uint32_t>(along[i] * k * kScale + 0.5);
    }
    Rows rows(n);
    for (std::int64_t y = area.y0; y < area.y1; ++y) {
        const std::int64_t yr = fromBottom ? area.Hp() - y : y;
        const double a = Held(static_cast<Extended>(yr) * sn);
        const auto base =
            static_cast<std::uint32_t>(a * k * kScale + 0.5) + (1u << (kFixedBits - 1));
        rows.doubtful.Clear();
        std::uint8_t* out = area.Out(canvas, y);
        std::size_t done = 0;
#if PELMORA_X86_64_VECTORS
        if (HaveAvx2()) {
            done = FixedRowAvx2(base, step.data(), n, margin, table, out, rows.doubtful);
        }
#endif
        FixedPositionsPlain(base, step.data() + done, rows.index.data() + done, n - done, margin,
                            done, rows.doubtful);
        WriteRow(
            out, rows.index.data(), n, table, rows.doubtful,
            [&](std::size_t i) { return exact(a, i); }, done);
    }
}

} // namespace pelmora::gradpaint
