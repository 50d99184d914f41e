// Peak memory of a whole plug-in session on the worst settings files the
// plug-in accepts, shape by shape: the start, the editor (its working copy,
// one new pattern, OK) and the end, each in a fresh process of its own.
//
//   pelmora_memory [SIZE] [--shapes 1,3]   files of at most SIZE bytes
//                                          (default: the read limit); prints
//                                          a Markdown table
//
// The peak is the process's highest memory in use less what it held before
// the session began: the resident set's high-water mark (VmHWM) on Linux, the
// peak working set (process memory counters) on Windows.
#include "NoWindow.h"
#include "library/IniData.h"
#include "library/PatternLibrary.h"
#include "library/SettingsFile.h"
#include "logic/EditorDialogs.h"
#include "logic/GuideScene.h"
#include "logic/PatternEditorLogic.h"
#include "platform/fileio.h"
#include "platform/hostpath.h"
#include "platform/prompts.h"

#ifdef _WIN32
#define PSAPI_VERSION 2
#include <windows.h>
// The process memory counters need the types windows.h declares.
#include <psapi.h>
#else
#include <fstream>
#endif

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace pelmora;
namespace fs = std::filesystem;

struct Shape {
    const char* Name;
    // The next piece of the file; empty when the file is complete.
    std::function<std::string(std::size_t index)> Piece;
    const char* Head = "";
};

std::string Base36(std::size_t n) {
    std::string text;
    do {
        text.insert(text.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[n % 36]);
        n /= 36;
    } while (n != 0);
    return text;
}

std::vector<Shape> Shapes(std::size_t size) {
    return {
        {"Tiny keys: one section of `=` lines (2 bytes each)",
         [](std::size_t) { return std::string("=\n"); }, "[]\n"},
        {"Tiny sections: `[]` lines (3 bytes each)",
         [](std::size_t) { return std::string("[]\n"); }},
        {"Tiny patterns of one name: `[]` and `Name=a` (named a, a2, a3, ...)",
         [](std::size_t) { return std::string("[]\nName=a\n"); }},
        {"Tiny patterns of distinct names: `[]` and `Name=<n>`",
         [](std::size_t i) { return "[]\nName=" + Base36(i) + "\n"; }},
        {"Short part lines in one pattern: `<i>=0`",
         [](std::size_t i) { return std::to_string(i) + "=0\n"; }, "[]\nName=a\n"},
        {"One long value: a gradient text of the whole file",
         [size](std::size_t i) {
             return i == 0 ? "0=0,,,2," + std::string(size - 32, 'x') + "\n" : std::string();
         },
         "[]\nName=a\n"},
        {"A library that fits when written: 60,000 patterns of two parts",
         [](std::size_t i) {
             return i < 60000 ? "[" + std::to_string(i) + "]\nName=p" + std::to_string(i) +
                                    "\nLumi=1\n0=0,0,0,0,0,1,1,1,1,1,16711680\n"
                                    "1=1,0,0,0,0,1,1,1,1,2,\"1,0,,,000000FFFF,6400FF0000\"\n"
                              : std::string();
         }},
    };
}

std::string MakeText(const Shape& shape, std::size_t size) {
    std::string text = shape.Head;
    for (std::size_t i = 0;; ++i) {
        const std::string piece = shape.Piece(i);
        if (piece.empty() || text.size() + piece.size() > size) {
            return text;
        }
        text += piece;
    }
}

// Memory in use now and at its highest, in KiB.
struct MemoryUse {
    long Now = 0;
    long Peak = 0;
};

MemoryUse Memory() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return {static_cast<long>(counters.WorkingSetSize / 1024),
            static_cast<long>(counters.PeakWorkingSetSize / 1024)};
#else
    MemoryUse use;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            use.Now = std::atol(line.c_str() + 6);
        } else if (line.rfind("VmHWM:", 0) == 0) {
            use.Peak = std::atol(line.c_str() + 6);
        }
    }
    return use;
#endif
}

// ---- One phase in a process of its own -----------------------------------------

struct Started {
    SettingsOrigin Origin;
    TIniData Settings;
    PatternLibrary Library;
    std::uint64_t Digest = 0;
};

// The plug-in's start, as the module runs it.
void Start(const fs::path& file, Started& started) {
    const SettingsAtStart start = ReadSettingsFile(file);
    started.Settings = ReadIniData(start.Ini, FsPathToHost(file));
    LoadPatterns(start.Ini, started.Library, file);
    started.Digest = SettingsFileDigest(started.Settings, started.Library);
    started.Origin = start.Origin;
}

