// The painter against a reference that evaluates every pixel's position the
// plain way: one pixel at a time, every expression in extended precision in
// the order the definition gives, every held value stored as a double. The
// painter takes shortcuts (double arithmetic with a rounding-safety margin,
// values shared by whole rows and columns); the pixels must not change.
//
// The number of random gradients is PELMORA_EXACT_GRADIENTS when set, else
// a default that keeps the run short (smaller under AddressSanitizer).
#include "gradient/ColorAdjust.h"
#include "gradient/Gradient.h"
#include "platform/syscolors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#define PELMORA_EXACT_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PELMORA_EXACT_UNDER_ASAN 1
#endif
#endif

namespace pelmora {
namespace {

using Ext = long double;
constexpr Ext kPiRef = 3.141592653589793238462643383279502884L;

double HeldRef(Ext v) {
    return static_cast<double>(v);
}

// Rounding half to even, then the table's range: nearer end outside it, 0 for NaN.
int PositionRef(Ext v) {
    if (std::isnan(v)) {
        return 0;
    }
    const Ext r = std::nearbyintl(v);
    if (r < 0) {
        return 0;
    }
    return r > 1000 ? 1000 : static_cast<int>(r);
}

double DirectionRef(Ext dx, Ext dy) {
    if (dx == 0) {
        return dy > 0 ? HeldRef(kPiRef / 2) : HeldRef(3 * kPiRef / 2);
    }
    const double t = HeldRef(::atanl(dy / dx));
    if (dx < 0) {
        return HeldRef(t + kPiRef);
    }
    if (dy < 0) {
        return HeldRef(t + 2 * kPiRef);
    }
    return t;
}

struct Geometry {
    std::int64_t W, H;
    std::int64_t Wp() const { return W - 1; }
    std::int64_t Hp() const { return H - 1; }
};

double AngleRadRef(const TGrad& g) {
    return HeldRef(g.Angle * kPiRef / 180);
}

int LinearRef(const TGrad& g, const Geometry& r, std::int64_t x, std::int64_t y) {
    if (g.Angle == 0 || g.Angle == 180) {
        if (r.Wp() == 0) {
            return 0;
        }
        const double s = HeldRef(static_cast<Ext>(r.Wp()) / 1000);
        const int p = PositionRef(x / static_cast<Ext>(s));
        return g.Angle == 0 ? p : 1000 - p;
    }
    if (g.Angle == 90 || g.Angle == 270) {
        if (r.Hp() == 0) {
            return 0;
        }
        const double s = HeldRef(static_cast<Ext>(r.Hp()) / 1000);
        const int p = PositionRef(y / static_cast<Ext>(s));
        return g.Angle == 90 ? p : 1000 - p;
    }
    double sn = HeldRef(::sinl(AngleRadRef(g)));
    double cs = HeldRef(::cosl(AngleRadRef(g)));
    std::int64_t yy = y, xx = x;
    if (sn < 0) {
        yy = r.Hp() - y;
        sn = -sn;
    }
    if (cs < 0) {
        xx = r.Wp() - x;
        cs = -cs;
    }
    const double total = HeldRef(r.Hp() * static_cast<Ext>(sn) + r.Wp() * static_cast<Ext>(cs));
    if (total == 0) {
        return 0;
    }
    const double a = HeldRef(yy * static_cast<Ext>(sn));
    const double b = HeldRef(xx * static_cast<Ext>(cs));
    return PositionRef((static_cast<Ext>(a) + b) * 1000 / total);
}

double CentreRef(std::int32_t percent, std::int64_t extent) {
    return HeldRef((percent / 50.0L + 1) * extent * 0.5L);
}

int RadiateRef(const TGrad& g, const Geometry& r, std::int64_t x, std::int64_t y) {
    const double cx = CentreRef(g.CenterX, r.Wp());
    const double cy = CentreRef(g.CenterY, r.Hp());
    auto side = [](double c, std::int64_t extent) {
        return c <= 0 ? 0 : (c >= static_cast<double>(extent) ? 2 : 1);
    };
    const int region = g.Normalize ? side(cx, r.Wp()) + 3 * side(cy, r.Hp()) : 4;
    if (region == 4) {
        double t = HeldRef(DirectionRef(x - static_cast<Ext>(cx), y - static_cast<Ext>(cy)) -
                           static_cast<Ext>(AngleRadRef(g)));
        if (t < 0) {
            t = HeldRef(t + 2 * kPiRef);
        }
        return PositionRef(t * 1000 / (2 * kPiRef));
    }
    const Ext wp = static_cast<Ext>(r.Wp());
    const Ext hp = static_cast<Ext>(r.Hp());
    const Ext a0 = DirectionRef(-static_cast<Ext>(cx), -static_cast<Ext>(cy));
    const Ext a1 = DirectionRef(wp - cx, -static_cast<Ext>(cy));
    const Ext a2 = DirectionRef(-static_cast<Ext>(cx), hp - cy);
    const Ext a3 = DirectionRef(wp - cx, hp - cy);
    Ext start = 0, end = 0;
    switch (region) {
    case 0:
        start = a1, end = a2;
        break;
    case 1:
        start = a1, end = a0;
        break;
    case 2:
        start = a3, end = a0;
        break;
    case 3:
        start = a0, end = a2;
        break;
    case 5:
        start = a3, end = a1;
        break;
    case 6:
        start = a0, end = a3;
        break;
    case 7:
        start = a2, end = a3;
        break;
    default:
        start = a2, end = a1;
        break;
    }
    if (start > end) {
        start = start - 2 * kPiRef;
    }
    double t = DirectionRef(x - static_cast<Ext>(cx), y - static_cast<Ext>(cy));
    if (t > end) {
        t = HeldRef(t - 2 * kPiRef);
    }
    return PositionRef((t - start) * 1000 / (end - start));
}

int ArcRef(const TGrad& g, const Geometry& r, std::int64_t x, std::int64_t y) {
    const Ext cx = CentreRef(g.CenterX, r.Wp());
    const Ext cy = CentreRef(g.CenterY, r.Hp());
    const Ext wp = static_cast<Ext>(r.Wp());
    const Ext hp = static_cast<Ext>(r.Hp());
    const Ext far = ::sqrtl(std::max((wp - cx) * (wp - cx), cx * cx) +
                            std::max((hp - cy) * (hp - cy), cy * cy));
    const Ext ex = cx < 0 ? -cx : (cx > wp ? cx - wp : 0);
    const Ext ey = cy < 0 ? -cy : (cy > hp ? cy - hp : 0);
    const Ext near = ::sqrtl(ex * ex + ey * ey);
    const Ext d = ::sqrtl((x - cx) * (x - cx) + (y - cy) * (y - cy));
    if (g.Normalize && near != 0) {
        return PositionRef((d - near) * 1000 / (far - near));
    }
    return far == 0 ? 0 : PositionRef(d * 1000 / far);
}

TColor QuadRef(const TGrad& g, const Geometry& r, std::int64_t x, std::int64_t y, int lumi,
               int hue) {
    const std::int64_t k = 4 - g.Angle / 90;
    TColor c[4];
    for (int i = 0; i < 4; ++i) {
        const int index = static_cast<int>(((k + i) % 4 + 4) % 4);
        TColor rgb = ResolveColor(g.GetColor(std::min(index, g.Count() - 1)));
        if (lumi != 0 || hue != 0) {
            rgb = ColorAdjust(rgb, lumi, hue);
        }
        c[i] = rgb;
    }
    const double u = r.Wp() == 0 ? 0.0 : HeldRef(static_cast<Ext>(x) / r.Wp());
    const double v = r.Hp() == 0 ? 0.0 : HeldRef(static_cast<Ext>(y) / r.Hp());
    auto channel = [&](int tl, int tr, int bl, int br) {
        const Ext offset = (tr - tl) * static_cast<Ext>(u) + (bl - tl) * static_cast<Ext>(v) +
                           (tl - tr - bl + br) * static_cast<Ext>(u) * v;
        const long long value = tl + std::llrintl(offset);
        return static_cast<int>(std::min(255LL, std::max(0LL, value)));
    };
    const TColor tl = c[2], tr = c[3], bl = c[1], br = c[0];
    return Rgb(channel(RedOf(tl), RedOf(tr), RedOf(bl), RedOf(br)),
               channel(GreenOf(tl), GreenOf(tr), GreenOf(bl), GreenOf(br)),
               channel(BlueOf(tl), BlueOf(tr), BlueOf(bl), BlueOf(br)));
}

// The colour the reference gives pixel (x, y) of a W x H rectangle; the
// gradient's table must already be built with the same shift.
TColor PixelRef(const TGrad& g, const Geometry& r, std::int64_t x, std::int64_t y, int lumi,
                int hue) {
    int p = 0;
    switch (std::min<int>(g.Kind, gkQuad)) {
    case gkLinear:
        p = LinearRef(g, r, x, y);
        break;
    case gkRadiate:
        p = RadiateRef(g, r, x, y);
        break;
    case gkArc:
        p = ArcRef(g, r, x, y);
        break;
    default:
        return QuadRef(g, r, x, y, lumi, hue);
    }
    const auto& e = g.Table()[static_cast<std::size_t>(p)];
    return Rgb(e[2], e[1], e[0]);
}

// --- Random cases --------------------------------------------------------------------

struct Case {
    std::string Text;
    int W, H;
    int Left, Top; // where the rectangle lands on a canvas a little larger
    int Lumi, Hue;
};

class CaseMaker {
public:
    explicit CaseMaker(std::uint32_t seed) : rng_(seed) {}

