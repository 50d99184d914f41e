#pragma once
// The checks the fuzz targets run on one input, shared with the unit tests
// that replay the seed inputs and every input a fuzz run has found. Each check
// feeds the input to one reader and asserts what must hold for any input:
// nothing but the documented errors escapes, and what is written reads back.
#include "gradient/Gradient.h"
#include "library/PatternLibrary.h"
#include "library/Wallpaper.h"
#include "pattern/PadInfo.h"
#include "pattern/Pattern.h"
#include "platform/bmp.h"
#include "platform/commatext.h"
#include "platform/cp932.h"
#include "platform/inifile.h"
#include "platform/inttext.h"
#include "platform/unicodetext.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace pelmora::fuzz {

// Thrown past the fuzz entry point, it ends the run as a crash with this
// message; in a unit test it fails the test.
class PropertyFailure : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
    throw PropertyFailure(std::string("property failed: ") + what + " (" + file + ":" +
                          std::to_string(line) + ")");
}

// Takes integers off the front of the input; missing bytes read as 0.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::int32_t Int32() {
        std::uint8_t bytes[4] = {0, 0, 0, 0};
        const std::size_t n = size_ < 4 ? size_ : 4;
        if (n > 0) {
            std::memcpy(bytes, data_, n);
        }
        data_ += n;
        size_ -= n;
        const std::uint32_t v =
            static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
            static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
        return static_cast<std::int32_t>(v);
    }

    std::string_view Rest() const { return {reinterpret_cast<const char*>(data_), size_}; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

} // namespace pelmora::fuzz

#define PELMORA_FUZZ_CHECK(cond)                                                                   \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            ::pelmora::fuzz::Fail(#cond, __FILE__, __LINE__);                                      \
        }                                                                                          \
    } while (false)

