#pragma once
// A test with the real module loaded and started: a temporary folder with
// the settings file, the pads the tests use, and the dialog answerer.
#include "UiHost.h"
#include "UiWait.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace pelmora::uitest {

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

class UiModuleTest : public ::testing::Test {
protected:
    static constexpr std::int32_t kPad = 1;

    void SetUp() override {
        Host() = UiHostState{};
        folder_ = NewFolder("pelmora-ui-");
        settings_ = folder_ / L"trPELM.ini";
        SetPad(kPad, 80, 60, 1, 0, "$8000000F");
        module_ = std::make_unique<LoadedModule>();
        module_->SetInitFile(settings_);
    }
    void TearDown() override {
        // The plug-in ends before the module goes: its windows go with it.
        if (started_) {
            End();
        }
        answers_.reset();
        module_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    void SetPad(std::int32_t pad, int width, int height, int caption, int small,
                const std::string& color) {
        auto& keys = Host().Pads[pad + UiHostState::kPadIdOffset];
        keys["BtnWidth"] = std::to_string(width);
        keys["BtnHeight"] = std::to_string(height);
        keys["BtnCaption"] = std::to_string(caption);
        keys["BtnSmallIcon"] = std::to_string(small);
        keys["BtnColor"] = color;
    }
    std::string PadSetting(std::int32_t pad, const std::string& key) {
        return Host().Pads[pad + UiHostState::kPadIdOffset][key];
    }
    std::int32_t Begin() {
        const std::int32_t result = module_->Begin();
        started_ = result != 0;
        return result;
    }
    std::int32_t End() {
        started_ = false;
        return module_->End();
    }
    DialogAnswers& Answers() {
        if (!answers_) {
            answers_ = std::make_unique<DialogAnswers>();
        }
        return *answers_;
    }

    std::filesystem::path folder_;
    std::filesystem::path settings_;
    std::unique_ptr<LoadedModule> module_;
    std::unique_ptr<DialogAnswers> answers_;
    bool started_ = false;
};

} // namespace pelmora::uitest
