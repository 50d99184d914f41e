// Editor responsiveness: the cell preview of a rich pattern, loading and
// saving a large pattern library (the settings file the plug-in reads at
// start and rewrites at the end), and the editor's undo history over such a
// library: what a thousand edits hold and how long one undo takes.
#include "library/IniData.h"
#include "library/PatternLibrary.h"
#include "library/Wallpaper.h"
#include "logic/GuideScene.h"
#include "logic/PatternEditorLogic.h"
#include "memory/NoWindow.h"
#include "pattern/PadInfo.h"
#include "pattern/Pattern.h"
#include "platform/inifile.h"
#include "platform/prompts.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

using namespace pelmora;

// Ten parts over the three regions, four of them gradients of every kind.
const char* const kTenParts = "0=0,\"0,0,0,0\",\"1,1,1,1\",3\r\n"
                              "1=0,\"1,1,1,1\",\"1,1,1,1\",2,\"1,30,-20,30,0,,000000FFFF,"
                              "3200FF8000,6400000080\"\r\n"
                              "2=1,\"0,0,0,0\",\"2,2,2,2\",4\r\n"
                              "3=2,\"2,2,2,2\",\"1,1,1,1\",2,\"0,30,0,0,0,,0000FFFFFF,"
                              "2800FFC080,6400C08040\"\r\n"
                              "4=3,\"1,1,1,1\",\"1,1,1,1\",1,255\r\n"
                              "5=4,\"0,0,0,0\",\"1,1,1,1\",2,\"2,0,10,-10,1,,0000FFFF00,"
                              "4000C0C0C0,6400404040\"\r\n"
                              "6=5,\"1,1,1,1\",\"1,1,1,1\",4\r\n"
                              "7=4,\"2,2,2,2\",\"1,1,1,1\",2,\"3,90,0,0,0,,00000000FF,"
                              "2100FF0000,4300FFFFFF,6400008000\"\r\n"
                              "8=1,\"3,3,3,3\",\"1,1,1,1\",1,65280\r\n"
                              "9=3,\"0,0,0,0\",\"1,1,1,1\",4\r\n";

std::string PatternSection(int number) {
    std::string section = "[";
    section += std::to_string(number);
    section += "]\r\nName=pattern ";
    section += std::to_string(number);
    section += "\r\nLumi=";
    section += std::to_string(number % 17 - 8);
    section += "\r\nHue=";
    section += std::to_string(2 * (number % 13 - 6));
    section += "\r\nBtnColTrim=";
    section += std::to_string(number % 2);
    section += "\r\n";
    section += kTenParts;
    section += "\r\n";
    return section;
}

void BM_PreviewTenParts(benchmark::State& state) {
    PatternLibrary library;
    LoadPatterns(IniFile::Parse(PatternSection(1)), library);
    const TPatrn& pattern = library.Pattern(0);
    const TPadInfo pad = DerivePadInfo(PadValues{200, 100, 1, 0, 0x00C08040}, 12);
    Bitmap24 cell;
    for (auto _ : state) {
        DrawWallpaper(cell, pattern, pad);
        benchmark::DoNotOptimize(cell.Row(0));
    }
}
BENCHMARK(BM_PreviewTenParts)->Unit(benchmark::kMicrosecond);

constexpr int kLibrarySize = 10000;

const std::string& LibraryText() {
    static const std::string text = [] {
        std::string t = "[Main]\r\nLeft=10\r\nTop=10\r\n\r\n";
        for (int i = 0; i < kLibrarySize; ++i) {
            t += PatternSection(i);
        }
        return t;
    }();
    return text;
}

// Reading the settings file's text into the library.
void BM_LibraryLoad(benchmark::State& state) {
    const std::string& text = LibraryText();
    for (auto _ : state) {
        PatternLibrary library;
        LoadPatterns(IniFile::Parse(text), library);
        benchmark::DoNotOptimize(library.Count());
    }
    state.counters["patterns"] = kLibrarySize;
}
BENCHMARK(BM_LibraryLoad)->Unit(benchmark::kMillisecond);

