// The gradient model: stops, kind, angle and centre, the text form and the
// colour table. Painting is in GradientPaint.cpp and the painters beside it.
#include "gradient/Gradient.h"

#include "gradient/ColorAdjust.h"
#include "platform/commatext.h"
#include "platform/inttext.h"
#include "platform/rounding.h"
#include "platform/syscolors.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

namespace pelmora {

const char* const kGradKindNames[4] = {"直線", "放射状", "円弧", "四角形"};

namespace {

constexpr std::int32_t kFirstPos = 0;
constexpr std::int32_t kLastPos = 100;
constexpr std::uint8_t kMaxKind = gkQuad;
constexpr TColor kInvalidColor = 0xFFFFFFFFu;

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

void TGrad::SetStops(const std::vector<TCol>& stops) {
    if (stops.size() < 2) {
        return;
    }
    stops_ = stops;
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
//
// Reading places each entry as adding it would: an entry at a position that
// is already taken goes before the stop that holds it, so stops sharing a
// position come back in the reverse of their written order. Stored texts
// depend on that order (it decides which colour a hard edge starts from), so
// the writer puts each such run out last stop first, and reading what was
// written gives the same list.

namespace {

std::string StopEntry(const TCol& stop) {
    char entry[16];
    std::snprintf(entry, sizeof entry, "%02X%08X", static_cast<unsigned>(stop.Pos & 0xFF),
                  static_cast<unsigned>(stop.Color));
    return entry;
}

} // namespace

std::string TGrad::SaveToText() const {
    std::vector<std::string> items{IntToStr(Kind),    IntToStr(Angle),       IntToStr(CenterX),
                                   IntToStr(CenterY), Normalize ? "1" : "0", ""};
    items.push_back(StopEntry(stops_.front()));
    const auto interiorEnd = stops_.end() - 1;
    for (auto run = stops_.begin() + 1; run != interiorEnd;) {
        const auto runEnd = std::find_if(
            run, interiorEnd, [pos = run->Pos](const TCol& stop) { return stop.Pos != pos; });
        for (auto stop = runEnd; stop != run;) {
            items.push_back(StopEntry(*--stop));
        }
        run = runEnd;
    }
    items.push_back(StopEntry(stops_.back()));
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
    // Sorting the entries last first, stably, puts every later entry before
    // the earlier ones at its position, as inserting them in turn would.
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
    std::reverse(interior.begin(), interior.end());
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

} // namespace pelmora
