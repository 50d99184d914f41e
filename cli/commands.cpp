#include "cli/commands.h"

#include "library/PatternLibrary.h"
#include "library/Wallpaper.h"
#include "pattern/PadInfo.h"
#include "pattern/Pattern.h"
#include "platform/bmp.h"
#include "platform/cp932.h"
#include "platform/fileio.h"
#include "platform/hostpath.h"
#include "platform/inifile.h"
#include "platform/inttext.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string_view>

namespace pelmora::cli {

namespace {

constexpr const char* kMainHelp =
    "usage: pelmora COMMAND [ARGS]\n"
    "       pelmora --version\n"
    "\n"
    "Renders Tavrin pad wallpapers from Pelmora patterns.\n"
    "\n"
    "commands:\n"
    "  render   paint one pattern of a settings or pattern file into a BMP cell\n"
    "  list     print the pattern names of a settings or pattern file\n"
    "\n"
    "Run \"pelmora COMMAND --help\" for the arguments of a command.\n";

constexpr const char* kRenderHelp =
    "usage: pelmora render FILE (--index I | --pattern NAME)\n"
    "                      --pad W,H,CAPTION,SMALLICON,COLOR [--name-height T] -o OUT.bmp\n"
    "\n"
    "Paints one pattern of FILE (a settings file or a *.ptn pattern file) into a\n"
    "button cell of (W + 4) x (H + 4) pixels and writes it as a 24-bit BMP file.\n"
    "\n"
    "  FILE               patterns are every section with a non-empty Name, in file\n"
    "                     order, repeated names numbered as \"pelmora list\" shows\n"
    "  --index I          the pattern at position I, counting from 0\n"
    "  --pattern NAME     the pattern with this name\n"
    "  --pad W,H,CAPTION,SMALLICON,COLOR\n"
    "                     the pad's BtnWidth, BtnHeight, BtnCaption (0 no name,\n"
    "                     1 below the icon, 2 right of it), BtnSmallIcon (0 or 1)\n"
    "                     and BtnColor (0x00BBGGRR, or 0x8000000F for the system\n"
    "                     button face); decimal, or hexadecimal after $ or 0x\n"
    "  --name-height T    pixel height of the button-name line (default: measured\n"
    "                     from the Japanese sans-serif font)\n"
    "  -o, --output OUT   the BMP file to write (replaced if it exists); \"-\" is\n"
    "                     standard output, and a pipe or device is written into\n";

constexpr const char* kListHelp =
    "usage: pelmora list FILE\n"
    "\n"
    "Prints the names of the patterns of FILE (a settings file or a *.ptn pattern\n"
    "file), one per line, in the order \"render --index\" counts them.\n";

// Bad command-line syntax or values: exit 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The command could not be done: exit 1.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

bool IsHelp(std::string_view arg) {
    return arg == "--help" || arg == "-h";
}

bool WantsHelp(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (IsHelp(arg)) {
            return true;
        }
    }
    return false;
}

std::int32_t ParseNumber(std::string_view text, const std::string& what) {
    const auto value = ParseIntText(text);
    if (!value) {
        throw UsageError(what + ": \"" + std::string(text) + "\" is not an integer");
    }
    return *value;
}

PadValues ParsePad(std::string_view text) {
    static constexpr const char* kFieldNames[] = {"width", "height", "caption", "small icon",
                                                  "colour"};
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        fields.push_back(
            text.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    if (fields.size() != 5) {
        throw UsageError("--pad takes five values W,H,CAPTION,SMALLICON,COLOR, got \"" +
                         std::string(text) + "\"");
    }
    std::int32_t values[5] = {};
    for (std::size_t i = 0; i < 5; ++i) {
        values[i] = ParseNumber(fields[i], std::string("--pad ") + kFieldNames[i]);
    }
    return PadValues{values[0], values[1], values[2], values[3], values[4]};
}

// A name for the terminal: UTF-8, with any byte that is not Shift-JIS text shown as \xNN.
std::string DisplayName(std::string_view sjis) {
    try {
        return SjisToUtf8(sjis);
    } catch (const CodecError&) {
    }
    static const char digits[] = "0123456789ABCDEF";
    std::string shown;
    for (std::size_t pos = 0; pos < sjis.size();) {
        const std::size_t length = SjisCharLength(sjis, pos);
        const std::string_view ch = sjis.substr(pos, length);
        try {
            shown += SjisToUtf8(ch);
        } catch (const CodecError&) {
            for (const char c : ch) {
                const auto b = static_cast<unsigned char>(c);
                shown += "\\x";
                shown += digits[b >> 4];
                shown += digits[b & 0x0F];
            }
        }
        pos += length;
    }
    return shown;
}

PatternLibrary LoadLibrary(const std::string& file) {
    const std::filesystem::path path = Utf8ToFsPath(file);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        throw Failure("cannot read \"" + file + "\": no such file");
    }
    if (std::filesystem::is_directory(path, ec)) {
        throw Failure("cannot read \"" + file + "\": it is a folder");
    }
    PatternLibrary library;
    LoadPatterns(IniFile::Load(path), library, path);
    return library;
}

// Takes the value of an option given as "--opt VALUE" or "--opt=VALUE".
class ArgScanner {
public:
    explicit ArgScanner(const std::vector<std::string>& args) : args_(args) {}

