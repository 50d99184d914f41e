#include "platform/tempfile.h"

#include "platform/fileio.h"
#include "platform/win32/wide.h"

#include <windows.h>

#include <string>

namespace pelmora {

std::filesystem::path CreateTrialFile() {
    // GetTempPathW answers at most MAX_PATH + 1 characters and a trailing
    // separator; GetTempFileNameW wants room for MAX_PATH.
    wchar_t folder[MAX_PATH + 2] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH + 1) {
        throw FileError("一時ファイルを作成できません: 一時ファイルのフォルダーがわかりません。");
    }
    wchar_t file[MAX_PATH + 1] = {};
    if (GetTempFileNameW(folder, L"pel", 0, file) == 0) {
        const DWORD error = GetLastError();
        throw FileError("一時ファイルを作成できません。\n" +
                        PathText(std::filesystem::path(folder)) + "\n" + win32::ErrorText(error));
    }
    return std::filesystem::path(file);
}

} // namespace pelmora
