// Part line: reading never fails, keeps its fields in range, and a line the
// part writes reads back into the same part and the same line.
#include "FuzzCheck.h"
#include "pattern/patrn.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelmora;
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
    return 0;
}