    bool Done() const { return pos_ >= args_.size(); }
    const std::string& Current() const { return args_[pos_]; }

    // True when the current argument is option `name`; its value goes to `value`.
    bool Option(std::initializer_list<std::string_view> names, std::optional<std::string>& value) {
        const std::string& arg = args_[pos_];
        for (const std::string_view name : names) {
            if (arg == name) {
                if (pos_ + 1 >= args_.size()) {
                    throw UsageError(std::string(name) + " needs a value");
                }
                Store(name, args_[pos_ + 1], value);
                pos_ += 2;
                return true;
            }
            if (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 &&
                arg[name.size()] == '=') {
                Store(name, arg.substr(name.size() + 1), value);
                ++pos_;
                return true;
            }
        }
        return false;
    }
    void Skip() { ++pos_; }

private:
    static void Store(std::string_view name, const std::string& text,
                      std::optional<std::string>& value) {
        if (value) {
            throw UsageError(std::string(name) + " is given twice");
        }
        value = text;
    }
    const std::vector<std::string>& args_;
    std::size_t pos_ = 0;
};

struct RenderArgs {
    std::optional<std::string> File;
    std::optional<std::string> Index;
    std::optional<std::string> Pattern;
    std::optional<std::string> Pad;
    std::optional<std::string> NameHeight;
    std::optional<std::string> Output;
};

RenderArgs ParseRenderArgs(const std::vector<std::string>& args) {
    RenderArgs parsed;
    ArgScanner scan(args);
    while (!scan.Done()) {
        if (scan.Option({"--index"}, parsed.Index) || scan.Option({"--pattern"}, parsed.Pattern) ||
            scan.Option({"--pad"}, parsed.Pad) ||
            scan.Option({"--name-height"}, parsed.NameHeight) ||
            scan.Option({"-o", "--output"}, parsed.Output)) {
            continue;
        }
        const std::string& arg = scan.Current();
        if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("render: unknown option \"" + arg + "\"");
        }
        if (parsed.File) {
            throw UsageError("render takes one FILE, got \"" + *parsed.File + "\" and \"" + arg +
                             "\"");
        }
        parsed.File = arg;
        scan.Skip();
    }
    if (!parsed.File) {
        throw UsageError("render: no FILE given");
    }
    if (parsed.Index.has_value() == parsed.Pattern.has_value()) {
        throw UsageError("render needs exactly one of --index and --pattern");
    }
    if (!parsed.Pad) {
        throw UsageError("render: no --pad given");
    }
    if (!parsed.Output) {
        throw UsageError("render: no output file given (-o OUT.bmp)");
    }
    return parsed;
}

