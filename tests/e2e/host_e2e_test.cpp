// The real stand-in host loading the real module: the main job from the
// command line, checked against the command-line renderer.
#include "platform/bmp.h"
#include "platform/cp932.h"
#include "platform/inifile.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace pelmora::e2e {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int Status = -1;
    std::string Output; // stdout and stderr together
};

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// The launcher cancels a dialog that does not respond within 20 s; a command
// that still does not finish is stopped, so no test can hang on one.
constexpr int kCommandLimitSeconds = 120;

Outcome RunCommand(const std::string& command) {
    Outcome outcome;
    const std::string bounded = "timeout -k 5 " + std::to_string(kCommandLimitSeconds) + " sh -c " +
                                Quote(command + " 2>&1");
    FILE* pipe = popen(bounded.c_str(), "r");
    if (pipe == nullptr) {
        return outcome;
    }
    std::array<char, 4096> chunk;
    std::size_t read;
    while ((read = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) {
        outcome.Output.append(chunk.data(), read);
    }
    const int status = pclose(pipe);
    outcome.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (outcome.Status == 124 || outcome.Status == 137) {
        outcome.Output += "\n(did not finish within " + std::to_string(kCommandLimitSeconds) +
                          " s: " + command + ")";
    }
    return outcome;
}

struct Pad {
    int Id;
    std::string Width, Height, Caption, SmallIcon, Color;
};

const Pad kPads[] = {
    {1, "80", "60", "1", "0", "$8000000F"},
    {2, "120", "40", "2", "1", "$00204080"},
    {3, "48", "48", "0", "0", "$0000C0FF"},
};

class HostEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/pelmora-e2e-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        dir_ = name;
        pads_ = dir_ / "pads.ini";
        settings_ = dir_ / "settings.ini";
        std::ofstream out(pads_, std::ios::binary);
        for (const Pad& pad : kPads) {
            out << "[" << pad.Id << "]\r\nBtnWidth=" << pad.Width << "\r\nBtnHeight=" << pad.Height
                << "\r\nBtnCaption=" << pad.Caption << "\r\nBtnSmallIcon=" << pad.SmallIcon
                << "\r\nBtnColor=" << pad.Color << "\r\nWallPaper=\r\n\r\n";
        }
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    Outcome Host(const std::string& command) {
        return RunCommand(Quote(PELMORA_HOST_EXE) + " run --pads " + Quote(pads_.string()) +
                          " --settings " + Quote(settings_.string()) + " --module " +
                          Quote(PELMORA_MODULE_FILE) + " " + command);
    }

    IniFile PadFile() const { return IniFile::Load(pads_); }

    fs::path dir_;
    fs::path pads_;
    fs::path settings_;
};

TEST_F(HostEndToEnd, MenuListsTheStoredPatterns) {
    fs::copy_file(fs::path(PELMORA_SAMPLES_DIR) / "basic.ptn", settings_);
    const Outcome menu = Host("menu");
    ASSERT_EQ(menu.Status, 0) << menu.Output;
    EXPECT_NE(menu.Output.find("0: Pelmora(&D)\n1: &1. "), std::string::npos) << menu.Output;
    EXPECT_NE(menu.Output.find(": パターンのインポート(&I)\n"), std::string::npos);
    EXPECT_NE(menu.Output.find(": パターンの詳細編集(&E)...\n"), std::string::npos);
    // The end of the run rewrote the settings file with a "Main" section first.
    EXPECT_EQ(IniFile::Load(settings_).Sections().front().Name, "Main");
}

TEST_F(HostEndToEnd, ClickPaintsWhatTheRendererPaints) {
    for (const char* sample : {"basic.ptn", "gradients.ptn"}) {
        fs::copy_file(fs::path(PELMORA_SAMPLES_DIR) / sample, settings_,
                      fs::copy_options::overwrite_existing);
        const int count =
            static_cast<int>(IniFile::Load(settings_).Sections().size()); // no "Main" yet
        ASSERT_GT(count, 0);
        for (int index = 0; index < count; ++index) {
            for (const Pad& pad : kPads) {
                SCOPED_TRACE(std::string(sample) + " pattern " + std::to_string(index) + " pad " +
                             std::to_string(pad.Id));
                const fs::path reference = dir_ / "reference.bmp";
                const std::string padSpec = pad.Width + "," + pad.Height + "," + pad.Caption + "," +
                                            pad.SmallIcon + "," + pad.Color;
                const Outcome render =
                    RunCommand(Quote(PELMORA_CLI_EXE) + " render " +
                               Quote((fs::path(PELMORA_SAMPLES_DIR) / sample).string()) +
                               " --index " + std::to_string(index) + " --pad " + Quote(padSpec) +
                               " -o " + Quote(reference.string()));
                ASSERT_EQ(render.Status, 0) << render.Output;

                const Outcome click =
                    Host("click " + std::to_string(index + 1) + " --pad " + std::to_string(pad.Id));
                ASSERT_EQ(click.Status, 0) << click.Output;
                const fs::path wallpaper = dir_ / "settings.bmp";
                EXPECT_EQ(PadFile().Value(std::to_string(pad.Id), "WallPaper"), wallpaper.string());
                const Bitmap24 painted = LoadBmp(wallpaper);
                EXPECT_EQ(painted.Width(), std::stoi(pad.Width) + 4);
                EXPECT_EQ(painted.Height(), std::stoi(pad.Height) + 4);
                EXPECT_EQ(painted, LoadBmp(reference));
            }
        }
    }
}

