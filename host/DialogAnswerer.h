#pragma once
// Answers the plug-in's modal dialogs on the command line, where nobody can:
// a file dialog gets the file given on the command line (or is cancelled),
// a message box is printed and closed with its default button, and any other
// dialog is cancelled.
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdio>

namespace pelmora::host {

class DialogAnswerer final : public QObject {
    Q_OBJECT
public:
    explicit DialogAnswerer(std::FILE* messages);

    // The file the next file dialog is answered with; empty cancels it.
    void SetFileAnswer(const QString& path) { fileAnswer_ = path; }

private:
    void AnswerActiveDialog();

    QTimer timer_;
    QString fileAnswer_;
    std::FILE* messages_;
};

} // namespace pelmora::host
