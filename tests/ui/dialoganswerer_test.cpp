// The stand-in launcher's answers to the plug-in's dialogs on its command line.
#include "host/DialogAnswerer.h"
#include "tests/support/DialogAnswer.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstdlib>

using pelmora::host::DialogAnswerer;
using pelmora::testing::kDialogTimeoutMs;

namespace {

// What the answerer prints, collected in memory.
class Printed {
public:
    Printed() : file_(open_memstream(&data_, &size_)) {}
    ~Printed() {
        std::fclose(file_);
        std::free(data_);
    }
    Printed(const Printed&) = delete;
    Printed& operator=(const Printed&) = delete;

    std::FILE* File() const { return file_; }
    QString Text() {
        std::fflush(file_);
        return QString::fromUtf8(data_, static_cast<qsizetype>(size_));
    }

private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::FILE* file_;
};

} // namespace

class DialogAnswererTest : public QObject {
    Q_OBJECT

private slots:
    // The answer comes when the dialog is up and its file-name field has focus,
    // as it does when the launcher is slow to look.
    void fileDialogTakesTheFileOnceFocused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("last");
        QTest::newRow("a file there")
            << "a.ptn" << int(QDialog::Accepted) << "dialog: パターンファイルの指定\n";
        QTest::newRow("a file not there")
            << "missing.ptn" << int(QDialog::Rejected)
            << "dialog: パターンファイルの指定 refused the file (cancelled)\n";
    }
    void fileDialogTakesTheFileOnceFocused() {
        QFETCH(QString, name);
        QFETCH(int, result);
        QFETCH(QString, last);
        QTemporaryDir dir;
        QFile file(dir.filePath("a.ptn"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        QFileDialog dialog(nullptr, QString::fromUtf8("パターンファイルの指定"), dir.path());
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
        QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QLineEdit*>(QApplication::focusWidget()) != nullptr,
                                 kDialogTimeoutMs);

        Printed printed;
        DialogAnswerer answerer(printed.File());
        answerer.SetFileAnswer(dir.filePath(name));
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), kDialogTimeoutMs);
        QCOMPARE(dialog.result(), result);
        if (result == QDialog::Accepted) {
            QCOMPARE(dialog.selectedFiles(), QStringList{dir.filePath(name)});
        }
        const QString text = printed.Text();
        QVERIFY2(text.startsWith(QString::fromUtf8("dialog: パターンファイルの指定\n")),
                 qPrintable(text));
        QVERIFY2(text.endsWith(last), qPrintable(text));
    }

    // One answer serves one dialog: the next one is cancelled.
    void theAnswerIsUsedOnce() {
        QTemporaryDir dir;
        Printed printed;
        DialogAnswerer answerer(printed.File());
        answerer.SetFileAnswer(dir.filePath("out.ptn"));
        for (const int expected : {int(QDialog::Accepted), int(QDialog::Rejected)}) {
            QFileDialog dialog(nullptr, QStringLiteral("save"), dir.path());
            dialog.setOption(QFileDialog::DontUseNativeDialog, true);
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            QCOMPARE(dialog.exec(), expected);
        }
        QCOMPARE(printed.Text(), QStringLiteral("dialog: save\ndialog: save\n"));
    }
};

QTEST_MAIN(DialogAnswererTest)
#include "dialoganswerer_test.moc"
