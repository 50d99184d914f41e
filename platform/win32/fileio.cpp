// Reading and writing files on Windows. Paths are UTF-16 at the file API; the
// promises are those of fileio.h, kept with the platform's own means: a
// temporary file in the target's folder, flushed, then put in the target's
// place with ReplaceFileW (which keeps the old file's attributes and access
// rights) or MoveFileExW for a new file.
#include "platform/fileio.h"

#include "platform/win32/wide.h"

#include <windows.h>

#include <new>
#include <random>
#include <string>

namespace pelmora {

namespace {

namespace fs = std::filesystem;

FileProblem ProblemOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return FileProblem::NotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return FileProblem::FolderNotFound;
    case ERROR_DIRECTORY:
        return FileProblem::IsFolder;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return FileProblem::AccessDenied;
    case ERROR_CANT_RESOLVE_FILENAME:
        return FileProblem::LinkUnresolvable;
    case ERROR_FILE_TOO_LARGE:
        return FileProblem::TooLarge;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return FileProblem::OutOfMemory;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return FileProblem::DiskFull;
    case ERROR_WRITE_PROTECT:
        return FileProblem::ReadOnlyDisk;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW:
        return FileProblem::NameTooLong;
    case ERROR_NO_DATA:
    case ERROR_BROKEN_PIPE:
    case ERROR_PIPE_NOT_CONNECTED:
    case ERROR_PIPE_BUSY:
        return FileProblem::NoReader;
    default:
        return FileProblem::Other;
    }
}

[[noreturn]] void Fail(FileAction action, const fs::path& path, DWORD error) {
    throw FileErrorFromSystem(action, path, error);
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
    // Closes now, reporting the result.
    bool Close() {
        const bool closed = CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The file or folder a name leads to (links followed), opened only to be
// looked at: no reading or writing, so opening it has no effect of its own.
HANDLE OpenToLookAt(const fs::path& path) {
    return CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

enum class Kind { Missing, RegularFile, Folder, Stream, Other };

struct Looked {
    Kind kind = Kind::Missing;
    DWORD attributes = 0;
    ULONGLONG size = 0;
    fs::path finalPath; // for a regular file: where its links lead
};

Looked LookAt(HANDLE file) {
    Looked looked;
    switch (GetFileType(file)) {
    case FILE_TYPE_CHAR:
    case FILE_TYPE_PIPE:
        looked.kind = Kind::Stream;
        return looked;
    case FILE_TYPE_DISK:
        break;
    default:
        looked.kind = Kind::Other;
        return looked;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) {
        looked.kind = Kind::Other;
        return looked;
    }
    looked.attributes = info.dwFileAttributes;
    looked.size = (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    looked.kind =
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? Kind::Folder : Kind::RegularFile;
    std::wstring final(32768, L'\0');
    const DWORD length =
        GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()),
                                  FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length > 0 && length < final.size()) {
        final.resize(length);
        looked.finalPath = fs::path(final);
    }
    return looked;
}

// ---- Reading ------------------------------------------------------------------

void RequireReadable(const fs::path& path, const Looked& looked, std::size_t limit) {
    if (looked.kind == Kind::Folder) {
        throw FileError(FileAction::Read, path, FileProblem::IsFolder);
    }
    if (looked.kind != Kind::RegularFile) {
        throw FileError(FileAction::Read, path, FileProblem::NotRegularFile);
    }
    if (looked.size > limit) {
        throw FileError(FileAction::Read, path, FileProblem::TooLarge, LimitText(limit));
    }
}

std::string ReadOpenFile(HANDLE file, const fs::path& path, std::size_t expected,
                         std::size_t limit) {
    std::string bytes(expected, '\0');
    std::size_t have = 0;
    for (;;) {
        if (have == bytes.size()) {
            if (bytes.size() > limit) {
                throw FileError(FileAction::Read, path, FileProblem::TooLarge, LimitText(limit));
            }
            bytes.resize(std::min(limit + 1, bytes.size() + 65536));
        }
        DWORD got = 0;
        const auto want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - have, 1u << 24));
        if (!ReadFile(file, bytes.data() + have, want, &got, nullptr)) {
            Fail(FileAction::Read, path, GetLastError());
        }
        if (got == 0) {
            break;
        }
        have += got;
    }
    if (have > limit) {
        throw FileError(FileAction::Read, path, FileProblem::TooLarge, LimitText(limit));
    }
    bytes.resize(have);
    return bytes;
}

// ---- Writing ------------------------------------------------------------------

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 24));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

std::wstring UniqueLetters() {
    static std::mt19937 random(std::random_device{}() ^ GetCurrentProcessId() ^ GetTickCount());
    static const wchar_t letters[] =
        L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::wstring unique;
    for (int i = 0; i < 6; ++i) {
        unique += letters[random() % 62];
    }
    return unique;
}

// A new temporary-file name for `target`, created empty and held open with
// no sharing: while it is held nobody else can open or remove it, which is
// how a writer cleaning up tells it from one a killed writer left.
struct TempFile {
    fs::path name;
    HANDLE handle = INVALID_HANDLE_VALUE;
};

TempFile CreateTempFile(const fs::path& given, const fs::path& folder, const fs::path& target) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        TempFile temp;
        temp.name = folder / (TempFilePrefix(target).native() + UniqueLetters());
        temp.handle = CreateFileW(temp.name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (temp.handle != INVALID_HANDLE_VALUE) {
            return temp;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            Fail(FileAction::Write, given, error);
        }
    }
    Fail(FileAction::Write, given, ERROR_FILE_EXISTS);
}

