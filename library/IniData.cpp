#include "library/IniData.h"

#include "platform/hostpath.h"
#include "platform/inifile.h"

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
    return data;
}

void WriteIniData(IniFile& ini, const TIniData& data) {
    ini.WriteInteger(kMainSection, "Left", data.Left);
    ini.WriteInteger(kMainSection, "Top", data.Top);
    ini.WriteInteger(kMainSection, "Width", data.Width);
    ini.WriteInteger(kMainSection, "Height", data.Height);
    ini.WriteInteger(kMainSection, "PrevHeight", data.PrevHeight);
    ini.WriteString(kMainSection, "ImportDir", data.ImportDir);
    ini.WriteString(kMainSection, "ExportDir", data.ExportDir);
}

} // namespace pelmora
