#include "platform/bmp.h"
#include "platform/fileio.h"

#include "platform_tempdir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

using namespace pelmora;
using pelmora::testing::EntryCount;
using pelmora::testing::TempDir;
using pelmora::testing::WriteRaw;

namespace {

// A bitmap whose every pixel differs from its neighbours.
Bitmap24 Sample(std::int32_t width, std::int32_t height) {
    Bitmap24 b(width, height);
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            b.SetPixel(x, y,
                       static_cast<TColor>((x * 37 + 11) & 0xFF) |
                           (static_cast<TColor>((y * 59 + 7) & 0xFF) << 8) |
                           (static_cast<TColor>((x * 13 + y * 17 + 3) & 0xFF) << 16));
        }
    }
    return b;
}

std::uint32_t Get32(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

std::uint16_t Get16(const std::string& b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      static_cast<unsigned char>(b[at + 1]) << 8);
}

void Set32(std::string& b, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) {
        b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
}

void Set16(std::string& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}

TEST(PlatformBmp, WritesTheStandardHeaders) {
    const std::string file = EncodeBmp(Sample(3, 2));
    const std::size_t rowSize = 12; // 9 bytes of pixels padded to 12
    ASSERT_EQ(file.size(), 54 + 2 * rowSize);
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(Get32(file, 2), file.size()); // file size
    EXPECT_EQ(Get32(file, 6), 0u);          // reserved
    EXPECT_EQ(Get32(file, 10), 54u);        // pixel offset
    EXPECT_EQ(Get32(file, 14), 40u);        // info header size
    EXPECT_EQ(Get32(file, 18), 3u);         // width
    EXPECT_EQ(Get32(file, 22), 2u);         // height: positive, bottom-up
    EXPECT_EQ(Get16(file, 26), 1u);         // planes
    EXPECT_EQ(Get16(file, 28), 24u);        // bits per pixel
    EXPECT_EQ(Get32(file, 30), 0u);         // no compression
    EXPECT_EQ(Get32(file, 34), 2 * rowSize);
    EXPECT_EQ(Get32(file, 38), 3780u); // 96 dpi
    EXPECT_EQ(Get32(file, 42), 3780u);
    EXPECT_EQ(Get32(file, 46), 0u);
    EXPECT_EQ(Get32(file, 50), 0u);
}

TEST(PlatformBmp, RowsAreBottomUpAndPaddedWithZeros) {
    Bitmap24 b(1, 2);
    b.SetPixel(0, 0, 0x00030201); // top
    b.SetPixel(0, 1, 0x00060504); // bottom
    const std::string file = EncodeBmp(b);
    ASSERT_EQ(file.size(), 54u + 8u);
    EXPECT_EQ(file.substr(54), std::string("\x06\x05\x04\0\x03\x02\x01\0", 8));
}

TEST(PlatformBmp, RoundTripsEveryPadding) {
    for (std::int32_t width = 1; width <= 9; ++width) {
        for (std::int32_t height = 1; height <= 3; ++height) {
            const Bitmap24 b = Sample(width, height);
            EXPECT_EQ(DecodeBmp(EncodeBmp(b)), b) << width << "x" << height;
        }
    }
}

TEST(PlatformBmp, ReadsTopDownAndOtherHeaderVersions) {
    const Bitmap24 b = Sample(3, 2);
    const std::string bottomUp = EncodeBmp(b);

    std::string topDown = bottomUp;
    Set32(topDown, 22, static_cast<std::uint32_t>(-2));
    topDown.replace(54, 12, bottomUp.substr(66, 12));
    topDown.replace(66, 12, bottomUp.substr(54, 12));
    EXPECT_EQ(DecodeBmp(topDown), b);

    // A version-5 header (124 bytes) with the pixels after it.
    std::string v5 = bottomUp.substr(0, 54) + std::string(84, '\0') + bottomUp.substr(54);
    Set32(v5, 2, static_cast<std::uint32_t>(v5.size()));
    Set32(v5, 10, 14 + 124);
    Set32(v5, 14, 124);
    EXPECT_EQ(DecodeBmp(v5), b);

    // No image size, a palette nobody needs, bytes after the declared end.
    std::string loose = bottomUp.substr(0, 54) + std::string(8, '\x7F') + bottomUp.substr(54);
    Set32(loose, 2, static_cast<std::uint32_t>(loose.size()));
    Set32(loose, 10, 62);
    Set32(loose, 34, 0);
    Set32(loose, 46, 2);
    loose += "trailing";
    EXPECT_EQ(DecodeBmp(loose), b);
}