TEST_F(HostEndToEnd, ImportThroughTheFileDialogAddsThePatterns) {
    const fs::path sample = fs::path(PELMORA_SAMPLES_DIR) / "basic.ptn";
    const Outcome first = Host("import " + Quote(sample.string()));
    ASSERT_EQ(first.Status, 0) << first.Output;
    EXPECT_NE(first.Output.find("dialog: パターンファイルの指定\n"), std::string::npos)
        << first.Output;
    EXPECT_EQ(first.Output.find("dialog: パターンファイルの指定\n"),
              first.Output.rfind("dialog: パターンファイルの指定\n"))
        << "answered at the first showing\n"
        << first.Output;
    EXPECT_NE(first.Output.find("をインポートしました。"), std::string::npos) << first.Output;
    const Outcome second = Host("import " + Quote(sample.string()));
    ASSERT_EQ(second.Status, 0) << second.Output;

    const IniFile sampleFile = IniFile::Load(sample);
    const IniFile settings = IniFile::Load(settings_);
    const std::size_t patterns = sampleFile.Sections().size();
    ASSERT_EQ(settings.Sections().size(), 1 + 2 * patterns);
    const std::string firstName = *sampleFile.Value(sampleFile.Sections()[0].Name, "Name");
    EXPECT_EQ(settings.Value("0", "Name"), firstName);
    EXPECT_EQ(settings.Value(std::to_string(patterns), "Name"), firstName + "2");
    EXPECT_EQ(settings.Value("Main", "ImportDir"), sample.parent_path().string() + "/");
}

// The file dialog refuses a file that is not there, in Japanese; the launcher
// then cancels it and the import answers false.
TEST_F(HostEndToEnd, ImportOfAMissingFileIsRefusedByTheDialog) {
    const Outcome import = Host("import " + Quote((dir_ / "missing.ptn").string()));
    EXPECT_EQ(import.Status, 2) << import.Output;
    EXPECT_NE(import.Output.find("message: missing.ptn\nファイルが見つかりません。"),
              std::string::npos)
        << import.Output;
    EXPECT_NE(import.Output.find("refused the file (cancelled)\nimport: false\n"),
              std::string::npos)
        << import.Output;
}

TEST_F(HostEndToEnd, WallpaperThatCannotBeWrittenIsShownAndThePadKept) {
    fs::copy_file(fs::path(PELMORA_SAMPLES_DIR) / "basic.ptn", settings_);
    fs::create_directory(dir_ / "settings.bmp");
    const Outcome click = Host("click 1 --pad 1");
    EXPECT_EQ(click.Status, 2) << click.Output;
    EXPECT_NE(click.Output.find("message: ファイル \"" + (dir_ / "settings.bmp").string() +
                                "\" に書き込めません。フォルダーです。"),
              std::string::npos)
        << click.Output;
    EXPECT_EQ(PadFile().Value("1", "WallPaper"), "");
}

