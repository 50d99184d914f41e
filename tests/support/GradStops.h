#pragma once
// A gradient's stops as plain lists, and the colours the gradient tests use.
#include "gradient/Gradient.h"

#include <vector>

namespace pelmora::testing {

inline constexpr TColor kRed = 0x000000FF;
inline constexpr TColor kGreen = 0x0000FF00;
inline constexpr TColor kBlue = 0x00FF0000;
inline constexpr TColor kWhite = 0x00FFFFFF;

inline std::vector<int> Positions(const TGrad& g) {
    std::vector<int> out;
    for (int i = 0; i < g.Count(); ++i) {
        out.push_back(g.GetPos(i));
    }
    return out;
}

inline std::vector<TColor> Colors(const TGrad& g) {
    std::vector<TColor> out;
    for (int i = 0; i < g.Count(); ++i) {
        out.push_back(g.GetColor(i));
    }
    return out;
}

} // namespace pelmora::testing
