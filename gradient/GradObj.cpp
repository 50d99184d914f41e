#include "gradient/GradObj.h"

#include "gradient/ColorAdjust.h"
#include "platform/commatext.h"
#include "platform/inttext.h"
#include "platform/rounding.h"
#include "platform/syscolors.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>
#include <utility>
#include <vector>

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#endif

namespace pelmora {

const char* const kGradKindNames[4] = {"直線", "放射状", "円弧", "四角形"};

namespace {

constexpr Extended kPi = 3.141592653589793238462643383279502884L;
constexpr Extended kTwoPi = 2 * kPi;

constexpr std::int32_t kFirstPos = 0;
constexpr std::int32_t kLastPos = 100;
constexpr std::uint8_t kMaxKind = gkQuad;
constexpr TColor kInvalidColor = 0xFFFFFFFFu;

// A stop colour as painted: system colour references resolved, then shifted.
TColor PaintColor(TColor stored, std::int32_t lumi, std::int32_t hue) {
    const TColor rgb = ResolveColor(stored);
    return (lumi != 0 || hue != 0) ? ColorAdjust(rgb, lumi, hue) : rgb;
}

// Hexadecimal digits read from the left up to the first other character; none give 0.
std::uint32_t LeadingHex(std::string_view text) {
    std::uint32_t value = 0;
    for (const char c : text) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else {
            break;
        }
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

// Nearest multiple of 90 degrees, halves to the even multiple.
std::int64_t SnapToRightAngle(std::int64_t degrees) {
    return RoundEven(static_cast<Extended>(degrees) / 90) * 90;
}

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

} // namespace

// ---------------------------------------------------------------------------
// Stops

TGrad::TGrad() : stops_{TCol{kFirstPos, 0}, TCol{kLastPos, 0}} {}

TColor TGrad::GetColor(int index) const {
    if (index < 0 || index >= Count()) {
        return kInvalidColor;
    }
    return stops_[static_cast<std::size_t>(index)].Color;
}

std::int32_t TGrad::GetPos(int index) const {
    if (index < 0 || index >= Count()) {
        return -1;
    }
    return stops_[static_cast<std::size_t>(index)].Pos;
}

void TGrad::SetColor(int index, TColor color) {
    if (index < 0 || index >= Count()) {
        return;
    }
    stops_[static_cast<std::size_t>(index)].Color = color;
    dirty_ = true;
}

void TGrad::SetPos(int index, std::int32_t pos) {
    // The four corners of a four-corner gradient stay at 0, 33, 67 and 100.
    if (index <= 0 || index >= Count() - 1 || Kind == gkQuad) {
        return;
    }
    if (pos <= GetPos(index - 1) || pos >= GetPos(index + 1)) {
        return;
    }
    stops_[static_cast<std::size_t>(index)].Pos = pos;
    dirty_ = true;
}

int TGrad::AddStop(std::int32_t pos) {
    if (pos < 1 || pos > 99 || Kind == gkQuad) {
        return 0;
    }
    return InsertSampledStop(pos);
}

// Inserts a stop before the first stop at or beyond `pos`, so a stop added at
// a taken position goes before the one that holds it. Returns the new index.
int TGrad::InsertStop(std::int32_t pos, TColor color) {
    const auto at = std::find_if(stops_.begin(), stops_.end() - 1,
                                 [pos](const TCol& stop) { return stop.Pos >= pos; });
    const auto index = at - stops_.begin();
    stops_.insert(at, TCol{pos, color});
    dirty_ = true;
    return static_cast<int>(index);
}

// A stop at `pos` (1..99) with the colour the unshifted ramp shows there, so
// the gradient looks the same, up to rounding.
int TGrad::InsertSampledStop(std::int32_t pos) {
    BuildTable(0, 0);
    const auto& bgr = table_[static_cast<std::size_t>(pos) * 10];
    return InsertStop(pos, Rgb(bgr[2], bgr[1], bgr[0]));
}

void TGrad::DeleteStop(int index) {
    if (index <= 0 || index >= Count() - 1 || Kind == gkQuad) {
        return;
    }
    stops_.erase(stops_.begin() + index);
    dirty_ = true;
}

void TGrad::ClearStops() {
    if (stops_.size() > 2) {
        stops_.erase(stops_.begin() + 1, stops_.end() - 1);
    }
    dirty_ = true;
}

void TGrad::Reverse() {
    std::reverse(stops_.begin(), stops_.end());
    for (TCol& stop : stops_) {
        stop.Pos = kLastPos - stop.Pos;
    }
    dirty_ = true;
}

void TGrad::CopyStops(const TGrad& source) {
    if (&source == this) {
        return;
    }
    ClearStops();
    stops_.front().Color = source.stops_.front().Color;
    stops_.back().Color = source.stops_.back().Color;
    stops_.insert(stops_.end() - 1, source.stops_.begin() + 1, source.stops_.end() - 1);
    dirty_ = true;
}

void TGrad::Assign(const TGrad& source) {
    CopyStops(source);
    Kind = source.Kind;
    Angle = source.Angle;
    CenterX = source.CenterX;
    CenterY = source.CenterY;
    Normalize = source.Normalize;
}

// ---------------------------------------------------------------------------
// Geometry

// Four stops at 0, 33, 67 and 100. Works on the list directly: the checks that
// refuse stop changes on a four-corner gradient must not stop this (hand-made
// text can give kind 3 with another number of stops).
void TGrad::MakeFourCornerStops() {
    switch (Count()) {
    case 2:
        InsertSampledStop(33);
        InsertSampledStop(67);
        break;
    case 3:
        stops_[1].Pos = 33;
        dirty_ = true;
        InsertSampledStop(67);
        break;
    default:
        stops_[1].Pos = 33;
        stops_[2].Pos = 67;
        stops_.erase(stops_.begin() + 3, stops_.end() - 1);
        dirty_ = true;
        break;
    }
}

void TGrad::SetKind(std::uint8_t kind) {
    kind = std::min(kind, kMaxKind);
    if (kind == gkQuad) {
        MakeFourCornerStops();
        std::int64_t angle = SnapToRightAngle(Angle);
        if (angle > 359) {
            angle %= 360;
        }
        Angle = static_cast<std::int32_t>(angle);
    }
    Kind = kind;
}

void TGrad::SetAngle(std::int32_t degrees) {
    std::int64_t angle = degrees;
    if (Kind == gkQuad) {
        angle = SnapToRightAngle(angle);
    }
    // Into 0..359; a whole negative turn gives 0, not 360.
    angle = ((angle % 360) + 360) % 360;
    Angle = static_cast<std::int32_t>(angle);
}

double TGrad::AngleRad() const {
    return Held(Angle * kPi / 180);
}

void TGrad::Reset() {
    ClearStops();
    stops_.front().Color = 0;
    stops_.back().Color = 0;
    Kind = gkLinear;
    Angle = 0;
    CenterX = 0;
    CenterY = 0;
    Normalize = false;
}

// ---------------------------------------------------------------------------
// Text form: kind, angle, centre x, centre y, normalise, an empty item, then
// one item per stop: 2 hex digits of position and 8 of colour.

std::string TGrad::SaveToText() const {
    std::vector<std::string> items{IntToStr(Kind),    IntToStr(Angle),       IntToStr(CenterX),
                                   IntToStr(CenterY), Normalize ? "1" : "0", ""};
    for (const TCol& stop : stops_) {
        char entry[16];
        std::snprintf(entry, sizeof entry, "%02X%08X", static_cast<unsigned>(stop.Pos & 0xFF),
                      static_cast<unsigned>(stop.Color));
        items.emplace_back(entry);
    }
    return WriteCommaText(items);
}

void TGrad::LoadFromText(const std::string& text) {
    Reset();
    const std::vector<std::string> items = ReadCommaText(text);
    if (items.empty()) {
        return;
    }
    std::size_t headerEnd = items.size();
    for (std::size_t i = 1; i < items.size(); ++i) {
        if (items[i].empty()) {
            headerEnd = i;
            break;
        }
    }

    const auto kind =
        std::min(static_cast<std::uint8_t>(StrToIntDef(items[0], 0) & 0xFF), kMaxKind);
    if (headerEnd >= 2) {
        Angle = StrToIntDef(items[1], 0);
    }
    if (headerEnd >= 3) {
        CenterX = StrToIntDef(items[2], 0);
    }
    if (headerEnd >= 4) {
        CenterY = StrToIntDef(items[3], 0);
    }
    if (headerEnd >= 5) {
        Normalize = StrToIntDef(items[4], 0) != 0;
    }

    ClearStops();
    // Interior stops are gathered and sorted once: inserting each into the
    // list would cost time quadratic in the stop count of a hostile text.
    // The stable sort keeps stops that share a position in written order.
    std::vector<TCol> interior;
    for (std::size_t i = headerEnd + 1; i < items.size(); ++i) {
        const std::string_view entry = items[i];
        if (entry.size() < 10) {
            continue;
        }
        const auto pos = static_cast<std::int32_t>(LeadingHex(entry.substr(0, 2)));
        const TColor color = LeadingHex(entry.substr(2, 8));
        if (color == kInvalidColor) {
            continue;
        }
        if (pos >= 1 && pos <= 99) {
            interior.push_back(TCol{pos, color});
        } else {
            // Positions beyond 100 are refused as by AddStop and colour the
            // first stop.
            SetColor(pos == kLastPos ? Count() - 1 : 0, color);
        }
    }
    std::stable_sort(interior.begin(), interior.end(),
                     [](const TCol& a, const TCol& b) { return a.Pos < b.Pos; });
    stops_.insert(stops_.end() - 1, interior.begin(), interior.end());
    Kind = kind;
    dirty_ = true;
}

// ---------------------------------------------------------------------------
// Colour table

void TGrad::BuildTable(std::int32_t lumi, std::int32_t hue) {
    if (!dirty_) {
        return;
    }
    auto store = [this](std::size_t entry, int r, int g, int b) {
        table_[entry] = {static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g),
                         static_cast<std::uint8_t>(r)};
    };
    TColor c = PaintColor(stops_.front().Color, lumi, hue);
    store(0, RedOf(c), GreenOf(c), BlueOf(c));

