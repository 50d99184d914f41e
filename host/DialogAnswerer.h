#pragma once
// Answers the plug-in's modal dialogs on the command line, where nobody can:
// a file dialog gets the file given on the command line (or is cancelled),
// a message box is printed and closed with its default button, and any other
// dialog is cancelled.
//
// An answer is retried until it takes effect: a dialog that has just come up
// may not yet take what is typed into it. A dialog that still has not taken
// its file after kGiveUpMs, or that refused it with a message, is cancelled,
// so a command never hangs on a dialog.
#include <QElapsedTimer>
#include <QFileDialog>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <cstdio>

namespace pelmora::host {

class DialogAnswerer final : public QObject {
    Q_OBJECT
public:
    static constexpr int kLookEveryMs = 20;
    static constexpr int kGiveUpMs = 20000;

    explicit DialogAnswerer(std::FILE* messages);

    // The file the next file dialog is answered with; empty cancels it.
    void SetFileAnswer(const QString& path) { fileAnswer_ = path; }

    // Deals with the modal dialog on top, if any; the timer calls it every
    // kLookEveryMs.
    void AnswerActiveDialog();

private:
    void AnswerFileDialog(QFileDialog* files);
    void Print(const char* format, const QString& text);

    QTimer timer_;
    QString fileAnswer_;
    // The file dialog being answered, and since when.
    QPointer<QFileDialog> answering_;
    QElapsedTimer answeringFor_;
    bool acceptQueued_ = false;
    bool refused_ = false;
    std::FILE* messages_;
};

} // namespace pelmora::host
