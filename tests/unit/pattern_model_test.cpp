#include "pattern/Pattern.h"
#include "platform/cp932.h"
#include "platform/inifile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelmora {
namespace {

TEST(PartsNames, KindAndFillTables) {
    const std::vector<std::string> kinds = {"ボタン背景",     "ボタン枠",     "アイコン領域",
                                            "アイコン領域枠", "ボタン名領域", "ボタン名領域枠"};
    const std::vector<std::string> fills = {"無効", "単色", "グラデーション", "ボタン色",
                                            "ボタン枠色"};
    TPatrn owner;
    TParts part(&owner);
    for (int k = 0; k < 6; ++k) {
        part.Area = static_cast<std::uint8_t>(k / 2);
        part.IsFrame = k % 2 == 1;
        EXPECT_EQ(part.KindIndex(), k);
        EXPECT_EQ(part.GetName(), kinds[static_cast<std::size_t>(k)]);
    }
    for (int f = 0; f < 5; ++f) {
        part.Fill = static_cast<std::uint8_t>(f);
        EXPECT_EQ(part.GetFillName(), fills[static_cast<std::size_t>(f)]);
    }
}

TEST(PartsNames, TrimText) {
    EXPECT_EQ(TrimText(1), "外(1)");
    EXPECT_EQ(TrimText(3), "外(3)");
    EXPECT_EQ(TrimText(-1), "内(1)");
    EXPECT_EQ(TrimText(-2), "内(2)");
    EXPECT_EQ(TrimText(0), "-");
    EXPECT_EQ(TrimText(INT32_MIN), "内(2147483648)");
}

TEST(PartsNames, DescriptionListsAllSidesOnlyWhenOneIsAdjusted) {
    TPatrn owner;
    TParts part(&owner);
    part.IsFrame = true;
    part.Thick = {3, 0, 9, -2}; // never part of the description
    EXPECT_EQ(part.GetDescription(), "ボタン枠");

    part.Outer = {0, 1, 0, 0};
    EXPECT_EQ(part.GetDescription(), "ボタン枠 [左:-, 上:外(1), 右:-, 下:-]");

    part.Area = paIcon;
    part.Outer = {2, 0, 0, -1};
    EXPECT_EQ(part.GetDescription(), "アイコン領域枠 [左:外(2), 上:-, 右:-, 下:内(1)]");
}

TEST(PartsModel, NewPartHasTheInitialValues) {
    TPatrn owner;
    TParts part(&owner);
    EXPECT_EQ(part.Area, paAll);
    EXPECT_EQ(part.Outer, (TTrim{0, 0, 0, 0}));
    EXPECT_FALSE(part.IsFrame);
    EXPECT_EQ(part.Thick, (TTrim{1, 1, 1, 1}));
    EXPECT_EQ(part.Fill, fkNon);
    EXPECT_EQ(part.Color, 0u);
    EXPECT_EQ(part.GradText, "");
    EXPECT_EQ(part.Owner, &owner);
}

TEST(PartsText, SavedLines) {
    TPatrn owner;
    EXPECT_EQ(owner.Parts(0)->SaveToText(), R"(0,"0,0,0,0","1,1,1,1",3)");

    TParts red(&owner);
    red.Area = paIcon;
    red.IsFrame = true;
    red.Outer = {1, 1, 1, 1};
    red.Thick = {2, 2, 2, 2};
    red.Fill = fkMono;
    red.Color = 255;
    red.GradText = "unused";
    EXPECT_EQ(red.SaveToText(), R"(3,"1,1,1,1","2,2,2,2",1,255)");

    TParts grad(&owner);
    grad.Area = paName;
    grad.Outer = {0, -2, 0, 0};
    grad.Fill = fkGrad;
    grad.Color = 255; // unused by a gradient fill
    grad.GradText = "0,90,0,0,0,,00000000FF,6400FF0000";
    EXPECT_EQ(grad.SaveToText(), R"(4,"0,-2,0,0","1,1,1,1",2,"0,90,0,0,0,,00000000FF,6400FF0000")");

    TParts frame(&owner);
    frame.IsFrame = true;
    frame.Fill = fkBtnF;
    frame.Color = 12345;
    EXPECT_EQ(frame.SaveToText(), R"(1,"0,0,0,0","1,1,1,1",4)");
}

TEST(PartsText, LoneKindOnAFreshPart) {
    TPatrn owner;
    TParts part(&owner);
    part.LoadFromText("3");
    EXPECT_EQ(part.Area, paIcon);
    EXPECT_TRUE(part.IsFrame);
    EXPECT_EQ(part.Outer, (TTrim{0, 0, 0, 0}));
    EXPECT_EQ(part.Thick, (TTrim{1, 1, 1, 1}));
    EXPECT_EQ(part.Fill, fkNon);
}

TEST(PartsText, MissingColourItemKeepsThePreviousColour) {
    TPatrn owner;
    TParts part(&owner);
    part.Color = 0x123456;
    part.LoadFromText(R"(0,"0,0,0,0","1,1,1,1",1)");
    EXPECT_EQ(part.Fill, fkMono);
    EXPECT_EQ(part.Color, 0x123456u);
}

TEST(PartsText, FifthItemOfAButtonColourLineIsIgnored) {
    TPatrn owner;
    TParts part(&owner);
    part.Color = 7;
    part.GradText = "g";
    part.LoadFromText(R"(0,"0,0,0,0","1,1,1,1",3,255)");
    EXPECT_EQ(part.Fill, fkBtn);
    EXPECT_EQ(part.Color, 7u);
    EXPECT_EQ(part.GradText, "g");
    EXPECT_EQ(part.SaveToText(), R"(0,"0,0,0,0","1,1,1,1",3)");
}

TEST(PartsText, SystemColourIsANegativeNumber) {
    TPatrn owner;
    TParts part(&owner);
    part.Fill = fkMono;
    part.Color = 0xFF00000F;
    const std::string line = part.SaveToText();
    EXPECT_EQ(line, R"(0,"0,0,0,0","1,1,1,1",1,-16777201)");
    TParts back(&owner);
    back.LoadFromText(line);
    EXPECT_EQ(back.Color, 0xFF00000Fu);
}

TEST(PartsText, RoundTripKeepsWhatTheFillUses) {
    TPatrn owner;
    const std::string sjisText = Utf8ToSjis("名前") + "\\\"x, y"; // odd bytes pass unchanged
    struct Case {
        std::uint8_t Area;
        bool Frame;
        TTrim Outer;
        TTrim Thick;
        std::uint8_t Fill;
        TColor Color;
        std::string Grad;
    };
    const std::vector<Case> cases = {
        {paAll, false, {0, 0, 0, 0}, {1, 1, 1, 1}, fkBtn, 0, ""},
        {paIcon, true, {-9, 9, 3, -3}, {0, 9, 2, 5}, fkMono, 0x00ABCDEF, ""},
        {paName, true, {INT32_MIN, INT32_MAX, 0, -1}, {INT32_MAX, INT32_MIN, 7, 0}, fkBtnF, 0, ""},
        {paName,
         false,
         {1, 2, 3, 4},
         {5, 6, 7, 8},
         fkGrad,
         0,
         "1,45,-30,20,1,,00000000FF,6400FF0000"},
        {paIcon, false, {0, 0, 0, 0}, {1, 1, 1, 1}, fkGrad, 0, sjisText},
        {paIcon, false, {0, 0, 0, 0}, {1, 1, 1, 1}, fkGrad, 0, ""},
        {paAll, true, {0, 0, 0, 0}, {1, 1, 1, 1}, fkNon, 0, ""},
    };
    for (const Case& c : cases) {
        TParts part(&owner);
        part.Area = c.Area;
        part.IsFrame = c.Frame;
        part.Outer = c.Outer;
        part.Thick = c.Thick;
        part.Fill = c.Fill;
        part.Color = c.Color;
        part.GradText = c.Grad;
        const std::string line = part.SaveToText();

        TParts back(&owner);
        back.LoadFromText(line);
        EXPECT_EQ(back.Area, c.Area) << line;
        EXPECT_EQ(back.IsFrame, c.Frame) << line;
        EXPECT_EQ(back.Outer, c.Outer) << line;
        EXPECT_EQ(back.Thick, c.Thick) << line;
        EXPECT_EQ(back.Fill, c.Fill) << line;
        EXPECT_EQ(back.Color, c.Color) << line;
        EXPECT_EQ(back.GradText, c.Grad) << line;
        EXPECT_EQ(back.SaveToText(), line);
    }
}

TEST(PartsText, OutOfRangeKindAndFillAreClamped) {
    TPatrn owner;
    TParts part(&owner);
    part.LoadFromText(R"(9,"0,0,0,0","1,1,1,1",7)");
    EXPECT_EQ(part.KindIndex(), 5);
    EXPECT_EQ(part.Area, paName);
    EXPECT_TRUE(part.IsFrame);
    EXPECT_EQ(part.Fill, fkBtnF);

    part.LoadFromText(R"(-1,"0,0,0,0","1,1,1,1",-3)");
    EXPECT_EQ(part.KindIndex(), 0);
    EXPECT_EQ(part.Fill, fkNon);

    part.LoadFromText(R"(2147483647,"0,0,0,0","1,1,1,1",256)");
    EXPECT_EQ(part.KindIndex(), 5);
    EXPECT_EQ(part.Fill, fkBtnF);
}

TEST(PartsText, IntegerTextAndNonNumbers) {
    TPatrn owner;
    TParts part(&owner);
    part.LoadFromText(R"($3,"x,0x10, -2,abc","$A,1.5",0x1,$FF00)");
    EXPECT_EQ(part.KindIndex(), 3);
    EXPECT_EQ(part.Outer, (TTrim{0, 16, -2, 0}));
    EXPECT_EQ(part.Thick.Left, 10);
    EXPECT_EQ(part.Thick.Top, 0);
    EXPECT_EQ(part.Fill, fkMono);
    EXPECT_EQ(part.Color, 0xFF00u);

    part.LoadFromText("abc");
    EXPECT_EQ(part.KindIndex(), 0);
}

TEST(PartsText, ShortSideListsKeepTheMissingSides) {
    TPatrn owner;
    TParts part(&owner);
    part.Outer = {5, 6, 7, 8};
    part.Thick = {1, 2, 3, 4};
    part.LoadFromText(R"(1,"-1,-2","9")");
    EXPECT_EQ(part.Outer, (TTrim{-1, -2, 7, 8}));
    EXPECT_EQ(part.Thick, (TTrim{9, 2, 3, 4}));
}

TEST(PartsText, ExtraItemsAreIgnored) {
    TPatrn owner;
    TParts part(&owner);
    part.LoadFromText(R"(1,"1,2,3,4,5","4,3,2,1,0",1,255,999,"x")");
    EXPECT_EQ(part.Outer, (TTrim{1, 2, 3, 4}));
    EXPECT_EQ(part.Thick, (TTrim{4, 3, 2, 1}));
    EXPECT_EQ(part.Color, 255u);
}

TEST(PartsText, EmptyLineChangesNothing) {
    TPatrn owner;
    TParts part(&owner);
    part.Area = paIcon;
    part.Fill = fkMono;
    part.Color = 42;
    part.LoadFromText("");
    EXPECT_EQ(part.Area, paIcon);
    EXPECT_EQ(part.Fill, fkMono);
    EXPECT_EQ(part.Color, 42u);
}

TEST(PartsAssign, CopiesOnlyWhatTheSourceFillUses) {
    TPatrn ownerA;
    TPatrn ownerB;
    TParts source(&ownerA);
    source.Area = paName;
    source.IsFrame = true;
    source.Outer = {1, -2, 3, -4};
    source.Thick = {0, 5, 0, 5};
    source.Fill = fkGrad;
    source.GradText = "2,90";
    source.Color = 0x111111;

    TParts target(&ownerB);
    target.Color = 0x222222;
    target.Assign(source);
    EXPECT_EQ(target.Area, paName);
    EXPECT_TRUE(target.IsFrame);
    EXPECT_EQ(target.Outer, source.Outer);
    EXPECT_EQ(target.Thick, source.Thick);
    EXPECT_EQ(target.Fill, fkGrad);
    EXPECT_EQ(target.GradText, "2,90");
    EXPECT_EQ(target.Color, 0x222222u); // untouched
    EXPECT_EQ(target.Owner, &ownerB);

    source.Fill = fkMono;
    source.GradText = "other";
    target.Assign(source);
    EXPECT_EQ(target.Color, 0x111111u);
    EXPECT_EQ(target.GradText, "2,90"); // untouched
}

// ---- TPatrn ----------------------------------------------------------------

TEST(PatternModel, NewPatternHasOneBasePart) {
    TPatrn p;
    EXPECT_EQ(p.Lumi, 0);
    EXPECT_EQ(p.Hue, 0);
    EXPECT_FALSE(p.BtnColTrim);
    ASSERT_EQ(p.Count(), 1);
    const TParts* base = p.Parts(0);
    EXPECT_EQ(base->GetName(), "ボタン背景");
    EXPECT_EQ(base->GetFillName(), "ボタン色");
    EXPECT_EQ(base->Outer, (TTrim{0, 0, 0, 0}));
    EXPECT_EQ(base->Thick, (TTrim{1, 1, 1, 1}));
    EXPECT_EQ(base->Owner, &p);
}

TEST(PatternModel, ListOperations) {
    TPatrn p;
    TPatrn other;
    TParts& a = p.AddNew();
    a.Fill = fkMono;
    auto b = std::make_unique<TParts>(&other);
    TParts* bp = b.get();
    EXPECT_EQ(p.Add(std::move(b)), 2);
    EXPECT_EQ(bp->Owner, &p);
    EXPECT_EQ(p.Count(), 3);
    EXPECT_EQ(p.Parts(-1), nullptr);
    EXPECT_EQ(p.Parts(3), nullptr);
    EXPECT_EQ(p.Parts(1), &a);

    TParts* base = p.Parts(0);
    p.Move(0, 2); // ends at index 2
    EXPECT_EQ(p.Parts(0), &a);
    EXPECT_EQ(p.Parts(1), bp);
    EXPECT_EQ(p.Parts(2), base);
    p.Move(2, 0);
    EXPECT_EQ(p.Parts(0), base);
    EXPECT_EQ(p.Parts(1), &a);
    p.Move(1, 1);
    EXPECT_EQ(p.Parts(1), &a);

    p.Delete(1);
    EXPECT_EQ(p.Count(), 2);
    EXPECT_EQ(p.Parts(1), bp);

    EXPECT_THROW(p.Move(0, 2), std::out_of_range);
    EXPECT_THROW(p.Move(-1, 0), std::out_of_range);
    EXPECT_THROW(p.Delete(2), std::out_of_range);
    EXPECT_THROW(p.Add(nullptr), std::invalid_argument);
    EXPECT_EQ(p.Count(), 2);
}

TEST(PatternModel, AssignMakesADeepCopy) {
    TPatrn source;
    source.Lumi = -4;
    source.Hue = 6;
    source.BtnColTrim = true;
    source.Parts(0)->Color = 0x0A0B0C; // fill 3: not carried
    TParts& mono = source.AddNew();
    mono.Area = paIcon;
    mono.Fill = fkMono;
    mono.Color = 0x00FF00;
    mono.GradText = "not carried";
    TParts& grad = source.AddNew();
    grad.Area = paName;
    grad.IsFrame = true;
    grad.Fill = fkGrad;
    grad.GradText = "3,0";
    grad.Color = 99;

    TPatrn copy;
    copy.AddNew(); // replaced
    copy.Assign(source);
    EXPECT_EQ(copy.Lumi, -4);
    EXPECT_EQ(copy.Hue, 6);
    EXPECT_TRUE(copy.BtnColTrim);
    ASSERT_EQ(copy.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        const TParts* c = copy.Parts(i);
        const TParts* s = source.Parts(i);
        EXPECT_NE(c, s);
        EXPECT_EQ(c->Owner, &copy);
        EXPECT_EQ(c->SaveToText(), s->SaveToText());
    }
    EXPECT_EQ(copy.Parts(0)->Color, 0u);
    EXPECT_EQ(copy.Parts(1)->Color, 0x00FF00u);
    EXPECT_EQ(copy.Parts(1)->GradText, "");
    EXPECT_EQ(copy.Parts(2)->GradText, "3,0");
    EXPECT_EQ(copy.Parts(2)->Color, 0u);

    copy.Assign(copy); // a no-op, not a wipe
    EXPECT_EQ(copy.Count(), 3);

    const auto clone = source.Clone();
    EXPECT_EQ(clone->Count(), 3);
    EXPECT_EQ(clone->Parts(2)->Owner, clone.get());
}

TEST(PatternModel, EnsureBaseForcesTheWholeButton) {
    TPatrn p;
    p.Parts(0)->Area = paIcon;
    p.Parts(0)->IsFrame = true;
    p.EnsureBase();
    EXPECT_EQ(p.Count(), 1);
    EXPECT_EQ(p.Parts(0)->GetName(), "ボタン枠");

    p.Delete(0);
    EXPECT_EQ(p.Count(), 0);
    p.EnsureBase();
    ASSERT_EQ(p.Count(), 1);
    EXPECT_EQ(p.Parts(0)->Fill, fkBtn);
    EXPECT_EQ(p.Parts(0)->KindIndex(), 0);
}

IniFile IniOf(const std::string& text) {
    return IniFile::Parse(text);
}

TEST(PatternIni, GapInPartKeysEndsTheParts) {
    const IniFile ini = IniOf("[P]\r\n0=0,\"0,0,0,0\",\"1,1,1,1\",1,255\r\n1=3\r\n3=5\r\n");
    TPatrn p;
    p.LoadFromIni(ini, "P");
    p.EnsureBase();
    ASSERT_EQ(p.Count(), 2);
    EXPECT_EQ(p.Parts(0)->Fill, fkMono);
    EXPECT_EQ(p.Parts(0)->Color, 255u);
    EXPECT_EQ(p.Parts(1)->KindIndex(), 3);
}

// As a lookup finds them: the first key of a name counts, and only "0", "1",
// ... as written are part lines.
TEST(PatternIni, TheFirstOfRepeatedKeysCountsAndPartKeysAreExact) {
    const IniFile ini = IniOf("[P]\r\nLumi=3\r\nLUMI=4\r\n0=1\r\n0=3\r\n01=5\r\n+1=5\r\n"
                              " 1 =2\r\n2=4\r\n1=5\r\n00=1\r\n3=\r\n3=1\r\n");
    TPatrn p;
    p.LoadFromIni(ini, "P");
    EXPECT_EQ(p.Lumi, 3);
    ASSERT_EQ(p.Count(), 3); // the first "3" is empty and ends the parts
    EXPECT_EQ(p.Parts(0)->KindIndex(), 1);
    EXPECT_EQ(p.Parts(1)->KindIndex(), 2);
    EXPECT_EQ(p.Parts(2)->KindIndex(), 4);
}

TEST(PatternIni, EmptyPartKeyEndsTheParts) {
    const IniFile ini = IniOf("[P]\r\n0=1\r\n1=\r\n2=3\r\n");
    TPatrn p;
    p.LoadFromIni(ini, "P");
    EXPECT_EQ(p.Count(), 1);
}

TEST(PatternIni, NoPartKeysLeavesTheBasePart) {
    const IniFile ini = IniOf("[P]\r\nName=x\r\nLumi=2\r\n");
    TPatrn p;
    p.LoadFromIni(ini, "P");
    p.EnsureBase();
    EXPECT_EQ(p.Lumi, 2);
    ASSERT_EQ(p.Count(), 1);
    EXPECT_EQ(p.Parts(0)->SaveToText(), R"(0,"0,0,0,0","1,1,1,1",3)");
}

TEST(PatternIni, LineZeroFillsTheBasePartKeepingItsButtonColour) {
    const IniFile ini = IniOf("[P]\r\n0=3,\"1,2,3,4\"\r\n");
    TPatrn p;
    p.LoadFromIni(ini, "P");
    EXPECT_EQ(p.Parts(0)->Area, paIcon); // until EnsureBase
    p.EnsureBase();
    EXPECT_EQ(p.Parts(0)->GetName(), "ボタン枠");
    EXPECT_EQ(p.Parts(0)->Outer, (TTrim{1, 2, 3, 4}));
    EXPECT_EQ(p.Parts(0)->Fill, fkBtn);
}

TEST(PatternIni, PartsBeyondTheLastLineReadStay) {
    TPatrn p;
    p.AddNew().Fill = fkMono;
    p.AddNew().Fill = fkGrad;
    p.LoadFromIni(IniOf("[P]\r\n0=0\r\n1=2\r\n"), "P");
    ASSERT_EQ(p.Count(), 3);
    EXPECT_EQ(p.Parts(1)->Area, paIcon);
    EXPECT_EQ(p.Parts(1)->Fill, fkMono);
    EXPECT_EQ(p.Parts(2)->Fill, fkGrad);
}

TEST(PatternIni, NumbersAndBooleans) {
    struct Case {
        const char* Text;
        std::int32_t Lumi;
        std::int32_t Hue;
        bool Trim;
    };
    const Case cases[] = {
        {"Lumi=0x10\r\nHue=-12\r\nBtnColTrim=2", 16, -12, true},
        {"Lumi=1.5\r\nHue=abc\r\nBtnColTrim=abc", 0, 0, false},
        {"lumi=$8\r\nHUE= 30\r\nbtncoltrim=-1", 8, 30, true},
        {"Lumi=\r\nBtnColTrim=0", 0, 0, false},
        {"", 0, 0, false},
    };
    for (const Case& c : cases) {
        TPatrn p;
        p.Lumi = 5;
        p.Hue = 5;
        p.BtnColTrim = true;
        p.LoadFromIni(IniOf(std::string("[P]\r\n") + c.Text + "\r\n"), "p");
        EXPECT_EQ(p.Lumi, c.Lumi) << c.Text;
        EXPECT_EQ(p.Hue, c.Hue) << c.Text;
        EXPECT_EQ(p.BtnColTrim, c.Trim) << c.Text;
    }
}

TEST(PatternIni, TrueIsWrittenAsOne) {
    TPatrn p;
    p.LoadFromIni(IniOf("[P]\r\nBtnColTrim=2\r\n"), "P");
    IniFile out;
    p.SaveToIni(out, 0, "n");
    EXPECT_EQ(out.Value("0", "BtnColTrim"), "1");
}

TEST(PatternIni, MissingSectionGivesDefaults) {
    TPatrn p;
    p.Lumi = 3;
    p.LoadFromIni(IniOf("[Other]\r\nLumi=4\r\n"), "P");
    EXPECT_EQ(p.Lumi, 0);
    EXPECT_EQ(p.Count(), 1);
}

TEST(PatternIni, SaveWritesTheKeysInOrder) {
    TPatrn p;
    IniFile ini;
    p.SaveToIni(ini, 7, "abc");
    ASSERT_EQ(ini.Sections().size(), 1u);
    const IniFile::Section& s = ini.Sections()[0];
    EXPECT_EQ(s.Name, "7");
    const std::vector<IniFile::KeyValue> expected = {{"Name", "abc"},
                                                     {"Lumi", "0"},
                                                     {"Hue", "0"},
                                                     {"BtnColTrim", "0"},
                                                     {"0", R"(0,"0,0,0,0","1,1,1,1",3)"}};
    EXPECT_EQ(s.Values, expected);
}

TEST(PatternIni, SaveLeavesOtherKeysOfTheSection) {
    IniFile ini = IniOf("[2]\r\nExtra=1\r\n5=old\r\n");
    TPatrn p;
    p.Lumi = -8;
    p.SaveToIni(ini, 2, "n");
    EXPECT_EQ(ini.Value("2", "Extra"), "1");
    EXPECT_EQ(ini.Value("2", "5"), "old");
    EXPECT_EQ(ini.Value("2", "Lumi"), "-8");
}

TEST(PatternIni, StoredSectionExampleReadsAndWritesBack) {
    const std::string name = Utf8ToSjis("青いボタン");
    const std::string text = "[0]\r\nName=" + name +
                             "\r\nLumi=2\r\nHue=0\r\nBtnColTrim=0\r\n"
                             "0=0,\"0,0,0,0\",\"1,1,1,1\",3\r\n"
                             "1=1,\"0,0,0,0\",\"1,1,1,1\",4\r\n\r\n";
    const IniFile ini = IniOf(text);
    TPatrn p;
    p.LoadFromIni(ini, "0");
    p.EnsureBase();
    EXPECT_EQ(p.Lumi, 2);
    ASSERT_EQ(p.Count(), 2);
    EXPECT_EQ(p.Parts(1)->GetName(), "ボタン枠");
    EXPECT_EQ(p.Parts(1)->GetFillName(), "ボタン枠色");

    IniFile out;
    p.SaveToIni(out, 0, name);
    EXPECT_EQ(out.ToText(), text);
}

TEST(PatternIni, RepeatedSectionEntriesReadTheirOwnKeys) {
    const IniFile ini = IniOf("[1]\r\nLumi=1\r\n[1]\r\nLumi=2\r\n0=1\r\n");
    ASSERT_EQ(ini.Sections().size(), 2u);
    TPatrn first;
    first.LoadFromIni(ini.Sections()[0]);
    TPatrn second;
    second.LoadFromIni(ini.Sections()[1]);
    EXPECT_EQ(first.Lumi, 1);
    EXPECT_EQ(first.Parts(0)->IsFrame, false);
    EXPECT_EQ(second.Lumi, 2);
    EXPECT_EQ(second.Parts(0)->IsFrame, true);
}

} // namespace
} // namespace pelmora
