#pragma once
// The machinery the gradient painters share: the visible part of the
// rectangle, the packed colour table, pixel stores, the rounding of
// approximate positions with the columns left in doubt, and the switch to
// the AVX2 loops. Private to gradient/; one painter per kind lives in
// GradientBands.cpp, GradientSweep.cpp, GradientRings.cpp and GradientCorners.cpp.
//
// Each pixel's ramp position is defined by an extended-precision expression
// (the `exact` function of each kind). Painting first evaluates a
// cheap approximation (in double, single precision or fixed point) whose
// distance from the exact value has a proven bound, and keeps its rounding
// only when no half-integer (a rounding boundary) and no branch threshold of
// the exact expression lies within a margin of at least that bound; the few
// pixels that fail the test take the exact expression. The pixels are thus
// the exact ones, bit for bit; only the speed differs. The wide loops use
// AVX2 where the processor has it, chosen at run time.
//
// Notation for the bounds: u = 2^-53 (double rounding), ue = 2^-64 (extended
// rounding); every basic operation of a finite value has relative error at
// most u (or ue); constants held as doubles differ from their extended values
// by at most half an ulp.
#include "gradient/Gradient.h"
#include "platform/bitmap.h"
#include "platform/rounding.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// The AVX2 loops and every intrinsic they use exist only in x86-64 builds;
// all other builds (the 32-bit Windows module among them) run the plain
// loops, which give the same pixels.
#if defined(__GNUC__) && defined(__x86_64__)
#define PELMORA_X86_64_VECTORS 1
#define PELMORA_AVX2 __attribute__((target("avx2")))
#include <immintrin.h>
#else
#define PELMORA_X86_64_VECTORS 0
#endif

