#include "cli/commands.h"
#include "pattern/Pattern.h"
#include "platform/bmp.h"
#include "platform/syscolors.h"
#include "platform_tempdir.h"
#ifndef _WIN32
#include "tests/support/InChild.h"
#endif

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace pelmora {
namespace {

struct Outcome {
    int Code;
    std::string Out;
    std::string Err;
};

Outcome RunCli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = cli::Run(args, out, err);
    return {code, out.str(), err.str()};
}

std::string Sample(const char* name) {
    return std::string(PELMORA_SAMPLES_DIR) + "/" + name;
}

constexpr TColor Grey(int v) {
    return Rgb(v, v, v);
}

// A one-line error that names the program.
void ExpectError(const Outcome& o, int code, const std::string& fragment) {
    EXPECT_EQ(o.Code, code) << o.Err;
    EXPECT_EQ(o.Out, "");
    EXPECT_EQ(o.Err.rfind("pelmora: ", 0), 0u) << o.Err;
    EXPECT_EQ(o.Err.find('\n'), o.Err.size() - 1) << o.Err;
    EXPECT_NE(o.Err.find(fragment), std::string::npos) << o.Err;
}

class CliRender : public ::testing::Test {
protected:
    testing::TempDir dir_;
    std::string Out(const char* name = "cell.bmp") { return (dir_ / name).string(); }

    Bitmap24 Render(const std::vector<std::string>& args) {
        std::vector<std::string> all = {"render"};
        all.insert(all.end(), args.begin(), args.end());
        all.push_back("-o");
        all.push_back(Out());
        const Outcome o = RunCli(all);
        EXPECT_EQ(o.Code, 0) << o.Err;
        EXPECT_EQ(o.Err, "");
        return LoadBmp(Out());
    }
};

TEST(CliUsage, Help) {
    const Outcome main = RunCli({"--help"});
    EXPECT_EQ(main.Code, 0);
    EXPECT_NE(main.Out.find("render"), std::string::npos);
    EXPECT_NE(main.Out.find("list"), std::string::npos);
    const Outcome render = RunCli({"render", "--help"});
    EXPECT_EQ(render.Code, 0);
    EXPECT_NE(render.Out.find("--pad W,H,CAPTION,SMALLICON,COLOR"), std::string::npos);
    const Outcome list = RunCli({"list", "--help"});
    EXPECT_EQ(list.Code, 0);
    EXPECT_NE(list.Out.find("pelmora list FILE"), std::string::npos);
}

TEST(CliUsage, BadCommandLines) {
    const std::string file = Sample("basic.ptn");
    ExpectError(RunCli({}), 2, "no command");
    ExpectError(RunCli({"paint"}), 2, "unknown command \"paint\"");
    ExpectError(RunCli({"list"}), 2, "one FILE");
    ExpectError(RunCli({"render", file, "--pad", "80,60,1,0,0", "-o", "x.bmp"}), 2, "--index");
    ExpectError(RunCli({"render", file, "--index", "0", "--pattern", "a", "--pad", "1,1,1,1,1",
                        "-o", "x.bmp"}),
                2, "exactly one");
    ExpectError(RunCli({"render", file, "--index", "0", "-o", "x.bmp"}), 2, "--pad");
    ExpectError(RunCli({"render", file, "--index", "0", "--pad", "1,1,1,1,1"}), 2, "output");
    ExpectError(RunCli({"render", file, "--index"}), 2, "--index needs a value");
    ExpectError(RunCli({"render", file, "--frame", "1"}), 2, "unknown option \"--frame\"");
    ExpectError(RunCli({"render", "--index", "0", "--pad", "1,1,1,1,1", "-o", "x.bmp"}), 2, "FILE");
}

TEST(CliUsage, BadNumbers) {
    const std::string file = Sample("basic.ptn");
    const auto render = [&](const std::string& index, const std::string& pad,
                            const std::string& height) {
        return RunCli({"render", file, "--index", index, "--pad", pad, "--name-height", height,
                       "-o", "never.bmp"});
    };
    ExpectError(render("x", "80,60,1,0,0", "12"), 2, "--index");
    ExpectError(render("-1", "80,60,1,0,0", "12"), 2, "--index");
    ExpectError(render("0", "80,60,1,0", "12"), 2, "five values");
    ExpectError(render("0", "80,60,1,0,0,0", "12"), 2, "five values");
    ExpectError(render("0", "80,6o,1,0,0", "12"), 2, "\"6o\"");
    ExpectError(render("0", "80,60,1,0,", "12"), 2, "colour");
    ExpectError(render("0", "80,60,1,0,0", "1.5"), 2, "--name-height");
    ExpectError(render("0", "99999999999,60,1,0,0", "12"), 2, "width");
}

TEST_F(CliRender, Failures) {
    ExpectError(RunCli({"render", (dir_ / "missing.ptn").string(), "--index", "0", "--pad",
                        "80,60,1,0,0", "-o", Out()}),
                1, "no such file");
    ExpectError(RunCli({"list", (dir_ / "missing.ptn").string()}), 1, "no such file");
    ExpectError(RunCli({"list", dir_.Path().string()}), 1, "folder");
    ExpectError(RunCli({"render", Sample("basic.ptn"), "--pattern", "なし", "--pad", "80,60,1,0,0",
                        "-o", Out()}),
                1, "no pattern named \"なし\"");
    ExpectError(RunCli({"render", Sample("basic.ptn"), "--index", "4", "--pad", "80,60,1,0,0", "-o",
                        Out()}),
                1, "has 4 patterns");
    ExpectError(RunCli({"render", Sample("basic.ptn"), "--index", "0", "--pad", "9000,60,1,0,0",
                        "--name-height", "12", "-o", Out()}),
                1, "8192");
    ExpectError(RunCli({"render", Sample("basic.ptn"), "--index", "0", "--pad", "80,60,1,0,0",
                        "--name-height", "12", "-o", (dir_ / "no" / "such" / "dir.bmp").string()}),
                1, "dir.bmp");
    EXPECT_EQ(testing::EntryCount(dir_.Path()), 0u); // nothing half-written
}

TEST(CliList, NamesInFileOrderAsUtf8) {
    const Outcome basic = RunCli({"list", Sample("basic.ptn")});
    EXPECT_EQ(basic.Code, 0) << basic.Err;
    EXPECT_EQ(basic.Out, "標準ボタン\n厚い枠\n赤いアイコン枠\n夕暮れ\n");
    const Outcome gradients = RunCli({"list", Sample("gradients.ptn")});
    EXPECT_EQ(gradients.Out, "アイコンの光\n四隅\n放射状\n円弧\n");
}

TEST_F(CliRender, ListShowsNumberedNamesAndUndecodableBytes) {
    testing::WriteRaw(dir_ / "odd.ptn",
                      "[1]\r\nName=A\r\n[2]\r\nName=A\r\n[3]\r\nName=B\x81 C\r\n");
    const Outcome o = RunCli({"list", (dir_ / "odd.ptn").string()});
    EXPECT_EQ(o.Code, 0) << o.Err;
    EXPECT_EQ(o.Out, "A\nA2\nB\\x81\\x20C\n");
}

TEST_F(CliRender, PlainButtonWithBevel) {
    // Button face (240) with one bevel: highlight (255) left and top, shadow (160)
    // right and bottom.
    const Bitmap24 cell = Render({Sample("basic.ptn"), "--index", "0", "--pad",
                                  "80,60,1,0,0x8000000F", "--name-height", "12"});
    Bitmap24 expected(84, 64, Grey(240));
    expected.FillRect({0, 0, 1, 64}, Grey(255));
    expected.FillRect({0, 0, 83, 1}, Grey(255));
    expected.FillRect({83, 0, 84, 64}, Grey(160));
    expected.FillRect({1, 63, 84, 64}, Grey(160));
    EXPECT_TRUE(cell == expected);
}

TEST_F(CliRender, ThickFrameByName) {
    // Button colour red 0x80, green 0x40, blue 0x20; light halfway to white,
    // shadow half as bright; three nested bevels.
    const Bitmap24 cell =
        Render({Sample("basic.ptn"), "--pattern", "厚い枠", "--pad", "40,30,0,0,$204080"});
    const TColor face = Rgb(0x80, 0x40, 0x20);
    const TColor light = Rgb(0xBF, 0x9F, 0x8F);
    const TColor shadow = Rgb(0x40, 0x20, 0x10);
    Bitmap24 expected(44, 34, face);
    for (int i = 0; i < 3; ++i) {
        expected.FillRect({i, i, i + 1, 34 - i}, light);
        expected.FillRect({i, i, 43 - i, i + 1}, light);
        expected.FillRect({43 - i, i, 44 - i, 34 - i}, shadow);
        expected.FillRect({i + 1, 33 - i, 44 - i, 34 - i}, shadow);
    }
    EXPECT_TRUE(cell == expected);
}

TEST_F(CliRender, RedIconFrame) {
    // Icon (26, 8, 32, 32) grown by one: (25, 7)-(59, 41), two pixels thick.
    const Bitmap24 cell =
        Render({Sample("basic.ptn"), "--index=2", "--pad=80,60,1,0,16777215", "--name-height=12"});
    Bitmap24 expected(84, 64, Grey(255));
    expected.FillRect({25, 7, 59, 41}, Rgb(255, 0, 0));
    expected.FillRect({27, 9, 57, 39}, Grey(255));
    EXPECT_TRUE(cell == expected);
}

TEST_F(CliRender, ShiftedButtonColours) {
    // Lumi -3 with BtnColTrim: face 240 -> 168, highlight 255 -> 178, shadow
    // 160 -> 113; two nested bevels.
    const Bitmap24 cell = Render({Sample("basic.ptn"), "--pattern", "夕暮れ", "--pad",
                                  "80,60,1,0,0x8000000F", "--name-height", "12"});
    ASSERT_EQ(cell.Width(), 84);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(cell.Pixel(i, 30), Grey(178));
        EXPECT_EQ(cell.Pixel(40, i), Grey(178));
        EXPECT_EQ(cell.Pixel(83 - i, 30), Grey(113));
        EXPECT_EQ(cell.Pixel(40, 63 - i), Grey(113));
    }
    EXPECT_EQ(cell.Pixel(83, 0), Grey(113));
    EXPECT_EQ(cell.Pixel(0, 63), Grey(178));
    EXPECT_EQ(cell.Pixel(10, 20), Grey(168));
    // The name area (2, 44, 80, 12) holds the shifted gradient.
    EXPECT_NE(cell.Pixel(2, 44), Grey(168));
}

