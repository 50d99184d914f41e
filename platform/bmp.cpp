#include "platform/bmp.h"

#include "platform/fileio.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace pelmora {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
// 96 dots per inch, the screen resolution the cells are drawn for.
constexpr std::int32_t kPixelsPerMeter = 3780;
// Colour tables are meaningless for 24-bit pixels; a writer may still add an
// optimisation palette, but never a larger one than this.
constexpr std::uint32_t kMaxColorsUsed = 256;

std::uint64_t RowSize(std::uint64_t width) {
    return (width * 3 + 3) & ~std::uint64_t{3};
}

// Header sizes of the Windows info-header versions that share the first 40
// bytes of BITMAPINFOHEADER; the later fields do not matter for 24-bit pixels.
bool KnownInfoHeaderSize(std::uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// The largest well-formed file: a maximal cell behind the largest header and palette.
constexpr std::size_t kMaxBmpFileSize =
    kFileHeaderSize + 124 + kMaxColorsUsed * 4 +
    static_cast<std::size_t>(kMaxBitmapSide) * ((kMaxBitmapSide * 3 + 3) & ~3);

void Put16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) {
        out += static_cast<char>((v >> shift) & 0xFF);
    }
}

std::uint16_t Get16(std::string_view b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      (static_cast<unsigned char>(b[at + 1]) << 8));
}

std::uint32_t Get32(std::string_view b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    }
    return v;
}

[[noreturn]] void Malformed(const std::string& why) {
    throw BitmapError("24 ビットの BMP ファイルとして正しくありません: " + why + "。");
}

void Require(bool condition, const char* why) {
    if (!condition) {
        Malformed(why);
    }
}

struct BmpLayout {
    std::int32_t Width = 0;
    std::int32_t Height = 0; // always positive here
    bool TopDown = false;
    std::uint64_t PixelOffset = 0;
    std::uint64_t RowSize = 0;
};

// Checks every header field against the bytes actually present.
BmpLayout ReadHeaders(std::string_view bytes) {
    Require(bytes.size() >= kFileHeaderSize + kInfoHeaderSize, "ファイルが短すぎます");
    Require(bytes[0] == 'B' && bytes[1] == 'M', "先頭が \"BM\" ではありません");
    const std::uint64_t fileSize = Get32(bytes, 2);
    const std::uint64_t pixelOffset = Get32(bytes, 10);
    const std::uint32_t infoSize = Get32(bytes, 14);
    Require(fileSize <= bytes.size(), "ファイルが途中で切れています");
    Require(KnownInfoHeaderSize(infoSize), "情報ヘッダーの大きさに対応していません");
    Require(kFileHeaderSize + infoSize <= fileSize, "情報ヘッダーがファイルの終わりを越えています");

    const auto width = static_cast<std::int32_t>(Get32(bytes, 18));
    const auto rawHeight = static_cast<std::int32_t>(Get32(bytes, 22));
    const std::uint16_t planes = Get16(bytes, 26);
    const std::uint16_t bitCount = Get16(bytes, 28);
    const std::uint32_t compression = Get32(bytes, 30);
    const std::uint64_t imageSize = Get32(bytes, 34);
    const std::uint32_t colorsUsed = Get32(bytes, 46);

    Require(planes == 1, "プレーン数が 1 ではありません");
    Require(bitCount == 24, "ピクセルが 24 ビットではありません");
    Require(compression == 0, "ピクセルが圧縮されています");
    Require(width > 0, "幅が正の数ではありません");
    Require(rawHeight != 0 && rawHeight != INT32_MIN, "高さが正しくありません");
    const std::int32_t height = rawHeight < 0 ? -rawHeight : rawHeight;
    Require(width <= kMaxBitmapSide && height <= kMaxBitmapSide,
            "8192 × 8192 ピクセルより大きいビットマップです");
    Require(colorsUsed <= kMaxColorsUsed, "カラーテーブルが大きすぎます");

    BmpLayout layout;
    layout.Width = width;
    layout.Height = height;
    layout.TopDown = rawHeight < 0;
    layout.PixelOffset = pixelOffset;
    layout.RowSize = RowSize(static_cast<std::uint64_t>(width));
    const std::uint64_t dataSize = layout.RowSize * static_cast<std::uint64_t>(height);
    Require(pixelOffset >= kFileHeaderSize + infoSize + std::uint64_t{colorsUsed} * 4,
            "ピクセルデータがヘッダーと重なっています");
    Require(imageSize == 0 || imageSize >= dataSize, "イメージサイズの値が小さすぎます");
    Require(pixelOffset + dataSize <= fileSize, "ピクセルデータがファイルの終わりを越えています");
    Require(imageSize == 0 || pixelOffset + imageSize <= fileSize,
            "イメージサイズの値がファイルの終わりを越えています");
    return layout;
}

} // namespace