namespace pelmora::gradpaint {

constexpr Extended kTwoPi = 2 * kPi;
constexpr double kU = 0x1p-53;

// Adding and subtracting 1.5 * 2^52 rounds a double of magnitude below 2^51
// to an integer, halves to even, in the default rounding mode.
constexpr double kRoundMagic = 6755399441055744.0;

// Rounds half to even a value known to lie well inside the int range. Going
// through double (exact for such integers) avoids the x87 control-word switch
// that a direct conversion from long double costs on every pixel.
inline int RoundSmall(Extended v) {
    return static_cast<int>(static_cast<double>(std::rint(v)));
}

// A ramp position for the table: rounded, and clamped to its nearer end when
// the geometry (or a hand-made angle) puts it outside; NaN gives 0.
inline int TableIndex(Extended position) {
    if (!(position > 0)) {
        return 0;
    }
    if (position >= kTableLast) {
        return kTableLast;
    }
    return RoundSmall(position);
}

// The part of the gradient rectangle that lands on the canvas. Coordinates x, y
// are relative to the rectangle (0..W-1, 0..H-1); [x0, x1) x [y0, y1) is
// visible, and pixel (x, y) is canvas pixel (left + x, top + y).
struct Area {
    std::int64_t W = 0, H = 0;
    std::int64_t x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    std::int64_t left = 0, top = 0;
    std::int64_t Wp() const { return W - 1; } // distance between first and last column
    std::int64_t Hp() const { return H - 1; }
    bool Empty() const { return x0 >= x1 || y0 >= y1; }
    std::size_t Columns() const { return static_cast<std::size_t>(x1 - x0); }
    // The canvas bytes of row y from the first visible column on.
    std::uint8_t* Out(Bitmap24& canvas, std::int64_t y) const {
        return canvas.Row(static_cast<std::int32_t>(top + y)) +
               static_cast<std::size_t>(left + x0) * 3;
    }
};

// Table entries as B | G << 8 | R << 16, ready for one store per pixel.
using PackedTable = std::array<std::uint32_t, kTableSize>;

PackedTable Pack(const TGrad::Table24& table);

// Pixels go out as whole 4-byte words where they can (12 bytes hold four
// pixels) and as 3 bytes alone otherwise, so nothing outside the rectangle is
// touched.
inline void Put4(std::uint8_t* out, std::uint32_t bgr) {
    std::memcpy(out, &bgr, 4);
}
inline void Put3(std::uint8_t* out, std::uint32_t bgr) {
    std::memcpy(out, &bgr, 3);
}

// Four pixels from table entries index[0..3]: 12 bytes in three stores.
inline void Put4Pixels(std::uint8_t* out, const PackedTable& table, const std::int32_t* index) {
    const std::uint32_t p0 = table[static_cast<std::size_t>(index[0])];
    const std::uint32_t p1 = table[static_cast<std::size_t>(index[1])];
    const std::uint32_t p2 = table[static_cast<std::size_t>(index[2])];
    const std::uint32_t p3 = table[static_cast<std::size_t>(index[3])];
    Put4(out, p0 | (p1 << 24));
    Put4(out + 4, (p1 >> 8) | (p2 << 16));
    Put4(out + 8, (p2 >> 16) | (p3 << 8));
}

// Set by SetWideVectorPainting.
inline std::atomic<bool> wideVectorsAllowed{true};

// Whether to run the AVX2 loops: the processor has them (checked once) and
// they are allowed.
inline bool HaveAvx2() {
#if PELMORA_X86_64_VECTORS
    static const bool have = __builtin_cpu_supports("avx2");
    return have && wideVectorsAllowed.load(std::memory_order_relaxed);
#else
    return false;
#endif
}

// Columns of a row whose approximate position lies too near a rounding
// boundary to decide; they are painted by the exact expression afterwards.
class Doubtful {
public:
    explicit Doubtful(std::size_t n) : columns_(n) {}
    void Clear() { count_ = 0; }
    void Add(std::size_t column) { columns_[count_++] = static_cast<std::uint32_t>(column); }
    // Adds column first + b for every bit b of the low `width` bits of
    // sureBits that is clear.
    void AddUnsure(std::uint32_t sureBits, int width, std::size_t first) {
        for (int b = 0; b < width; ++b) {
            if (!(sureBits & (1u << b))) {
                Add(first + static_cast<std::size_t>(b));
            }
        }
    }
    template <class Repaint> void ForEach(Repaint repaint) const {
        for (std::size_t d = 0; d < count_; ++d) {
            repaint(static_cast<std::size_t>(columns_[d]));
        }
    }

private:
    std::vector<std::uint32_t> columns_;
    std::size_t count_ = 0;
};

// q[i] := fn(i) for i in [0, n), in one loop that the compiler vectorizes
// (for AVX2 where the processor has it; fn is plain double arithmetic, so
// the values do not depend on the instruction set). fn should capture plain
// pointers and values.
template <class Fn>
inline __attribute__((always_inline)) void ComputeRowBody(double* __restrict q, std::size_t n,
                                                          Fn fn) {
    for (std::size_t i = 0; i < n; ++i) {
        q[i] = fn(i);
    }
}
#if PELMORA_X86_64_VECTORS
template <class Fn> PELMORA_AVX2 void ComputeRowAvx2(double* __restrict q, std::size_t n, Fn fn) {
    ComputeRowBody(q, n, fn);
}
#endif
template <class Fn> void ComputeRow(double* __restrict q, std::size_t n, Fn fn) {
#if PELMORA_X86_64_VECTORS
    if (HaveAvx2()) {
        ComputeRowAvx2(q, n, fn);
        return;
    }
#endif
    ComputeRowBody(q, n, fn);
}

// Rounds approximate positions q[i] into table indexes. An approximation
// within `margin` of a half-integer (or NaN) is doubtful: there the exact
// value may round the other way, and only it decides; its index is set to 0
// and its column noted. Otherwise, if the exact value lies within `margin`
// of q[i], it lies strictly on the same side of every half-integer and
// rounds (and clamps) to the same index.
void RoundPositionsPlain(const double* q, int* index, std::size_t n, double margin,
                         std::size_t first, Doubtful& doubtful);
// The same, with the AVX2 loop where allowed.
void RoundPositions(const double* q, int* index, std::size_t n, double margin, Doubtful& doubtful);

#if PELMORA_X86_64_VECTORS
// Puts out eight pixels held as 0x00RRGGBB words with non-overlapping stores
// (24 bytes) and lists those whose `sure` lane is clear as doubtful.
PELMORA_AVX2 inline void StoreEightAvx2(__m256i bgr, __m256i sure, std::uint8_t* out, std::size_t i,
                                        Doubtful& doubtful) {
    // Per 128-bit lane: four pixels as B, G, R bytes, then four unused bytes;
    // then the two lanes' 12 bytes side by side.
    const __m256i pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0,
                                          1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    const __m256i join = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7);
    const __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(bgr, pack), join);
    std::uint8_t* at = out + 3 * i;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at), _mm256_castsi256_si128(bytes));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(at + 16), _mm256_extracti128_si256(bytes, 1));
    const auto sureBits = static_cast<std::uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(sure)));
    if (sureBits != 0xFF) {
        doubtful.AddUnsure(sureBits, 8, i);
    }
}
#endif