// Runs one phase and prints "peak-KiB seconds result".
int Measure(const std::string& phase, const fs::path& file) {
    const long before = Memory().Now;
    const auto begun = std::chrono::steady_clock::now();
    std::string result;
    try {
        Started started;
        Start(file, started);
        result = std::to_string(started.Library.Count()) + " patterns";
        if (phase == "editor") {
            NoView view;
            SilentPrompts prompts;
            GuidePad host(prompts); // a pad that reaches no launcher
            NoDialogs dialogs;
            PatternEditorLogic editor(started.Library, started.Settings, host, dialogs, view);
            editor.FormShow();
            editor.MenuClick(EditItem::mnNew);
            editor.mnExitClick();
            result = std::to_string(started.Library.Count()) + " patterns after OK";
        } else if (phase == "end") {
            started.Library.Append("new", std::make_unique<TPatrn>());
            const SettingsSave save{
                started.Settings, started.Library, started.Origin, started.Digest, {}, {}};
            const SettingsSaveResult saved = SaveSettingsFile(file, save);
            result = saved.Status == SettingsSaveResult::Outcome::Written
                         ? "written, " + std::to_string(fs::file_size(file)) + " bytes"
                         : "not written";
        }
    } catch (const FileError& e) {
        result = e.Problem() == FileProblem::TooLarge ? "refused (too large)"
                                                      : std::string("failed: ") + e.what();
    } catch (const std::exception& e) {
        result = std::string("failed: ") + e.what();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count();
    std::printf("%ld %.2f %s\n", Memory().Peak - before, seconds, result.c_str());
    return 0;
}

fs::path SelfPath() {
#ifdef _WIN32
    wchar_t path[32768];
    GetModuleFileNameW(nullptr, path, 32768);
    return fs::path(path);
#else
    return fs::read_symlink("/proc/self/exe");
#endif
}

// Runs this program again for one phase and returns what it printed.
std::string RunChild(const std::string& phase, const fs::path& file) {
#ifdef _WIN32
    const std::wstring command = L"\"\"" + SelfPath().native() + L"\" --measure " +
                                 std::wstring(phase.begin(), phase.end()) + L" \"" + file.native() +
                                 L"\"\"";
    FILE* pipe = _wpopen(command.c_str(), L"r");
#else
    const std::string command =
        "'" + SelfPath().string() + "' --measure " + phase + " '" + file.string() + "'";
    FILE* pipe = popen(command.c_str(), "r");
#endif
    if (pipe == nullptr) {
        return "0 0 could not start";
    }
    std::string output;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        output += buffer;
    }
#ifdef _WIN32
    _pclose(pipe);
#else
    pclose(pipe);
#endif
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) {
        output.pop_back();
    }
    return output;
}

std::string MiB(long kib) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(kib) / 1024.0);
    return text;
}

// "peak seconds result" as table cells: peak | time | result.
std::string Cells(const std::string& line) {
    std::istringstream in(line);
    long peak = 0;
    std::string seconds;
    in >> peak >> seconds;
    std::string result;
    std::getline(in, result);
    return MiB(peak) + " | " + seconds + " s | " + result.substr(result.empty() ? 0 : 1);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--measure") {
        return Measure(argv[2], fs::u8path(argv[3]));
    }
    std::size_t size = kMaxInputFileSize;
    std::set<int> only;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--shapes" && i + 1 < argc) {
            std::istringstream list(argv[++i]);
            for (std::string n; std::getline(list, n, ',');) {
                only.insert(std::stoi(n));
            }
        } else {
            size = std::stoul(arg);
        }
    }
    const fs::path folder = fs::temp_directory_path() / "pelmora-memory";
    fs::create_directories(folder);
    const fs::path file = folder / "Pelmora.ini";
    std::cout << "| Input shape | File size | Start: peak | time | result | Editor: peak | time "
                 "| result | End: peak | time | result |\n"
                 "| --- | --- | --- | --- | --- | --- | --- | --- | --- | --- | --- |\n";
    int number = 0;
    for (const Shape& shape : Shapes(size)) {
        if (!only.empty() && only.count(++number) == 0) {
            continue;
        } else if (only.empty()) {
            ++number;
        }
        const std::string text = MakeText(shape, size);
        std::cout << "| " << shape.Name << " | " << text.size() << " bytes";
        for (const char* phase : {"start", "editor", "end"}) {
            WriteWholeFile(file, text); // the end of the phase before may have replaced it
            std::cout << " | " << Cells(RunChild(phase, file)) << std::flush;
        }
        std::cout << " |\n";
    }
    fs::remove_all(folder);
    return 0;
}
