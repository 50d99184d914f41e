#pragma once
// The system clipboard: plain text in and out, UTF-8. Each platform has its
// own; the module hands one to the editor.
#include <optional>
#include <string>
#include <utility>

namespace pelmora {

class TextClipboard {
public:
    virtual ~TextClipboard() = default;
    // The clipboard's text; nullopt when it holds none. Throws (a Japanese
    // message) when the clipboard cannot be read.
    virtual std::optional<std::string> Text() = 0;
    // Puts `text` on the clipboard in place of what it held. Throws (a
    // Japanese message) when it cannot; the clipboard then holds what it did.
    virtual void SetText(const std::string& text) = 0;
};

// A clipboard of the process's own, for callers without a system one.
class MemoryClipboard final : public TextClipboard {
public:
    std::optional<std::string> Text() override { return text_; }
    void SetText(const std::string& text) override { text_ = text; }

private:
    std::optional<std::string> text_;
};

} // namespace pelmora