TEST_F(CliRender, GradientSamples) {
    const std::string file = Sample("gradients.ptn");
    // Icon (26, 8, 32, 32) grown by 2 with a ramp from white (top row) to
    // red 0x40, green 0x80, blue 0xC0 (bottom row).
    const Bitmap24 glow =
        Render({file, "--index", "0", "--pad", "80,60,1,0,0x8000000F", "--name-height", "12"});
    for (int x = 24; x < 60; ++x) {
        EXPECT_EQ(glow.Pixel(x, 6), Grey(255)) << x;
        EXPECT_EQ(glow.Pixel(x, 41), Rgb(0x40, 0x80, 0xC0)) << x;
    }
    EXPECT_EQ(glow.Pixel(23, 20), Grey(240));

    // The name frame of the arc sample is grey 128, one pixel wide round (2, 44, 80, 12).
    const Bitmap24 arc =
        Render({file, "--pattern", "円弧", "--pad", "80,60,1,0,0", "--name-height", "12"});
    for (int x = 2; x < 82; ++x) {
        EXPECT_EQ(arc.Pixel(x, 44), Grey(128)) << x;
        EXPECT_EQ(arc.Pixel(x, 55), Grey(128)) << x;
    }
    EXPECT_NE(arc.Pixel(10, 50), Grey(128));

    for (const char* index : {"1", "2"}) {
        const Bitmap24 cell =
            Render({file, "--index", index, "--pad", "33,21,2,1,0", "--name-height", "12"});
        EXPECT_EQ(cell.Width(), 37);
        EXPECT_EQ(cell.Height(), 25);
    }
}

