// The real module in the UI test launcher: loaded, started, its menu listed.
#include "UiFixture.h"

#include "win32/Win32Ui.h"

#include <string>
#include <vector>

namespace pelmora::uitest {
namespace {

using ModuleMenu = UiModuleTest;

TEST_F(ModuleMenu, StartsListsItsMenuAndWritesTheSettingsAtTheEnd) {
    ASSERT_EQ(Begin(), -1);
    const std::vector<MenuItem> menu = module_->Menu();
    ASSERT_EQ(menu.size(), 4u);
    EXPECT_EQ(menu[0].Caption, "Pelmora(&D)");
    EXPECT_EQ(menu[3].Caption, "パターンの詳細編集(&E)...");
    EXPECT_EQ(End(), -1);
    EXPECT_NE(ReadBytes(settings_).find("[Main]"), std::string::npos);
}

// What Windows shows in the module file's properties, read as Explorer and
// launchers read it.
TEST_F(ModuleMenu, TheModuleFileTellsItsProductAndVersion) {
    wchar_t path[MAX_PATH] = {};
    ASSERT_NE(GetModuleFileNameW(module_->Handle(), path, MAX_PATH), 0u);
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeW(path, &ignored));
    ASSERT_FALSE(info.empty()) << "no version resource";
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, static_cast<DWORD>(info.size()), info.data()));
    const auto value = [&](const char* name) {
        const std::wstring key = L"\\StringFileInfo\\041104B0\\" + win32ui::Widen(name);
        void* text = nullptr;
        UINT length = 0;
        return VerQueryValueW(info.data(), key.c_str(), &text, &length) && length > 0
                   ? win32ui::Narrow(static_cast<const wchar_t*>(text))
                   : std::string();
    };
    EXPECT_EQ(value("ProductName"), "Pelmora");
    EXPECT_EQ(value("FileVersion"), PELMORA_VERSION);
    EXPECT_EQ(value("ProductVersion"), PELMORA_VERSION);
    EXPECT_EQ(value("FileDescription"), "Tavrin 用 壁紙自動生成プラグイン");
    EXPECT_EQ(value("OriginalFilename"), "trPELM.trx");
    EXPECT_EQ(value("LegalCopyright").rfind("Copyright", 0), 0u);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    const std::string version = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(HIWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(version, PELMORA_VERSION);
}

TEST(UiWaitHelpers, PumpUntilNamesWhatDidNotHappen) {
    const ::testing::AssertionResult result =
        PumpUntil([] { return false; }, "the impossible", 100);
    EXPECT_FALSE(result);
    EXPECT_NE(std::string(result.message()).find("the impossible"), std::string::npos);
}

} // namespace
} // namespace pelmora::uitest
