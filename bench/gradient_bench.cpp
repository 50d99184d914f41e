// Gradient painting: each kind into a full-HD rectangle and into one button
// cell (a 80 x 60 button plus its 4-pixel margin).
#include "gradient/Gradient.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using pelmora::Bitmap24;
using pelmora::TGrad;

// Text of a typical multi-stop gradient of the given kind; 4 is linear at 0
// degrees, which paints whole columns alike, and 5 the sweep over the corners
// a centre outside the rectangle sees (normalised).
std::string GradientText(int kind) {
    switch (kind) {
    case 4:
        return "0,0,0,0,0,,0000804000,2800FFC080,5000FFFFFF,6400402000";
    case 5:
        return "1,45,-150,-120,1,,000000FFFF,3200FF8000,6400000080";
    case pelmora::gkLinear:
        return "0,30,0,0,0,,0000804000,2800FFC080,5000FFFFFF,6400402000";
    case pelmora::gkRadiate:
        return "1,45,-20,30,1,,000000FFFF,3200FF8000,6400000080";
    case pelmora::gkArc:
        return "2,0,10,-10,0,,0000FFFF00,4000C0C0C0,6400404040";
    default:
        return "3,90,0,0,0,,00000000FF,2100FF0000,4300FFFFFF,6400008000";
    }
}

void BM_GradientDraw(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const auto w = static_cast<std::int32_t>(state.range(1));
    const auto h = static_cast<std::int32_t>(state.range(2));
    TGrad g;
    g.LoadFromText(GradientText(kind));
    Bitmap24 canvas(w, h);
    for (auto _ : state) {
        g.Draw(canvas, 0, 0, w - 1, h - 1, 0, 0);
        benchmark::DoNotOptimize(canvas.Row(0));
    }
    state.SetItemsProcessed(state.iterations() * w * h);
}

// What the pattern painter does per fill: build from text, shifted table, paint a cell.
void BM_GradientCellFromText(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const std::string text = GradientText(kind);
    Bitmap24 canvas(84, 64);
    for (auto _ : state) {
        TGrad g;
        g.LoadFromText(text);
        g.Draw(canvas, 0, 0, 83, 63, 2, 4);
        benchmark::DoNotOptimize(canvas.Row(0));
    }
}

void DrawArgs(benchmark::internal::Benchmark* b) {
    b->ArgNames({"kind", "w", "h"});
    for (int kind = 0; kind <= 5; ++kind) {
        b->Args({kind, 1920, 1080});
        b->Args({kind, 84, 64});
    }
}

BENCHMARK(BM_GradientDraw)->Apply(DrawArgs)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GradientCellFromText)
    ->ArgName("kind")
    ->DenseRange(0, 5)
    ->Unit(benchmark::kMicrosecond);

} // namespace