    Case Next() {
        Case c;
        const int kind = Pick(0, 3);
        c.Text = std::to_string(kind) + "," + std::to_string(Angle()) + "," +
                 std::to_string(CentrePercent()) + "," + std::to_string(CentrePercent()) + "," +
                 std::to_string(Pick(0, 1)) + ",," + Stops(kind);
        Size(c.W, c.H);
        // Mostly the whole rectangle on the canvas, sometimes partly off it.
        c.Left = Pick(0, 3) == 0 ? Pick(-c.W / 2, 2) : 1;
        c.Top = Pick(0, 3) == 0 ? Pick(-c.H / 2, 2) : 1;
        const bool shifted = Pick(0, 4) == 0;
        c.Lumi = shifted ? Pick(-8, 8) : 0;
        c.Hue = shifted ? 2 * Pick(-6, 6) : 0;
        return c;
    }

private:
    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    int Angle() {
        switch (Pick(0, 9)) {
        case 0:
            return 90 * Pick(0, 3);
        case 1:
            return 45 * Pick(0, 7);
        case 2:
            return Pick(-800, 800); // hand-made text: outside a turn
        default:
            return Pick(0, 359);
        }
    }

    int CentrePercent() {
        switch (Pick(0, 9)) {
        case 0:
            return 50 * Pick(-4, 4); // on edges, corners and the middle
        case 1:
            return Pick(-100000, 100000); // far away
        default:
            return Pick(-200, 200);
        }
    }

