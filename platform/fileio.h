#pragma once
// Reading whole files and writing them safely. The promises below hold on
// every system; each implementation keeps its system's details to itself and
// maps its error codes onto FileProblem, so the user reads the same words
// everywhere.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pelmora {

// Why a file could not be read or written. The words the user reads, after
// "ファイル "<path>" を読み込めません。" or "ファイル "<path>" に書き込めません。":
enum class FileProblem {
    // "ファイルが見つかりません。"
    NotFound,
    // "フォルダーが見つかりません。" (also a "folder" on the way that is a file)
    FolderNotFound,
    // "フォルダーです。"
    IsFolder,
    // "装置、パイプ、ソケットなど、通常のファイルではありません。"
    NotRegularFile,
    // "書き込みが禁止されています (読み取り専用)。" (the check before a write)
    WriteProtected,
    // "アクセスが拒否されました。" (the system refused)
    AccessDenied,
    // "ほかのプログラムが使用中です。" (a sharing or lock violation that
    // outlasted the retries)
    InUse,
    // "ほかのプログラムによって、読み込んだ後に作成、置き換え、または削除されました。"
    // (a write that expected the file it had read)
    Changed,
    // "シンボリックリンクが循環しているか、たどれません。"
    LinkUnresolvable,
    // "ファイルが大きすぎます (上限は <limit> です)。", or without the limit
    // in parentheses when the system set it (a file size limit)
    TooLarge,
    // "メモリが不足しました。"
    OutOfMemory,
    // "ディスクの空き容量が足りません。" (also a disk quota)
    DiskFull,
    // "読み取り専用のドライブです。"
    ReadOnlyDisk,
    // "ファイル名が長すぎます。"
    NameTooLong,
    // "パイプの読み手がいません。"
    NoReader,
    // "ドライブの準備ができていません。" (no medium, a locked volume)
    NotReady,
    // "ファイル名の形式が正しくありません。"
    InvalidName,
    // "装置の読み書きでエラーが発生しました。"
    DeviceError,
    // "ネットワークの接続が失われました。"
    NetworkError,
    // "Shift-JIS で表せない文字が含まれています。" (a Unicode file)
    Unconvertible,
    // "予期しないエラーです (システムのエラー <code>: <the system's own text>)。"
    Other,
};

enum class FileAction { Read, Write };

// A file that could not be read or written. what() is the whole message in
// Japanese (UTF-8) and names the file as the caller gave it.
class FileError : public std::runtime_error {
public:
    FileError(FileAction action, const std::filesystem::path& path, FileProblem problem,
              std::string_view detail = {});
    FileAction Action() const { return action_; }
    FileProblem Problem() const { return problem_; }

private:
    FileAction action_;
    FileProblem problem_;
};

// The FileError for one of the system's own error codes (errno on POSIX,
// GetLastError() on Windows), mapped onto a FileProblem.
FileError FileErrorFromSystem(FileAction action, const std::filesystem::path& path,
                              unsigned long systemError);

// The largest settings or pattern file read. Reading the worst file of this
// size (tiny keys, tiny sections, tiny patterns) stays far below what a 32-bit
// host process can hold; docs/reliability.md has the measured figures.
inline constexpr std::size_t kMaxInputFileSize = 8u * 1024u * 1024u;

// Which file a name led to, and how it was then: the volume (or device), the
// file's number on it, its size and its last write. Another program that
// replaces the file, or rewrites it in place, changes its stamp.
struct FileStamp {
    std::uint64_t Volume = 0;
    std::uint64_t File = 0;
    std::uint64_t Size = 0;
    std::uint64_t Modified = 0;
    bool operator==(const FileStamp&) const = default;
};

// Reads a whole file.
// - A symbolic link is followed.
// - On Windows, reserved device names (NUL, CON, COM1.ini, ...) are devices.
// - Only a regular file is read. A folder, pipe, device or socket is refused
//   (IsFolder, NotRegularFile) before it is opened, so nothing can block.
// - A file over `limit` bytes is refused (TooLarge, the limit in the message).
// - Running out of memory is OutOfMemory, never std::bad_alloc.
// - Another program holding the file without sharing it is waited for, as a
//   replace waits (see WriteWholeFile).
// - `stamp`, when given, receives the stamp of the file that was read.
// Every failure is a FileError (Read) naming `path`.
std::string ReadWholeFile(const std::filesystem::path& path, std::size_t limit = kMaxInputFileSize,
                          FileStamp* stamp = nullptr);

