// The system-independent half of file reading and writing: the words of the
// errors and the names of temporary files.
#include "platform/fileio.h"

#include <string>

namespace pelmora {

namespace {

std::string Reason(FileProblem problem, std::string_view detail) {
    switch (problem) {
    case FileProblem::NotFound:
        return "ファイルが見つかりません。";
    case FileProblem::FolderNotFound:
        return "フォルダーが見つかりません。";
    case FileProblem::IsFolder:
        return "フォルダーです。";
    case FileProblem::NotRegularFile:
        return "装置、パイプ、ソケットなど、通常のファイルではありません。";
    case FileProblem::WriteProtected:
        return "書き込みが禁止されています (読み取り専用)。";
    case FileProblem::AccessDenied:
        return "アクセスが拒否されました。";
    case FileProblem::InUse:
        return "ほかのプログラムが使用中です。";
    case FileProblem::Changed:
        return "ほかのプログラムによって、読み込んだ後に作成、置き換え、または削除されました。";
    case FileProblem::LinkUnresolvable:
        return "シンボリックリンクが循環しているか、たどれません。";
    case FileProblem::TooLarge:
        return detail.empty()
                   ? std::string("ファイルが大きすぎます。")
                   : "ファイルが大きすぎます (上限は " + std::string(detail) + " です)。";
    case FileProblem::OutOfMemory:
        return "メモリが不足しました。";
    case FileProblem::DiskFull:
        return "ディスクの空き容量が足りません。";
    case FileProblem::ReadOnlyDisk:
        return "読み取り専用のドライブです。";
    case FileProblem::NameTooLong:
        return "ファイル名が長すぎます。";
    case FileProblem::NoReader:
        return "パイプの読み手がいません。";
    case FileProblem::NotReady:
        return "ドライブの準備ができていません。";
    case FileProblem::InvalidName:
        return "ファイル名の形式が正しくありません。";
    case FileProblem::DeviceError:
        return "装置の読み書きでエラーが発生しました。";
    case FileProblem::NetworkError:
        return "ネットワークの接続が失われました。";
    case FileProblem::Unconvertible:
        return detail.empty()
                   ? std::string("Shift-JIS で表せない文字が含まれています。")
                   : "Shift-JIS で表せない文字が含まれています (" + std::string(detail) + ")。";
    case FileProblem::Other:
        break;
    }
    // The system's own text may be in another language: it only follows ours.
    return "予期しないエラーです (システムのエラー " + std::string(detail) + ")。";
}

std::string Message(FileAction action, const std::filesystem::path& path, FileProblem problem,
                    std::string_view detail) {
    const char* const head =
        action == FileAction::Read ? "\" を読み込めません。" : "\" に書き込めません。";
    return "ファイル \"" + PathText(path) + head + Reason(problem, detail);
}

using NativeString = std::filesystem::path::string_type;
using NativeChar = NativeString::value_type;

constexpr std::size_t kTempUniqueLength = 6;

bool IsUniqueCharacter(NativeChar c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

} // namespace

FileError::FileError(FileAction action, const std::filesystem::path& path, FileProblem problem,
                     std::string_view detail)
    : std::runtime_error(Message(action, path, problem, detail)), action_(action),
      problem_(problem) {}

bool IsTransientProblem(FileProblem problem) {
    return problem == FileProblem::InUse;
}

std::filesystem::path RecoveryFileName(const std::filesystem::path& target, int number) {
    std::filesystem::path name = target.filename();
    name += u8".未保存";
    if (number > 1) {
        name += std::to_string(number);
    }
    name += target.extension();
    return target.parent_path() / name;
}

namespace {

constexpr int kMaxRecoveryNumber = 1000;

std::filesystem::path KeepIn(const std::filesystem::path& target, std::string_view bytes,
                             const WriteOptions& options) {
    WriteOptions fresh = options;
    fresh.Target = WriteTarget::RegularFile;
    fresh.Expected = Expect::Nothing;
    for (int number = 1;; ++number) {
        const std::filesystem::path name = RecoveryFileName(target, number);
        try {
            WriteWholeFile(name, bytes, fresh);
            return name;
        } catch (const FileError& error) {
            // An older recovery file is never written over: the next number.
            const bool taken = error.Problem() == FileProblem::Changed ||
                               error.Problem() == FileProblem::WriteProtected ||
                               error.Problem() == FileProblem::IsFolder ||
                               error.Problem() == FileProblem::NotRegularFile;
            if (!taken || number == kMaxRecoveryNumber) {
                throw;
            }
        }
    }
}

} // namespace

std::filesystem::path KeepInRecoveryFile(const std::filesystem::path& target,
                                         std::string_view bytes,
                                         const std::filesystem::path& fallbackFolder,
                                         const WriteOptions& options) {
    try {
        return KeepIn(target, bytes, options);
    } catch (const FileError&) {
        if (fallbackFolder.empty()) {
            throw;
        }
    }
    return KeepIn(fallbackFolder / target.filename(), bytes, options);
}

std::string LimitText(std::size_t bytes) {
    constexpr std::size_t kMiB = 1024u * 1024u;
    if (bytes >= kMiB && bytes % kMiB == 0) {
        return std::to_string(bytes / kMiB) + " MB";
    }
    return std::to_string(bytes) + " バイト";
}

std::filesystem::path TempFilePrefix(const std::filesystem::path& target) {
    std::filesystem::path prefix(".");
    prefix += target.filename();
    prefix += ".pelmora-tmp-";
    return prefix;
}

bool IsTempFileOf(const std::filesystem::path& entry, const std::filesystem::path& target) {
    const NativeString name = entry.filename().native();
    const NativeString prefix = TempFilePrefix(target).native();
    if (name.size() != prefix.size() + kTempUniqueLength ||
        name.compare(0, prefix.size(), prefix) != 0) {
        return false;
    }
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        if (!IsUniqueCharacter(name[i])) {
            return false;
        }
    }
    return true;
}

std::string PathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace pelmora
