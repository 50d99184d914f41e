// Every seed input of the fuzz targets, and every input a fuzz run has found
// (kept under tests/data/reliability/<target>/), run through the same checks
// the fuzz targets make. Under the sanitizer build this catches memory faults
// that the checks alone would not.
#include "fuzz/FuzzTargets.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace pelmora {
namespace {

struct ReplayTarget {
    const char* Name;
    void (*Check)(const std::uint8_t*, std::size_t);
};

const ReplayTarget kReplayTargets[] = {
    {"fuzz_commatext", fuzz::CommaText},   {"fuzz_inttext", fuzz::IntText},
    {"fuzz_inifile", fuzz::IniText},       {"fuzz_partline", fuzz::PartLine},
    {"fuzz_gradtext", fuzz::GradientText}, {"fuzz_patterns", fuzz::PatternSections},
    {"fuzz_bmp", fuzz::BmpFile},           {"fuzz_render", fuzz::Wallpaper},
    {"fuzz_codec", fuzz::ShiftJis},
};

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ReliabilityReplay : public ::testing::TestWithParam<ReplayTarget> {};

TEST_P(ReliabilityReplay, EverySavedInputPassesTheChecks) {
    const std::filesystem::path root = PELMORA_SOURCE_DIR;
    const std::filesystem::path seeds = root / "fuzz" / "corpus" / GetParam().Name;
    const std::filesystem::path found = root / "tests" / "data" / "reliability" / GetParam().Name;
    ASSERT_TRUE(std::filesystem::is_directory(seeds)) << seeds;

    int replayed = 0;
    for (const auto& folder : {seeds, found}) {
        if (!std::filesystem::is_directory(folder)) {
            continue;
        }
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (!entry.is_regular_file()) {
                continue;
            }
            const std::string bytes = ReadBytes(entry.path());
            const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
            EXPECT_NO_THROW(GetParam().Check(data, bytes.size())) << entry.path();
            ++replayed;
        }
    }
    EXPECT_GT(replayed, 0);
}

INSTANTIATE_TEST_SUITE_P(Targets, ReliabilityReplay, ::testing::ValuesIn(kReplayTargets),
                         [](const ::testing::TestParamInfo<ReplayTarget>& info) {
                             return std::string(info.param.Name);
                         });

} // namespace
} // namespace pelmora