// As root, `pelmora render ... -o /dev/stdout | wc -c` replaced the
// machine's /dev/stdout link with a file and sent nothing down the pipe. The
// test goes through a link of its own to /dev/stdout, so a fault cannot touch
// the machine's.
TEST_F(HostEndToEnd, TheRendererWritesIntoStandardOutput) {
    fs::create_symlink("/dev/stdout", dir_ / "stdout");
    const std::string render = Quote(PELMORA_CLI_EXE) + " render " +
                               Quote((fs::path(PELMORA_SAMPLES_DIR) / "basic.ptn").string()) +
                               " --index 0 --pad 80,60,1,0,0 --name-height 12 -o ";
    ASSERT_EQ(RunCommand(render + Quote((dir_ / "cell.bmp").string())).Status, 0);
    std::ifstream file(dir_ / "cell.bmp", std::ios::binary);
    const std::string bmp((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    for (const std::string& output : {(dir_ / "stdout").string(), std::string("-")}) {
        const Outcome piped = RunCommand(render + Quote(output) + " | cat");
        EXPECT_EQ(piped.Status, 0) << output;
        EXPECT_EQ(piped.Output, bmp) << output;
    }
    EXPECT_TRUE(fs::is_symlink(dir_ / "stdout"));
}

// `--settings /dev/null` had an INI file renamed over it at the end.
TEST_F(HostEndToEnd, ASettingsFileThatIsAPipeIsRefusedAndKept) {
    ASSERT_EQ(::mkfifo(settings_.c_str(), 0600), 0);
    const Outcome menu = Host("menu");
    EXPECT_NE(menu.Status, 0);
    EXPECT_NE(menu.Output.find("message: ファイル \"" + settings_.string() +
                               "\" を読み込めません。装置、パイプ、ソケットなど、通常のファイルでは"
                               "ありません。"),
              std::string::npos)
        << menu.Output;
    EXPECT_EQ(fs::status(settings_).type(), fs::file_type::fifo);
}

// The signals a process catches, from /proc; 0 once it is gone.
std::uint64_t CaughtSignals(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("SigCgt:", 0) == 0) {
            return std::stoull(line.substr(7), nullptr, 16);
        }
    }
    return 0;
}

// Polls `done` every few milliseconds until it holds or `seconds` pass.
bool WaitFor(const std::function<bool()>& done, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// Ctrl+C in the terminal closes the launcher's window as its user would: the
// plug-in ends and writes its settings file, which was not there before.
TEST_F(HostEndToEnd, CtrlCClosesTheWindowAndEndsThePlugIn) {
    const std::string program = PELMORA_HOST_EXE;
    std::vector<std::string> words = {program,
                                      "--pads",
                                      pads_.string(),
                                      "--settings",
                                      settings_.string(),
                                      "--module",
                                      PELMORA_MODULE_FILE,
                                      "gui"};
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    ASSERT_EQ(::setenv("QT_QPA_PLATFORM", "offscreen", 1), 0);
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ), 0);
    const bool up =
        WaitFor([&] { return (CaughtSignals(pid) & (std::uint64_t{1} << (SIGINT - 1))) != 0; },
                kCommandLimitSeconds);
    int status = -1;
    const auto exited = [&] { return ::waitpid(pid, &status, WNOHANG) == pid; };
    if (up) {
        ::kill(pid, SIGINT);
    }
    if (!up || !WaitFor(exited, kCommandLimitSeconds)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        FAIL() << (up ? "the window did not close on Ctrl+C" : "the window did not come up");
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(fs::exists(settings_)) << "the plug-in ended";
}

TEST_F(HostEndToEnd, OnlyTheClickedPadChanges) {
    fs::copy_file(fs::path(PELMORA_SAMPLES_DIR) / "basic.ptn", settings_);
    const Outcome click = Host("click 1 --pad 2");
    ASSERT_EQ(click.Status, 0) << click.Output;
    const IniFile pads = PadFile();
    EXPECT_EQ(pads.Value("1", "WallPaper"), "");
    EXPECT_EQ(pads.Value("2", "WallPaper"), (dir_ / "settings.bmp").string());
    EXPECT_EQ(pads.Value("3", "WallPaper"), "");
    EXPECT_EQ(LoadBmp(dir_ / "settings.bmp").Width(), 124);
}

// Handles come from the pads' places in the file, so the lowest and highest
// numbers, and -1, are pads like any other: each click reaches its own pad.
TEST_F(HostEndToEnd, EveryPadNumberReachesItsOwnPad) {
    const std::vector<std::string> numbers = {"-1", "2147483647", "-2147483648", "0"};
    {
        std::ofstream out(pads_, std::ios::binary | std::ios::trunc);
        for (const std::string& number : numbers) {
            out << "[" << number << "]\r\nBtnWidth=80\r\nBtnHeight=60\r\nWallPaper=\r\n";
        }
    }
    fs::copy_file(fs::path(PELMORA_SAMPLES_DIR) / "basic.ptn", settings_);
    const std::string wallpaper = (dir_ / "settings.bmp").string();
    for (std::size_t clicked = 0; clicked < numbers.size(); ++clicked) {
        const Outcome click = Host("click 1 --pad " + numbers[clicked]);
        ASSERT_EQ(click.Status, 0) << click.Output;
        const IniFile pads = PadFile();
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            EXPECT_EQ(pads.Value(numbers[i], "WallPaper"), i <= clicked ? wallpaper : "")
                << "after a click on pad " << numbers[clicked] << ", pad " << numbers[i];
        }
    }
}