    std::int32_t prev = 0;
    for (std::size_t i = 1; i < stops_.size(); ++i) {
        const std::int32_t end = std::clamp(stops_[i].Pos, kFirstPos, kLastPos) * 10;
        const TColor next = PaintColor(stops_[i].Color, lumi, hue);
        const std::int32_t n = end - prev;
        if (n > 0) {
            const double stepR = Held(static_cast<Extended>(RedOf(next) - RedOf(c)) / n);
            const double stepG = Held(static_cast<Extended>(GreenOf(next) - GreenOf(c)) / n);
            const double stepB = Held(static_cast<Extended>(BlueOf(next) - BlueOf(c)) / n);
            for (std::int32_t m = 1; m <= n; ++m) {
                const Extended em = m;
                store(static_cast<std::size_t>(prev + m),
                      static_cast<int>(RoundEven(em * stepR + RedOf(c))),
                      static_cast<int>(RoundEven(em * stepG + GreenOf(c))),
                      static_cast<int>(RoundEven(em * stepB + BlueOf(c))));
            }
        }
        prev = end;
        c = next;
    }
    dirty_ = false;
}

// ---------------------------------------------------------------------------
// Painting
//
// Each pixel's ramp position is defined by an extended-precision expression
// (the `exact` function of each kind below). Painting first evaluates a
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

double DirectionAngle(long double dx, long double dy) {
    if (dx == 0) {
        return dy > 0 ? Held(kPi / 2) : Held(3 * kPi / 2);
    }
    const double t = Held(std::atan(dy / dx));
    if (dx < 0) {
        return Held(t + kPi);
    }
    if (dy < 0) {
        return Held(t + kTwoPi);
    }
    return t;
}

namespace {

constexpr double kU = 0x1p-53;

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

PackedTable Pack(const TGrad::Table24& table) {
    PackedTable packed;
    for (std::size_t i = 0; i < packed.size(); ++i) {
        packed[i] =
            table[i][0] | (std::uint32_t{table[i][1]} << 8) | (std::uint32_t{table[i][2]} << 16);
    }
    return packed;
}

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

// Adding and subtracting 1.5 * 2^52 rounds a double of magnitude below 2^51
// to an integer, halves to even, in the default rounding mode.
constexpr double kRoundMagic = 6755399441055744.0;

std::atomic<bool> wideVectorsAllowed{true};

// Whether to run the AVX2 loops: the processor has them (checked once) and
// they are allowed.
bool HaveAvx2() {
#if defined(__GNUC__) && defined(__x86_64__)
    static const bool have = __builtin_cpu_supports("avx2");
    return have && wideVectorsAllowed.load(std::memory_order_relaxed);
#else
    return false;
#endif
}

#if defined(__GNUC__) && defined(__x86_64__)
#define PELMORA_AVX2 __attribute__((target("avx2")))
#else
#define PELMORA_AVX2
#endif

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
template <class Fn> PELMORA_AVX2 void ComputeRowAvx2(double* __restrict q, std::size_t n, Fn fn) {
    ComputeRowBody(q, n, fn);
}
template <class Fn> void ComputeRow(double* __restrict q, std::size_t n, Fn fn) {
    if (HaveAvx2()) {
        ComputeRowAvx2(q, n, fn);
    } else {
        ComputeRowBody(q, n, fn);
    }
}

// Rounds approximate positions q[i] into table indexes. An approximation
// within `margin` of a half-integer (or NaN) is doubtful: there the exact
// value may round the other way, and only it decides; its index is set to 0
// and its column noted. Otherwise, if the exact value lies within `margin`
// of q[i], it lies strictly on the same side of every half-integer and
// rounds (and clamps) to the same index.
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

#if defined(__GNUC__) && defined(__x86_64__)
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

void RoundPositions(const double* q, int* index, std::size_t n, double margin, Doubtful& doubtful) {
#if defined(__GNUC__) && defined(__x86_64__)
    if (HaveAvx2()) {
        RoundPositionsAvx2(q, index, n, margin, doubtful);
        return;
    }
#endif
    RoundPositionsPlain(q, index, n, margin, 0, doubtful);
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

#if defined(__GNUC__) && defined(__x86_64__)
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

// --- Parallel bands -----------------------------------------------------------

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
#if defined(__GNUC__) && defined(__x86_64__)
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

// --- Centre point ---------------------------------------------------------------

struct Centre {
    double x = 0;
    double y = 0;
};

Centre CentreOf(const TGrad& g, const Area& area) {
    return Centre{Held((g.CenterX / 50.0L + 1) * area.Wp() * 0.5L),
                  Held((g.CenterY / 50.0L + 1) * area.Hp() * 0.5L)};
}

// Offsets from the centre of the visible columns, rounded to double (relative
// error at most u each).
std::vector<double> ColumnOffsets(const Area& area, double cx) {
    std::vector<double> dx(area.Columns());
    for (std::int64_t x = area.x0; x < area.x1; ++x) {
        dx[static_cast<std::size_t>(x - area.x0)] = static_cast<double>(x) - cx;
    }
    return dx;
}

// --- Angular sweep ---------------------------------------------------------------

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

#if defined(__GNUC__) && defined(__x86_64__)
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

// Positions of one full turn from `angle` (see PaintRadiate), four at a
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

// Positions of the sweep from start to end (see PaintRadiate), four at a
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

void PaintRadiate(const TGrad& g, const PackedTable& table, Bitmap24& canvas, const Area& area) {
    const Centre c = CentreOf(g, area);
    const int region = g.Normalize ? Side(c.x, area.Wp()) + 3 * Side(c.y, area.Hp()) : 4;
    const std::size_t n = area.Columns();
    const std::vector<double> dx = ColumnOffsets(area, c.x);
    const double* atanTable = AtanSixteenths().data();
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    Rows rows(n);
    auto exactDirection = [&](std::size_t i, std::int64_t y) {
        return DirectionAngle(area.x0 + static_cast<std::int64_t>(i) - static_cast<Extended>(c.x),
                              y - static_cast<Extended>(c.y));
    };

    if (region == 4) { // one full turn, starting in the direction of Angle
        const double angle = g.AngleRad();
        auto exact = [&](std::size_t i, std::int64_t y) {
            double t = Held(exactDirection(i, y) - static_cast<Extended>(angle));
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
        for (std::int64_t y = area.y0; y < area.y1; ++y) {
            const double dy = static_cast<double>(y) - c.y;
            std::size_t done = 0;
#if defined(__GNUC__) && defined(__x86_64__)
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
        return;
    }

    // The clockwise sweep over the corners the centre can see.
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
        double t = exactDirection(i, y);
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
    for (std::int64_t y = area.y0; y < area.y1; ++y) {
        std::uint8_t* out = area.Out(canvas, y);
        if (!fast) {
            WriteExactRow(out, n, table, [&](std::size_t i) { return exact(i, y); });
            continue;
        }
        const double dy = static_cast<double>(y) - c.y;
        std::size_t done = 0;
#if defined(__GNUC__) && defined(__x86_64__)
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

// --- Rings ---------------------------------------------------------------------

#if defined(__GNUC__) && defined(__x86_64__)
// Ring indexes of a row in single precision, eight at a time: q = (sqrt(dx2[i]
// + dy2) - base) * k is formed in float scaled by 2^20, converted to a fixed
// point integer with 20 fraction bits and rounded and tested there as in
// FixedPositions. The inputs are finite and
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
#if defined(__GNUC__) && defined(__x86_64__)
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

// --- Four corners ------------------------------------------------------------------

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
        float slope, intercept;
        int tl;
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

#if defined(__GNUC__) && defined(__x86_64__)
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
        _mm256_add_ps(_mm256_mul_ps(u, _mm256_set1_ps(t.slope)), _mm256_set1_ps(t.intercept));
    const __m256i whole = _mm256_cvtps_epi32(value); // nearest, halves to even
    const __m256 distance =
        _mm256_andnot_ps(_mm256_set1_ps(-0.0f), _mm256_sub_ps(value, _mm256_cvtepi32_ps(whole)));
    const __m256 near =
        _mm256_cmp_ps(distance, _mm256_set1_ps(0.5f - kQuadSingleMargin), _CMP_LE_OQ);
    sure = _mm256_and_si256(sure, _mm256_castps_si256(near));
    return _mm256_min_epi32(
        _mm256_set1_epi32(255),
        _mm256_max_epi32(_mm256_setzero_si256(), _mm256_add_epi32(whole, _mm256_set1_epi32(t.tl))));
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
#if defined(__GNUC__) && defined(__x86_64__)
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

} // namespace

void SetWideVectorPainting(bool allowed) {
    wideVectorsAllowed.store(allowed, std::memory_order_relaxed);
}

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
    Area area;
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

    const std::uint8_t kind = std::min(Kind, kMaxKind);
    if (kind == gkQuad) {
        PaintQuad(*this, canvas, area, lumi, hue);
        return;
    }
    const PackedTable table = Pack(table_);
    switch (kind) {
    case gkLinear:
        PaintLinear(*this, table, canvas, area);
        break;
    case gkRadiate:
        PaintRadiate(*this, table, canvas, area);
        break;
    default:
        PaintArc(*this, table, canvas, area);
        break;
    }
}

} // namespace pelmora
