// pelmora-gradient-editor [TEXT]: opens the gradient editor on the gradient
// TEXT (or on a new one). OK prints the edited gradient's text and exits with
// 0; Cancel prints nothing and exits with 1.
#include "editor/QtPrompts.h"
#include "gradient/Grad.h"

#include <QApplication>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() > 2 || (args.size() == 2 && (args[1] == QLatin1String("-h") ||
                                                 args[1] == QLatin1String("--help")))) {
        std::fprintf(stderr, "usage: pelmora-gradient-editor [GRADIENT-TEXT]\n"
                             "  OK prints the gradient text and exits 0; Cancel exits 1.\n");
        return 2;
    }
    pelmora::InstallPrompts(std::make_unique<pelmora::QtPrompts>());

    pelmora::TGradDialog editor;
    if (args.size() == 2) {
        editor.Gradation().LoadFromText(args[1].toStdString());
    }
    if (!editor.Execute()) {
        return 1;
    }
    std::printf("%s\n", editor.Gradation().SaveToText().c_str());
    return 0;
}