// The plug-in rewrites its settings file at the end, so one file for both
// would lose every pad: refused however the two names reach the same file,
// before anything is read or written.
TEST_F(HostEndToEnd, OneFileForPadsAndSettingsIsRefused) {
    std::ifstream in(pads_, std::ios::binary);
    const std::string padText{std::istreambuf_iterator<char>(in), {}};
    fs::create_directory(dir_ / "sub");
    fs::create_symlink(pads_, dir_ / "link.ini");
    fs::create_hard_link(pads_, dir_ / "hard.ini");
    const std::string module = " --module " + Quote(PELMORA_MODULE_FILE) + " menu";
    const std::string host = Quote(PELMORA_HOST_EXE);
    const std::string pads = Quote(pads_.string());
    const fs::path home = dir_ / "home";
    const fs::path data = home / ".local" / "share" / "tavrin-host";
    for (const std::string& command : {
             host + " --pads " + pads + " --settings " + pads + module,
             host + " --pads " + pads + " --settings " +
                 Quote((dir_ / "sub/../pads.ini").string()) + module,
             "cd " + Quote(dir_.string()) + " && " + host + " --pads ./pads.ini --settings " +
                 pads + module,
             host + " --pads " + pads + " --settings " + Quote((dir_ / "link.ini").string()) +
                 module,
             host + " --pads " + pads + " --settings " + Quote((dir_ / "hard.ini").string()) +
                 module,
             // The data folder's pad file named as the settings file.
             "env -u XDG_DATA_HOME HOME=" + Quote(home.string()) + " " + host + " --settings " +
                 Quote((data / "pads.ini").string()) + module,
         }) {
        const Outcome outcome = RunCommand(command);
        EXPECT_EQ(outcome.Status, 1) << command << "\n" << outcome.Output;
        EXPECT_NE(outcome.Output.find("--pads and --settings name the same file"),
                  std::string::npos)
            << command << "\n"
            << outcome.Output;
    }
    std::ifstream after(pads_, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(after), {}), padText);
    EXPECT_FALSE(fs::exists(data)) << "nothing seeded";
}

TEST_F(HostEndToEnd, ItemsTheMenuDoesNotShowAnswerFalse) {
    fs::copy_file(fs::path(PELMORA_SAMPLES_DIR) / "basic.ptn", settings_);
    for (const char* item : {"0", "5", "99"}) {
        const Outcome click = Host(std::string("click ") + item + " --pad 1");
        EXPECT_EQ(click.Status, 2) << item << click.Output;
    }
    EXPECT_FALSE(fs::exists(dir_ / "settings.bmp"));
}

TEST_F(HostEndToEnd, CommandLineMistakesAreExplained) {
    struct Case {
        std::string Arguments;
        std::string Says;
    };
    for (const Case& c :
         {Case{"click 1 --pad 7", "there is no pad 7"},
          Case{"click 1 --pad", "--pad needs a value"}, Case{"click", "wrong number of arguments"},
          Case{"paint", "unknown command"}, Case{"click x --pad 1", "ITEM must be a number"}}) {
        const Outcome outcome = Host(c.Arguments);
        EXPECT_EQ(outcome.Status, 1) << c.Arguments;
        EXPECT_NE(outcome.Output.find(c.Says), std::string::npos) << outcome.Output;
    }
}

// --help anywhere shows the usage and runs nothing, also beside a mistake.
TEST_F(HostEndToEnd, HelpAnywhereShowsTheUsageAndRunsNothing) {
    for (const char* arguments : {"--help", "-h", "menu --help", "click 1 --help --pad 1",
                                  "click 1 --pad 1 -h", "paint --help", "--pads --help"}) {
        const Outcome bare = RunCommand(Quote(PELMORA_HOST_EXE) + " " + arguments);
        EXPECT_EQ(bare.Status, 0) << arguments << "\n" << bare.Output;
        EXPECT_EQ(bare.Output.rfind("Usage: tavrin-host", 0), 0u) << arguments << bare.Output;
        const Outcome withFiles = Host(arguments);
        EXPECT_EQ(withFiles.Status, 0) << arguments << "\n" << withFiles.Output;
        EXPECT_EQ(withFiles.Output, bare.Output) << arguments;
    }
    EXPECT_FALSE(fs::exists(settings_)) << "the plug-in was never started";
    EXPECT_EQ(PadFile().Value("1", "WallPaper"), "");
}