    std::string Stops(int kind) {
        const int count = kind == gkQuad ? 4 : Pick(2, 6);
        std::string text;
        for (int i = 0; i < count; ++i) {
            int pos = kind == gkQuad ? (i * 100 + 1) / 3 : Pick(0, 100);
            if (i == 0) {
                pos = 0;
            } else if (i == count - 1) {
                pos = 100;
            }
            char item[16];
            std::snprintf(item, sizeof item, "%02X%08X", static_cast<unsigned>(pos),
                          static_cast<unsigned>(Colour()));
            if (i > 0) {
                text += ',';
            }
            text += item;
        }
        return text;
    }

    TColor Colour() {
        if (Pick(0, 15) == 0) {
            return SystemColorRef(Pick(0, 1) ? kColorBtnFace : kColorBtnShadow);
        }
        return static_cast<TColor>(std::uniform_int_distribution<std::uint32_t>(0, 0xFFFFFF)(rng_));
    }

    void Size(int& w, int& h) {
        switch (Pick(0, 19)) {
        case 0: // large and thin
            w = Pick(1, 3);
            h = Pick(500, 2000);
            break;
        case 1:
            w = Pick(500, 2000);
            h = Pick(1, 3);
            break;
        case 2:
        case 3:
        case 4:
        case 5:
            w = Pick(1, 300);
            h = Pick(1, 300);
            break;
        default:
            w = Pick(1, 64);
            h = Pick(1, 64);
            break;
        }
    }

