#include "platform/textheight.h"

#include <cmath>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <memory>
#include <stdexcept>
#include <string>

namespace pelmora {

namespace {

// The icon-caption font: 9 points at 96 dots per inch.
constexpr int kNamePixelSize = 12;

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct ConfigDeleter {
    void operator()(FcConfig* c) const { FcConfigDestroy(c); }
};
struct LibraryDeleter {
    void operator()(FT_Library l) const { FT_Done_FreeType(l); }
};
struct FaceDeleter {
    void operator()(FT_Face f) const { FT_Done_Face(f); }
};

using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

// Path and face index of the font fontconfig picks for Japanese sans-serif text.
std::pair<std::string, int> MatchNameFont() {
    std::unique_ptr<FcConfig, ConfigDeleter> config(FcInitLoadConfigAndFonts());
    if (!config) {
        throw std::runtime_error("フォントの設定を読み込めません。");
    }
    PatternPtr pattern(FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif:lang=ja")));
    if (!pattern) {
        throw std::runtime_error("フォントの検索条件を作れません。");
    }
    FcPatternAddDouble(pattern.get(), FC_PIXEL_SIZE, kNamePixelSize);
    FcConfigSubstitute(config.get(), pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    PatternPtr match(FcFontMatch(config.get(), pattern.get(), &result));
    FcChar8* file = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch ||
        file == nullptr) {
        throw std::runtime_error("日本語のフォント (sans-serif:lang=ja) が見つかりません。");
    }
    int index = 0;
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
    return {reinterpret_cast<const char*>(file), index};
}

std::int32_t MeasureLineHeight() {
    const auto [file, index] = MatchNameFont();
    FT_Library rawLibrary = nullptr;
    if (FT_Init_FreeType(&rawLibrary) != 0) {
        throw std::runtime_error("フォントエンジンを起動できません。");
    }
    std::unique_ptr<FT_LibraryRec_, LibraryDeleter> library(rawLibrary);
    FT_Face rawFace = nullptr;
    if (FT_New_Face(library.get(), file.c_str(), index, &rawFace) != 0) {
        throw std::runtime_error("フォント \"" + file + "\" を開けません。");
    }
    std::unique_ptr<FT_FaceRec_, FaceDeleter> face(rawFace);
    if (FT_Set_Pixel_Sizes(face.get(), 0, kNamePixelSize) != 0) {
        throw std::runtime_error("フォント \"" + file + "\" を 12 ピクセルにできません。");
    }
    // Line height in 26.6 fixed point, rounded up to whole pixels.
    const double height = static_cast<double>(face->size->metrics.height) / 64.0;
    const auto pixels = static_cast<std::int32_t>(std::ceil(height));
    if (pixels <= 0) {
        throw std::runtime_error("フォント \"" + file + "\" の行の高さが分かりません。");
    }
    return pixels;
}

} // namespace

std::int32_t MeasureNameHeight() {
    // A failed measurement throws out of the initialiser, so the next call tries again.
    static const std::int32_t height = MeasureLineHeight();
    return height;
}

} // namespace pelmora