namespace pelmora::fuzz {

namespace detail {

// The input cut at LF into items; NUL ends a text, so an item cannot hold one.
inline std::vector<std::string> ItemsFrom(std::string_view raw) {
    std::vector<std::string> items;
    std::string item;
    for (const char c : raw) {
        if (c == '\n') {
            items.push_back(item);
            item.clear();
        } else if (c != '\0') {
            item.push_back(c);
        }
    }
    items.push_back(item);
    return items;
}

constexpr std::size_t kLookupsTried = 64;

inline std::string SavedText(const pelmora::PatternLibrary& library) {
    pelmora::IniFile ini;
    for (int i = 0; i < library.Count(); ++i) {
        library.Pattern(i).SaveToIni(ini, i, library.Name(i));
    }
    return ini.ToText();
}

constexpr std::int32_t kFoldAbove = 60;
constexpr std::int32_t kLargestCellButton = pelmora::kMaxBitmapSide - 4;
constexpr std::int32_t kNameHeight = 15;
constexpr int kMaxPatternsDrawn = 8;

inline std::int32_t FoldSide(std::int32_t side) {
    if (side > kFoldAbove && side <= kLargestCellButton) {
        return side % (kFoldAbove + 1);
    }
    return side;
}

} // namespace detail

// Comma text: reading never fails, and every list written reads back as it was.
inline void CommaText(const std::uint8_t* data, std::size_t size) {
    const std::string_view raw(reinterpret_cast<const char*>(data), size);

    // Whatever a line holds, the items it reads as survive a write and a read.
    const std::vector<std::string> read = ReadCommaText(raw);
    PELMORA_FUZZ_CHECK(ReadCommaText(WriteCommaText(read)) == read);

    // Any list of items (byte strings without NUL) survives a write and a read.
    const std::vector<std::string> items = detail::ItemsFrom(raw);
    const std::string written = WriteCommaText(items);
    PELMORA_FUZZ_CHECK(written.find('\0') == std::string::npos);
    PELMORA_FUZZ_CHECK(ReadCommaText(written) == items);
}

// Integer text: parsing never fails hard, and a parsed value is written in a
// form that parses back to it.
inline void IntText(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const std::optional<std::int32_t> parsed = ParseIntText(text);
    PELMORA_FUZZ_CHECK(StrToIntDef(text, 7) == (parsed ? *parsed : 7));
    PELMORA_FUZZ_CHECK(StrToIntDef(text, -7) == (parsed ? *parsed : -7));
    if (parsed) {
        PELMORA_FUZZ_CHECK(ParseIntText(IntToStr(*parsed)) == parsed);
    }

    // Any 32-bit value written in decimal reads back.
    fuzz::ByteReader reader(data, size);
    const std::int32_t value = reader.Int32();
    PELMORA_FUZZ_CHECK(ParseIntText(IntToStr(value)) == value);
}

// Settings-format text: parsing never fails, writing the result and parsing it
// again gives the same file, and written values read back.
inline void IniText(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    IniFile ini = IniFile::Parse(std::string(text));
    const std::string once = ini.ToText();
    PELMORA_FUZZ_CHECK(IniFile::Parse(once).ToText() == once);

    // The end's writer, which never holds an INI file, writes the same text.
    std::string streamed;
    IniTextWriter writer([&](std::string_view piece) { streamed += piece; });
    for (const IniFile::Section& section : ini.Sections()) {
        writer.Section(section.Name);
        for (const auto& [key, value] : section.Values) {
            writer.Key(key, value);
        }
    }
    writer.Finish();
    PELMORA_FUZZ_CHECK(streamed == once);

    // A file's bytes become Shift-JIS text or a clear refusal; text without a
    // byte-order mark is taken as it is.
    try {
        const std::string decoded = ToShiftJisText(std::string(text));
        PELMORA_FUZZ_CHECK(EncodingOf(text) != TextEncoding::ShiftJis || decoded == text);
    } catch (const CodecError&) {
        PELMORA_FUZZ_CHECK(EncodingOf(text) != TextEncoding::ShiftJis);
    }

    // Lookups find every section, and the keys of the first section of a name
    // (a repeated section is only reached through the first). Lookups scan, so
    // only the first sections and keys are tried.
    std::unordered_set<std::string> seen;
    const std::size_t sectionsTried =
        std::min<std::size_t>(ini.Sections().size(), detail::kLookupsTried);
    for (std::size_t s = 0; s < sectionsTried; ++s) {
        const IniFile::Section& section = ini.Sections()[s];
        PELMORA_FUZZ_CHECK(ini.SectionExists(section.Name));
        std::string folded(section.Name);
        for (char& c : folded) {
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        }
        const bool first = seen.insert(folded).second;
        const std::size_t tried =
            std::min<std::size_t>(section.Values.size(), detail::kLookupsTried);
        for (std::size_t k = 0; k < tried; ++k) {
            const std::string_view key = section.Values[k].first;
            (void)ini.ReadInteger(section.Name, key, 0);
            (void)ini.ReadBool(section.Name, key, false);
            PELMORA_FUZZ_CHECK(!first || ini.Value(section.Name, key).has_value());
        }
    }

    // A value written under the first section and key reads back from the
    // text, line breaks stored as blanks.
    if (!ini.Sections().empty() && !ini.Sections().front().Values.empty()) {
        const std::string section(ini.Sections().front().Name);
        const std::string key(ini.Sections().front().Values.front().first);
        const std::string value = "x" + std::string(text.substr(0, 64)) + "x";
        std::string expected = value;
        for (char& c : expected) {
            if (c == '\r' || c == '\n') {
                c = ' ';
            }
        }
        ini.WriteString(section, key, value);
        PELMORA_FUZZ_CHECK(ini.Value(section, key) == expected);
        PELMORA_FUZZ_CHECK(IniFile::Parse(ini.ToText()).Value(section, key) == expected);
    }
}

// Part line: reading never fails, keeps its fields in range, and a line the
// part writes reads back into the same part and the same line.
inline void PartLine(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);

    TPatrn owner;
    TParts& part = owner.AddNew();
    part.LoadFromText(line);
    PELMORA_FUZZ_CHECK(part.Area <= paName);
    PELMORA_FUZZ_CHECK(part.Fill <= fkBtnF);
    PELMORA_FUZZ_CHECK(part.KindIndex() >= 0 && part.KindIndex() < kPartsKindCount);
    (void)part.GetDescription();
    (void)part.GetFillName();

