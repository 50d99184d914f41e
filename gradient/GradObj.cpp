#include "gradient/GradObj.h"

#include "gradient/ColorAdjust.h"
#include "platform/commatext.h"
#include "platform/inttext.h"
#include "platform/rounding.h"
#include "platform/syscolors.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <utility>
#include <vector>

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

// The part of the gradient rectangle that lands on the canvas. Coordinates x, y
// are relative to the rectangle (0..W-1, 0..H-1); [x0, x1) x [y0, y1) is visible.
struct Area {
    std::int64_t W = 0, H = 0;
    std::int64_t x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    std::int64_t Wp() const { return W - 1; } // distance between first and last column
    std::int64_t Hp() const { return H - 1; }
    bool Empty() const { return x0 >= x1 || y0 >= y1; }
};

using Table24 = TGrad::Table24;

inline void PutPixel(std::uint8_t* out, const std::array<std::uint8_t, 3>& bgr) {
    out[0] = bgr[0];
    out[1] = bgr[1];
    out[2] = bgr[2];
}

// Paints every visible pixel with table[position(x, y)].
template <class PositionFn>
void FillFromTable(Bitmap24& off, const Area& area, const Table24& table, PositionFn position) {
    for (std::int64_t y = area.y0; y < area.y1; ++y) {
        std::uint8_t* out = off.Row(static_cast<std::int32_t>(y - area.y0));
        for (std::int64_t x = area.x0; x < area.x1; ++x, out += 3) {
            PutPixel(out, table[static_cast<std::size_t>(position(x, y))]);
        }
    }
}

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