std::string EncodeBmp(const Bitmap24& bitmap) {
    if (bitmap.Width() <= 0 || bitmap.Height() <= 0) {
        throw BitmapError("空のビットマップは BMP ファイルに書き出せません。");
    }
    const std::uint64_t rowSize = RowSize(static_cast<std::uint64_t>(bitmap.Width()));
    const auto imageSize =
        static_cast<std::uint32_t>(rowSize * static_cast<std::uint64_t>(bitmap.Height()));
    const auto offset = static_cast<std::uint32_t>(kFileHeaderSize + kInfoHeaderSize);

    std::string out;
    out.reserve(offset + imageSize);
    out += "BM";
    Put32(out, offset + imageSize);
    Put32(out, 0); // reserved
    Put32(out, offset);
    Put32(out, kInfoHeaderSize);
    Put32(out, static_cast<std::uint32_t>(bitmap.Width()));
    Put32(out, static_cast<std::uint32_t>(bitmap.Height())); // positive: bottom-up rows
    Put16(out, 1);                                           // planes
    Put16(out, 24);                                          // bits per pixel
    Put32(out, 0);                                           // no compression
    Put32(out, imageSize);
    Put32(out, static_cast<std::uint32_t>(kPixelsPerMeter));
    Put32(out, static_cast<std::uint32_t>(kPixelsPerMeter));
    Put32(out, 0); // colours used
    Put32(out, 0); // important colours

    const std::string padding(rowSize - bitmap.Stride(), '\0');
    for (std::int32_t y = bitmap.Height() - 1; y >= 0; --y) {
        out.append(reinterpret_cast<const char*>(bitmap.Row(y)), bitmap.Stride());
        out += padding;
    }
    return out;
}

Bitmap24 DecodeBmp(std::string_view bytes) {
    const BmpLayout layout = ReadHeaders(bytes);
    Bitmap24 bitmap(layout.Width, layout.Height, 0);
    for (std::int32_t row = 0; row < layout.Height; ++row) {
        const std::int32_t y = layout.TopDown ? row : layout.Height - 1 - row;
        const std::size_t at = static_cast<std::size_t>(
            layout.PixelOffset + layout.RowSize * static_cast<std::uint64_t>(row));
        std::memcpy(bitmap.Row(y), bytes.data() + at, bitmap.Stride());
    }
    return bitmap;
}

void SaveBmp(const Bitmap24& bitmap, const std::filesystem::path& path, WriteTarget target) {
    WriteWholeFile(path, EncodeBmp(bitmap), target);
}

Bitmap24 LoadBmp(const std::filesystem::path& path) {
    // A maximal cell is larger than the general input limit, so bitmaps get their own.
    const std::string bytes = ReadWholeFile(path, kMaxBmpFileSize);
    try {
        return DecodeBmp(bytes);
    } catch (const BitmapError& error) {
        throw BitmapError("ファイル \"" + PathText(path) + "\" を読み込めません。" + error.what());
    }
}

} // namespace pelmora