TEST(PlatformBmp, EmptyBitmapsCannotBeWritten) {
    EXPECT_THROW(EncodeBmp(Bitmap24()), BitmapError);
    EXPECT_THROW(EncodeBmp(Bitmap24(0, 4)), BitmapError);
    EXPECT_THROW(EncodeBmp(Bitmap24(4, 0)), BitmapError);
}

struct Corruption {
    const char* What;
    std::function<void(std::string&)> Apply;
};

TEST(PlatformBmp, RefusesCorruptHeaders) {
    const std::string valid = EncodeBmp(Sample(3, 2)); // 78 bytes
    const Corruption cases[] = {
        {"signature", [](std::string& f) { f[1] = 'A'; }},
        {"signature swapped", [](std::string& f) { std::swap(f[0], f[1]); }},
        {"file size past the end", [](std::string& f) { Set32(f, 2, 79); }},
        {"file size huge", [](std::string& f) { Set32(f, 2, 0xFFFFFFFFu); }},
        {"file size below the headers", [](std::string& f) { Set32(f, 2, 40); }},
        {"file size cuts the pixels", [](std::string& f) { Set32(f, 2, 77); }},
        {"pixel offset inside the headers", [](std::string& f) { Set32(f, 10, 53); }},
        {"pixel offset past the end", [](std::string& f) { Set32(f, 10, 55); }},
        {"pixel offset huge", [](std::string& f) { Set32(f, 10, 0xFFFFFFF0u); }},
        {"core header", [](std::string& f) { Set32(f, 14, 12); }},
        {"odd header size", [](std::string& f) { Set32(f, 14, 41); }},
        {"header size huge", [](std::string& f) { Set32(f, 14, 0xFFFFFFFFu); }},
        {"zero width", [](std::string& f) { Set32(f, 18, 0); }},
        {"negative width", [](std::string& f) { Set32(f, 18, static_cast<std::uint32_t>(-3)); }},
        {"width too large", [](std::string& f) { Set32(f, 18, 8193); }},
        {"width wider than the data", [](std::string& f) { Set32(f, 18, 5); }},
        {"zero height", [](std::string& f) { Set32(f, 22, 0); }},
        {"height too large", [](std::string& f) { Set32(f, 22, 8193); }},
        {"negative height too large",
         [](std::string& f) { Set32(f, 22, static_cast<std::uint32_t>(-8193)); }},
        {"lowest height", [](std::string& f) { Set32(f, 22, 0x80000000u); }},
        {"taller than the data", [](std::string& f) { Set32(f, 22, 3); }},
        {"zero planes", [](std::string& f) { Set16(f, 26, 0); }},
        {"two planes", [](std::string& f) { Set16(f, 26, 2); }},
        {"8-bit", [](std::string& f) { Set16(f, 28, 8); }},
        {"32-bit", [](std::string& f) { Set16(f, 28, 32); }},
        {"run-length compressed", [](std::string& f) { Set32(f, 30, 1); }},
        {"bit fields", [](std::string& f) { Set32(f, 30, 3); }},
        {"image size too small", [](std::string& f) { Set32(f, 34, 23); }},
        {"image size past the end", [](std::string& f) { Set32(f, 34, 25); }},
        {"image size huge", [](std::string& f) { Set32(f, 34, 0xFFFFFFFFu); }},
        {"palette over the pixels", [](std::string& f) { Set32(f, 46, 1); }},
        {"palette huge", [](std::string& f) { Set32(f, 46, 0x40000000u); }},
    };
    EXPECT_EQ(DecodeBmp(valid), Sample(3, 2));
    for (const auto& c : cases) {
        std::string file = valid;
        c.Apply(file);
        EXPECT_THROW(DecodeBmp(file), BitmapError) << c.What;
    }
}

TEST(PlatformBmp, EveryTruncationIsRefused) {
    const std::string valid = EncodeBmp(Sample(3, 2));
    for (std::size_t length = 0; length < valid.size(); ++length) {
        EXPECT_THROW(DecodeBmp(std::string_view(valid).substr(0, length)), BitmapError) << length;
    }
}

