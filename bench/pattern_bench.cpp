// Pattern painting: the wallpaper cell of typical patterns for an 80 x 60
// button, and button frames whose thickness comes from a hand-edited file.
#include "library/PatternLibrary.h"
#include "library/Wallpaper.h"
#include "pattern/PadInfo.h"
#include "pattern/Pattern.h"
#include "platform/inifile.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace pelmora;

const TPadInfo& Pad() {
    static const TPadInfo pad = DerivePadInfo(PadValues{80, 60, 1, 0, 0x00C08040}, 12);
    return pad;
}

// A section of a pattern file holding `lines` as the part keys "0", "1", ...
std::unique_ptr<TPatrn> PatternOf(const std::string& lines) {
    PatternLibrary library;
    LoadPatterns(IniFile::Parse("[1]\r\nName=b\r\nLumi=2\r\nHue=4\r\nBtnColTrim=1\r\n" + lines),
                 library);
    return library.Pattern(0).Clone();
}

void BM_WallpaperSolidAndBevels(benchmark::State& state) {
    const auto pattern = PatternOf("0=0,\"0,0,0,0\",\"1,1,1,1\",3\r\n"
                                   "1=1,\"0,0,0,0\",\"2,2,2,2\",4\r\n"
                                   "2=3,\"1,1,1,1\",\"1,1,1,1\",1,255\r\n");
    for (auto _ : state) {
        benchmark::DoNotOptimize(DrawWallpaper(*pattern, Pad()));
    }
}
BENCHMARK(BM_WallpaperSolidAndBevels);

void BM_WallpaperGradients(benchmark::State& state) {
    const auto pattern =
        PatternOf("0=0,\"0,0,0,0\",\"1,1,1,1\",2,\"1,45,-20,30,1,,000000FFFF,6400000080\"\r\n"
                  "1=2,\"2,2,2,2\",\"1,1,1,1\",2,\"0,90,0,0,0,,0000FFFFFF,6400C08040\"\r\n"
                  "2=5,\"0,0,0,0\",\"1,1,1,1\",2,\"3,0,0,0,0,,00000000FF,2100FF0000,"
                  "4300FFFFFF,6400008000\"\r\n"
                  "3=1,\"0,0,0,0\",\"1,1,1,1\",4\r\n");
    for (auto _ : state) {
        benchmark::DoNotOptimize(DrawWallpaper(*pattern, Pad()));
    }
}
BENCHMARK(BM_WallpaperGradients);

// A button frame `range(0)` pixels thick on every side, and one whose sides
// differ, so the thinner ones spread their lines over the whole stack.
void BM_ButtonFrameThickness(benchmark::State& state) {
    const std::string n = std::to_string(state.range(0));
    const std::string half = std::to_string(state.range(0) / 2);
    const auto even =
        PatternOf("1=1,\"0,0,0,0\",\"" + n + "," + n + "," + n + "," + n + "\",4\r\n");
    const auto mixed = PatternOf("1=1,\"0,0,0,0\",\"" + n + ",7," + half + ",0\",4\r\n");
    for (auto _ : state) {
        benchmark::DoNotOptimize(DrawWallpaper(*even, Pad()));
        benchmark::DoNotOptimize(DrawWallpaper(*mixed, Pad()));
    }
}
BENCHMARK(BM_ButtonFrameThickness)->Arg(3)->Arg(40)->Arg(2000000000);

} // namespace
