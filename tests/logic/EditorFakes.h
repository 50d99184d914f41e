#pragma once
// The pattern editor's logic without a window: a view that records what it
// is told, a host with a pad and files in a temporary folder, the editor's
// dialogs answered from queues, and the scripted dialog service.
#include "library/IniData.h"
#include "library/PatternLibrary.h"
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
    std::optional<ScreenSize> screen = ScreenSize{1024, 768};
    WindowBounds bounds;       // what the window shows; tests move it as a user would
    int previewHeight = 0;     // told at creation
    int userPreviewHeight = 0; // the strip as the user left it
    std::map<EditItem, bool> enabled;
    std::map<EditItem, bool> checked;
    std::vector<std::string> rows;
    std::vector<int> selection;
    int current = -1;
    std::vector<int> scrolls;
    Bitmap24 preview;
    std::string padValues;
    std::string padMark;
    TColor padMarkColor = 0;
    std::vector<PartRow> parts;
    int partCurrent = -1;
    int lumi = 0;
    int hue = 0;
    bool btnColTrim = false;
    std::string status = "(untouched)";
    int closed = 0;
    // Runs when the colour controls are set, as a toolkit that reports its own
    // programmatic changes would.
    std::function<void()> echoColorAdjust;

    std::optional<ScreenSize> Screen() const override { return screen; }
    WindowBounds Bounds() const override { return bounds; }
    int PreviewHeight() const override { return userPreviewHeight; }
    void SetBounds(const WindowBounds& b, int height) override {
        bounds = b;
        previewHeight = userPreviewHeight = height;
    }
    void SetItemEnabled(EditItem item, bool on) override { enabled[item] = on; }
    void SetItemChecked(EditItem item, bool on) override { checked[item] = on; }
    void ShowPatternRows(const std::vector<std::string>& names) override { rows = names; }
    void ShowPatternSelection(const std::vector<int>& selected, int row) override {
        selection = selected;
        current = row;
    }
    void ScrollPatternList(int by) override { scrolls.push_back(by); }
    void ShowPreview(const Bitmap24& cell) override { preview = cell; }
    void ShowPadInfo(const std::string& values, const std::string& mark, TColor color) override {
        padValues = values;
        padMark = mark;
        padMarkColor = color;
    }
    void ShowPartRows(const std::vector<PartRow>& shown, int row) override {
        parts = shown;
        partCurrent = row;
    }
    void ShowColorAdjust(int l, int h, bool trim) override {
        lumi = l;
        hue = h;
        btnColTrim = trim;
        if (echoColorAdjust) {
            echoColorAdjust();
        }
    }
    void SetStatusText(const std::string& text) override { status = text; }
    void CloseWindow() override { ++closed; }

    std::vector<std::string> PartTexts() const {
        std::vector<std::string> texts;
        for (const PartRow& row : parts) {
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
        nextPad = DerivePadInfo(PadValues{80, 60, 1, 0, static_cast<std::int32_t>(0x8000000F)}, 12);
        pad = nextPad;
    }

    TPadInfo pad;
    TPadInfo nextPad; // what the next read of the pad gives
    int padReads = 0;
    std::optional<std::string> wallPaper = std::string("old.bmp");
    int wallPaperReads = 0;
    std::vector<std::string> wallPaperSets;
    std::filesystem::path trialFolder;   // empty: the session's folder
    std::filesystem::path wallpaperFile; // empty: settings.bmp in the session's folder
    std::deque<std::optional<std::string>> nameAnswers; // UTF-8; nullopt: Cancel
    std::vector<std::string> askedNames;                // UTF-8
    std::vector<std::string> askedLists;                // "A;B;"
    std::vector<std::string> askedPrompts;
    std::optional<std::filesystem::path> importFile;
    std::vector<std::vector<std::string>> exported; // UTF-8 names
    std::vector<std::vector<const TPatrn*>> exportedPatterns;
    int closed = 0;

    void ReadPadInfo() override {
        ++padReads;
        pad = nextPad;
    }
    const TPadInfo& PadInfo() const override { return pad; }
    std::optional<std::string> GetPadWallPaper() override {
        ++wallPaperReads;
        return wallPaper;
    }
    bool SetPadWallPaper(const std::string& value) override {
        wallPaperSets.push_back(value);
        wallPaper = value;
        return true;
    }
    std::filesystem::path WallpaperFile() const override {
        return wallpaperFile.empty() ? folder_ / "settings.bmp" : wallpaperFile;
    }
    std::string WallpaperText() const override { return WallpaperFile().string(); }
    std::filesystem::path CreateTrialFile() override {
        std::string name = ((trialFolder.empty() ? folder_ : trialFolder) / "pelXXXXXX").string();
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
        askedPrompts.push_back(prompt);
        askedNames.push_back(SjisToUtf8(name));
        std::string list;
        for (const std::string& n : names.Names()) {
            list += SjisToUtf8(n) + ";";
        }
        askedLists.push_back(list);
        std::optional<std::string> answer;
        if (!nameAnswers.empty()) {
            answer = nameAnswers.front();
            nameAnswers.pop_front();
        }
        if (!answer) {
            return false;
        }
        name = Utf8ToSjis(*answer);
        return true;
    }
    bool ImportPatterns(PatternLibrary& list) override {
        if (!importFile) {
            return false;
        }
        LoadPatterns(IniFile::Load(*importFile), list);
        return true;
    }
    bool ExportPatterns(const std::vector<TExportEntry>& entries) override {
        std::vector<std::string> names;
        std::vector<const TPatrn*> patterns;
        for (const TExportEntry& entry : entries) {
            names.push_back(SjisToUtf8(entry.Name));
            patterns.push_back(entry.Pattern);
        }
        exported.push_back(names);
        exportedPatterns.push_back(patterns);
        return true;
    }
    void EditorClosed() override { ++closed; }
    Prompts& Dialogs() override { return dialogs_; }

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
        std::uint8_t area;
        bool isFrame;
        TTrim thick;
        TTrim outer;
    };
    std::deque<std::optional<std::string>> gradientAnswers; // gradient texts
    std::vector<std::string> gradientsShown;
    std::deque<std::optional<AreaAdjustment>> areaAnswers;
    std::vector<AreaShown> areasShown;
    // Runs while a dialog is open (the plug-in may end meanwhile).
    std::function<void()> whileOpen;

    bool EditGradient(TGrad& gradient) override {
        gradientsShown.push_back(gradient.SaveToText());
        Open();
        const std::optional<std::string> answer = Next(gradientAnswers);
        if (!answer) {
            gradient.Reverse();
            return false;
        }
        gradient.LoadFromText(*answer);
        return true;
    }
    std::optional<AreaAdjustment> AdjustArea(std::uint8_t area, bool isFrame, const TTrim& thick,
                                             const TTrim& outer) override {
        areasShown.push_back({area, isFrame, thick, outer});
        Open();
        return Next(areaAnswers);
    }

