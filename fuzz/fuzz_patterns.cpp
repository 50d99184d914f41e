// Pattern sections: any settings-format text loads into a library without
// failing, and the library saved and loaded again saves the same text.
#include "FuzzCheck.h"
#include "platform/inifile.h"
#include "plugin/PatternLibrary.h"

#include <string>
#include <unordered_set>

namespace {

std::string SavedText(const pelmora::PatternLibrary& library) {
    pelmora::IniFile ini;
    for (int i = 0; i < library.Count(); ++i) {
        library.Pattern(i).SaveToIni(ini, i, library.Name(i));
    }
    return ini.ToText();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelmora;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    PatternLibrary library;
    (void)LoadPatterns(IniFile::Parse(text), library);
    std::unordered_set<std::string> names;
    for (int i = 0; i < library.Count(); ++i) {
        PELMORA_FUZZ_CHECK(!library.Name(i).empty());
        PELMORA_FUZZ_CHECK(library.Pattern(i).Count() >= 1);
        PELMORA_FUZZ_CHECK(names.insert(library.Name(i)).second);
    }

    const std::string saved = SavedText(library);
    PatternLibrary reloaded;
    (void)LoadPatterns(IniFile::Parse(saved), reloaded);
    PELMORA_FUZZ_CHECK(reloaded.Count() == library.Count());
    PELMORA_FUZZ_CHECK(SavedText(reloaded) == saved);
    return 0;
}
