#pragma once
// The pattern editor's logic without a window: a view that records what it
// is told, a host with a pad and files in a temporary folder, the editor's
// dialogs answered from queues, and the scripted dialog service.
#include "library/IniData.h"
#include "library/PatternLibrary.h"
#include "platform/clipboard.h"
#include "logic/EditorDialogs.h"
#include "logic/EditorHost.h"
#include "logic/PatternEditorLogic.h"
#include "logic/PatternEditorView.h"
#include "platform/cp932.h"
#include "platform/inifile.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/unit/platform_tempdir.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace pelmora::testing {

inline std::string Sj(const char* utf8) {
    return Utf8ToSjis(utf8);
}

class RecordingView final : public PatternEditorView {
public:
    std::optional<ScreenSize> ScreenArea = ScreenSize{1024, 768};
    WindowBounds WindowBox;       // what the window shows; tests move it as a user would
    int InitialPreviewHeight = 0; // told at creation
    int UserPreviewHeight = 0;    // the strip as the user left it
    std::map<EditItem, bool> Enabled;
    std::map<EditItem, bool> Checked;
    std::map<EditItem, std::string> Captions; // UTF-8
    std::vector<std::string> Rows;
    std::vector<int> Selection;
    int Current = -1;
    std::vector<int> Scrolls;
    Bitmap24 Preview;
    std::string PadValues;
    std::string PadMark;
    TColor PadMarkColor = 0;
    std::vector<PartRow> Parts;
    int PartCurrent = -1;
    int Lumi = 0;
    int Hue = 0;
    bool BtnColTrim = false;
    std::string Status = "(untouched)";
    int Closed = 0;
    // Runs when the colour controls are set, as a toolkit that reports its own
    // programmatic changes would.
    std::function<void()> EchoColorAdjust;

    std::optional<ScreenSize> Screen() const override { return ScreenArea; }
    WindowBounds Bounds() const override { return WindowBox; }
    int PreviewHeight() const override { return UserPreviewHeight; }
    void SetBounds(const WindowBounds& b, int height) override {
        WindowBox = b;
        InitialPreviewHeight = UserPreviewHeight = height;
    }
    void SetItemEnabled(EditItem item, bool on) override { Enabled[item] = on; }
    void SetItemChecked(EditItem item, bool on) override { Checked[item] = on; }
    void SetItemCaption(EditItem item, const std::string& text) override { Captions[item] = text; }
    void ShowPatternRows(const std::vector<std::string>& names) override { Rows = names; }
    void ShowPatternSelection(const std::vector<int>& selected, int row) override {
        Selection = selected;
        Current = row;
    }
    void ScrollPatternList(int by) override { Scrolls.push_back(by); }
    void ShowPreview(const Bitmap24& cell) override { Preview = cell; }
    void ShowPadInfo(const std::string& values, const std::string& mark, TColor color) override {
        PadValues = values;
        PadMark = mark;
        PadMarkColor = color;
    }
    void ShowPartRows(const std::vector<PartRow>& shown, int row) override {
        Parts = shown;
        PartCurrent = row;
    }
    void ShowColorAdjust(int l, int h, bool trim) override {
        Lumi = l;
        Hue = h;
        BtnColTrim = trim;
        if (EchoColorAdjust) {
            EchoColorAdjust();
        }
    }
    void SetStatusText(const std::string& text) override { Status = text; }
    void CloseWindow() override { ++Closed; }

    std::vector<std::string> PartTexts() const {
        std::vector<std::string> texts;
        for (const PartRow& row : Parts) {
            texts.push_back(row.Text);
        }
        return texts;
    }
};

// A pad that keeps its wallpaper setting, and the module's files in a folder.
class FakeEditorHost final : public EditorHost {
public:
    FakeEditorHost(const std::filesystem::path& folder, Prompts& dialogs)
        : folder_(folder), dialogs_(dialogs) {
        NextPad = DerivePadInfo(PadValues{80, 60, 1, 0, static_cast<std::int32_t>(0x8000000F)}, 12);
        Pad = NextPad;
    }

