// Reading and writing files on Windows. Paths are UTF-16 at the file API, in
// the long-path form; the promises are those of fileio.h, kept with the
// platform's own means: a temporary file in the target's folder, flushed,
// then put in the target's place with ReplaceFileW (which keeps the old
// file's access rights) or MoveFileExW for a new file.
#include "platform/fileio.h"
#include "platform/fileio_retry.h"

#include "platform/win32/wide.h"

#include <windows.h>

#include <cwctype>
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
        return FileProblem::AccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
    case ERROR_DELETE_PENDING:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
        return FileProblem::InUse;
    case ERROR_NOT_READY:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_NO_MEDIA_IN_DRIVE:
        return FileProblem::NotReady;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        return FileProblem::InvalidName;
    case ERROR_CRC:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
        return FileProblem::DeviceError;
    case ERROR_REM_NOT_LIST:
    case ERROR_NETWORK_BUSY:
    case ERROR_BAD_NET_RESP:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_NETNAME_DELETED:
    case ERROR_NETWORK_UNREACHABLE:
        return FileProblem::NetworkError;
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

std::wstring Long(const fs::path& path) {
    return win32::LongPath(path.native());
}

// CON, NUL, COM1.ini, "aux .txt", "lpt1..": names the system takes for its
// devices in any folder, whatever follows the first dot.
bool IsReservedDeviceName(const fs::path& path) {
    std::wstring name = path.filename().native();
    name = name.substr(0, name.find(L'.'));
    while (!name.empty() && name.back() == L' ') {
        name.pop_back();
    }
    for (wchar_t& c : name) {
        c = static_cast<wchar_t>(std::towupper(c));
    }
    static const wchar_t* const kDevices[] = {L"CON",    L"PRN",     L"AUX",   L"NUL",
                                              L"CONIN$", L"CONOUT$", L"CLOCK$"};
    for (const wchar_t* device : kDevices) {
        if (name == device) {
            return true;
        }
    }
    if (name.size() == 4 && (name.rfind(L"COM", 0) == 0 || name.rfind(L"LPT", 0) == 0)) {
        const wchar_t digit = name[3];
        return (digit >= L'1' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' ||
               digit == L'\u00B3';
    }
    return false;
}

// The file or folder a name leads to (links followed), opened only to be
// looked at: no reading or writing, so opening it has no effect of its own
// and no other program's sharing stands in its way.
HANDLE OpenToLookAt(const fs::path& path) {
    return CreateFileW(Long(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

enum class Kind { Missing, RegularFile, Folder, Stream, Other };

struct Looked {
    Kind Kind = Kind::Missing;
    DWORD Attributes = 0;
    ULONGLONG Size = 0;
    FileStamp Stamp;
    fs::path FinalPath; // for a regular file: where its links lead
};

Looked LookAt(HANDLE file) {
    Looked looked;
    switch (GetFileType(file)) {
    case FILE_TYPE_CHAR:
    case FILE_TYPE_PIPE:
        looked.Kind = Kind::Stream;
        return looked;
    case FILE_TYPE_DISK:
        break;
    default:
        looked.Kind = Kind::Other;
        return looked;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) {
        looked.Kind = Kind::Other;
        return looked;
    }
    looked.Attributes = info.dwFileAttributes;
    looked.Stamp =
        FileStamp{info.dwVolumeSerialNumber,
                  (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
                  (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
                  (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                      info.ftLastWriteTime.dwLowDateTime};
    looked.Size = (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    looked.Kind =
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? Kind::Folder : Kind::RegularFile;
    std::wstring final(32768, L'\0');
    const DWORD length =
        GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()),
                                  FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length > 0 && length < final.size()) {
        final.resize(length);
        looked.FinalPath = fs::path(final);
    }
    return looked;
}

// ---- Reading ------------------------------------------------------------------

void RequireReadable(const fs::path& path, const Looked& looked, std::size_t limit) {
    if (looked.Kind == Kind::Folder) {
        throw FileError(FileAction::Read, path, FileProblem::IsFolder);
    }
    if (looked.Kind != Kind::RegularFile) {
        throw FileError(FileAction::Read, path, FileProblem::NotRegularFile);
    }
    if (looked.Size > limit) {
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

// Another program holds the file (or held it when the system looked): worth
// another attempt. Access denied is among them: it is what renaming over a
// file that another program has open answers, and a target that is truly
// protected was refused before the first attempt.
bool IsTransientWriteError(DWORD error) {
    return ProblemOf(error) == FileProblem::InUse || error == ERROR_ACCESS_DENIED;
}

// The target as it is at this moment; Missing when there is nothing.
Looked LookAtTarget(const fs::path& given, const fs::path& target) {
    Handle look(OpenToLookAt(target));
    if (!look.Valid()) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            return Looked{};
        }
        Fail(FileAction::Write, given, error);
    }
    return LookAt(look.get());
}

bool AsExpected(const WriteOptions& options, const Looked& now) {
    switch (options.Expected) {
    case Expect::Anything:
        return true;
    case Expect::Nothing:
        return now.Kind == Kind::Missing;
    case Expect::SameFile:
        return now.Kind == Kind::RegularFile && now.Stamp == options.Stamp;
    }
    return false;
}

void RequireReplaceable(const fs::path& given, const Looked& now) {
    switch (now.Kind) {
    case Kind::Missing:
        return;
    case Kind::RegularFile:
        if ((now.Attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            throw FileError(FileAction::Write, given, FileProblem::WriteProtected);
        }
        return;
    case Kind::Folder:
        throw FileError(FileAction::Write, given, FileProblem::IsFolder);
    case Kind::Stream:
    case Kind::Other:
        break;
    }
    throw FileError(FileAction::Write, given, FileProblem::NotRegularFile);
}

// A new temporary file beside the target, written and flushed, held with no
// sharing while it is written: while it is held nobody else can open or
// remove it, which is how a writer cleaning up tells it from one a killed
// writer left. Removed again unless it was put in the target's place.
class TempFile {
public:
    TempFile(const fs::path& given, const fs::path& folder, const fs::path& target,
             std::string_view bytes)
        : given_(given) {
        Handle file(Create(folder, target));
        if (!WriteAll(file.get(), bytes) || !FlushFileBuffers(file.get()) || !file.Close()) {
            const DWORD error = GetLastError();
            Remove();
            Fail(FileAction::Write, given_, error);
        }
    }
    ~TempFile() {
        if (!committed_) {
            Remove(); // fails for one another program still holds; a later clean-up takes it
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::wstring& Name() const { return name_; }
    void Committed() { committed_ = true; }

private:
    HANDLE Create(const fs::path& folder, const fs::path& target) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            name_ = Long(folder / (TempFilePrefix(target).native() + UniqueLetters()));
            const HANDLE handle = CreateFileW(name_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle != INVALID_HANDLE_VALUE) {
                return handle;
            }
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
                name_.clear();
                Fail(FileAction::Write, given_, error);
            }
        }
        name_.clear();
        Fail(FileAction::Write, given_, ERROR_FILE_EXISTS);
    }
    void Remove() {
        if (!name_.empty()) {
            DeleteFileW(name_.c_str());
        }
    }

    fs::path given_;
    std::wstring name_;
    bool committed_ = false;
};

// Removes the temporary files of `target` that nobody holds: those a writer
// left when it was killed, or that a program scanning it held while the
// writer gave up (their content went where the writer's caller kept it).
// Anything else in the folder is left alone.
void RemoveStaleTempFiles(const fs::path& folder, const fs::path& target) {
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = Long(folder / (TempFilePrefix(target).native() + L"*"));
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ==
                0 &&
            IsTempFileOf(fs::path(found.cFileName), target)) {
            DeleteFileW(Long(folder / found.cFileName).c_str()); // fails for one still held
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// The attributes a replaced file keeps: everything but what describes the
// content, plus the archive bit that any write sets.
DWORD KeptAttributes(DWORD old) {
    constexpr DWORD kContent = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY |
                               FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_NORMAL |
                               FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_SPARSE_FILE |
                               FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_COMPRESSED |
                               FILE_ATTRIBUTE_ENCRYPTED | FILE_ATTRIBUTE_OFFLINE;
    return (old & ~kContent) | FILE_ATTRIBUTE_ARCHIVE;
}

// Replaces an existing target, keeping its access rights; its old content
// goes to a backup name first, so that no failure can lose it. The backup
// is not a temporary file: no clean-up ever removes it.
DWORD ReplaceExisting(const std::wstring& temp, const fs::path& folder, const fs::path& target) {
    std::wstring backupName = L".";
    backupName += target.filename().native();
    backupName += L".pelmora-old-";
    const std::wstring backup = Long(folder / (backupName + UniqueLetters()));
    const std::wstring wanted = Long(target);
    if (ReplaceFileW(wanted.c_str(), temp.c_str(), backup.c_str(),
                     REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                     nullptr)) {
        DeleteFileW(backup.c_str());
        return ERROR_SUCCESS;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        // The old file went to the backup name and the new one could not take
        // its place: the old one goes back.
        MoveFileExW(backup.c_str(), wanted.c_str(), MOVEFILE_WRITE_THROUGH);
    }
    return error;
}

// Puts the written temporary file in the target's place, trying again while
// another program holds one of them; the target is looked at before each
// attempt. Returns the last attempt's error, ERROR_SUCCESS when it is done.
DWORD PutInPlace(const fs::path& given, const TempFile& temp, const fs::path& folder,
                 const fs::path& target, const WriteOptions& options, Looked& replaced) {
    return detail::RetryWhileTransient<DWORD>(
        options,
        [&]() -> DWORD {
            replaced = LookAtTarget(given, target);
            RequireReplaceable(given, replaced);
            if (!AsExpected(options, replaced)) {
                throw FileError(FileAction::Write, given, FileProblem::Changed);
            }
            if (replaced.Kind == Kind::RegularFile) {
                return ReplaceExisting(temp.Name(), folder, target);
            }
            const DWORD replace =
                options.Expected == Expect::Anything ? MOVEFILE_REPLACE_EXISTING : 0;
            return MoveFileExW(temp.Name().c_str(), Long(target).c_str(),
                               replace | MOVEFILE_WRITE_THROUGH)
                       ? ERROR_SUCCESS
                       : GetLastError();
        },
        IsTransientWriteError);
}

void ReplaceRegularFile(const fs::path& given, const fs::path& target, std::string_view bytes,
                        const WriteOptions& options) {
    if (target.filename().empty()) {
        throw FileError(FileAction::Write, given, FileProblem::IsFolder);
    }
    const Looked before = LookAtTarget(given, target);
    RequireReplaceable(given, before);
    if (!AsExpected(options, before)) {
        throw FileError(FileAction::Write, given, FileProblem::Changed);
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(L".");
    TempFile temp(given, folder, target, bytes);
    Looked replaced;
    const DWORD error = PutInPlace(given, temp, folder, target, options, replaced);
    switch (error) {
    case ERROR_SUCCESS:
        break;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        throw FileError(FileAction::Write, given, FileProblem::Changed);
    case ERROR_ACCESS_DENIED:
        // Renaming over a file another program has open is refused this way.
        Fail(FileAction::Write, given,
             replaced.Kind == Kind::RegularFile ? ERROR_SHARING_VIOLATION : error);
    default:
        Fail(FileAction::Write, given, error);
    }
    temp.Committed();
    if (replaced.Kind == Kind::RegularFile) {
        // Not every system carries them over itself.
        SetFileAttributesW(Long(target).c_str(), KeptAttributes(replaced.Attributes));
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

// Opens a file for reading, waiting while another program holds it without
// sharing it for reading.
HANDLE OpenToRead(const fs::path& path) {
    HANDLE handle = INVALID_HANDLE_VALUE;
    const DWORD error = detail::RetryWhileTransient<DWORD>(
        WriteOptions{},
        [&]() -> DWORD {
            handle = CreateFileW(Long(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
            return handle != INVALID_HANDLE_VALUE ? ERROR_SUCCESS : GetLastError();
        },
        [](DWORD code) { return ProblemOf(code) == FileProblem::InUse; });
    if (error != ERROR_SUCCESS) {
        Fail(FileAction::Read, path, error);
    }
    return handle;
}

} // namespace

namespace detail {
void PauseFor(std::chrono::milliseconds wait) {
    Sleep(static_cast<DWORD>(wait.count()));
}
} // namespace detail

FileError FileErrorFromSystem(FileAction action, const fs::path& path, unsigned long systemError) {
    const FileProblem problem = ProblemOf(systemError);
    return FileError(action, path, problem,
                     problem == FileProblem::Other
                         ? std::to_string(systemError) + ": " + win32::ErrorText(systemError)
                         : std::string());
}

std::string ReadWholeFile(const fs::path& path, std::size_t limit, FileStamp* stamp) {
    if (IsReservedDeviceName(path)) {
        throw FileError(FileAction::Read, path, FileProblem::NotRegularFile);
    }
    // Looked at before it is opened for reading: opening a pipe or a device
    // for reading can wait or have effects of its own.
    {
        Handle look(OpenToLookAt(path));
        if (!look.Valid()) {
            Fail(FileAction::Read, path, GetLastError());
        }
        RequireReadable(path, LookAt(look.get()), limit);
    }
    Handle file(OpenToRead(path));
    // Checked again on what was opened, which may not be what was looked at.
    const Looked opened = LookAt(file.get());
    RequireReadable(path, opened, limit);
    if (stamp != nullptr) {
        *stamp = opened.Stamp;
    }
    try {
        return ReadOpenFile(file.get(), path, static_cast<std::size_t>(opened.Size), limit);
    } catch (const std::bad_alloc&) {
        throw FileError(FileAction::Read, path, FileProblem::OutOfMemory);
    }
}

void WriteWholeFile(const fs::path& path, std::string_view bytes, const WriteOptions& options) {
    if (IsReservedDeviceName(path)) {
        if (options.Target != WriteTarget::RegularFileOrStream) {
            throw FileError(FileAction::Write, path, FileProblem::NotRegularFile);
        }
        WriteIntoStream(path, bytes);
        return;
    }
    Handle look(OpenToLookAt(path));
    if (!look.Valid()) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) {
            Fail(FileAction::Write, path, error);
        }
        // A link whose target is missing is never replaced by a file of its own.
        const DWORD attributes = GetFileAttributesW(Long(path).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            throw FileError(FileAction::Write, path, FileProblem::LinkUnresolvable);
        }
        ReplaceRegularFile(path, path, bytes, options);
        return;
    }
    const Looked looked = LookAt(look.get());
    look.Close();
    switch (looked.Kind) {
    case Kind::RegularFile:
        if ((looked.Attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            throw FileError(FileAction::Write, path, FileProblem::WriteProtected);
        }
        ReplaceRegularFile(path, looked.FinalPath.empty() ? path : looked.FinalPath, bytes,
                           options);
        return;
    case Kind::Folder:
        throw FileError(FileAction::Write, path, FileProblem::IsFolder);
    case Kind::Stream:
        if (options.Target == WriteTarget::RegularFileOrStream) {
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
