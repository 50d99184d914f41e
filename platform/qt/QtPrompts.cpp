#include "platform/qt/QtPrompts.h"

#include "platform/qt/QtGraphics.h"
#include "platform/syscolors.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTranslator>
#include <algorithm>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace pelmora {
namespace {

constexpr const char* kDefaultTitle = "Pelmora";
constexpr const char* kOk = "OK";
constexpr const char* kCancel = "キャンセル";
constexpr const char* kYes = "はい(&Y)";
constexpr const char* kNo = "いいえ(&N)";
constexpr const char* kFolderMissing = "フォルダ \"%1\" が存在しません。";
constexpr const char* kNoWidgetApplication =
    "ホストの Qt アプリケーションではウィンドウを表示できません。";

std::string U(const QString& text) {
    return text.toUtf8().toStdString();
}

QString WindowText(const std::string& text) {
    QString q = QText(text);
    q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return q;
}

QMessageBox::Icon IconFor(MsgKind kind) {
    switch (kind) {
    case MsgKind::Information:
        return QMessageBox::Information;
    case MsgKind::Warning:
        return QMessageBox::Warning;
    case MsgKind::Error:
        return QMessageBox::Critical;
    case MsgKind::Confirmation:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// Qt's file list writes sizes and dates in the process's locale and names
// file types from the desktop's database, which takes a pattern file for
// subtitles. This shows sizes and dates the Japanese way, and the request's
// own type by the name it gives.
class JapaneseFileColumns final : public QIdentityProxyModel {
public:
    JapaneseFileColumns(const FileDialogRequest& request, QObject* parent)
        : QIdentityProxyModel(parent), typeName_(QText(request.TypeName)),
          suffix_(QText(request.DefaultExtension)) {}

    QVariant data(const QModelIndex& index, int role) const override {
        QVariant shown = QIdentityProxyModel::data(index, role);
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || files == nullptr || shown.toString().isEmpty()) {
            return shown;
        }
        const QModelIndex file = mapToSource(index);
        const QLocale japanese(QLocale::Japanese, QLocale::Japan);
        switch (index.column()) {
        case kSizeColumn:
            return japanese.formattedDataSize(files->size(file));
        case kTypeColumn:
            return TypeOf(files->fileInfo(file), shown);
        case kDateColumn:
            return japanese.toString(files->lastModified(file), QLocale::ShortFormat);
        default:
            return shown;
        }
    }

private:
    static constexpr int kSizeColumn = 1;
    static constexpr int kTypeColumn = 2;
    static constexpr int kDateColumn = 3;

    QVariant TypeOf(const QFileInfo& info, const QVariant& shown) const {
        if (info.isDir()) {
            // Qt's Japanese translation has the folder's type under the dialog only.
            return QCoreApplication::translate("QFileDialog", "Folder");
        }
        const bool own = !typeName_.isEmpty() && !suffix_.isEmpty() &&
                         info.suffix().compare(suffix_, Qt::CaseInsensitive) == 0;
        return own ? QVariant(typeName_) : shown;
    }

    QString typeName_;
    QString suffix_;
};

void PrepareFileDialog(QFileDialog& dialog, const FileDialogRequest& request) {
    dialog.setWindowTitle(QText(request.Title));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setProxyModel(new JapaneseFileColumns(request, &dialog));
    QStringList filters;
    for (const std::string& filter : NameFilters(request)) {
        filters << QText(filter);
    }
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QText(request.DefaultExtension));
    if (!request.InitialDir.empty() && QDir(QText(request.InitialDir)).exists()) {
        dialog.setDirectory(QText(request.InitialDir));
    }
    dialog.setSizeGripEnabled(true);
}

std::optional<std::string> RunFileDialog(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return U(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
}

// Qt's own dialogs (colour, files, their questions, the edit fields' menus)
// speak Japanese like the rest of the module. Loaded once into each application
// object the module makes or joins; without the translation they stay English.
void LoadQtJapanese(QCoreApplication& application) {
    static QPointer<QCoreApplication> translated;
    if (translated == &application) {
        return;
    }
    translated = &application;
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        translator->setParent(&application); // the application owns it from here
        QCoreApplication::installTranslator(translator.release());
    }
}

} // namespace