// Writes one row from its table indexes (from column `first` on, where an
// earlier pass wrote the others), then repaints the doubtful pixels with
// exact(i).
template <class ExactFn>
void WriteRow(std::uint8_t* out, const int* index, std::size_t n, const PackedTable& table,
              const Doubtful& doubtful, ExactFn exact, std::size_t first = 0) {
    std::size_t i = first;
    for (; i + 4 <= n; i += 4) {
        Put4Pixels(out + 3 * i, table, index + i);
    }
    for (; i < n; ++i) {
        Put3(out + 3 * i, table[static_cast<std::size_t>(index[i])]);
    }
    doubtful.ForEach([&](std::size_t column) {
        Put3(out + 3 * column, table[static_cast<std::size_t>(exact(column))]);
    });
}

// Writes a row whose every pixel takes exact(i).
template <class ExactFn>
void WriteExactRow(std::uint8_t* out, std::size_t n, const PackedTable& table, ExactFn exact) {
    for (std::size_t i = 0; i < n; ++i) {
        Put3(out + 3 * i, table[static_cast<std::size_t>(exact(i))]);
    }
}

// Scratch rows for one painting.
struct Rows {
    explicit Rows(std::size_t n) : q(n), index(n), doubtful(n) {}
    std::vector<double> q;
    std::vector<int> index;
    Doubtful doubtful;
};

// Paints one row from its approximate positions rows.q (see RoundPositions);
// doubtful pixels take exact(i).
template <class ExactFn>
void PaintRow(Rows& rows, std::size_t n, double margin, const PackedTable& table, std::uint8_t* out,
              ExactFn exact) {
    rows.doubtful.Clear();
    RoundPositions(rows.q.data(), rows.index.data(), n, margin, rows.doubtful);
    WriteRow(out, rows.index.data(), n, table, rows.doubtful, exact);
}

// --- Centre point ---------------------------------------------------------------

struct Centre {
    double x = 0;
    double y = 0;
};

Centre CentreOf(const TGrad& g, const Area& area);

// Offsets from the centre of the visible columns, rounded to double (relative
// error at most u each).
std::vector<double> ColumnOffsets(const Area& area, double cx);

// The painters of each kind.
void PaintLinear(const TGrad& g, const PackedTable& table, Bitmap24& canvas, const Area& area);
void PaintRadiate(const TGrad& g, const PackedTable& table, Bitmap24& canvas, const Area& area);
void PaintArc(const TGrad& g, const PackedTable& table, Bitmap24& canvas, const Area& area);
void PaintQuad(const TGrad& g, Bitmap24& canvas, const Area& area, std::int32_t lumi,
               std::int32_t hue);

} // namespace pelmora::gradpaint