    const std::string saved = part.SaveToText();
    TParts copy(&owner);
    copy.LoadFromText(saved);
    PELMORA_FUZZ_CHECK(copy.SaveToText() == saved);
    PELMORA_FUZZ_CHECK(copy.Area == part.Area);
    PELMORA_FUZZ_CHECK(copy.IsFrame == part.IsFrame);
    PELMORA_FUZZ_CHECK(copy.Outer == part.Outer);
    PELMORA_FUZZ_CHECK(copy.Thick == part.Thick);
    PELMORA_FUZZ_CHECK(copy.Fill == part.Fill);
    if (part.Fill == fkMono) {
        PELMORA_FUZZ_CHECK(copy.Color == part.Color);
    }
    if (part.Fill == fkGrad) {
        PELMORA_FUZZ_CHECK(copy.GradText == part.GradText);
    }

    // Assign carries what the line carries.
    TParts assigned(&owner);
    assigned.Assign(part);
    PELMORA_FUZZ_CHECK(assigned.SaveToText() == saved);
}

// Gradient text: reading never fails and leaves a usable ramp, the text it
// writes reads back into the same gradient, and the ramp paints into a small
// canvas over any rectangle. The first 24 bytes give the brightness and hue
// shifts and the rectangle's corners; the rest is the text.
inline void GradientText(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteReader reader(data, size);
    const std::int32_t lumi = reader.Int32();
    const std::int32_t hue = reader.Int32();
    const std::int32_t left = reader.Int32();
    const std::int32_t top = reader.Int32();
    const std::int32_t right = reader.Int32();
    const std::int32_t bottom = reader.Int32();
    const std::string text(reader.Rest());

    TGrad grad;
    grad.LoadFromText(text);
    const std::vector<TCol>& stops = grad.Stops();
    PELMORA_FUZZ_CHECK(stops.size() >= 2);
    PELMORA_FUZZ_CHECK(stops.front().Pos == 0);
    PELMORA_FUZZ_CHECK(stops.back().Pos == 100);
    for (std::size_t i = 1; i < stops.size(); ++i) {
        PELMORA_FUZZ_CHECK(stops[i - 1].Pos <= stops[i].Pos);
    }
    PELMORA_FUZZ_CHECK(grad.Kind <= gkQuad);

    const std::string saved = grad.SaveToText();
    TGrad copy;
    copy.LoadFromText(saved);
    PELMORA_FUZZ_CHECK(copy.SaveToText() == saved);
    PELMORA_FUZZ_CHECK(copy.Stops() == grad.Stops());
    PELMORA_FUZZ_CHECK(copy.Kind == grad.Kind && copy.Angle == grad.Angle &&
                       copy.CenterX == grad.CenterX && copy.CenterY == grad.CenterY &&
                       copy.Normalize == grad.Normalize);

    grad.BuildTable(lumi, hue);
    PELMORA_FUZZ_CHECK(!grad.Dirty());
    Bitmap24 canvas(13, 9);
    // Small corners as they are, so most runs paint; large ones also run, and
    // must cost no more than the canvas they land on.
    grad.Draw(canvas, left, top, right, bottom, lumi, hue);
    grad.Draw(canvas, left % 20 - 3, top % 20 - 3, right % 20, bottom % 20, lumi, hue);
}

// Pattern sections: any settings-format text loads into a library without
// failing, and the library saved and loaded again saves the same text.
inline void PatternSections(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    PatternLibrary library;
    (void)LoadPatterns(IniFile::Parse(std::string(text)), library);
    std::unordered_set<std::string> names;
    for (int i = 0; i < library.Count(); ++i) {
        PELMORA_FUZZ_CHECK(!library.Name(i).empty());
        PELMORA_FUZZ_CHECK(library.Pattern(i).Count() >= 1);
        PELMORA_FUZZ_CHECK(names.insert(library.Name(i)).second);
    }

    const std::string saved = detail::SavedText(library);
    PatternLibrary reloaded;
    (void)LoadPatterns(IniFile::Parse(saved), reloaded);
    PELMORA_FUZZ_CHECK(reloaded.Count() == library.Count());
    PELMORA_FUZZ_CHECK(detail::SavedText(reloaded) == saved);
}

