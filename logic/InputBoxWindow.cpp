#include "logic/InputBoxWindow.h"

#include "platform/cp932.h"

namespace pelmora {
namespace {

using K = ControlKind;

constexpr const char* kUnstorableCharacter = "\" は使用できない文字です。";

constexpr FormControl kControls[] = {
    {.Name = "lbPrompt", .Kind = K::Label, .Bounds = {8, 8, 304, 14}, .Style = style::NoPrefix},
    {.Name = "edInput", .Kind = K::Edit, .Bounds = {8, 26, 304, 21}, .Style = style::TabStop},
    {.Name = "btOK",
     .Kind = K::Button,
     .Caption = "OK",
     .Bounds = {152, 57, 75, 25},
     .Style = style::Default | style::TabStop},
    {.Name = "btCancel",
     .Kind = K::Button,
     .Caption = "キャンセル",
     .Bounds = {237, 57, 75, 25},
     .Style = style::Cancel | style::TabStop},
};

constexpr FormTable kTable{
    .ClassName = "InputBox",
    .Client = {320, 90},
    .Controls = kControls,
};

} // namespace

const FormTable& InputBoxWindow::Table() {
    return kTable;
}

InputBoxWindow::InputBoxWindow(FormWindow& window, Prompts& messages, InputRequest request)
    : window_(window), messages_(messages), request_(std::move(request)), text_(request_.Initial) {
    window_.SetTitle(request_.Title);
    window_.SetText("lbPrompt", request_.Prompt);
    window_.SetText("edInput", text_);
}

bool InputBoxWindow::Handle(const FormEvent& event) {
    switch (event.Kind) {
    case FormEventKind::Edit:
        text_ = event.Text;
        return true;
    case FormEventKind::Click:
        if (event.Control == "btOK") {
            // The box stays open for a text the settings file could not hold.
            if (const std::optional<std::string> refused = FirstUnstorableCharacter(text_)) {
                messages_.Message("\"" + *refused + kUnstorableCharacter, MsgKind::Warning,
                                  MsgButtons::Ok, request_.Title);
                return true;
            }
            window_.Close(true);
            return true;
        }
        if (event.Control == "btCancel") {
            window_.Close(false);
            return true;
        }
        return false;
    case FormEventKind::CloseRequest:
        window_.Close(false);
        return true;
    default:
        return false;
    }
}

bool InputBoxWindow::Accepts(std::string_view control, std::string_view text) {
    return control != "edInput" || request_.MaxBytes <= 0 ||
           SjisByteLength(text) <= request_.MaxBytes;
}

} // namespace pelmora