// Writing every pattern into a fresh settings file and its text.
void BM_LibrarySave(benchmark::State& state) {
    PatternLibrary library;
    LoadPatterns(IniFile::Parse(LibraryText()), library);
    for (auto _ : state) {
        IniFile ini;
        ini.WriteInteger("Main", "Left", 10);
        SavePatterns(ini, library);
        const std::string text = ini.ToText();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["patterns"] = kLibrarySize;
}
BENCHMARK(BM_LibrarySave)->Unit(benchmark::kMillisecond);

// The whole way through a file: save (atomic replace), read back, load.
void BM_LibraryFileRoundTrip(benchmark::State& state) {
    PatternLibrary library;
    LoadPatterns(IniFile::Parse(LibraryText()), library);
    const auto path = std::filesystem::temp_directory_path() /
                      ("pelmora-bench-" + std::to_string(::getpid()) + ".ini");
    for (auto _ : state) {
        IniFile ini;
        SavePatterns(ini, library);
        ini.Save(path);
        PatternLibrary back;
        LoadPatterns(IniFile::Load(path), back);
        benchmark::DoNotOptimize(back.Count());
    }
    std::filesystem::remove(path);
    state.counters["patterns"] = kLibrarySize;
}
BENCHMARK(BM_LibraryFileRoundTrip)->Unit(benchmark::kMillisecond);

// --- The editor's history ------------------------------------------------------------

// The editor open on the 10,000-pattern library, without a window.
struct EditorSession {
    EditorSession() {
        LoadPatterns(IniFile::Parse(LibraryText()), Library);
        Editor = std::make_unique<PatternEditorLogic>(Library, Settings, Host, Dialogs, View);
        Editor->FormShow();
    }
    PatternLibrary Library;
    TIniData Settings;
    NoView View;
    SilentPrompts Prompts;
    GuidePad Host{Prompts};
    NoDialogs Dialogs;
    std::unique_ptr<PatternEditorLogic> Editor;
};

constexpr int kEditKinds = 6;

// Edit number `i` on a row spread over the library; the kinds cycle through
// what the history holds: a pattern as it was (a brightness step, a new, a
// refilled or a deleted part), a copied pattern, a moved row.
void Edit(PatternEditorLogic& editor, int i, int kind) {
    editor.PatternListClick({(i * 7919) % kLibrarySize});
    switch (kind) {
    case 0: {
        const int lumi = editor.CurrentPattern()->Lumi;
        editor.ColorAdjustChange(lumi == 8 ? 7 : lumi + 1, editor.CurrentPattern()->Hue / 2,
                                 editor.CurrentPattern()->BtnColTrim);
        editor.ColorAdjustDone();
        break;
    }
    case 1:
        editor.MenuClick(EditItem::mnIcon);
        break;
    case 2:
        editor.PartsListClick(1);
        editor.MenuClick(EditItem::mnBtn);
        break;
    case 3:
        editor.PartsListClick(2);
        editor.MenuClick(EditItem::mnPDelete);
        break;
    case 4:
        editor.MenuClick(EditItem::mnCopy);
        break;
    default:
        editor.MenuClick(EditItem::mnLower);
        break;
    }
}

std::size_t HeapInUse() {
#ifdef __GLIBC__
    return mallinfo2().uordblks;
#else
    return 0;
#endif
}

constexpr double kMiB = 1024.0 * 1024.0;

// A thousand edits: their time, and the memory the history holds after them
// (as it counts it, and as the heap grew, which also holds the copied rows).
void BM_EditorThousandEdits(benchmark::State& state) {
    constexpr int kEdits = 1000;
    double counted = 0;
    double heap = 0;
    double steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto session = std::make_unique<EditorSession>();
        const std::size_t before = HeapInUse();
        state.ResumeTiming();
        for (int i = 0; i < kEdits; ++i) {
            Edit(*session->Editor, i, i % kEditKinds);
        }
        state.PauseTiming();
        counted = static_cast<double>(session->Editor->History().Bytes()) / kMiB;
        heap = static_cast<double>(HeapInUse() - before) / kMiB;
        steps = static_cast<double>(session->Editor->History().Count());
        session.reset();
        state.ResumeTiming();
    }
    state.counters["steps"] = steps;
    state.counters["history_MiB"] = counted;
    state.counters["heap_growth_MiB"] = heap;
}
BENCHMARK(BM_EditorThousandEdits)->Unit(benchmark::kMillisecond)->Iterations(3);

// One undo after a thousand edits, the last of the given kind (its redo is
// not timed): the rows it touches, the list, the preview and the parts pane.
void BM_EditorUndo(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    EditorSession session;
    for (int i = 0; i < 999; ++i) {
        Edit(*session.Editor, i, i % kEditKinds);
    }
    Edit(*session.Editor, 999, kind);
    for (auto _ : state) {
        session.Editor->MenuClick(EditItem::mnEditUndo);
        state.PauseTiming();
        session.Editor->MenuClick(EditItem::mnEditRedo);
        state.ResumeTiming();
    }
    state.counters["patterns"] = static_cast<double>(session.Editor->Rows().size());
}
BENCHMARK(BM_EditorUndo)->DenseRange(0, kEditKinds - 1)->Unit(benchmark::kMillisecond);

} // namespace
