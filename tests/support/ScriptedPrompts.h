#pragma once
// A dialog service for tests: records every dialog it is asked to show and
// answers from queues the test fills beforehand. An unexpected dialog (empty
// queue) is answered with Cancel and recorded, so the test can fail on it.
#include "platform/prompts.h"

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pelmora::testing {

class ScriptedPrompts final : public Prompts {
public:
    struct Dialog {
        std::string What;  // "message", "input", "open", "save", "color"
        std::string Text;  // message text, input prompt, or dialog title
        std::string Title; // message or input title
        MsgKind Kind = MsgKind::Information;
        MsgButtons Buttons = MsgButtons::Ok;
    };

    std::deque<MsgResult> MessageAnswers;
    std::deque<std::optional<std::string>> InputAnswers;
    std::deque<std::optional<std::string>> OpenAnswers;
    std::deque<std::optional<std::string>> SaveAnswers;
    std::deque<std::optional<TColor>> ColorAnswers;
    std::vector<Dialog> Shown;
    std::vector<FileDialogRequest> FileRequests;
    std::vector<std::string> InputInitials;
    std::vector<TColor> ColorInitials;

    MsgResult Message(const std::string& text, MsgKind kind, MsgButtons buttons,
                      const std::string& title) override {
        Shown.push_back({"message", text, title, kind, buttons});
        if (MessageAnswers.empty()) {
            return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Cancel;
        }
        return Pop(MessageAnswers);
    }
    std::optional<std::string> Input(const std::string& title, const std::string& prompt,
                                     const std::string& initial, int) override {
        Shown.push_back({"input", prompt, title, MsgKind::Information, MsgButtons::OkCancel});
        InputInitials.push_back(initial);
        return InputAnswers.empty() ? std::nullopt : Pop(InputAnswers);
    }
    std::optional<std::string> OpenFile(const FileDialogRequest& request) override {
        Shown.push_back({"open", request.Title, {}, MsgKind::Information, MsgButtons::OkCancel});
        FileRequests.push_back(request);
        return OpenAnswers.empty() ? std::nullopt : Pop(OpenAnswers);
    }
    std::optional<std::string> SaveFile(const FileDialogRequest& request) override {
        Shown.push_back({"save", request.Title, {}, MsgKind::Information, MsgButtons::OkCancel});
        FileRequests.push_back(request);
        return SaveAnswers.empty() ? std::nullopt : Pop(SaveAnswers);
    }
    std::optional<TColor> ChooseColor(TColor initial) override {
        Shown.push_back({"color", {}, {}, MsgKind::Information, MsgButtons::OkCancel});
        ColorInitials.push_back(initial);
        return ColorAnswers.empty() ? std::nullopt : Pop(ColorAnswers);
    }

    // The messages shown, in order.
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const Dialog& s : Shown) {
            if (s.What == "message") {
                texts.push_back(s.Text);
            }
        }
        return texts;
    }

private:
    template <typename T> static T Pop(std::deque<T>& queue) {
        T value = std::move(queue.front());
        queue.pop_front();
        return value;
    }
};

// A ScriptedPrompts for a test: its own, or put into a module's dialog
// service (`slot`) for the guard's lifetime, the previous service coming back
// afterwards.
class ScopedScriptedPrompts {
public:
    ScopedScriptedPrompts() : owned_(std::make_unique<ScriptedPrompts>()), prompts_(owned_.get()) {}
    explicit ScopedScriptedPrompts(std::unique_ptr<Prompts>& slot) : slot_(&slot) {
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts_ = scripted.get();
        previous_ = std::exchange(slot, std::move(scripted));
    }
    ~ScopedScriptedPrompts() {
        if (slot_ != nullptr) {
            *slot_ = std::move(previous_);
        }
    }
    ScopedScriptedPrompts(const ScopedScriptedPrompts&) = delete;
    ScopedScriptedPrompts& operator=(const ScopedScriptedPrompts&) = delete;

    ScriptedPrompts* operator->() { return prompts_; }
    ScriptedPrompts& operator*() { return *prompts_; }

private:
    std::unique_ptr<ScriptedPrompts> owned_;
    std::unique_ptr<Prompts>* slot_ = nullptr;
    std::unique_ptr<Prompts> previous_;
    ScriptedPrompts* prompts_ = nullptr;
};

} // namespace pelmora::testing