// Every header byte set to a handful of values: each file decodes or is
// refused with BitmapError, and nothing is read outside the buffer.
TEST(PlatformBmp, SurvivesEveryHeaderByteValue) {
    const std::string valid = EncodeBmp(Sample(2, 2));
    for (std::size_t at = 0; at < 54; ++at) {
        for (const int value : {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF}) {
            std::string file = valid;
            file[at] = static_cast<char>(value);
            // Copied into an exactly sized buffer so a sanitiser sees overruns.
            const auto exact = std::make_unique<char[]>(file.size());
            std::copy(file.begin(), file.end(), exact.get());
            try {
                const Bitmap24 b = DecodeBmp(std::string_view(exact.get(), file.size()));
                EXPECT_GT(b.Width(), 0);
                EXPECT_GT(b.Height(), 0);
            } catch (const BitmapError&) {
            }
        }
    }
}

TEST(PlatformBmp, SavesAndLoadsFiles) {
    TempDir dir;
    const Bitmap24 b = Sample(7, 5);
    SaveBmp(b, dir / "cell.bmp");
    EXPECT_EQ(LoadBmp(dir / "cell.bmp"), b);
    SaveBmp(Sample(2, 2), dir / "cell.bmp");
    EXPECT_EQ(LoadBmp(dir / "cell.bmp"), Sample(2, 2));
    EXPECT_EQ(EntryCount(dir.Path()), 1u);

    EXPECT_THROW(LoadBmp(dir / "missing.bmp"), FileError);
    EXPECT_THROW(SaveBmp(b, dir / "missing" / "cell.bmp"), FileError);
    WriteRaw(dir / "text.bmp", "BM but not a bitmap at all, just some words to fill it up....");
    try {
        LoadBmp(dir / "text.bmp");
        FAIL() << "no error";
    } catch (const BitmapError& error) {
        EXPECT_NE(std::string(error.what()).find("text.bmp"), std::string::npos) << error.what();
    }
}

// Wide cells make files over the general input limit; they must still load.
TEST(PlatformBmp, CellsBeyondTheInputLimitLoad) {
    TempDir dir;
    Bitmap24 b(kMaxBitmapSide, 2800, 0x00123456);
    ASSERT_GT(EncodeBmp(b).size(), kMaxInputFileSize);
    b.SetPixel(kMaxBitmapSide - 1, 0, 0x00ABCDEF);
    SaveBmp(b, dir / "huge.bmp");
    EXPECT_EQ(LoadBmp(dir / "huge.bmp"), b);
}

std::string RunAndCapture(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) {
        return {};
    }
    std::string output;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0) {
        output.append(buffer, got);
    }
    return output;
}

// The first python3 that has PIL: the one on the path may be a private
// installation without it, while the system's own one has the package.
std::string PythonWithPil() {
    for (const std::string candidate : {"python3", "/usr/bin/python3"}) {
        const std::string probe = candidate + " -c 'import PIL.Image' >/dev/null 2>&1";
        if (std::system(probe.c_str()) == 0) {
            return candidate;
        }
    }
    return {};
}

// An independent decoder must see the same pixels as the ones written.
TEST(PlatformBmp, AnotherDecoderReadsTheSamePixels) {
    const std::string python = PythonWithPil();
    if (python.empty()) {
        GTEST_SKIP() << "python3 with PIL is not available";
    }
    TempDir dir;
    const Bitmap24 b = Sample(5, 3);
    SaveBmp(b, dir / "cell.bmp");
    const std::string script =
        "import sys; from PIL import Image; im = Image.open(sys.argv[1]); "
        "print(im.format, im.mode, *im.size); "
        "[print(*im.getpixel((x, y))) for y in range(im.size[1]) for x in range(im.size[0])]";
    const std::string output =
        RunAndCapture(python + " -c \"" + script + "\" '" + (dir / "cell.bmp").string() + "'");

    std::ostringstream expected;
    expected << "BMP RGB " << b.Width() << " " << b.Height() << "\n";
    for (std::int32_t y = 0; y < b.Height(); ++y) {
        for (std::int32_t x = 0; x < b.Width(); ++x) {
            const TColor c = b.Pixel(x, y);
            expected << (c & 0xFF) << " " << ((c >> 8) & 0xFF) << " " << ((c >> 16) & 0xFF) << "\n";
        }
    }
    EXPECT_EQ(output, expected.str());
}

} // namespace
