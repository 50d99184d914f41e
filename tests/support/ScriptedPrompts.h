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
    struct Shown {
        std::string what;  // "message", "input", "open", "save", "color"
        std::string text;  // message text, input prompt, or dialog title
        std::string title; // message or input title
        MsgKind kind = MsgKind::Information;
        MsgButtons buttons = MsgButtons::Ok;
    };

    std::deque<MsgResult> messageAnswers;
    std::deque<std::optional<std::string>> inputAnswers;
    std::deque<std::optional<std::string>> openAnswers;
    std::deque<std::optional<std::string>> saveAnswers;
    std::deque<std::optional<TColor>> colorAnswers;
    std::vector<Shown> shown;
    std::vector<FileDialogRequest> fileRequests;
    std::vector<std::string> inputInitials;
    std::vector<TColor> colorInitials;

    MsgResult Message(const std::string& text, MsgKind kind, MsgButtons buttons,
                      const std::string& title) override {
        shown.push_back({"message", text, title, kind, buttons});
        if (messageAnswers.empty()) {
            return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Cancel;
        }
        return Pop(messageAnswers);
    }
    std::optional<std::string> Input(const std::string& title, const std::string& prompt,
                                     const std::string& initial, int) override {
        shown.push_back({"input", prompt, title, MsgKind::Information, MsgButtons::OkCancel});
        inputInitials.push_back(initial);
        return inputAnswers.empty() ? std::nullopt : Pop(inputAnswers);
    }
    std::optional<std::string> OpenFile(const FileDialogRequest& request) override {
        shown.push_back({"open", request.title, {}, MsgKind::Information, MsgButtons::OkCancel});
        fileRequests.push_back(request);
        return openAnswers.empty() ? std::nullopt : Pop(openAnswers);
    }
    std::optional<std::string> SaveFile(const FileDialogRequest& request) override {
        shown.push_back({"save", request.title, {}, MsgKind::Information, MsgButtons::OkCancel});
        fileRequests.push_back(request);
        return saveAnswers.empty() ? std::nullopt : Pop(saveAnswers);
    }
    std::optional<TColor> ChooseColor(TColor initial) override {
        shown.push_back({"color", {}, {}, MsgKind::Information, MsgButtons::OkCancel});
        colorInitials.push_back(initial);
        return colorAnswers.empty() ? std::nullopt : Pop(colorAnswers);
    }

    // The messages shown, in order.
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const Shown& s : shown) {
            if (s.what == "message") {
                texts.push_back(s.text);
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
