// The editor's clipboard and the files dropped on it. The clipboard holds
// plain text in the forms the files hold (a pattern as its pattern file
// section, a part as its stored line, a gradient as its text), so a design
// can travel through a mail or a forum post and back; what comes back is
// read as an import reads a file, with its limits, and nothing else is
// taken.
#include "logic/PatternEditorLogic.h"

#include "gradient/Gradient.h"
#include "library/SettingsFile.h"
#include "platform/clipboard.h"
#include "logic/EditorHost.h"
#include "platform/cp932.h"
#include "platform/fileio.h"
#include "platform/hostpath.h"
#include "platform/prompts.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace pelmora {
namespace {

// What the Edit menu calls the steps.
constexpr const char* kStepPastePattern = "パターンの貼り付け";
constexpr const char* kStepPastePart = "部品の貼り付け";
constexpr const char* kStepPasteGradient = "グラデーションの貼り付け";
constexpr const char* kStepDropImport = "インポート";

constexpr const char* kWhatPastes =
    "貼り付けられるのは、パターン (パターンファイルの [セクション] と Name= などの行)、"
    "部品 (部品の 1 行)、グラデーション (グラデーションの 1 行) のテキストです。";
constexpr const char* kNothingToPaste = "クリップボードに貼り付けるテキストがありません。\n";
constexpr const char* kNotPasteable =
    "クリップボードのテキストはパターン・部品・グラデーションのどれでもないため、"
    "貼り付けませんでした。\n";
constexpr const char* kPasteTooLarge = "クリップボードのテキストが上限の ";
constexpr const char* kPasteTooLargeEnd = " を超えるため、貼り付けませんでした。";
constexpr const char* kPasteUnstorable = "クリップボードのテキストを貼り付けられません: ";
constexpr const char* kLibraryTooLarge = "貼り付けると設定ファイルが上限の ";
constexpr const char* kLibraryTooLargeEnd = " を超えるため、貼り付けませんでした。";
constexpr const char* kPartNeedsPattern =
    "部品やグラデーションを貼り付けるには、パターンを 1 つだけ選択して下さい。";
constexpr const char* kDropFailed = "次のファイルはインポートできませんでした。";
constexpr const char* kDropFolder =
    "フォルダーはインポートできません。パターンファイルを指定して下さい。";

// A text is a part's line, or a gradient's, when it is that line exactly as
// the editor writes it: read back and written again it is the same. So the
// one reader of each form decides, and the two cannot be mistaken for each
// other (a part's line always holds quotes, a gradient's never does).
bool IsPartLine(const std::string& line) {
    TParts part(nullptr);
    part.LoadFromText(line);
    return part.SaveToText() == line;
}

bool IsGradientText(const std::string& line) {
    TGrad gradient;
    gradient.LoadFromText(line);
    return gradient.SaveToText() == line;
}

} // namespace

// --- Copy -------------------------------------------------------------------------------

void PatternEditorLogic::UpdateClipboardItems() {
    for (const EditItem item :
         {EditItem::mnCopyPattern, EditItem::mnCopyPart, EditItem::mnCopyGrad, EditItem::mnPaste}) {
        view_.SetItemEnabled(item, IsEnabled(item));
    }
}

void PatternEditorLogic::mnCopyPatternClick() {
    Guarded([&] {
        std::vector<TExportEntry> entries;
        for (const int row : selected_) {
            const EditorRow& entry = rows_[static_cast<std::size_t>(row)];
            entries.push_back({entry.Name, entry.Pattern.get()});
        }
        if (!entries.empty()) {
            host_.Clipboard().SetText(SjisToUtf8(PatternFileText(PatternsOf(entries))));
        }
    });
}

void PatternEditorLogic::mnCopyPartClick() {
    Guarded([&] {
        if (const TParts* part = CurrentPart()) {
            host_.Clipboard().SetText(SjisToUtf8(part->SaveToText()));
        }
    });
}

// The gradient as the editor would write it, so that it pastes back even
// when a file gave it in another spelling.
void PatternEditorLogic::mnCopyGradClick() {
    Guarded([&] {
        const TParts* part = CurrentPart();
        if (part == nullptr || part->Fill != fkGrad) {
            return;
        }
        TGrad gradient;
        gradient.LoadFromText(part->GradText);
        host_.Clipboard().SetText(SjisToUtf8(gradient.SaveToText()));
    });
}

// --- Paste ------------------------------------------------------------------------------

bool PatternEditorLogic::ClipboardHasText() {
    try {
        const std::optional<std::string> text = host_.Clipboard().Text();
        return text && !TrimBlanks(*text).empty();
    } catch (...) {
        return false; // held by another program: the paste will say so
    }
}