private:
    void Open() {
        if (whileOpen) {
            whileOpen();
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
    EditorTest() : host(dir.Path(), *prompts) {
        settings.Left = 10;
        settings.Top = 20;
        settings.Width = 600;
        settings.Height = 450;
        settings.PrevHeight = 140;
    }

    // Library entries named `names`, entry i with Lumi i.
    void Add(const std::vector<std::string>& names) {
        for (const std::string& name : names) {
            library.Append(Sj(name.c_str()), PatternOf({}, library.Count()));
        }
    }
    void Add(const char* name, std::unique_ptr<TPatrn> pattern) {
        library.Append(Sj(name), std::move(pattern));
    }
    // Creates the window's logic and shows it the first time.
    void Open() {
        form = std::make_unique<PatternEditorLogic>(library, settings, host, dialogs, view);
        form->FormShow();
    }
    void Close() { form.reset(); }

    std::vector<std::string> RowNames() const {
        std::vector<std::string> names;
        for (const EditorRow& row : form->Rows()) {
            names.push_back(SjisToUtf8(row.Name));
        }
        return names;
    }
    TPatrn& Current() { return *form->CurrentPattern(); }
    std::vector<std::string> PartNames() {
        std::vector<std::string> names;
        for (int i = 0; i < Current().Count(); ++i) {
            names.push_back(Current().Parts(i)->GetName());
        }
        return names;
    }
    // The row shows the part's name and its picture.
    bool RowShowsPart(int row) {
        const PartRow& shown = view.parts.at(static_cast<std::size_t>(row));
        const TParts& part = *Current().Parts(row);
        return shown.Text == part.GetName() && shown.Icon == part.CreatePreview(20, host.pad);
    }
    bool Enabled(EditItem item) const { return view.enabled.at(item); }

    TempDir dir;
    ScopedScriptedPrompts prompts;
    PatternLibrary library;
    TIniData settings;
    FakeEditorHost host;
    FakeDialogs dialogs;
    RecordingView view;
    std::unique_ptr<PatternEditorLogic> form;
};

} // namespace pelmora::testing
