#pragma once
// The dialog service: every message box, input box, file dialog and colour
// dialog goes through it, so tests can answer them. Texts are UTF-8.
#include "platform/bitmap.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelmora {

enum class MsgKind { Information, Warning, Error, Confirmation };
enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgResult { Ok, Cancel, Yes, No };

struct FileDialogRequest {
    std::string Title;
    std::string Filter;           // "name|pattern|name|pattern" pairs
    std::string DefaultExtension; // without the dot
    std::string InitialDir;
    bool MustExist = false;        // open: the file must exist
    bool ConfirmOverwrite = false; // save: ask before replacing
    bool FolderMustExist = false;  // save: the folder must exist
    // The files of DefaultExtension as a dialog that names file types itself
    // calls them; empty: as the filter names them.
    std::string TypeName;
};

// The request's "name|pattern|name|pattern" as the name filters of a file
// dialog that writes them "name (pattern ...)": ";" separated patterns split,
// "*.*" standing for every file ("*"), a name's own "(...)" dropped, and the
// filter of the default extension alone named by TypeName where it has one.
std::vector<std::string> NameFilters(const FileDialogRequest& request);

// What a one-line input box shows and allows.
struct InputRequest {
    std::string Title;
    std::string Prompt;
    std::string Initial;
    int MaxBytes = 0; // in Shift-JIS; 0: no limit
};

class Prompts {
public:
    virtual ~Prompts() = default;

    // Modal message box; `title` empty means the application's own title.
    virtual MsgResult Message(const std::string& text, MsgKind kind, MsgButtons buttons,
                              const std::string& title = {}) = 0;
    // One-line input box; nullopt on Cancel. `maxBytes` limits the Shift-JIS length (0: none).
    virtual std::optional<std::string> Input(const std::string& title, const std::string& prompt,
                                             const std::string& initial, int maxBytes) = 0;
    // Chosen file path, nullopt on Cancel.
    virtual std::optional<std::string> OpenFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> SaveFile(const FileDialogRequest& request) = 0;
    // Colour dialog (full custom panel, any colour); nullopt on Cancel.
    virtual std::optional<TColor> ChooseColor(TColor initial) = 0;
};

// Declares, in a class that implements Prompts, every function it must
// define: one list for every dialog service.
#define PELMORA_PROMPTS_OVERRIDES                                                                  \
    MsgResult Message(const std::string& text, MsgKind kind, MsgButtons buttons,                   \
                      const std::string& title) override;                                          \
    std::optional<std::string> Input(const std::string& title, const std::string& prompt,          \
                                     const std::string& initial, int maxBytes) override;           \
    std::optional<std::string> OpenFile(const FileDialogRequest& request) override;                \
    std::optional<std::string> SaveFile(const FileDialogRequest& request) override;                \
    std::optional<TColor> ChooseColor(TColor initial) override;

// Shows nothing and answers every question with Cancel (No where there is
// no Cancel): the service of a caller without a window system.
class SilentPrompts final : public Prompts {
public:
    PELMORA_PROMPTS_OVERRIDES
};

} // namespace pelmora
