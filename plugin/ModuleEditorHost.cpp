#include "plugin/ModuleEditorHost.h"

#include "platform/hostpath.h"
#include "platform/tempfile.h"
#include "plugin/EditorHook.h"
#include "plugin/ModuleState.h"
#include "plugin/PlugFunc.h"

namespace pelmora {

void ModuleEditorHost::ReadPadInfo() {
    pelmora::ReadPadInfo();
}

const TPadInfo& ModuleEditorHost::PadInfo() const {
    return Module().PadInfo;
}

std::optional<std::string> ModuleEditorHost::GetPadWallPaper() {
    return ReadPadText(Module().CurrentPad, kWallPaperKey);
}

bool ModuleEditorHost::SetPadWallPaper(const std::string& value) {
    return SetPadText(Module().CurrentPad, kWallPaperKey, value);
}

std::filesystem::path ModuleEditorHost::WallpaperFile() const {
    return HostPathToFs(WallpaperText());
}

std::string ModuleEditorHost::WallpaperText() const {
    return ModuleWallpaperPath();
}

std::filesystem::path ModuleEditorHost::CreateTrialFile() {
    return pelmora::CreateTrialFile();
}

std::string ModuleEditorHost::HostPathText(const std::filesystem::path& path) const {
    return FsPathToHost(path);
}

bool ModuleEditorHost::AskPatternName(const std::string& promptUtf8, std::string& name,
                                      const PatternLibrary& names) {
    return pelmora::AskPatternName(promptUtf8, name, names);
}

bool ModuleEditorHost::ImportPatterns(PatternLibrary& list) {
    return ImportPatternFile(list);
}

void ModuleEditorHost::ExportPatterns(const std::vector<TExportEntry>& entries) {
    pelmora::ExportPatterns(entries);
}

void ModuleEditorHost::EditorClosed() {
    pelmora::EditorClosed();
}

} // namespace pelmora
