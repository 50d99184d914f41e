#include "library/IniData.h"

#include "platform/hostpath.h"
#include "platform/inifile.h"
#include "platform/inttext.h"

namespace pelmora {

TIniData ReadIniData(const IniFile& ini, std::string_view settingsPath) {
    const std::string folder = FolderOfPath(settingsPath);
    TIniData data;
    data.Left = ini.ReadInteger(kMainSection, "Left", 0);
    data.Top = ini.ReadInteger(kMainSection, "Top", 0);
    data.Width = ini.ReadInteger(kMainSection, "Width", 400);
    data.Height = ini.ReadInteger(kMainSection, "Height", 350);
    data.PrevHeight = ini.ReadInteger(kMainSection, "PrevHeight", 130);
    data.ImportDir = ini.ReadString(kMainSection, "ImportDir", folder);
    data.ExportDir = ini.ReadString(kMainSection, "ExportDir", folder);
    data.WallPaperPerPad = ini.ReadBool(kMainSection, kWallPaperPerPadKey, false);
    return data;
}

void ForEachMainValue(
    const TIniData& data,
    const std::function<void(std::string_view key, std::string_view value)>& out) {
    out("Left", IntToStr(data.Left));
    out("Top", IntToStr(data.Top));
    out("Width", IntToStr(data.Width));
    out("Height", IntToStr(data.Height));
    out("PrevHeight", IntToStr(data.PrevHeight));
    out("ImportDir", data.ImportDir);
    out("ExportDir", data.ExportDir);
    if (data.WallPaperPerPad) {
        out(kWallPaperPerPadKey, "1");
    }
}

void WriteIniData(IniFile& ini, const TIniData& data) {
    ForEachMainValue(data, [&](std::string_view key, std::string_view value) {
        ini.WriteString(kMainSection, key, value);
    });
}

} // namespace pelmora