void EnsureQtApplication() {
    if (auto* joined = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        LoadQtJapanese(*joined);
        return;
    }
    if (QCoreApplication::instance() != nullptr) {
        throw std::runtime_error(kNoWidgetApplication);
    }
    static int argc = 1;
    static char name[] = "Pelmora";
    static char* argv[] = {name, nullptr};
    static const std::unique_ptr<QApplication> application =
        std::make_unique<QApplication>(argc, argv);
    LoadQtJapanese(*application);
}

MsgResult QtPrompts::Message(const std::string& text, MsgKind kind, MsgButtons buttons,
                             const std::string& title) {
    EnsureQtApplication();
    QMessageBox box(IconFor(kind), title.empty() ? QText(kDefaultTitle) : QText(title),
                    WindowText(text));
    box.setObjectName(QStringLiteral("MessageBox"));
    // The buttons, and what each answers: the first is the default, the last Esc's.
    struct Answer {
        const char* Caption;
        QMessageBox::ButtonRole Role;
        MsgResult Result;
    };
    std::vector<Answer> answers = {{kOk, QMessageBox::AcceptRole, MsgResult::Ok}};
    if (buttons == MsgButtons::OkCancel) {
        answers.push_back({kCancel, QMessageBox::RejectRole, MsgResult::Cancel});
    } else if (buttons == MsgButtons::YesNo) {
        answers = {{kYes, QMessageBox::YesRole, MsgResult::Yes},
                   {kNo, QMessageBox::NoRole, MsgResult::No}};
    }
    std::vector<QPushButton*> shown;
    for (const Answer& answer : answers) {
        shown.push_back(box.addButton(QText(answer.Caption), answer.Role));
    }
    box.setDefaultButton(shown.front());
    box.setEscapeButton(shown.back());
    box.exec();
    // Closed without a button (the system closing it): Esc's answer.
    const auto clicked = std::find(shown.begin(), shown.end(), box.clickedButton());
    const auto index = static_cast<std::size_t>(clicked - shown.begin());
    return answers[std::min(index, shown.size() - 1)].Result;
}

std::optional<std::string> QtPrompts::Input(const std::string& title, const std::string& prompt,
                                            const std::string& initial, int maxBytes) {
    if (!inputBox_) {
        throw std::runtime_error("入力ダイアログを表示できません。");
    }
    EnsureQtApplication();
    return inputBox_(*this, {title, prompt, initial, maxBytes});
}

std::optional<std::string> QtPrompts::OpenFile(const FileDialogRequest& request) {
    EnsureQtApplication();
    QFileDialog dialog;
    PrepareFileDialog(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    return RunFileDialog(dialog);
}

std::optional<std::string> QtPrompts::SaveFile(const FileDialogRequest& request) {
    EnsureQtApplication();
    QFileDialog dialog;
    PrepareFileDialog(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.ConfirmOverwrite);
    for (;;) {
        std::optional<std::string> chosen = RunFileDialog(dialog);
        if (!chosen || !request.FolderMustExist ||
            QFileInfo(QText(*chosen)).absoluteDir().exists()) {
            return chosen;
        }
        QMessageBox::warning(nullptr, QText(request.Title),
                             QText(kFolderMissing).arg(QFileInfo(QText(*chosen)).absolutePath()));
    }
}

std::optional<TColor> QtPrompts::ChooseColor(TColor initial) {
    EnsureQtApplication();
    const QColor chosen = QColorDialog::getColor(QColorOf(initial), nullptr);
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return Rgb(chosen.red(), chosen.green(), chosen.blue());
}

} // namespace pelmora
