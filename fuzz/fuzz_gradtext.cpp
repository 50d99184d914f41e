// Gradient text: reading never fails and leaves a usable ramp, the text it
// writes reads back into the same gradient, and the ramp paints into a small
// canvas over any rectangle. The first 24 bytes give the brightness and hue
// shifts and the rectangle's corners; the rest is the text.
#include "FuzzCheck.h"
#include "gradient/GradObj.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelmora;
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
    return 0;
}