    TPadInfo Pad;
    TPadInfo NextPad; // what the next read of the pad gives
    int PadReads = 0;
    std::optional<std::string> WallPaper = std::string("old.bmp");
    int WallPaperReads = 0;
    std::vector<std::string> WallPaperSets;
    std::filesystem::path TrialFolder;   // empty: the session's folder
    std::filesystem::path WallpaperPath; // empty: settings.bmp in the session's folder
    std::deque<std::optional<std::string>> NameAnswers; // UTF-8; nullopt: Cancel
    std::vector<std::string> AskedNames;                // UTF-8
    std::vector<std::string> AskedLists;                // "A;B;"
    std::vector<std::string> AskedPrompts;
    std::optional<std::filesystem::path> ImportFile;
    std::vector<std::vector<std::string>> Exported; // UTF-8 names
    std::vector<std::vector<const TPatrn*>> ExportedPatterns;
    int Closed = 0;

    void ReadPadInfo() override {
        ++PadReads;
        Pad = NextPad;
    }
    const TPadInfo& PadInfo() const override { return Pad; }
    std::optional<std::string> GetPadWallPaper() override {
        ++WallPaperReads;
        return WallPaper;
    }
    bool SetPadWallPaper(const std::string& value) override {
        WallPaperSets.push_back(value);
        WallPaper = value;
        return true;
    }
    std::filesystem::path WallpaperFile() const override {
        return WallpaperPath.empty() ? folder_ / "settings.bmp" : WallpaperPath;
    }
    std::string WallpaperText() const override { return WallpaperFile().string(); }
    std::filesystem::path CreateTrialFile() override {
        std::string name = ((TrialFolder.empty() ? folder_ : TrialFolder) / "pelXXXXXX").string();
        const int fd = ::mkstemp(name.data());
        if (fd < 0) {
            throw std::runtime_error("no temporary file");
        }
        ::close(fd);
        return name;
    }
    std::string HostPathText(const std::filesystem::path& path) const override {
        return path.string();
    }
    bool AskPatternName(const std::string& prompt, std::string& name,
                        const PatternLibrary& names) override {
        AskedPrompts.push_back(prompt);
        AskedNames.push_back(SjisToUtf8(name));
        std::string list;
        for (const std::string& n : names.Names()) {
            list += SjisToUtf8(n) + ";";
        }
        AskedLists.push_back(list);
        std::optional<std::string> answer;
        if (!NameAnswers.empty()) {
            answer = NameAnswers.front();
            NameAnswers.pop_front();
        }
        if (!answer) {
            return false;
        }
        name = Utf8ToSjis(*answer);
        return true;
    }
    bool ImportPatterns(PatternLibrary& list) override {
        if (!ImportFile) {
            return false;
        }
        LoadPatterns(IniFile::Load(*ImportFile), list);
        return true;
    }
    bool ExportPatterns(const std::vector<TExportEntry>& entries) override {
        std::vector<std::string> names;
        std::vector<const TPatrn*> patterns;
        for (const TExportEntry& entry : entries) {
            names.push_back(SjisToUtf8(entry.Name));
            patterns.push_back(entry.Pattern);
        }
        Exported.push_back(names);
        ExportedPatterns.push_back(patterns);
        return true;
    }
    void EditorClosed() override { ++Closed; }
    Prompts& Dialogs() override { return dialogs_; }
    TextClipboard& Clipboard() override { return Clip; }

    MemoryClipboard Clip;

private:
    std::filesystem::path folder_;
    Prompts& dialogs_;
};

// The gradient and fine-adjust dialogs, answered from queues (nullopt:
// Cancel). A cancelled gradient dialog leaves edits behind, as the real one
// may.
class FakeDialogs final : public EditorDialogs {
public:
    struct AreaShown {
        std::uint8_t Area;
        bool IsFrame;
        TTrim Thick;
        TTrim Outer;
    };
    std::deque<std::optional<std::string>> GradientAnswers; // gradient texts
    std::vector<std::string> GradientsShown;
    std::deque<std::optional<AreaAdjustment>> AreaAnswers;
    std::vector<AreaShown> AreasShown;
    // Runs while a dialog is open (the plug-in may end meanwhile).
    std::function<void()> WhileOpen;

