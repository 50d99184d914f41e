#pragma once
// A multi-stop colour ramp with the geometry it is laid over a rectangle with.
#include "platform/bitmap.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pelmora {

enum TGradKind : std::uint8_t { gkLinear = 0, gkRadiate = 1, gkArc = 2, gkQuad = 3 };

// Display names, indexed by kind.
extern const char* const kGradKindNames[4]; // UTF-8

struct TCol {
    std::int32_t Pos = 0; // percent along the ramp, 0..100
    TColor Color = 0;     // 0x00BBGGRR or a system colour reference
    bool operator==(const TCol&) const = default;
};

inline constexpr int kTableSize = 1001;
inline constexpr int kTableLast = kTableSize - 1;

// Stops always number at least two, the first at 0 and the last at 100, in
// non-decreasing order. A four-corner gradient has four stops at 0, 33, 67 and
// 100 and an angle that is a multiple of 90 (text written by hand may break
// this; painting copes). Every change of a stop marks the colour table dirty;
// the geometry fields do not.
class TGrad {
public:
    TGrad(); // two black stops at 0 and 100, clean all-black table

    std::uint8_t Kind = gkLinear;
    std::int32_t Angle = 0;   // degrees, clockwise on screen from the positive x axis
    std::int32_t CenterX = 0; // offset from the middle in percent of the width
    std::int32_t CenterY = 0; // the same in percent of the height
    bool Normalize = false;

    int Count() const { return static_cast<int>(stops_.size()); }
    TColor GetColor(int index) const;     // 0xFFFFFFFF (-1) outside the list
    std::int32_t GetPos(int index) const; // -1 outside the list
    void SetColor(int index, TColor color);
    // Moves an interior stop strictly between its neighbours; anything else,
    // and any move on a four-corner gradient, is ignored.
    void SetPos(int index, std::int32_t pos);
    // Inserts a stop at 1..99 with the colour the ramp shows there; returns its
    // index, or 0 when refused (outside 1..99, or a four-corner gradient).
    int AddStop(std::int32_t pos);
    void DeleteStop(int index); // interior stops only, never for the four-corner kind
    void ClearStops();          // keeps the first and last stop
    void Reverse();
    void CopyStops(const TGrad& source);
    // Puts back stops as Stops() gave them (a list of fewer than two is
    // ignored): what an editor's undo needs, where stops may share a position.
    void SetStops(const std::vector<TCol>& stops);
    void Assign(const TGrad& source); // stops and geometry
    void SetKind(std::uint8_t kind);
    void SetAngle(std::int32_t degrees);
    double AngleRad() const;
    void Reset();
    std::string SaveToText() const;
    // Never fails: missing items keep their defaults, malformed stops are skipped.
    void LoadFromText(const std::string& text);
    // Rebuilds the table from the stops (shifted by lumi and hue) when dirty.
    void BuildTable(std::int32_t lumi, std::int32_t hue);

    // Paints into the inclusive rectangle (left, top)..(right, bottom) of the
    // canvas; corners given in the wrong order are swapped first. Pixels
    // outside the canvas are skipped.
    void Draw(Bitmap24& canvas, std::int32_t left, std::int32_t top, std::int32_t right,
              std::int32_t bottom, std::int32_t lumi, std::int32_t hue);

    bool Dirty() const { return dirty_; }
    // Entry i: B, G, R bytes of the colour at position i / 10 percent.
    using Table24 = std::array<std::array<std::uint8_t, 3>, kTableSize>;
    const Table24& Table() const { return table_; }
    const std::vector<TCol>& Stops() const { return stops_; }

private:
    int InsertStop(std::int32_t pos, TColor color);
    int InsertSampledStop(std::int32_t pos);
    void MakeFourCornerStops();

    std::vector<TCol> stops_;
    bool dirty_ = false;
    Table24 table_{};
};

// Direction of (dx, dy) in [0, 2*pi), clockwise on screen from the positive x
// axis; the zero vector gives 3*pi/2.
double DirectionAngle(long double dx, long double dy);

// Whether painting may use wide vector instructions (AVX2) where the
// processor has them; on by default. The pixels are the same either way;
// tests switch it off to cover the baseline loops.
void SetWideVectorPainting(bool allowed);

} // namespace pelmora
