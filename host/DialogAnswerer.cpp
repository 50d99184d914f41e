#include "host/DialogAnswerer.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace pelmora::host {

DialogAnswerer::DialogAnswerer(std::FILE* messages) : messages_(messages) {
    connect(&timer_, &QTimer::timeout, this, &DialogAnswerer::AnswerActiveDialog);
    timer_.start(20);
}

void DialogAnswerer::AnswerActiveDialog() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) {
        return;
    }
    if (auto* files = qobject_cast<QFileDialog*>(modal)) {
        std::fprintf(messages_, "dialog: %s\n", files->windowTitle().toUtf8().constData());
        if (fileAnswer_.isEmpty()) {
            files->reject();
            return;
        }
        files->selectFile(fileAnswer_);
        fileAnswer_.clear();
        // As if the user pressed Enter on the chosen name.
        QMetaObject::invokeMethod(files, "accept", Qt::QueuedConnection);
    } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        std::fprintf(messages_, "message: %s\n", box->text().toUtf8().constData());
        if (QPushButton* button = box->defaultButton()) {
            button->click();
        } else {
            box->accept();
        }
    } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        std::fprintf(messages_, "dialog: %s (cancelled)\n",
                     dialog->windowTitle().toUtf8().constData());
        dialog->reject();
    }
    std::fflush(messages_);
}

} // namespace pelmora::host
