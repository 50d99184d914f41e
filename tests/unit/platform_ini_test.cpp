#include "platform/fileio.h"
#include "platform/inifile.h"

#include "platform_tempdir.h"

#include <gtest/gtest.h>

#include <string>

using namespace pelmora;
using pelmora::testing::ReadRaw;
using pelmora::testing::TempDir;
using pelmora::testing::WriteRaw;

namespace {

using Values = std::vector<IniFile::KeyValue>;

TEST(PlatformIni, ReadsSectionsKeysAndValues) {
    const IniFile ini = IniFile::Parse("before=ignored\r\n"
                                       "[Main]\r\n"
                                       "Left=10\r\n"
                                       "  Top =  20  \r\n"
                                       "; a comment\r\n"
                                       "   ;indented comment=x\r\n"
                                       "\r\n"
                                       "no equals sign here\r\n"
                                       "Name=a=b\r\n"
                                       "=empty key\r\n"
                                       "Empty=\r\n"
                                       "[ 0 ]\r\n"
                                       "Name=\x95\x5C\r\n");
    ASSERT_EQ(ini.Sections().size(), 2u);
    EXPECT_EQ(ini.Sections()[0].Name, "Main");
    EXPECT_EQ(
        ini.Sections()[0].Values,
        (Values{{"Left", "10"}, {"Top", "20"}, {"Name", "a=b"}, {"", "empty key"}, {"Empty", ""}}));
    EXPECT_EQ(ini.Sections()[1].Name, "0");
    EXPECT_EQ(ini.Value("0", "Name"), "\x95\x5C");
    EXPECT_EQ(ini.Value("Main", "before"), std::nullopt);
    EXPECT_EQ(ini.Value("Main", "no equals sign here"), std::nullopt);
}

TEST(PlatformIni, AcceptsEveryLineEnd) {
    for (const std::string eol : {"\n", "\r\n", "\r"}) {
        const IniFile ini = IniFile::Parse("[A]" + eol + "k=1" + eol + eol + "[B]" + eol + "k=2");
        ASSERT_EQ(ini.Sections().size(), 2u);
        EXPECT_EQ(ini.ReadInteger("A", "k", 0), 1);
        EXPECT_EQ(ini.ReadInteger("B", "k", 0), 2);
        EXPECT_EQ(ini.Sections()[0].Values.size(), 1u);
    }
    const IniFile mixed = IniFile::Parse("[A]\rk=1\n\r\nj=2\r\r\nm=3");
    EXPECT_EQ(mixed.Sections()[0].Values, (Values{{"k", "1"}, {"j", "2"}, {"m", "3"}}));
}

TEST(PlatformIni, StripsControlCharactersAndBlanks) {
    const IniFile ini =
        IniFile::Parse("\t [\x01 Sec \t]\x1F\n\x02key\x03=\x04value with  blanks\x05\n");
    ASSERT_EQ(ini.Sections().size(), 1u);
    EXPECT_EQ(ini.Sections()[0].Name, "Sec");
    EXPECT_EQ(ini.Value("sec", "KEY"), "value with  blanks");
}

TEST(PlatformIni, BracketLinesThatAreNotSections) {
    const IniFile ini = IniFile::Parse("[A]\n[B\nk]=1\nx=[y]\n[]\nz=2\n");
    ASSERT_EQ(ini.Sections().size(), 2u);
    EXPECT_EQ(ini.Sections()[0].Values, (Values{{"k]", "1"}, {"x", "[y]"}}));
    EXPECT_EQ(ini.Sections()[1].Name, "");
    EXPECT_EQ(ini.Value("", "z"), "2");
}

TEST(PlatformIni, NamesMatchWithoutLetterCase) {
    const IniFile ini = IniFile::Parse("[Main]\nImportDir=/x\n");
    for (const char* section : {"Main", "MAIN", "main", "mAiN"}) {
        for (const char* key : {"ImportDir", "importdir", "IMPORTDIR"}) {
            EXPECT_EQ(ini.Value(section, key), "/x") << section << " " << key;
        }
    }
    EXPECT_TRUE(ini.SectionExists("MAIN"));
    EXPECT_FALSE(ini.SectionExists("Main "));
    EXPECT_FALSE(ini.SectionExists("Mai"));
    // Only ASCII letters fold: full-width letters stay distinct.
    EXPECT_TRUE(SameIniName("aBc", "AbC"));
    EXPECT_FALSE(SameIniName("\x82\x60", "\x82\x81")); // Ａ and ａ
    EXPECT_FALSE(SameIniName("a", "ab"));
    EXPECT_FALSE(SameIniName("@", "`")); // neighbours of the letter ranges
    EXPECT_FALSE(SameIniName("[", "{"));
}

TEST(PlatformIni, RepeatedSectionsAndKeysFindTheFirst) {
    const IniFile ini = IniFile::Parse("[P]\nName=A\nName=B\n[p]\nName=C\nOnly=D\n");
    ASSERT_EQ(ini.Sections().size(), 2u);
    EXPECT_EQ(ini.Value("P", "Name"), "A");
    EXPECT_EQ(ini.Value("P", "Only"), std::nullopt);
    EXPECT_EQ(ini.Sections()[1].Values, (Values{{"Name", "C"}, {"Only", "D"}}));
}

TEST(PlatformIni, TypedReads) {
    const IniFile ini = IniFile::Parse("[S]\nn=-12\nh=$FF\nbad=12x\nempty=\n"
                                       "t=1\nt2=-1\nf=0\nfb=yes\n");
    EXPECT_EQ(ini.ReadInteger("S", "n", 7), -12);
    EXPECT_EQ(ini.ReadInteger("S", "h", 7), 255);
    EXPECT_EQ(ini.ReadInteger("S", "bad", 7), 7);
    EXPECT_EQ(ini.ReadInteger("S", "empty", 7), 7);
    EXPECT_EQ(ini.ReadInteger("S", "missing", 7), 7);
    EXPECT_EQ(ini.ReadInteger("Nope", "n", 7), 7);
    EXPECT_TRUE(ini.ReadBool("S", "t", false));
    EXPECT_TRUE(ini.ReadBool("S", "t2", false));
    EXPECT_FALSE(ini.ReadBool("S", "f", true));
    EXPECT_TRUE(ini.ReadBool("S", "fb", true));
    EXPECT_FALSE(ini.ReadBool("S", "fb", false));
    EXPECT_TRUE(ini.ReadBool("S", "missing", true));
    EXPECT_EQ(ini.ReadString("S", "empty", "fb"), "");
    EXPECT_EQ(ini.ReadString("S", "missing", "fb"), "fb");
}

TEST(PlatformIni, WritesInPlaceOrAtTheEnd) {
    IniFile ini = IniFile::Parse("[A]\nx=1\ny=2\n[B]\nz=3\n");
    ini.WriteString("a", "X", "10"); // existing key: replaced where it stands, name kept
    ini.WriteInteger("A", "w", -5);  // new key: end of its section
    ini.WriteBool("C", "on", true);  // new section: end of the file
    ini.WriteBool("C", "off", false);
    EXPECT_EQ(ini.ToText(), "[A]\r\nx=10\r\ny=2\r\nw=-5\r\n\r\n"
                            "[B]\r\nz=3\r\n\r\n"
                            "[C]\r\non=1\r\noff=0\r\n\r\n");
    ini.Clear();
    EXPECT_EQ(ini.ToText(), "");
    EXPECT_TRUE(ini.Sections().empty());
}

TEST(PlatformIni, ALineBreakInAValueCannotOpenASection) {
    IniFile ini;
    ini.WriteString("Main", "ImportDir", "/a\r\n[Evil]\nName=x\r");
    const IniFile back = IniFile::Parse(ini.ToText());
    EXPECT_FALSE(back.SectionExists("Evil"));
    EXPECT_EQ(back.Value("Main", "ImportDir"), "/a  [Evil] Name=x");
}

TEST(PlatformIni, TextRoundTrip) {
    IniFile ini;
    ini.WriteString("Main", "Left", "100");
    ini.WriteString("0", "Name", "\x83\x70\x83\x5E\x81\x5B\x83\x93");
    ini.WriteString("0", "Parts0", "0,0,\"a b\",\"x\"\"y\"");
    const IniFile back = IniFile::Parse(ini.ToText());
    ASSERT_EQ(back.Sections().size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(back.Sections()[i].Name, ini.Sections()[i].Name);
        EXPECT_EQ(back.Sections()[i].Values, ini.Sections()[i].Values);
    }
}

TEST(PlatformIni, LoadAndSave) {
    TempDir dir;
    EXPECT_TRUE(IniFile::Load(dir / "missing.ini").Sections().empty());

    IniFile ini;
    ini.WriteInteger("Main", "Width", 320);
    ini.Save(dir / "set.ini");
    EXPECT_EQ(ReadRaw(dir / "set.ini"), "[Main]\r\nWidth=320\r\n\r\n");
    EXPECT_EQ(IniFile::Load(dir / "set.ini").ReadInteger("main", "width", 0), 320);

    ini.WriteInteger("Main", "Width", 640);
    ini.Save(dir / "set.ini");
    EXPECT_EQ(IniFile::Load(dir / "set.ini").ReadInteger("Main", "Width", 0), 640);
    EXPECT_EQ(pelmora::testing::EntryCount(dir.Path()), 1u);
}

TEST(PlatformIni, LoadRefusesWhatItCannotRead) {
    TempDir dir;
    const auto big = dir / "big.ini";
    WriteRaw(big, "[A]\r\n");
    std::filesystem::resize_file(big, kMaxInputFileSize + 1);
    try {
        IniFile::Load(big);
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_NE(std::string(error.what()).find("big.ini"), std::string::npos) << error.what();
    }
    std::filesystem::create_directory(dir / "folder.ini");
    EXPECT_THROW(IniFile::Load(dir / "folder.ini"), FileError);
}

TEST(PlatformIni, LoadAtTheSizeLimitWorks) {
    TempDir dir;
    const auto file = dir / "limit.ini";
    WriteRaw(file, "[A]\r\nk=v\r\n");
    std::filesystem::resize_file(file, kMaxInputFileSize);
    EXPECT_EQ(IniFile::Load(file).Value("A", "k"), "v");
}

// Sections and keys point into the file's own storage: they stay valid when
// the file is moved (a short text lives inside its string) or copied, and
// when writes add storage.
TEST(PlatformIni, ViewsStayValidThroughMovesCopiesAndWrites) {
    IniFile ini = IniFile::Parse("[a]\nk=v\n");
    IniFile moved = std::move(ini);
    IniFile copy = moved;
    for (int i = 0; i < 5000; ++i) {
        moved.WriteString("s" + std::to_string(i), "key", std::string(40, 'x'));
    }
    IniFile assigned;
    assigned = copy;
    for (const IniFile* file : {&moved, &copy, &assigned}) {
        EXPECT_EQ(file->Sections()[0].Name, "a");
        EXPECT_EQ(file->Sections()[0].Values, (Values{{"k", "v"}}));
    }
    EXPECT_EQ(moved.Sections().size(), 5001u);
    EXPECT_EQ(moved.Value("s4999", "key"), std::string(40, 'x'));
    EXPECT_EQ(moved.TextSize(), moved.ToText().size());
    EXPECT_EQ(copy.ToText(), "[a]\r\nk=v\r\n\r\n");
}

// No file is written that Load would refuse.
TEST(PlatformIni, SaveRefusesATextLoadWouldRefuse) {
    TempDir dir;
    IniFile ini;
    ini.WriteString("A", "k", std::string(kMaxInputFileSize - 11, 'x')); // "[A]\r\nk=...\r\n\r\n"
    ASSERT_EQ(ini.TextSize(), kMaxInputFileSize);
    ini.Save(dir / "limit.ini");
    EXPECT_EQ(IniFile::Load(dir / "limit.ini").ReadString("a", "K", "").size(),
              kMaxInputFileSize - 11);
    WriteRaw(dir / "old.ini", "old");
    ini.WriteString("A", "k", std::string(kMaxInputFileSize - 10, 'x'));
    try {
        ini.Save(dir / "old.ini");
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.Problem(), FileProblem::TooLarge);
        EXPECT_EQ(error.what(),
                  "ファイル \"" + (dir / "old.ini").string() +
                      "\" に書き込めません。ファイルが大きすぎます (上限は 8 MB です)。");
    }
    EXPECT_EQ(ReadRaw(dir / "old.ini"), "old");
    EXPECT_THROW(IniFile::LoadExisting(dir / "missing.ini"), FileError);
    EXPECT_EQ(IniFile::LoadExisting(dir / "old.ini").Sections().size(), 0u);
}

TEST(PlatformIni, SaveFailureKeepsTheOldFile) {
    TempDir dir;
    std::filesystem::create_directory(dir / "taken");
    IniFile ini;
    ini.WriteString("A", "k", "v");
    EXPECT_THROW(ini.Save(dir / "taken"), FileError);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "taken"));
    EXPECT_THROW(ini.Save(dir / "no" / "such" / "set.ini"), FileError);
    EXPECT_EQ(pelmora::testing::EntryCount(dir.Path()), 1u);
}

} // namespace