void PaintLinear(const TGrad& g, Bitmap24& off, const Area& area) {
    const Table24& table = g.Table();
    if (g.Angle == 0 || g.Angle == 180) {
        std::vector<int> column(static_cast<std::size_t>(area.x1 - area.x0));
        for (std::int64_t x = area.x0; x < area.x1; ++x) {
            column[static_cast<std::size_t>(x - area.x0)] =
                AxisPosition(x, area.Wp(), g.Angle == 180);
        }
        FillFromTable(off, area, table, [&](std::int64_t x, std::int64_t) {
            return column[static_cast<std::size_t>(x - area.x0)];
        });
        return;
    }
    if (g.Angle == 90 || g.Angle == 270) {
        for (std::int64_t y = area.y0; y < area.y1; ++y) {
            const auto& bgr =
                table[static_cast<std::size_t>(AxisPosition(y, area.Hp(), g.Angle == 270))];
            std::uint8_t* out = off.Row(static_cast<std::int32_t>(y - area.y0));
            for (std::int64_t x = area.x0; x < area.x1; ++x, out += 3) {
                PutPixel(out, bgr);
            }
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

    std::vector<double> along(static_cast<std::size_t>(area.x1 - area.x0));
    for (std::int64_t x = area.x0; x < area.x1; ++x) {
        const std::int64_t xr = fromRight ? area.Wp() - x : x;
        along[static_cast<std::size_t>(x - area.x0)] = Held(static_cast<Extended>(xr) * cs);
    }
    for (std::int64_t y = area.y0; y < area.y1; ++y) {
        const std::int64_t yr = fromBottom ? area.Hp() - y : y;
        const double a = Held(static_cast<Extended>(yr) * sn);
        std::uint8_t* out = off.Row(static_cast<std::int32_t>(y - area.y0));
        for (std::size_t i = 0; i < along.size(); ++i, out += 3) {
            const int p =
                total == 0 ? 0 : TableIndex((static_cast<Extended>(a) + along[i]) * 1000 / total);
            PutPixel(out, table[static_cast<std::size_t>(p)]);
        }
    }
}

struct Centre {
    double x = 0;
    double y = 0;
};

Centre CentreOf(const TGrad& g, const Area& area) {
    return Centre{Held((g.CenterX / 50.0L + 1) * area.Wp() * 0.5L),
                  Held((g.CenterY / 50.0L + 1) * area.Hp() * 0.5L)};
}

// Where the centre lies against one axis of the rectangle: 0 before, 1 inside, 2 beyond.
int Side(double c, std::int64_t extent) {
    if (c <= 0) {
        return 0;
    }
    return c >= static_cast<double>(extent) ? 2 : 1;
}

void PaintRadiate(const TGrad& g, Bitmap24& off, const Area& area) {
    const Table24& table = g.Table();
    const Centre c = CentreOf(g, area);
    const int region = g.Normalize ? Side(c.x, area.Wp()) + 3 * Side(c.y, area.Hp()) : 4;

    if (region == 4) { // one full turn, starting in the direction of Angle
        const double angle = g.AngleRad();
        FillFromTable(off, area, table, [&](std::int64_t x, std::int64_t y) {
            double t = Held(
                DirectionAngle(x - static_cast<Extended>(c.x), y - static_cast<Extended>(c.y)) -
                static_cast<Extended>(angle));
            if (t < 0) {
                t = Held(t + kTwoPi);
            }
            return TableIndex(static_cast<Extended>(t) * 1000 / kTwoPi);
        });
        return;
    }

    // The clockwise sweep over the corners the centre can see.
    const Extended wp = static_cast<Extended>(area.Wp());
    const Extended hp = static_cast<Extended>(area.Hp());
    const Extended corner[4] = {
        DirectionAngle(-c.x, -c.y),         // top-left
        DirectionAngle(wp - c.x, -c.y),     // top-right
        DirectionAngle(-c.x, hp - c.y),     // bottom-left
        DirectionAngle(wp - c.x, hp - c.y), // bottom-right
    };
    static constexpr int kStart[9] = {1, 1, 3, 0, -1, 3, 0, 2, 2};
    static constexpr int kEnd[9] = {2, 0, 0, 2, -1, 1, 3, 3, 1};
    Extended start = corner[kStart[region]];
    const Extended end = corner[kEnd[region]];
    if (start > end) {
        start -= kTwoPi;
    }
    const Extended span = end - start;
    FillFromTable(off, area, table, [&](std::int64_t x, std::int64_t y) {
        double t = DirectionAngle(x - static_cast<Extended>(c.x), y - static_cast<Extended>(c.y));
        if (t > end) {
            t = Held(t - kTwoPi);
        }
        return TableIndex((t - start) * 1000 / span);
    });
}

void PaintArc(const TGrad& g, Bitmap24& off, const Area& area) {
    const Table24& table = g.Table();
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

    std::vector<Extended> dx2(static_cast<std::size_t>(area.x1 - area.x0));
    for (std::int64_t x = area.x0; x < area.x1; ++x) {
        const Extended dx = x - cx;
        dx2[static_cast<std::size_t>(x - area.x0)] = dx * dx;
    }
    for (std::int64_t y = area.y0; y < area.y1; ++y) {
        const Extended dy = y - cy;
        const Extended dy2 = dy * dy;
        std::uint8_t* out = off.Row(static_cast<std::int32_t>(y - area.y0));
        for (std::size_t i = 0; i < dx2.size(); ++i, out += 3) {
            const Extended d = std::sqrt(dx2[i] + dy2);
            int p;
            if (normalised) {
                p = TableIndex((d - near) * 1000 / (far - near));
            } else {
                p = far == 0 ? 0 : TableIndex(d * 1000 / far);
            }
            PutPixel(out, table[static_cast<std::size_t>(p)]);
        }
    }
}

// Bilinear blend of one channel between the four corner values:
// TL + Round((TR - TL) u + (BL - TL) v + (TL - TR - BL + BR) u v), evaluated in
// that order. The terms that depend on the column alone are kept per column
// (in extended precision, so the sums come out the same).
class ChannelBlend {
public:
    ChannelBlend(int tl, int tr, int bl, int br, const std::vector<double>& u)
        : tl_(tl), down_(bl - tl), across_(u.size()), twist_(u.size()) {
        for (std::size_t i = 0; i < u.size(); ++i) {
            across_[i] = (tr - tl) * static_cast<Extended>(u[i]);
            twist_[i] = (tl - tr - bl + br) * static_cast<Extended>(u[i]);
        }
    }
    // Per row: the row's share of the blend.
    void SetRow(double v) {
        v_ = v;
        downV_ = down_ * static_cast<Extended>(v);
    }
    std::uint8_t At(std::size_t column) const {
        const Extended offset = across_[column] + downV_ + twist_[column] * v_;
        return static_cast<std::uint8_t>(std::clamp(tl_ + RoundSmall(offset), 0, 255));
    }

private:
    int tl_;
    int down_;
    std::vector<Extended> across_;
    std::vector<Extended> twist_;
    Extended v_ = 0;
    Extended downV_ = 0;
};

void PaintQuad(const TGrad& g, Bitmap24& off, const Area& area, std::int32_t lumi,
               std::int32_t hue) {
    // Every 90 degrees turns the arrangement one corner further clockwise.
    const std::int64_t k = 4 - g.Angle / 90;
    TColor corner[4];
    for (int i = 0; i < 4; ++i) {
        const auto index = static_cast<int>(((k + i) % 4 + 4) % 4);
        corner[i] = PaintColor(g.GetColor(std::min(index, g.Count() - 1)), lumi, hue);
    }
    const TColor tl = corner[2], tr = corner[3], bl = corner[1], br = corner[0];

    std::vector<double> u(static_cast<std::size_t>(area.x1 - area.x0));
    for (std::int64_t x = area.x0; x < area.x1; ++x) {
        u[static_cast<std::size_t>(x - area.x0)] =
            area.Wp() == 0 ? 0.0 : Held(static_cast<Extended>(x) / area.Wp());
    }
    ChannelBlend blue(BlueOf(tl), BlueOf(tr), BlueOf(bl), BlueOf(br), u);
    ChannelBlend green(GreenOf(tl), GreenOf(tr), GreenOf(bl), GreenOf(br), u);
    ChannelBlend red(RedOf(tl), RedOf(tr), RedOf(bl), RedOf(br), u);
    for (std::int64_t y = area.y0; y < area.y1; ++y) {
        const double v = area.Hp() == 0 ? 0.0 : Held(static_cast<Extended>(y) / area.Hp());
        blue.SetRow(v);
        green.SetRow(v);
        red.SetRow(v);
        std::uint8_t* out = off.Row(static_cast<std::int32_t>(y - area.y0));
        for (std::size_t i = 0; i < u.size(); ++i, out += 3) {
            out[0] = blue.At(i);
            out[1] = green.At(i);
            out[2] = red.At(i);
        }
    }
}

} // namespace

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
    // whole rectangle's size, not on what is visible.
    Area area;
    area.W = static_cast<std::int64_t>(right) - left + 1;
    area.H = static_cast<std::int64_t>(bottom) - top + 1;
    area.x0 = std::max<std::int64_t>(0, -static_cast<std::int64_t>(left));
    area.y0 = std::max<std::int64_t>(0, -static_cast<std::int64_t>(top));
    area.x1 = std::min<std::int64_t>(area.W, static_cast<std::int64_t>(canvas.Width()) - left);
    area.y1 = std::min<std::int64_t>(area.H, static_cast<std::int64_t>(canvas.Height()) - top);
    if (area.Empty()) {
        return;
    }

    const auto width = static_cast<std::int32_t>(area.x1 - area.x0);
    const auto height = static_cast<std::int32_t>(area.y1 - area.y0);
    Bitmap24 off(width, height);
    switch (std::min(Kind, kMaxKind)) {
    case gkLinear:
        PaintLinear(*this, off, area);
        break;
    case gkRadiate:
        PaintRadiate(*this, off, area);
        break;
    case gkArc:
        PaintArc(*this, off, area);
        break;
    default:
        PaintQuad(*this, off, area, lumi, hue);
        break;
    }
    canvas.CopyRect(static_cast<std::int32_t>(left + area.x0),
                    static_cast<std::int32_t>(top + area.y0), off, TRect{0, 0, width, height});
}

} // namespace pelmora
