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
    std::int32_t Pos = 0;
    TColor Color = 0;
};

inline constexpr int kTableSize = 1001;

class TGrad {
public:
    TGrad(); // two black stops at 0 and 100

    std::uint8_t Kind = gkLinear;
    std::int32_t Angle = 0;
    std::int32_t CenterX = 0;
    std::int32_t CenterY = 0;
    bool Normalize = false;

    int Count() const { return static_cast<int>(stops_.size()); }
    TColor GetColor(int index) const;      // 0xFFFFFFFF (-1) outside the list
    std::int32_t GetPos(int index) const;  // -1 outside the list
    void SetColor(int index, TColor color);
    void SetPos(int index, std::int32_t pos);
    int AddStop(std::int32_t pos);         // new index, 0 when refused
    void DeleteStop(int index);
    void ClearStops();
    void Reverse();
    void CopyStops(const TGrad& source);
    void Assign(const TGrad& source);
    void SetKind(std::uint8_t kind);
    void SetAngle(std::int32_t degrees);
    double AngleRad() const;
    void Reset();
    std::string SaveToText() const;
    void LoadFromText(const std::string& text);
    void BuildTable(std::int32_t lumi, std::int32_t hue);

    // Paints into the inclusive rectangle (left, top)..(right, bottom) of the
    // canvas; corners given in the wrong order are swapped first.
    void Draw(Bitmap24& canvas, std::int32_t left, std::int32_t top, std::int32_t right,
              std::int32_t bottom, std::int32_t lumi, std::int32_t hue);

    bool Dirty() const { return dirty_; }
    // Entry i: B, G, R bytes of the colour at position i / 10 percent.
    const std::array<std::array<std::uint8_t, 3>, kTableSize>& Table() const { return table_; }
    const std::vector<TCol>& Stops() const { return stops_; }

private:
    std::vector<TCol> stops_;
    bool dirty_ = false;
    std::array<std::array<std::uint8_t, 3>, kTableSize> table_{};
};

// Direction of (dx, dy) in [0, 2*pi), clockwise on screen from the positive x axis.
double DirectionAngle(long double dx, long double dy);

} // namespace pelmora