    bool EditGradient(TGrad& gradient) override {
        GradientsShown.push_back(gradient.SaveToText());
        Open();
        const std::optional<std::string> answer = Next(GradientAnswers);
        if (!answer) {
            gradient.Reverse();
            return false;
        }
        gradient.LoadFromText(*answer);
        return true;
    }
    std::optional<AreaAdjustment> AdjustArea(std::uint8_t area, bool isFrame, const TTrim& thick,
                                             const TTrim& outer) override {
        AreasShown.push_back({area, isFrame, thick, outer});
        Open();
        return Next(AreaAnswers);
    }

private:
    void Open() {
        if (WhileOpen) {
            WhileOpen();
        }
    }
    template <typename T> static std::optional<T> Next(std::deque<std::optional<T>>& queue) {
        if (queue.empty()) {
            return std::nullopt;
        }
        std::optional<T> answer = queue.front();
        queue.pop_front();
        return answer;
    }
};

// A pattern with parts of the given kinds (kind index, fill) after the base
// part, each part's colour green.
inline std::unique_ptr<TPatrn> PatternOf(const std::vector<std::pair<int, int>>& parts,
                                         int lumi = 0) {
    auto pattern = std::make_unique<TPatrn>();
    pattern->Lumi = lumi;
    for (const auto& [kind, fill] : parts) {
        TParts& part = pattern->AddNew();
        part.Area = static_cast<std::uint8_t>(kind / 2);
        part.IsFrame = kind % 2 == 1;
        part.Fill = static_cast<std::uint8_t>(fill);
        part.Color = 0x0000FF00;
    }
    return pattern;
}

// One editor session: a library, the settings record, the fakes and the logic.
class EditorTest : public ::testing::Test {
protected:
    EditorTest() : host_(dir_.Path(), *prompts_) {
        settings_.Left = 10;
        settings_.Top = 20;
        settings_.Width = 600;
        settings_.Height = 450;
        settings_.PrevHeight = 140;
    }

    // Library entries named `names`, entry i with Lumi i.
    void Add(const std::vector<std::string>& names) {
        for (const std::string& name : names) {
            library_.Append(Sj(name.c_str()), PatternOf({}, library_.Count()));
        }
    }
    void Add(const char* name, std::unique_ptr<TPatrn> pattern) {
        library_.Append(Sj(name), std::move(pattern));
    }
    // Creates the window's logic and shows it the first time.
    void Open() {
        form_ = std::make_unique<PatternEditorLogic>(library_, settings_, host_, dialogs_, view_);
        form_->FormShow();
    }
    void Close() { form_.reset(); }

    std::vector<std::string> RowNames() const {
        std::vector<std::string> names;
        for (const EditorRow& row : form_->Rows()) {
            names.push_back(SjisToUtf8(row.Name));
        }
        return names;
    }
    TPatrn& Current() { return *form_->CurrentPattern(); }
    std::vector<std::string> PartNames() {
        std::vector<std::string> names;
        for (int i = 0; i < Current().Count(); ++i) {
            names.push_back(Current().Parts(i)->GetName());
        }
        return names;
    }
    // The row shows the part's name and its picture.
    bool RowShowsPart(int row) {
        const PartRow& shown = view_.Parts.at(static_cast<std::size_t>(row));
        const TParts& part = *Current().Parts(row);
        return shown.Text == part.GetName() && shown.Icon == part.CreatePreview(20, host_.Pad);
    }
    bool Enabled(EditItem item) const { return view_.Enabled.at(item); }

    TempDir dir_;
    ScopedScriptedPrompts prompts_;
    PatternLibrary library_;
    TIniData settings_;
    FakeEditorHost host_;
    FakeDialogs dialogs_;
    RecordingView view_;
    std::unique_ptr<PatternEditorLogic> form_;
};

} // namespace pelmora::testing
