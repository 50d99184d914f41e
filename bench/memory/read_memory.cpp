// Peak memory and time of reading the worst settings and pattern files the
// plug-in accepts, shape by shape, each read in a fresh process of its own.
//
//   pelmora_read_memory [SIZE]    files of at most SIZE bytes (default: the
//                                 read limit); prints a Markdown table
//
// The peak is the reading process's highest resident set (VmHWM) less what it
// held before it began to read. Two reads are measured: the start of the
// plug-in (read the file, "Main", the library) and an import (read the file,
// load its patterns into the library, weigh the settings file it would make).
#include "library/IniData.h"
#include "library/PatternLibrary.h"
#include "library/SettingsFile.h"
#include "platform/fileio.h"
#include "platform/inifile.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace pelmora;

struct Shape {
    const char* name;
    // Appends the next piece of the file; false when the file is complete.
    std::function<std::string(std::size_t index)> piece;
    const char* head = "";
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
        {"tiny keys: one section of `=` lines (2 bytes each)",
         [](std::size_t) { return std::string("=\n"); }, "[]\n"},
        {"tiny sections: `[]` lines (3 bytes each)",
         [](std::size_t) { return std::string("[]\n"); }},
        {"tiny patterns, one name: `[]` + `Name=a` (11 bytes each, named a, a2, a3, ...)",
         [](std::size_t) { return std::string("[]\nName=a\n"); }},
        {"tiny patterns, distinct names: `[]` + `Name=<n>`",
         [](std::size_t i) { return "[]\nName=" + Base36(i) + "\n"; }},
        {"short part lines in one pattern: `<i>=0`",
         [](std::size_t i) { return std::to_string(i) + "=0\n"; }, "[]\nName=a\n"},
        {"one long value: a gradient text of the whole file",
         [size](std::size_t i) {
             return i == 0 ? "0=0,,,2," + std::string(size - 32, 'x') + "\n" : std::string();
         },
         "[]\nName=a\n"},
    };
}

std::string MakeText(const Shape& shape, std::size_t size) {
    std::string text = shape.head;
    for (std::size_t i = 0;; ++i) {
        const std::string piece = shape.piece(i);
        if (piece.empty() || text.size() + piece.size() > size) {
            return text;
        }
        text += piece;
    }
}

long StatusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::atol(line.c_str() + std::string(field).size());
        }
    }
    return -1;
}

// In the child: reads the file one way and prints "peak-KiB seconds extra".
int Measure(const std::string& how, const std::filesystem::path& file) {
    const long before = StatusKiB("VmRSS:");
    const auto start = std::chrono::steady_clock::now();
    std::string extra;
    try {
        if (how == "start") {
            const IniFile ini = IniFile::Load(file);
            const TIniData settings = ReadIniData(ini, file.string());
            PatternLibrary library;
            LoadPatterns(ini, library, file);
            extra = std::to_string(library.Count()) + " patterns; written back: " +
                    std::to_string(SettingsFileSize(settings, library)) + " bytes";
        } else {
            PatternLibrary library;
            const IniFile ini = IniFile::LoadExisting(file);
            LoadPatterns(ini, library, file);
            extra = SettingsFileFits(TIniData{}, library) ? "accepted" : "refused (too large)";
        }
    } catch (const std::exception& e) {
        extra = std::string("error: ") + e.what();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%ld %.2f %s\n", StatusKiB("VmHWM:") - before, seconds, extra.c_str());
    return 0;
}

std::string RunChild(const char* self, const std::string& how, const std::string& file) {
    int out[2];
    if (::pipe(out) != 0) {
        return "pipe failed";
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], 1);
        ::execl(self, self, "--measure", how.c_str(), file.c_str(), nullptr);
        ::_exit(127);
    }
    ::close(out[1]);
    std::string result;
    char buffer[512];
    for (ssize_t got; (got = ::read(out[0], buffer, sizeof buffer)) > 0;) {
        result.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    while (!result.empty() && result.back() == '\n') {
        result.pop_back();
    }
    return result;
}

std::string MiB(long kib) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(kib) / 1024.0);
    return text;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--measure") {
        return Measure(argv[2], argv[3]);
    }
    const std::size_t size = argc > 1 ? std::stoul(argv[1]) : kMaxInputFileSize;
    char folder[] = "/tmp/pelmora-read-memory-XXXXXX";
    if (::mkdtemp(folder) == nullptr) {
        return 1;
    }
    const std::string file = std::string(folder) + "/input.ini";
    std::cout << "| Input shape | File size | Start: peak | Start: time | Start: result "
                 "| Import: peak | Import: result |\n"
                 "| --- | --- | --- | --- | --- | --- | --- |\n";
    for (const Shape& shape : Shapes(size)) {
        {
            const std::string text = MakeText(shape, size);
            std::ofstream(file, std::ios::binary) << text;
        }
        const auto field = [](const std::string& line, int n) {
            std::size_t at = 0;
            for (int i = 0; i < n; ++i) {
                at = line.find(' ', at) + 1;
            }
            return n < 2 ? line.substr(at, line.find(' ', at) - at) : line.substr(at);
        };
        const std::string start = RunChild(argv[0], "start", file);
        const std::string import = RunChild(argv[0], "import", file);
        std::cout << "| " << shape.name << " | " << std::filesystem::file_size(file) << " bytes | "
                  << MiB(std::atol(field(start, 0).c_str())) << " | " << field(start, 1) << " s | "
                  << field(start, 2) << " | " << MiB(std::atol(field(import, 0).c_str())) << " | "
                  << field(import, 2) << " |\n";
    }
    std::filesystem::remove_all(folder);
    return 0;
}