// Both programs tell the project's one version.
TEST_F(HostEndToEnd, BothProgramsTellTheVersion) {
    const Outcome host = RunCommand(Quote(PELMORA_HOST_EXE) + " --version");
    EXPECT_EQ(host.Status, 0);
    EXPECT_EQ(host.Output, std::string("tavrin-host ") + PELMORA_VERSION + " (Pelmora)\n");
    const Outcome cli = RunCommand(Quote(PELMORA_CLI_EXE) + " --version");
    EXPECT_EQ(cli.Status, 0);
    EXPECT_EQ(cli.Output, std::string("pelmora ") + PELMORA_VERSION + "\n");
}

TEST_F(HostEndToEnd, MissingModuleIsAClearError) {
    const Outcome outcome = RunCommand(
        Quote(PELMORA_HOST_EXE) + " run --pads " + Quote(pads_.string()) + " --settings " +
        Quote(settings_.string()) + " --module " + Quote((dir_ / "none.trx").string()) + " menu");
    EXPECT_EQ(outcome.Status, 1);
    EXPECT_NE(outcome.Output.find("cannot load the plug-in"), std::string::npos) << outcome.Output;
    EXPECT_FALSE(fs::exists(settings_));
}

// The short command line: no "run", the files from the data folder, which a
// first run fills with two pads and the bundled samples.
TEST_F(HostEndToEnd, FirstRunSeedsTheDataFolderAndTheShortFormsWork) {
    const fs::path home = dir_ / "home";
    fs::create_directory(home);
    const auto host = [&](const std::string& command) {
        return RunCommand("env -u XDG_DATA_HOME HOME=" + Quote(home.string()) + " " +
                          Quote(PELMORA_HOST_EXE) + " --module " + Quote(PELMORA_MODULE_FILE) +
                          " " + command);
    };
    const Outcome name = host("name");
    ASSERT_EQ(name.Status, 0) << name.Output;
    EXPECT_NE(name.Output.find("created"), std::string::npos) << name.Output;
    EXPECT_NE(name.Output.find("Pelmora\n"), std::string::npos) << name.Output;
    const fs::path data = home / ".local" / "share" / "tavrin-host";
    const IniFile pads = IniFile::Load(data / "pads.ini");
    ASSERT_EQ(pads.Sections().size(), 2u);
    EXPECT_EQ(pads.Value("1", "WallPaper"), "");

    const Outcome explanation = host("explanation");
    ASSERT_EQ(explanation.Status, 0) << explanation.Output;
    EXPECT_NE(explanation.Output.find("ボタンサイズに従って"), std::string::npos);
    EXPECT_EQ(explanation.Output.find("created"), std::string::npos) << "seeded only once";
    EXPECT_EQ(explanation.Output.find('\r'), std::string::npos);

    const Outcome menu = host("menu");
    ASSERT_EQ(menu.Status, 0) << menu.Output;
    for (const char* shown : {"1: &1. 標準ボタン\n", ". 青空\n", ". 夜桜\n"}) {
        EXPECT_NE(menu.Output.find(shown), std::string::npos) << shown << menu.Output;
    }

    const Outcome click = host("click 1"); // the first pad by default
    ASSERT_EQ(click.Status, 0) << click.Output;
    const fs::path wallpaper = data / "Pelmora.bmp";
    EXPECT_EQ(IniFile::Load(data / "pads.ini").Value("1", "WallPaper"), wallpaper.string());
    EXPECT_EQ(LoadBmp(wallpaper).Width(), 84);
    const Outcome second = host("click 1 --pad 2");
    ASSERT_EQ(second.Status, 0) << second.Output;
    EXPECT_EQ(LoadBmp(wallpaper).Width(), 124);
}

TEST_F(HostEndToEnd, ExplicitFilesWithoutTheRunWord) {
    fs::copy_file(fs::path(PELMORA_SAMPLES_DIR) / "showcase.ptn", settings_);
    const Outcome click = RunCommand(
        Quote(PELMORA_HOST_EXE) + " --settings " + Quote(settings_.string()) + " --pads " +
        Quote(pads_.string()) + " --module " + Quote(PELMORA_MODULE_FILE) + " click 2");
    ASSERT_EQ(click.Status, 0) << click.Output;
    EXPECT_EQ(PadFile().Value("1", "WallPaper"), (dir_ / "settings.bmp").string());
    EXPECT_EQ(PadFile().Value("2", "WallPaper"), "");
}

} // namespace
} // namespace pelmora::e2e
