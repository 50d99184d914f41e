#include "host/DialogAnswerer.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace pelmora::host {
namespace {

// Types the whole path into the file-name field, as a user would.
// QFileDialog::selectFile() cannot stand in for that: once the dialog is
// active the field has focus, and selectFile() leaves a focused field's text
// alone, so the dialog would be accepted with whatever the field held.
void TypeFileName(QFileDialog* files, const QString& path) {
    if (auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        if (name->text() != path) {
            name->setText(path);
        }
    } else {
        files->selectFile(path);
    }
}

} // namespace

DialogAnswerer::DialogAnswerer(std::FILE* messages) : messages_(messages) {
    connect(&timer_, &QTimer::timeout, this, &DialogAnswerer::AnswerActiveDialog);
    timer_.start(kLookEveryMs);
}

void DialogAnswerer::Print(const char* format, const QString& text) {
    std::fprintf(messages_, format, text.toUtf8().constData());
    std::fflush(messages_);
}

void DialogAnswerer::AnswerActiveDialog() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) {
        return;
    }
    if (auto* files = qobject_cast<QFileDialog*>(modal)) {
        AnswerFileDialog(files);
    } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        Print("message: %s\n", box->text());
        // A message while a file is being given is the file dialog refusing it.
        refused_ = refused_ || answering_ != nullptr;
        if (QPushButton* button = box->defaultButton()) {
            button->click();
        } else {
            box->accept();
        }
    } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        Print("dialog: %s (cancelled)\n", dialog->windowTitle());
        dialog->reject();
    }
}

void DialogAnswerer::AnswerFileDialog(QFileDialog* files) {
    if (files != answering_) {
        Print("dialog: %s\n", files->windowTitle());
        if (fileAnswer_.isEmpty()) {
            files->reject();
            return;
        }
        answering_ = files;
        answeringFor_.start();
        acceptQueued_ = false;
        refused_ = false;
        // One answer serves one showing of one dialog.
        connect(files, &QDialog::finished, this, [this, files] {
            disconnect(files, &QDialog::finished, this, nullptr);
            answering_.clear();
            fileAnswer_.clear();
        });
    }
    if (acceptQueued_) {
        return; // the last try has not run yet
    }
    if (refused_) {
        Print("dialog: %s refused the file (cancelled)\n", files->windowTitle());
        files->reject();
        return;
    }
    if (answeringFor_.hasExpired(kGiveUpMs)) {
        Print("dialog: %s did not respond (cancelled)\n", files->windowTitle());
        files->reject();
        return;
    }
    TypeFileName(files, fileAnswer_);
    // As if the user pressed Enter on the name. Queued, so that a question the
    // dialog asks runs its own loop outside this call and can be answered here.
    acceptQueued_ = true;
    QMetaObject::invokeMethod(
        files,
        [this, files] {
            acceptQueued_ = false;
            static_cast<QDialog*>(files)->accept();
        },
        Qt::QueuedConnection);
}

} // namespace pelmora::host