// What a write may go into besides a regular file.
enum class WriteTarget {
    // Settings files, pattern files, bitmaps: anything that exists and is not
    // a regular file is refused with nothing written.
    RegularFile,
    // An output of the command-line renderer: a character device or a pipe
    // (such as standard output reached through /dev/stdout) is written
    // straight into; a folder, socket or block device is refused.
    RegularFileOrStream,
};

// What the target of a write must still be for the write to go ahead.
enum class Expect {
    Anything,
    // Nothing there: a file that has appeared is not replaced.
    Nothing,
    // The file of WriteOptions::stamp as it was then: one replaced, removed,
    // rewritten or put there by another program since is not replaced.
    SameFile,
};

// The waits between the attempts of a replace that another program blocks:
// growing, about two seconds in all.
inline constexpr std::chrono::milliseconds kRetryWaits[] = {
    std::chrono::milliseconds(25),  std::chrono::milliseconds(50),  std::chrono::milliseconds(100),
    std::chrono::milliseconds(200), std::chrono::milliseconds(400), std::chrono::milliseconds(500),
    std::chrono::milliseconds(750),
};

struct WriteOptions {
    WriteTarget Target = WriteTarget::RegularFile;
    Expect Expected = Expect::Anything;
    FileStamp Stamp; // for Expect::SameFile
    // How the writer waits before another attempt; the thread sleeps when
    // unset. Tests count the attempts here instead of waiting.
    std::function<void(std::chrono::milliseconds)> Wait;
};

// Makes `bytes` the whole content of `path`.
// - A symbolic link is followed to its final target, also when that target
//   does not exist yet (it is created there); the link stays. A loop is
//   LinkUnresolvable.
// - A regular file (or a path not there yet) is replaced atomically: the bytes
//   go to a temporary file in the target's folder, which is flushed and then
//   renamed over the target. On any failure the temporary file is removed and
//   the old file stays byte for byte. The new file keeps the old one's
//   permissions (and owner, where the system allows it).
// - A target the running user may not write is refused (WriteProtected), also
//   for an administrator: a file without any write permission (or with the
//   read-only attribute) is never replaced.
// - Temporary files are named ".<target name>.pelmora-tmp-<6 letters or
//   digits>". A writer holds its own locked while it works, so after a
//   successful write the ones a killed writer left for the same target are
//   removed, and nothing else is.
// - Other programs hold files for moments (the launcher, a virus scanner, a
//   backup tool): a put-in-place that fails for a sharing or lock violation
//   (or being refused while another handle is open) is tried again after each
//   of kRetryWaits before it fails with InUse.
// - The target is checked against `options.Expected` before it is replaced
//   (Changed when it no longer matches), and a new file never replaces one
//   that appeared meanwhile.
// - On Windows the replaced file's attributes (hidden, system, ...) and
//   access rights are kept; the archive attribute is set, as by any write.
// - Anything not a regular file is handled as `options.target` says; a pipe
//   nobody reads is refused (NoReader) instead of waited for.
// Every failure is a FileError (Write) naming `path`.
void WriteWholeFile(const std::filesystem::path& path, std::string_view bytes,
                    const WriteOptions& options = {});
inline void WriteWholeFile(const std::filesystem::path& path, std::string_view bytes,
                           WriteTarget target) {
    WriteOptions options;
    options.Target = target;
    WriteWholeFile(path, bytes, options);
}

// Whether a write may be tried again: another program holds the file.
bool IsTransientProblem(FileProblem problem);

// Where a save that failed keeps what it was to write, so that nothing is
// lost: "<name>.未保存.<ext>" beside the target, then "<name>.未保存2.<ext>",
// "<name>.未保存3.<ext>", ... (<ext> as the target's, so the file opens as
// the target would).
std::filesystem::path RecoveryFileName(const std::filesystem::path& target, int number);

// Writes `bytes` into a new recovery file beside `target`, never over an
// existing file; when the target's folder cannot take it, into
// `fallbackFolder` (when given). Returns the file written. Throws the
// FileError of the last place tried when no place could take it.
std::filesystem::path KeepInRecoveryFile(const std::filesystem::path& target,
                                         std::string_view bytes,
                                         const std::filesystem::path& fallbackFolder = {},
                                         const WriteOptions& options = {});

// The start of the names of the target's temporary files (".<name>.pelmora-tmp-"),
// and whether a folder entry is one of them: that start and exactly six
// letters or digits.
std::filesystem::path TempFilePrefix(const std::filesystem::path& target);
bool IsTempFileOf(const std::filesystem::path& entry, const std::filesystem::path& target);

// A size limit as the messages give it: "8 MB" for whole mebibytes, else "<n> バイト".
std::string LimitText(std::size_t bytes);

// Text for messages: the path as UTF-8.
std::string PathText(const std::filesystem::path& path);

} // namespace pelmora