    std::mt19937 rng_;
};

int GradientCount() {
    if (const char* env = std::getenv("PELMORA_EXACT_GRADIENTS")) {
        return std::atoi(env);
    }
#if defined(PELMORA_EXACT_UNDER_ASAN)
    return 300;
#else
    return 1500;
#endif
}

// Paints the case and compares every pixel with the reference; returns the
// number of pixels that differ (reporting the first few).
int CompareCase(const Case& c) {
    TGrad g;
    g.LoadFromText(c.Text);
    const std::int32_t canvasW = c.W + 2, canvasH = c.H + 2;
    Bitmap24 canvas(canvasW, canvasH, 0x123456);
    g.Draw(canvas, c.Left, c.Top, c.Left + c.W - 1, c.Top + c.H - 1, c.Lumi, c.Hue);
    const Geometry r{c.W, c.H};
    int wrong = 0;
    for (std::int32_t cyPix = 0; cyPix < canvasH; ++cyPix) {
        for (std::int32_t cxPix = 0; cxPix < canvasW; ++cxPix) {
            const std::int64_t x = cxPix - c.Left;
            const std::int64_t y = cyPix - c.Top;
            const bool inside = x >= 0 && y >= 0 && x < c.W && y < c.H;
            const TColor expected = inside ? PixelRef(g, r, x, y, c.Lumi, c.Hue) : 0x123456;
            if (canvas.Pixel(cxPix, cyPix) != expected && ++wrong <= 3) {
                ADD_FAILURE() << "text " << c.Text << ", " << c.W << " x " << c.H << " at ("
                              << c.Left << ", " << c.Top << "), shift " << c.Lumi << "/" << c.Hue
                              << ": pixel (" << x << ", " << y << ") is " << std::hex
                              << canvas.Pixel(cxPix, cyPix) << ", expected " << expected;
            }
        }
    }
    return wrong;
}

// Run with the wide vector loops where the processor has them, and with the
// baseline loops only.
class GradExactLoops : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { SetWideVectorPainting(GetParam()); }
    void TearDown() override { SetWideVectorPainting(true); }
};

TEST_P(GradExactLoops, RandomGradientsMatchTheReferenceOnEveryPixel) {
    CaseMaker maker(GetParam() ? 20261208 : 20261209);
    const int count = GetParam() ? GradientCount() : GradientCount() / 2;
    int failedCases = 0;
    for (int i = 0; i < count && failedCases < 5; ++i) {
        if (CompareCase(maker.Next()) != 0) {
            ++failedCases;
        }
    }
    EXPECT_EQ(failedCases, 0);
}

// Geometry that puts many pixels exactly on a rounding boundary (a position
// of k + 1/2 in exact arithmetic), where only the exact expression decides.
TEST_P(GradExactLoops, PositionsOnRoundingBoundariesMatchTheReference) {
    const Case cases[] = {
        {"0,45,0,0,0,,00000000FF,3200FFFFFF,6400FF0000", 201, 201, 0, 0, 0, 0},
        {"0,135,0,0,0,,00000000FF,3200FFFFFF,6400FF0000", 101, 301, 0, 0, 0, 0},
        {"0,0,0,0,0,,00000000FF,6400FF0000", 2001, 2, 0, 0, 0, 0},
        {"2,0,0,0,0,,00000000FF,6400FF0000", 201, 201, 0, 0, 0, 0},
        {"2,0,-100,0,1,,00000000FF,6400FF0000", 121, 121, 0, 0, 0, 0},
        {"1,0,0,0,0,,00000000FF,6400FF0000", 201, 201, 0, 0, 0, 0},
        {"1,90,0,0,0,,00000000FF,6400FF0000", 400, 400, 0, 0, 0, 0},
        {"1,0,-100,-100,1,,00000000FF,6400FF0000", 200, 200, 0, 0, 0, 0},
        {"1,0,50,-50,1,,00000000FF,6400FF0000", 31, 31, 0, 0, 0, 0},
        {"3,180,0,0,0,,00000000FF,2100FF0000,4300FFFFFF,6400FFFFFF", 3, 3, 0, 0, 0, 0},
        {"3,0,0,0,0,,00000000FF,2100FF0000,4300FFFF00,6400000000", 256, 256, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompareCase(c), 0) << c.Text;
    }
}

INSTANTIATE_TEST_SUITE_P(WideAndBaseline, GradExactLoops, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Wide" : "Baseline"; });

} // namespace
} // namespace pelmora
