// The editor's clipboard (copy and paste of patterns, parts and gradients as
// their stored text) and the files dropped on it.
#include "EditorFakes.h"

#include "library/SettingsFile.h"

#include <fstream>

namespace pelmora::testing {
namespace {

constexpr const char* kRedToBlue = "0,90,0,0,0,,00000000FF,6400FF0000";

class EditorClipboard : public EditorTest {
protected:
    // "A": base, icon frame (red), name area (gradient); "B": base only.
    void OpenTwo() {
        auto a = PatternOf({{3, fkMono}, {4, fkGrad}});
        a->Parts(1)->Color = 0x000000FF;
        a->Parts(2)->GradText = kRedToBlue;
        Add("A", std::move(a));
        Add("B", PatternOf({}));
        Open();
    }
    void Select(int row) { form_->PatternListClick({row}); }
    void Clip(const std::string& text) { host_.Clip.SetText(text); }
    std::string Clipped() { return host_.Clip.Text().value_or("(none)"); }
    std::string LastMessage() {
        const std::vector<std::string> shown = prompts_->Messages();
        return shown.empty() ? std::string() : shown.back();
    }
};

TEST_F(EditorClipboard, APartTravelsAsItsLineToAfterTheSelectedPartOfAnotherPattern) {
    OpenTwo();
    form_->PartsListClick(1);
    form_->MenuClick(EditItem::mnCopyPart);
    EXPECT_EQ(Clipped(), R"(3,"0,0,0,0","1,1,1,1",1,255)");
    EXPECT_FALSE(form_->History().CanUndo()); // a copy changes nothing

    Select(1);
    form_->PartsListClick(0);
    form_->MenuClick(EditItem::mnPaste);
    ASSERT_EQ(Current().Count(), 2);
    EXPECT_EQ(Current().Parts(1)->SaveToText(), R"(3,"0,0,0,0","1,1,1,1",1,255)");
    EXPECT_EQ(view_.PartCurrent, 1);
    EXPECT_TRUE(RowShowsPart(1));
    EXPECT_EQ(view_.Captions[EditItem::mnEditUndo], "元に戻す: 部品の貼り付け(&U)");
    EXPECT_TRUE(form_->IsModified());

    form_->MenuClick(EditItem::mnEditUndo);
    EXPECT_EQ(Current().Count(), 1);
    EXPECT_FALSE(form_->IsModified());
}

TEST_F(EditorClipboard, SelectedPatternsTravelAsSectionsAndComeBackUnderNewNames) {
    OpenTwo();
    form_->PatternListClick({0, 1});
    form_->MenuClick(EditItem::mnCopyPattern);
    const std::string text = Clipped();
    EXPECT_EQ(text.rfind("[1]\r\nName=A\r\nLumi=0\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("[2]\r\nName=B\r\n"), std::string::npos);

    form_->MenuClick(EditItem::mnPaste);
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"A", "B", "A2", "B2"}));
    EXPECT_EQ(view_.Selection, (std::vector<int>{2, 3}));
    Select(2);
    EXPECT_EQ(Current().Parts(2)->GradText, kRedToBlue);
    EXPECT_EQ(view_.Captions[EditItem::mnEditUndo], "元に戻す: パターンの貼り付け(&U)");
    form_->MenuClick(EditItem::mnEditUndo);
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"A", "B"}));
}

// Written the way the editor writes it, so that it pastes back.
TEST_F(EditorClipboard, AGradientGoesOntoAnotherPartAsItsGradient) {
    auto a = PatternOf({{4, fkGrad}, {3, fkBtn}});
    a->Parts(1)->GradText = "0,90,0,0,0,,00000000ff,6400FF0000"; // lower-case, from a file
    Add("A", std::move(a));
    Open();
    form_->PartsListClick(1);
    form_->MenuClick(EditItem::mnCopyGrad);
    EXPECT_EQ(Clipped(), kRedToBlue);

    form_->PartsListClick(2);
    form_->MenuClick(EditItem::mnPaste);
    EXPECT_EQ(Current().Parts(2)->Fill, fkGrad);
    EXPECT_EQ(Current().Parts(2)->GradText, kRedToBlue);
    EXPECT_EQ(Current().Count(), 3);
    EXPECT_TRUE(RowShowsPart(2));
    EXPECT_EQ(view_.Captions[EditItem::mnEditUndo], "元に戻す: グラデーションの貼り付け(&U)");
}

TEST_F(EditorClipboard, CopiesAreEnabledOnlyWhereThereIsSomethingToCopy) {
    OpenTwo();
    form_->mnEditClick();
    EXPECT_TRUE(Enabled(EditItem::mnCopyPattern));
    EXPECT_TRUE(Enabled(EditItem::mnCopyPart));
    EXPECT_FALSE(Enabled(EditItem::mnCopyGrad)); // the base part paints the button colour
    EXPECT_TRUE(Enabled(EditItem::mnPaste));
    form_->PartsListClick(2);
    EXPECT_TRUE(Enabled(EditItem::mnCopyGrad));
    form_->PatternListClick({0, 1});
    EXPECT_TRUE(Enabled(EditItem::mnCopyPattern));
    EXPECT_FALSE(Enabled(EditItem::mnCopyPart));
    EXPECT_FALSE(Enabled(EditItem::mnCopyGrad));
    form_->PatternListClick({});
    EXPECT_FALSE(Enabled(EditItem::mnCopyPattern));
    EXPECT_FALSE(form_->ClipboardHasText());
    Clip(" \r\n");
    EXPECT_FALSE(form_->ClipboardHasText());
    Clip("x");
    EXPECT_TRUE(form_->ClipboardHasText());
}

