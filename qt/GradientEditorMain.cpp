// pelmora-gradient-editor [TEXT]: opens the gradient editor on the gradient
// TEXT (or on a new one). OK prints the edited gradient's text and exits with
// 0; Cancel prints nothing and exits with 1.
#include "platform/qt/QtPrompts.h"
#include "qt/Dialogs.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[]) {
    const bool help =
        argc == 2 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0);
    if (argc > 2 || help) {
        std::fprintf(
            help ? stdout : stderr,
            "usage: pelmora-gradient-editor [GRADIENT-TEXT]\n"
            "Opens the gradient editor on GRADIENT-TEXT (for example\n"
            "\"0,90,0,0,0,,00000000FF,320000FFFF,6400FF0000\") or on a new gradient.\n"
            "OK prints the edited gradient's text and exits with 0; Cancel exits with 1.\n");
        return help ? 0 : 2;
    }
    QApplication app(argc, argv);
    pelmora::EnsureQtApplication(); // joins it, so Qt's own texts are Japanese too
    pelmora::QtPrompts prompts(pelmora::RunQtInputBox);
    pelmora::QtModalForms forms;
    pelmora::TGrad gradient;
    if (argc == 2) {
        gradient.LoadFromText(argv[1]);
    }
    pelmora::FormEditorDialogs dialogs(forms,
                                       [&prompts]() -> pelmora::Prompts& { return prompts; });
    if (!dialogs.EditGradient(gradient)) {
        return 1;
    }
    std::printf("%s\n", gradient.SaveToText().c_str());
    return 0;
}
