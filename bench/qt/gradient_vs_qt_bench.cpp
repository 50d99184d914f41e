// Gradient painting side by side with Qt's raster engine: the same gradient,
// the same stop colours, the same size, painted by TGrad::Draw into a 24-bit
// cell and by QPainter into a QImage of Format_RGB32. A memset of each buffer
// is the memory-bandwidth line.
//
//   kind 0 (parallel bands)   against QLinearGradient
//   kind 1 (angular sweep)    against QConicalGradient
//   kind 2 (rings)            against QRadialGradient
//   kind 3 (four corners)     against a 2 x 2 image drawn scaled, smoothly
#include "gradient/Gradient.h"

#include <QColor>
#include <QConicalGradient>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

using pelmora::Bitmap24;
using pelmora::TGrad;

struct Stop {
    double Pos; // 0..1
    QColor Color;
};

// The stops every kind shares (the four-corner kind takes the first four).
const std::vector<Stop>& Stops() {
    static const std::vector<Stop> stops{{0.0, QColor(0x00, 0x40, 0x80)},
                                         {0.33, QColor(0x80, 0xC0, 0xFF)},
                                         {0.67, QColor(0xFF, 0xFF, 0xFF)},
                                         {1.0, QColor(0x00, 0x20, 0x40)}};
    return stops;
}

// The same gradient as text: kind, angle 30, centre offset (-10, 20) percent.
std::string GradientText(int kind) {
    return std::to_string(kind) + (kind == 3 ? ",90,-10,20,0,," : ",30,-10,20,0,,") +
           "0000804000,2100FFC080,4300FFFFFF,6400402000";
}

constexpr double kAngleDegrees = 30.0;
constexpr double kCenterX = -10.0; // percent of the width from the middle
constexpr double kCenterY = 20.0;

QPointF Centre(int w, int h) {
    return QPointF((kCenterX / 50 + 1) * (w - 1) * 0.5, (kCenterY / 50 + 1) * (h - 1) * 0.5);
}

template <class G> void SetStops(G& gradient) {
    for (const Stop& s : Stops()) {
        gradient.setColorAt(s.Pos, s.Color);
    }
}

void BM_Pelmora(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const auto w = static_cast<std::int32_t>(state.range(1));
    const auto h = static_cast<std::int32_t>(state.range(2));
    TGrad g;
    g.LoadFromText(GradientText(kind));
    Bitmap24 canvas(w, h);
    for (auto _ : state) {
        g.Draw(canvas, 0, 0, w - 1, h - 1, 0, 0);
        benchmark::DoNotOptimize(canvas.Row(0));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * w * h);
}

void BM_Qt(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const int w = static_cast<int>(state.range(1));
    const int h = static_cast<int>(state.range(2));
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QRect rect(0, 0, w, h);

    // The ramp runs between the corners that lie furthest apart along the
    // direction, as the linear kind's does.
    const double rad = kAngleDegrees * M_PI / 180;
    const double cs = std::cos(rad), sn = std::sin(rad);
    const double along = (w - 1) * cs + (h - 1) * sn;
    QLinearGradient linear(0, 0, along * cs, along * sn);
    SetStops(linear);
    // Qt turns counter-clockwise from the angle; the ramp direction is not
    // what is measured, the per-pixel arc tangent is.
    QConicalGradient conical(Centre(w, h), -kAngleDegrees);
    SetStops(conical);
    const QPointF c = Centre(w, h);
    const double far = std::hypot(std::max(c.x(), w - 1 - c.x()), std::max(c.y(), h - 1 - c.y()));
    QRadialGradient radial(c, far);
    SetStops(radial);
    QImage corners(2, 2, QImage::Format_RGB32);
    corners.setPixel(0, 0, Stops()[2].Color.rgb());
    corners.setPixel(1, 0, Stops()[3].Color.rgb());
    corners.setPixel(0, 1, Stops()[1].Color.rgb());
    corners.setPixel(1, 1, Stops()[0].Color.rgb());

    for (auto _ : state) {
        QPainter painter(&image);
        switch (kind) {
        case 0:
            painter.fillRect(rect, linear);
            break;
        case 1:
            painter.fillRect(rect, conical);
            break;
        case 2:
            painter.fillRect(rect, radial);
            break;
        default:
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(QRectF(rect), corners, QRectF(0, 0, 2, 2));
            break;
        }
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * w * h);
}

// Bandwidth line: one memset over a buffer of `bytes per pixel` x w x h.
void BM_Memset(benchmark::State& state) {
    const auto bytes = static_cast<std::size_t>(state.range(0) * state.range(1) * state.range(2));
    std::vector<unsigned char> buffer(bytes, 1);
    unsigned char value = 0;
    for (auto _ : state) {
        std::memset(buffer.data(), ++value, bytes);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

const int kSizes[][2] = {{84, 64}, {271, 26}, {121, 121}, {1920, 1080}};

void KindArgs(benchmark::internal::Benchmark* b) {
    b->ArgNames({"kind", "w", "h"});
    for (int kind = 0; kind <= 3; ++kind) {
        for (const auto& size : kSizes) {
            b->Args({kind, size[0], size[1]});
        }
    }
}

void MemsetArgs(benchmark::internal::Benchmark* b) {
    b->ArgNames({"bpp", "w", "h"});
    for (int bpp : {3, 4}) {
        for (const auto& size : kSizes) {
            b->Args({bpp, size[0], size[1]});
        }
    }
}

BENCHMARK(BM_Pelmora)->Apply(KindArgs)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Qt)->Apply(KindArgs)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Memset)->Apply(MemsetArgs)->Unit(benchmark::kMicrosecond);

} // namespace