TEST_F(CliRender, NameHeightMovesTheNameArea) {
    const Bitmap24 a = Render(
        {Sample("basic.ptn"), "--index", "3", "--pad", "70,50,1,1,$C08040", "--name-height", "15"});
    EXPECT_EQ(a.Width(), 74);
    EXPECT_EQ(a.Height(), 54);
    const Bitmap24 b = Render(
        {Sample("basic.ptn"), "--index", "3", "--pad", "70,50,1,1,$C08040", "--name-height", "9"});
    EXPECT_FALSE(a == b);
}

// `-o /dev/stdout` into a pipe replaced the machine's /dev/stdout link with a
// file and sent nothing down the pipe. "-" is standard output; a link to a
// pipe reaches the pipe.
TEST_F(CliRender, OutputsToStandardOutputAndIntoPipes) {
    const std::vector<std::string> args = {"render", Sample("basic.ptn"), "--index", "1",
                                           "--pad",  "40,30,0,0,0",       "-o"};
    std::vector<std::string> toFile = args;
    toFile.push_back(Out());
    ASSERT_EQ(RunCli(toFile).Code, 0);
    const std::string bmp = testing::ReadRaw(Out());

    std::vector<std::string> toStdout = args;
    toStdout.push_back("-");
    const Outcome o = RunCli(toStdout);
    EXPECT_EQ(o.Code, 0) << o.Err;
    EXPECT_EQ(o.Out, bmp);

#ifndef _WIN32 // pipes and /proc are POSIX's
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    std::filesystem::create_symlink("/proc/self/fd/" + std::to_string(pipeEnds[1]),
                                    dir_ / "stdout");
    std::vector<std::string> toPipe = args;
    toPipe.push_back(Out("stdout"));
    EXPECT_EQ(RunCli(toPipe).Code, 0);
    ::close(pipeEnds[1]);
    std::string received;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        received.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipeEnds[0]);
    EXPECT_EQ(received, bmp);
    EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "stdout"));

    // A named pipe nobody reads is an error, not a wait.
    ASSERT_EQ(::mkfifo(Out("fifo").c_str(), 0600), 0);
    testing::RunInChild(
        [&] {
            std::vector<std::string> toFifo = args;
            toFifo.push_back(Out("fifo"));
            ExpectError(RunCli(toFifo), 1, "パイプの読み手がいません。");
        },
        "rendering into a pipe nobody reads");
#endif
}

} // namespace
} // namespace pelmora
