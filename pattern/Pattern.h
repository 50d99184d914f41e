#pragma once
// Patterns and their parts: the model, its stored form and its painting into
// a button cell.
//
// Texts: the kind and fill names, descriptions and TrimText are UTF-8 (they
// are shown in windows). The stored forms (SaveToText, SaveToIni) hold ASCII
// only, apart from GradText and the pattern name, whose bytes (Shift-JIS, as
// read from a file) pass through unchanged.
#include "pattern/PadInfo.h"
#include "platform/bitmap.h"
#include "platform/inifile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

// Region of the button cell a part paints.
enum TPartsArea : std::uint8_t { paAll = 0, paIcon = 1, paName = 2 };

// What a part paints its region with.
enum TFillKind : std::uint8_t { fkNon = 0, fkMono = 1, fkGrad = 2, fkBtn = 3, fkBtnF = 4 };

inline constexpr int kPartsKindCount = 6;
inline constexpr int kFillKindCount = 5;

// Kind names by kind index (Area * 2 + 1 for a frame) and fill names by fill; UTF-8.
extern const char* const kPartsKindNames[kPartsKindCount];
extern const char* const kFillKindNames[kFillKindCount];

// Side values: edge adjustments or frame thicknesses.
struct TTrim {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    bool operator==(const TTrim&) const = default;
};

// "外(3)" for 3, "内(2)" for -2, "-" for 0 (UTF-8).
std::string TrimText(std::int32_t value);

// A rectangle in 64-bit coordinates, half-open like TRect. Edge adjustments
// read from files may be any 32-bit value, so region arithmetic is done here
// and only clipped to the canvas when pixels are touched.
struct TRect64 {
    std::int64_t Left = 0;
    std::int64_t Top = 0;
    std::int64_t Right = 0;
    std::int64_t Bottom = 0;
    bool operator==(const TRect64&) const = default;
};

// Light left column and top row, then shadow right column and bottom row, one
// pixel wide; where they meet (a bevel one pixel wide or high) the shadow wins.
// A line whose range is empty or inverted paints nothing.
void DrawBevel(Bitmap24& canvas, const TRect64& r, TColor light, TColor shadow);

class TPatrn;

// One drawing element of a pattern. Owned by its pattern; `Owner` is a plain
// back pointer that supplies the pattern's shifts.
class TParts {
public:
    explicit TParts(TPatrn* owner);

    std::uint8_t Area = paAll;
    TTrim Outer{0, 0, 0, 0};
    bool IsFrame = false;
    TTrim Thick{1, 1, 1, 1};
    std::uint8_t Fill = fkNon;
    TColor Color = 0;
    std::string GradText;
    TPatrn* Owner = nullptr;

    // Area * 2 + 1 for a frame, kept inside 0..5.
    int KindIndex() const;

    // Copies everything but Owner, and of Color / GradText only the one the
    // source's fill uses.
    void Assign(const TParts& source);

    std::string GetName() const;        // kind name
    std::string GetDescription() const; // kind name plus the edge adjustments
    std::string GetFillName() const;

    // One line of comma text: kind, outer sides, thick sides, fill, then the
    // colour (fill 1) or the gradient text (fill 2).
    std::string SaveToText() const;
    // Updates the fields the line holds; the others keep their values, also
    // the sides missing from a short side list. A kind outside 0..5 and a fill
    // outside 0..4 are clamped into range. Never fails.
    void LoadFromText(std::string_view line);

    // Paints the part on its region of the cell, shifted by the owner's settings.
    void Draw(Bitmap24& canvas, const TPadInfo& pad) const;
    // A size x size preview of the fill (white background, to be drawn with
    // white transparent), unshifted; none for fill 0.
    std::optional<Bitmap24> CreatePreview(std::int32_t size, const TPadInfo& pad) const;

    // The region of the cell for the part's area and edge adjustments.
    TRect64 Region(const TPadInfo& pad) const;
    void PaintRegion(Bitmap24& canvas, const TRect64& r, const TPadInfo& pad, bool adjust) const;
    void PaintFill(Bitmap24& canvas, const TRect64& r, bool adjust, TColor buttonColor) const;
    void PaintBtnFrame(Bitmap24& canvas, const TRect64& r, bool adjust, const TPadInfo& pad) const;
    // The colour to paint with, resolved to RGB.
    TColor AdjustColor(TColor c, bool adjust, bool isButtonColor) const;
};

// A named stack of parts (the name is kept by the list that holds the
// pattern). Part 0 is the base part and covers the whole button.
class TPatrn {
public:
    TPatrn(); // one base part: button background in the button colour
    TPatrn(const TPatrn&) = delete;
    TPatrn& operator=(const TPatrn&) = delete;

    std::int32_t Lumi = 0;
    std::int32_t Hue = 0;
    bool BtnColTrim = false;

    int Count() const { return static_cast<int>(parts_.size()); }
    // The part at `index`, or nullptr outside the list.
    TParts* Parts(int index);
    const TParts* Parts(int index) const;

    // Appends the part (its Owner is set to this pattern) and returns its index.
    int Add(std::unique_ptr<TParts> part);
    // A new part owned by this pattern, appended.
    TParts& AddNew();
    // Moves the part so that it ends at `newIndex`. Throws std::out_of_range
    // for an index outside the list.
    void Move(int curIndex, int newIndex);
    // Frees the part. Throws std::out_of_range for an index outside the list.
    void Delete(int index);

    // Deep copy; the colour or gradient text a part's fill does not use is not carried.
    void Assign(const TPatrn& source);
    std::unique_ptr<TPatrn> Clone() const;
    // An exact copy, also of the colours and gradient texts the parts' fills
    // do not use now (what an undo in the editor brings back).
    std::unique_ptr<TPatrn> Duplicate() const;

    // Makes sure there is a part 0 and that it covers the whole button.
    void EnsureBase();

    // Reads Lumi, Hue, BtnColTrim and the part lines "0", "1", ... up to the
    // first missing or empty one. "Name" is the caller's. The caller runs
    // EnsureBase afterwards.
    void LoadFromIni(const IniFile& ini, std::string_view section);
    void LoadFromIni(const IniFile::Section& section);
    // Writes "Name", "Lumi", "Hue", "BtnColTrim" and one key per part into
    // section `number` (decimal), leaving other keys of that section alone.
    void SaveToIni(IniFile& ini, int number, std::string_view name) const;
    // The keys and values SaveToIni writes after "Name", in that order, one
    // at a time (what a stored library would weigh is counted without it).
    void ForEachStoredValue(
        const std::function<void(std::string_view key, std::string_view value)>& take) const;

    // Paints every part, part 0 first.
    void Draw(Bitmap24& canvas, const TPadInfo& pad) const;

private:
    std::vector<std::unique_ptr<TParts>> parts_;
};

} // namespace pelmora
