// The real module in the UI test launcher: loaded, started, its menu listed.
#include "UiFixture.h"

namespace pelmora::uitest {
namespace {

using ModuleMenu = UiModuleTest;

TEST_F(ModuleMenu, StartsListsItsMenuAndWritesTheSettingsAtTheEnd) {
    ASSERT_EQ(Begin(), -1);
    const std::vector<MenuItem> menu = module_->Menu();
    ASSERT_EQ(menu.size(), 4u);
    EXPECT_EQ(menu[0].caption, "Pelmora(&D)");
    EXPECT_EQ(menu[3].caption, "パターンの詳細編集(&E)...");
    EXPECT_EQ(End(), -1);
    EXPECT_NE(ReadBytes(settings_).find("[Main]"), std::string::npos);
}

TEST(UiWaitHelpers, PumpUntilNamesWhatDidNotHappen) {
    const ::testing::AssertionResult result =
        PumpUntil([] { return false; }, "the impossible", 100);
    EXPECT_FALSE(result);
    EXPECT_NE(std::string(result.message()).find("the impossible"), std::string::npos);
}

} // namespace
} // namespace pelmora::uitest