// Removes the temporary files of `target` that nobody holds: those a writer
// left when it was killed. Anything else in the folder is left alone.
void RemoveStaleTempFiles(const fs::path& folder, const fs::path& target) {
    WIN32_FIND_DATAW found{};
    const fs::path pattern = folder / (TempFilePrefix(target).native() + L"*");
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ==
                0 &&
            IsTempFileOf(fs::path(found.cFileName), target)) {
            DeleteFileW((folder / found.cFileName).c_str()); // fails for one still held
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// Puts the written temporary file in the target's place. An existing target
// is replaced keeping its attributes and access rights; its old content goes
// to a backup name first, so that no failure can lose it.
DWORD PutInPlace(const TempFile& temp, const fs::path& folder, const fs::path& target,
                 bool exists) {
    if (!exists) {
        return MoveFileExW(temp.name.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                   ? ERROR_SUCCESS
                   : GetLastError();
    }
    const fs::path backup = folder / (TempFilePrefix(target).native() + UniqueLetters());
    if (ReplaceFileW(target.c_str(), temp.name.c_str(), backup.c_str(),
                     REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                     nullptr)) {
        DeleteFileW(backup.c_str());
        return ERROR_SUCCESS;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        // The old file was moved to the backup name and the new one could not
        // take its place: the old one goes back.
        MoveFileExW(backup.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    }
    return error;
}

void ReplaceRegularFile(const fs::path& given, const fs::path& target, bool exists,
                        std::string_view bytes) {
    if (target.filename().empty()) {
        throw FileError(FileAction::Write, given, FileProblem::IsFolder);
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(L".");
    TempFile temp = CreateTempFile(given, folder, target);
    Handle file(temp.handle);
    const auto failAndRemove = [&](DWORD error) {
        if (file.Valid()) {
            file.Close();
        }
        DeleteFileW(temp.name.c_str());
        Fail(FileAction::Write, given, error);
    };
    if (!WriteAll(file.get(), bytes) || !FlushFileBuffers(file.get())) {
        failAndRemove(GetLastError());
    }
    if (!file.Close()) {
        failAndRemove(GetLastError());
    }
    const DWORD error = PutInPlace(temp, folder, target, exists);
    if (error != ERROR_SUCCESS) {
        DeleteFileW(temp.name.c_str());
        Fail(FileAction::Write, given, error);
    }
    RemoveStaleTempFiles(folder, target);
}

// A character device or a pipe: written straight into.
void WriteIntoStream(const fs::path& path, std::string_view bytes) {
    Handle out(CreateFileW(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.Valid()) {
        Fail(FileAction::Write, path, GetLastError());
    }
    const DWORD type = GetFileType(out.get());
    if (type != FILE_TYPE_CHAR && type != FILE_TYPE_PIPE) {
        // Something else took the name since it was looked at.
        throw FileError(FileAction::Write, path, FileProblem::NotRegularFile);
    }
    if (!WriteAll(out.get(), bytes) || !out.Close()) {
        Fail(FileAction::Write, path, GetLastError());
    }
}

} // namespace

FileError FileErrorFromSystem(FileAction action, const fs::path& path, unsigned long systemError) {
    const FileProblem problem = ProblemOf(systemError);
    return FileError(action, path, problem,
                     problem == FileProblem::Other ? win32::ErrorText(systemError) : std::string());
}

std::string ReadWholeFile(const fs::path& path, std::size_t limit) {
    // Looked at before it is opened for reading: opening a pipe or a device
    // for reading can wait or have effects of its own.
    {
        Handle look(OpenToLookAt(path));
        if (!look.Valid()) {
            Fail(FileAction::Read, path, GetLastError());
        }
        RequireReadable(path, LookAt(look.get()), limit);
    }
    Handle file(CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.Valid()) {
        Fail(FileAction::Read, path, GetLastError());
    }
    // Checked again on what was opened, which may not be what was looked at.
    const Looked opened = LookAt(file.get());
    RequireReadable(path, opened, limit);
    try {
        return ReadOpenFile(file.get(), path, static_cast<std::size_t>(opened.size), limit);
    } catch (const std::bad_alloc&) {
        throw FileError(FileAction::Read, path, FileProblem::OutOfMemory);
    }
}

void WriteWholeFile(const fs::path& path, std::string_view bytes, WriteTarget target) {
    Handle look(OpenToLookAt(path));
    if (!look.Valid()) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) {
            Fail(FileAction::Write, path, error);
        }
        // A link whose target is missing is never replaced by a file of its own.
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            throw FileError(FileAction::Write, path, FileProblem::LinkUnresolvable);
        }
        ReplaceRegularFile(path, path, false, bytes);
        return;
    }
    const Looked looked = LookAt(look.get());
    look.Close();
    switch (looked.kind) {
    case Kind::RegularFile:
        if ((looked.attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            throw FileError(FileAction::Write, path, FileProblem::WriteProtected);
        }
        ReplaceRegularFile(path, looked.finalPath.empty() ? path : looked.finalPath, true, bytes);
        return;
    case Kind::Folder:
        throw FileError(FileAction::Write, path, FileProblem::IsFolder);
    case Kind::Stream:
        if (target == WriteTarget::RegularFileOrStream) {
            WriteIntoStream(path, bytes);
            return;
        }
        break;
    case Kind::Missing:
    case Kind::Other:
        break;
    }
    throw FileError(FileAction::Write, path, FileProblem::NotRegularFile);
}

} // namespace pelmora