// Untrusted text: anything that is not one of the three forms exactly, or
// that does not fit, is refused with a message and changes nothing.
TEST_F(EditorClipboard, TextThatIsNoPatternPartOrGradientIsRefused) {
    const struct {
        const char* name;
        std::string text;
        std::vector<int> selected;
        const char* told;
    } cases[] = {
        {"empty", "", {0}, "貼り付けるテキストがありません"},
        {"prose", "こんにちは", {0}, "どれでもない"},
        {"short part line", "3", {0}, "どれでもない"},
        {"two lines",
         "0,0,0,0,0,,0000000000,6400000000\n0,0,0,0,0,,0000000000,6400000000",
         {0},
         "どれでもない"},
        {"section without a name",
         "[1]\r\nLumi=2\r\n0=0,\"0,0,0,0\",\"1,1,1,1\",3\r\n",
         {0},
         "どれでもない"},
        {"not Shift-JIS", "名前\xF0\x9F\x98\x80", {0}, "貼り付けられません"},
        {"too large", std::string(kMaxInputFileSize + 1, 'x'), {0}, "上限"},
        {"part without a pattern", R"(1,"0,0,0,0","1,1,1,1",3)", {0, 1}, "1 つだけ選択"},
        {"gradient without a pattern", kRedToBlue, {}, "1 つだけ選択"},
    };
    OpenTwo();
    for (const auto& c : cases) {
        form_->PatternListClick(c.selected);
        Clip(c.text);
        const std::size_t shown = prompts_->Messages().size();
        form_->MenuClick(EditItem::mnPaste);
        ASSERT_EQ(prompts_->Messages().size(), shown + 1) << c.name;
        EXPECT_NE(LastMessage().find(c.told), std::string::npos) << c.name << ": " << LastMessage();
        EXPECT_EQ(prompts_->Shown.back().Kind, MsgKind::Error) << c.name;
        EXPECT_EQ(RowNames(), (std::vector<std::string>{"A", "B"})) << c.name;
        EXPECT_FALSE(form_->IsModified()) << c.name;
    }
    Select(0);
    EXPECT_EQ(Current().Count(), 3);
}

// A paste that would take the settings file past what the plug-in reads
// back is refused whole, and the pattern stays as it was.
TEST_F(EditorClipboard, APasteThatWouldOverfillTheSettingsFileIsTakenBack) {
    OpenTwo();
    const std::string line =
        R"(5,"0,0,0,0","1,1,1,1",2,)" + std::string(kMaxInputFileSize / 2, 'G');
    Clip(line);
    form_->MenuClick(EditItem::mnPaste);
    ASSERT_EQ(Current().Count(), 4);
    EXPECT_TRUE(prompts_->Messages().empty());
    form_->MenuClick(EditItem::mnPaste);
    EXPECT_NE(LastMessage().find("上限"), std::string::npos) << LastMessage();
    EXPECT_EQ(Current().Count(), 4);
    EXPECT_EQ(view_.Parts.size(), 4u);
    form_->MenuClick(EditItem::mnEditUndo);
    EXPECT_EQ(Current().Count(), 3);
    EXPECT_FALSE(form_->History().CanUndo());
}

// Dropped files import as the import command does, in one step; those that
// cannot be read are named, and the others still come in.
TEST_F(EditorClipboard, DroppedFilesImportInOneStepAndTheFailuresAreNamed) {
    Add({"A"});
    Open();
    const auto write = [&](const char* name, const std::string& text) {
        std::ofstream(dir_.Path() / name, std::ios::binary) << text;
        return (dir_.Path() / name).string();
    };
    const std::string one = write("one.ptn", "[1]\r\nName=A\r\n[2]\r\nName=C\r\n");
    const std::string settings = write("Pelmora.ini", "[Main]\r\nLeft=3\r\n[0]\r\nName=D\r\n");
    const std::string empty = write("empty.ptn", "[1]\r\nLumi=1\r\n");
    const std::string missing = (dir_.Path() / "missing.ptn").string();
    form_->FilesDropped({one, dir_.Path().string(), empty, settings, missing});

    EXPECT_EQ(RowNames(), (std::vector<std::string>{"A", "A2", "C", "D"}));
    EXPECT_EQ(view_.Selection, (std::vector<int>{0}));
    EXPECT_EQ(settings_.ImportDir, dir_.Path().string() + "/");
    ASSERT_EQ(prompts_->Messages().size(), 1u);
    const std::string told = LastMessage();
    EXPECT_EQ(told.rfind("\"A2\"\r\n\"C\"\r\n\"D\"\r\nをインポートしました。", 0), 0u) << told;
    for (const std::string& failed : {dir_.Path().string(), empty, missing}) {
        EXPECT_NE(told.find("\"" + failed + "\""), std::string::npos) << failed;
    }
    EXPECT_NE(told.find("フォルダーはインポートできません"), std::string::npos);
    EXPECT_EQ(told.find("\"" + one + "\""), std::string::npos);
    EXPECT_EQ(prompts_->Shown.back().Kind, MsgKind::Warning);

    form_->MenuClick(EditItem::mnEditUndo);
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"A"}));

    form_->FilesDropped({missing});
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"A"}));
    EXPECT_EQ(prompts_->Shown.back().Kind, MsgKind::Error);
    EXPECT_EQ(LastMessage().find("をインポートしました"), std::string::npos);
    EXPECT_FALSE(form_->History().CanUndo());
}

} // namespace
} // namespace pelmora::testing
