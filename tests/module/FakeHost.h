#pragma once
// A launcher stand-in inside the test executable: it exports the 25 host
// functions, keeps text settings per pad and records the calls it gets. The
// executable is also the module's composition root: its entry points work on
// TestModule(), whose editor is a fake.
#include "plugin/ModuleContext.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace pelmora::testing {

struct HostCall {
    std::string Function;
    std::vector<std::string> Args;
    bool operator==(const HostCall&) const = default;
};

struct FakeHost {
    // Pad identifier = pad value + kPadIdOffset, so tests can tell the two apart.
    static constexpr std::int32_t kPadIdOffset = 1000;

    std::map<std::int32_t, std::map<std::string, std::string>> Pads;
    std::vector<HostCall> Calls;
    std::int32_t ChangeMenusResult = 1;
    std::int32_t SetPadInitResult = 1;
    // Bytes TRAGetPadInit leaves in the buffer when the pad lacks the key.
    std::string MissingKeyFill;
    // The x87 control word and MXCSR while the plug-in called TRAGetPadInit
    // last (0 where the processor has neither).
    std::uint16_t X87Seen = 0;
    std::uint32_t SseSeen = 0;

    std::vector<HostCall> CallsTo(const std::string& function) const;
    void Reset() { *this = FakeHost{}; }
};

FakeHost& Host();

// The editor window is not part of these tests: it "opens" when told to.
class FakeEditorLauncher final : public EditorLauncher {
public:
    bool Open(PatternLibrary&, TIniData&, EditorHost&) override { return Opens; }
    void Close() override { ++Closes; }

    bool Opens = false; // what Open answers
    int Closes = 0;     // how often the plug-in closed the editor
};

// The module the entry points of the test executable work on.
ModuleContext& TestModule();
FakeEditorLauncher& TestEditor();

} // namespace pelmora::testing
