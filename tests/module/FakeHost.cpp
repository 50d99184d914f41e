#include "FakeHost.h"

#include "plugin/EntryPoints.h"
#include "plugin/HostFunctions.h"

#include <algorithm>
#include <cstring>

namespace pelmora::testing {

ModuleContext& TestModule() {
    static ModuleContext module(std::make_unique<SilentPrompts>(),
                                std::make_unique<FakeEditorLauncher>(),
                                std::make_unique<MemoryClipboard>());
    return module;
}

FakeEditorLauncher& TestEditor() {
    return static_cast<FakeEditorLauncher&>(*TestModule().Editor);
}

FakeHost& Host() {
    static FakeHost host;
    return host;
}

std::vector<HostCall> FakeHost::CallsTo(const std::string& function) const {
    std::vector<HostCall> found;
    std::copy_if(Calls.begin(), Calls.end(), std::back_inserter(found),
                 [&](const HostCall& c) { return c.Function == function; });
    return found;
}

} // namespace pelmora::testing

// The module of these tests, on the fake launcher above.
PELMORA_DEFINE_ENTRY_POINTS(pelmora::testing::TestModule)

using pelmora::testing::Host;

#define FAKE_HOST_EXPORT PELMORA_HOST_EXPORT

FAKE_HOST_EXPORT std::int32_t PELMORA_WINAPI TRAGetPadID(std::int32_t pad) {
    Host().Calls.push_back({"TRAGetPadID", {std::to_string(pad)}});
    return pad + pelmora::testing::FakeHost::kPadIdOffset;
}

FAKE_HOST_EXPORT std::int32_t PELMORA_WINAPI TRAGetPadInit(std::int32_t padId, const char* key,
                                                           char* buffer, std::int32_t size) {
    Host().Calls.push_back({"TRAGetPadInit", {std::to_string(padId), key, std::to_string(size)}});
#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
    asm volatile("fnstcw %0" : "=m"(Host().X87Seen));
    asm volatile("stmxcsr %0" : "=m"(Host().SseSeen));
#endif
    const auto pad = Host().Pads.find(padId);
    const bool found = pad != Host().Pads.end() && pad->second.count(key) != 0;
    const std::string text = found ? pad->second.at(key) : Host().MissingKeyFill;
    const std::size_t length =
        std::min<std::size_t>(text.size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return found ? 1 : 0;
}

FAKE_HOST_EXPORT std::int32_t PELMORA_WINAPI TRASetPadInit(std::int32_t padId, const char* key,
                                                           const char* value) {
    Host().Calls.push_back({"TRASetPadInit", {std::to_string(padId), key, value}});
    if (Host().SetPadInitResult != 0) {
        Host().Pads[padId][key] = value;
    }
    return Host().SetPadInitResult;
}

FAKE_HOST_EXPORT std::int32_t PELMORA_WINAPI TRAChangePluginMenus(const char* name) {
    Host().Calls.push_back({"TRAChangePluginMenus", {name}});
    return Host().ChangeMenusResult;
}

FAKE_HOST_EXPORT std::intptr_t PELMORA_WINAPI TRAGetPadWnd(std::int32_t padId) {
    Host().Calls.push_back({"TRAGetPadWnd", {std::to_string(padId)}});
    return 0;
}

// Bound but never called by the plug-in.
#define UNUSED_HOST_FUNCTION(name)                                                                 \
    FAKE_HOST_EXPORT std::int32_t PELMORA_WINAPI name() {                                          \
        Host().Calls.push_back({#name, {}});                                                       \
        return 0;                                                                                  \
    }
PELMORA_UNCALLED_HOST_FUNCTIONS(UNUSED_HOST_FUNCTION)
