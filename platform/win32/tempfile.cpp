#include "platform/tempfile.h"

#include "platform/fileio.h"

#include <windows.h>

#include <string>

namespace pelmora {

std::filesystem::path CreateTrialFile() {
    // GetTempPathW answers at most MAX_PATH + 1 characters and a trailing
    // separator; GetTempFileNameW wants room for MAX_PATH.
    wchar_t folder[MAX_PATH + 2] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH + 1) {
        throw FileErrorFromSystem(FileAction::Write, L"%TEMP%",
                                  length == 0 ? GetLastError() : ERROR_FILENAME_EXCED_RANGE);
    }
    wchar_t file[MAX_PATH + 1] = {};
    if (GetTempFileNameW(folder, L"pel", 0, file) == 0) {
        throw FileErrorFromSystem(FileAction::Write, std::filesystem::path(folder) / L"pel*.tmp",
                                  GetLastError());
    }
    return std::filesystem::path(file);
}

} // namespace pelmora