// BMP reading: any bytes either decode or are refused with BitmapError, and a
// decoded bitmap written again decodes to the same pixels.
inline void BmpFile(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    Bitmap24 bitmap;
    try {
        bitmap = DecodeBmp(bytes);
    } catch (const BitmapError&) {
        return;
    }
    PELMORA_FUZZ_CHECK(bitmap.Width() >= 0 && bitmap.Height() >= 0);
    PELMORA_FUZZ_CHECK(bitmap.Bytes().size() ==
                       static_cast<std::size_t>(bitmap.Width()) * bitmap.Height() * 3);
    if (bitmap.Width() > 0 && bitmap.Height() > 0) {
        PELMORA_FUZZ_CHECK(DecodeBmp(EncodeBmp(bitmap)) == bitmap);
    }
}

// The whole wallpaper path: a pattern file's text and the pad's five button
// values to painted cells. The first 20 bytes are the pad values (width,
// height, caption, small icon, colour); the rest is the file text.
//
// Button sides between 61 and 8188 are folded below 61 so that runs stay fast;
// every other value, negative and huge ones included, goes through as it is
// (cells out of range are refused with BitmapError).
inline void Wallpaper(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteReader reader(data, size);
    PadValues values;
    values.BtnWidth = detail::FoldSide(reader.Int32());
    values.BtnHeight = detail::FoldSide(reader.Int32());
    values.BtnCaption = reader.Int32();
    values.BtnSmallIcon = reader.Int32();
    values.BtnColor = reader.Int32();
    const TPadInfo pad = DerivePadInfo(values, detail::kNameHeight);

    PatternLibrary library;
    (void)LoadPatterns(IniFile::Parse(std::string(reader.Rest())), library);
    for (int i = 0; i < library.Count() && i < detail::kMaxPatternsDrawn; ++i) {
        const TPatrn& pattern = library.Pattern(i);
        try {
            const Bitmap24 cell = DrawWallpaper(pattern, pad);
            const CellDimensions dims = CellSize(pad);
            PELMORA_FUZZ_CHECK(cell.Width() == dims.Width && cell.Height() == dims.Height);
        } catch (const BitmapError&) {
            PELMORA_FUZZ_CHECK(static_cast<std::int64_t>(pad.BtnWidth) + 4 < 0 ||
                               static_cast<std::int64_t>(pad.BtnWidth) + 4 > kMaxBitmapSide ||
                               static_cast<std::int64_t>(pad.BtnHeight) + 4 < 0 ||
                               static_cast<std::int64_t>(pad.BtnHeight) + 4 > kMaxBitmapSide);
        }
        for (int p = 0; p < pattern.Count(); ++p) {
            (void)pattern.Parts(p)->CreatePreview(16, pad);
        }
    }
}

// Shift-JIS conversions: any bytes either convert or are refused with
// CodecError; converted text converts back to text that reads the same; the
// character scan never splits a double-byte character.
inline void ShiftJis(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    try {
        const std::string utf8 = SjisToUtf8(bytes);
        // Code page 932 maps some characters twice (NEC and IBM rows), so the
        // bytes may differ; what they read as may not.
        PELMORA_FUZZ_CHECK(SjisToUtf8(Utf8ToSjis(utf8)) == utf8);
    } catch (const CodecError&) {
    }
    try {
        const std::string sjis = Utf8ToSjis(bytes);
        PELMORA_FUZZ_CHECK(Utf8ToSjis(SjisToUtf8(sjis)) == sjis);
    } catch (const CodecError&) {
    }

    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t length = SjisCharLength(bytes, pos);
        PELMORA_FUZZ_CHECK(length == 1 || length == 2);
        pos += length;
        PELMORA_FUZZ_CHECK(SjisBoundaryAtOrBefore(bytes, pos) == pos);
    }
    PELMORA_FUZZ_CHECK(pos == bytes.size());
    for (std::size_t max = 0; max <= bytes.size() && max < 64; ++max) {
        PELMORA_FUZZ_CHECK(SjisBoundaryAtOrBefore(bytes, max) <= max);
    }
}

} // namespace pelmora::fuzz