int Render(const std::vector<std::string>& args, std::ostream& out) {
    if (WantsHelp(args)) {
        out << kRenderHelp;
        return kExitOk;
    }
    const RenderArgs parsed = ParseRenderArgs(args);
    // Every argument is checked before any file is touched.
    const PadValues pad = ParsePad(*parsed.Pad);
    std::optional<std::int32_t> index;
    if (parsed.Index) {
        index = ParseNumber(*parsed.Index, "--index");
        if (*index < 0) {
            throw UsageError("--index counts from 0, got " + *parsed.Index);
        }
    }
    std::optional<std::int32_t> nameHeight;
    if (parsed.NameHeight) {
        nameHeight = ParseNumber(*parsed.NameHeight, "--name-height");
    }

    const PatternLibrary library = LoadLibrary(*parsed.File);
    int found = -1;
    if (index) {
        if (*index >= library.Count()) {
            throw Failure("\"" + *parsed.File + "\" has " + std::to_string(library.Count()) +
                          " patterns, no index " + std::to_string(*index));
        }
        found = *index;
    } else {
        std::string wanted;
        try {
            wanted = Utf8ToSjis(*parsed.Pattern);
        } catch (const CodecError& e) {
            throw Failure("pattern name \"" + *parsed.Pattern + "\": " + e.what());
        }
        for (int i = 0; i < library.Count() && found < 0; ++i) {
            if (library.Name(i) == wanted) {
                found = i;
            }
        }
        if (found < 0) {
            throw Failure("\"" + *parsed.File + "\" has no pattern named \"" + *parsed.Pattern +
                          "\" (see pelmora list)");
        }
    }

    TPadInfo info;
    if (nameHeight) {
        info = DerivePadInfo(pad, *nameHeight);
    } else {
        try {
            info = DerivePadInfo(pad);
        } catch (const std::runtime_error& e) {
            throw Failure(std::string(e.what()) + " (give the name height with --name-height T)");
        }
    }
    const Bitmap24 cell = DrawWallpaper(library.Pattern(found), info);
    if (*parsed.Output == "-") {
        const std::string bytes = EncodeBmp(cell);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            throw Failure("cannot write the BMP to standard output");
        }
    } else {
        SaveBmp(cell, Utf8ToFsPath(*parsed.Output), WriteTarget::RegularFileOrStream);
    }
    return kExitOk;
}

int List(const std::vector<std::string>& args, std::ostream& out) {
    if (WantsHelp(args)) {
        out << kListHelp;
        return kExitOk;
    }
    if (args.size() != 1) {
        throw UsageError("list takes one FILE");
    }
    if (args[0].size() > 1 && args[0][0] == '-') {
        throw UsageError("list: unknown option \"" + args[0] + "\"");
    }
    const PatternLibrary library = LoadLibrary(args[0]);
    for (int i = 0; i < library.Count(); ++i) {
        out << DisplayName(library.Name(i)) << '\n';
    }
    return kExitOk;
}

} // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        if (args.empty()) {
            throw UsageError("no command given (try pelmora --help)");
        }
        const std::string& command = args[0];
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        if (IsHelp(command)) {
            out << kMainHelp;
            return kExitOk;
        }
        if (command == "--version") {
            out << "pelmora " << PELMORA_VERSION << '\n';
            return kExitOk;
        }
        if (command == "render") {
            return Render(rest, out);
        }
        if (command == "list") {
            return List(rest, out);
        }
        throw UsageError("unknown command \"" + command + "\" (try pelmora --help)");
    } catch (const UsageError& e) {
        err << "pelmora: " << e.what() << '\n';
        return kExitUsage;
    } catch (const std::exception& e) {
        err << "pelmora: " << e.what() << '\n';
        return kExitFailure;
    }
}

} // namespace pelmora::cli
