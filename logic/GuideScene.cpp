#include "logic/GuideScene.h"

#include "platform/fileio.h"
#include "platform/inifile.h"
#include "platform/tempfile.h"

namespace pelmora {

GuidePad::GuidePad(Prompts& dialogs)
    : dialogs_(dialogs), pad_(DerivePadInfo(PadValues{96, 64, 1, 0, 0x00C0A080}, 12)) {}

std::filesystem::path GuidePad::CreateTrialFile() {
    return pelmora::CreateTrialFile();
}

PatternLibrary GuideLibrary(const std::filesystem::path& samples) {
    PatternLibrary library;
    for (const char* file : {"basic.ptn", "gradients.ptn"}) {
        LoadPatterns(IniFile::Parse(ReadWholeFile(samples / file)), library);
    }
    return library;
}

TIniData GuideWindowSettings() {
    TIniData settings;
    settings.Width = 660;
    settings.Height = 470;
    settings.PrevHeight = 110;
    return settings;
}

} // namespace pelmora
