// Files through the Windows API: paths are UTF-16 at the file API, and the
// atomic replace goes through a temporary file in the target's folder,
// flushed, then moved over the target.
#include "platform/fileio.h"

#include "platform/win32/wide.h"

#include <windows.h>

#include <random>
#include <string>

namespace pelmora {
namespace {

[[noreturn]] void Fail(const char* action, const std::filesystem::path& path, DWORD error) {
    throw FileError(std::string("ファイル \"") + PathText(path) + "\" " + action +
                    win32::ErrorText(error) + "。");
}

// Closes a handle on every path out of a scope.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (Valid()) {
            CloseHandle(handle_);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }
    bool Close() {
        const bool closed = CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

std::wstring UniqueSuffix() {
    static std::mt19937 random(std::random_device{}() ^ GetCurrentProcessId() ^ GetTickCount());
    static const wchar_t letters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
    std::wstring suffix;
    for (int i = 0; i < 6; ++i) {
        suffix += letters[random() % 36];
    }
    return suffix;
}

} // namespace

std::string PathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string ReadWholeFile(const std::filesystem::path& path, std::size_t limit) {
    Handle file(CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        Fail("を読み込めません。", path, GetLastError());
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        throw FileError("ファイル \"" + PathText(path) + "\" を読み込めません。" +
                        "通常のファイルではありません。");
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) {
        Fail("を読み込めません。", path, GetLastError());
    }
    if (static_cast<unsigned long long>(size.QuadPart) > limit) {
        throw FileError("ファイル \"" + PathText(path) + "\" を読み込めません。" +
                        "ファイルが大きすぎます。");
    }
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            bytes.resize(filled + 65536);
        }
        DWORD got = 0;
        const DWORD want =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - filled, 1u << 20));
        if (!ReadFile(file.get(), bytes.data() + filled, want, &got, nullptr)) {
            Fail("を読み込めません。", path, GetLastError());
        }
        if (got == 0) {
            break;
        }
        filled += got;
        if (filled > limit) {
            throw FileError("ファイル \"" + PathText(path) + "\" を読み込めません。" +
                            "ファイルが大きすぎます。");
        }
    }
    bytes.resize(filled);
    return bytes;
}

void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        Fail("に書き込めません。", path, ERROR_ACCESS_DENIED);
    }
    const std::filesystem::path folder =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(L".");
    std::filesystem::path temp;
    HANDLE created = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && created == INVALID_HANDLE_VALUE; ++attempt) {
        temp = folder / (L"." + path.filename().native() + L".pelmora-tmp-" + UniqueSuffix());
        created = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
            break;
        }
    }
    Handle file(created);
    if (!file.Valid()) {
        Fail("に書き込めません。", path, GetLastError());
    }
    const auto failAndRemove = [&](DWORD error) {
        if (file.Valid()) {
            file.Close();
        }
        DeleteFileW(temp.c_str());
        Fail("に書き込めません。", path, error);
    };
    if (!WriteAll(file.get(), bytes) || !FlushFileBuffers(file.get())) {
        failAndRemove(GetLastError());
    }
    if (!file.Close()) {
        failAndRemove(GetLastError());
    }
    if (!MoveFileExW(temp.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        failAndRemove(GetLastError());
    }
}

} // namespace pelmora