void PatternEditorLogic::mnPasteClick() {
    Guarded([&] {
        const std::optional<std::string> text = host_.Clipboard().Text();
        if (!text || TrimBlanks(*text).empty()) {
            throw std::runtime_error(std::string(kNothingToPaste) + kWhatPastes);
        }
        if (text->size() > kMaxInputFileSize) {
            throw std::runtime_error(kPasteTooLarge + LimitText(kMaxInputFileSize) +
                                     kPasteTooLargeEnd);
        }
        std::string sjis;
        try {
            sjis = Utf8ToSjis(*text);
        } catch (const CodecError& e) {
            throw std::runtime_error(kPasteUnstorable + std::string(e.what()));
        }
        if (PastePatterns(sjis)) {
            return;
        }
        const std::string line(TrimBlanks(sjis));
        const bool oneLine = line.find_first_of("\r\n") == std::string::npos;
        if (oneLine && IsPartLine(line)) {
            PastePart(line);
        } else if (oneLine && IsGradientText(line)) {
            PasteGradient(line);
        } else {
            throw std::runtime_error(std::string(kNotPasteable) + kWhatPastes);
        }
    });
}

void PatternEditorLogic::CheckPastedSize() const {
    if (!SettingsFileFits(settings_, RowPatterns())) {
        throw std::runtime_error(kLibraryTooLarge + LimitText(kMaxInputFileSize) +
                                 kLibraryTooLargeEnd);
    }
}

// Read as an import reads a file: every section with a name is a pattern,
// named uniquely among the rows. The new rows come last and are selected.
bool PatternEditorLogic::PastePatterns(const std::string& sjis) {
    PatternLibrary list = NameList();
    const int before = list.Count();
    LoadPatterns(IniFile::Parse(sjis), list);
    if (list.Count() == before) {
        return false;
    }
    std::vector<int> positions;
    std::vector<EditorRow> added;
    for (int i = before; i < list.Count(); ++i) {
        positions.push_back(i);
        added.push_back({list.Name(i), list.Pattern(i).Clone()});
    }
    const NamedPatterns rows = RowPatterns();
    const NamedPatterns all{
        list.Count(),
        [&](int i) { return i < before ? rows.Name(i) : std::string_view(list.Name(i)); },
        [&](int i) -> const TPatrn& { return i < before ? rows.Pattern(i) : list.Pattern(i); },
    };
    if (!SettingsFileFits(settings_, all)) {
        throw std::runtime_error(kLibraryTooLarge + LimitText(kMaxInputFileSize) +
                                 kLibraryTooLargeEnd);
    }
    std::vector<int> select = positions;
    ChangeRows(RowChange::Insert(std::move(positions), std::move(added)), std::move(select),
               kStepPastePattern);
    return true;
}

// After the current part: the base part stays first.
void PatternEditorLogic::PastePart(const std::string& line) {
    const int i = PartIndex();
    if (i < 0) {
        throw std::runtime_error(kPartNeedsPattern);
    }
    ChangePattern(kStepPastePart, [&](TPatrn& changed) {
        changed.AddNew().LoadFromText(line);
        changed.Move(changed.Count() - 1, i + 1);
        partRows_.insert(partRows_.begin() + i + 1, RowFor(*changed.Parts(i + 1)));
        partIndex_ = i + 1;
        CheckPastedSize();
    });
    PartChanged();
}

void PatternEditorLogic::PasteGradient(const std::string& line) {
    TParts* part = CurrentPart();
    if (part == nullptr) {
        throw std::runtime_error(kPartNeedsPattern);
    }
    ChangePattern(kStepPasteGradient, [&](TPatrn&) {
        part->GradText = line;
        part->Fill = fkGrad;
        partRows_[static_cast<std::size_t>(PartIndex())] = RowFor(*part);
        CheckPastedSize();
    });
    PartChanged();
}

// --- Dropped files ----------------------------------------------------------------------

void PatternEditorLogic::FilesDropped(const std::vector<std::string>& paths) {
    Guarded([&] {
        PatternLibrary list = NameList();
        const int before = list.Count();
        std::string report; // Shift-JIS
        std::string failures;
        for (const std::string& path : paths) {
            const std::filesystem::path file = Utf8ToFsPath(path);
            std::string reason;
            std::error_code error;
            if (std::filesystem::is_directory(file, error)) {
                reason = kDropFolder;
            } else {
                try {
                    report += ImportPatternFile(file, list, settings_);
                } catch (const std::exception& e) {
                    reason = e.what();
                } catch (...) {
                    reason = kUnexpectedErrorText;
                }
            }
            if (!reason.empty()) {
                failures += "\r\n\"" + path + "\"\r\n    " + reason;
            }
        }
        if (list.Count() > before) {
            std::vector<int> positions;
            std::vector<EditorRow> added;
            for (int i = before; i < list.Count(); ++i) {
                positions.push_back(i);
                added.push_back({list.Name(i), list.Pattern(i).Clone()});
            }
            // The selection stays, as after the import command.
            ChangeRows(RowChange::Insert(std::move(positions), std::move(added)), std::nullopt,
                       kStepDropImport);
        }
        mnPatternClick();
        std::string message;
        if (list.Count() > before) {
            message = DisplayText(report) + kImportedText;
        }
        if (!failures.empty()) {
            message += (message.empty() ? "" : "\r\n\r\n") + std::string(kDropFailed) + failures;
        }
        if (!message.empty()) {
            const MsgKind kind = failures.empty()        ? MsgKind::Information
                                 : list.Count() > before ? MsgKind::Warning
                                                         : MsgKind::Error;
            host_.Dialogs().Message(message, kind, MsgButtons::Ok);
        }
    });
}

} // namespace pelmora
