// The Qt dialog service: message boxes, the input box, file dialogs and the
// colour dialog, driven as a user would.
#include "platform/cp932.h"
#include "platform/qt/QtPrompts.h"
#include "qt/Dialogs.h"
#include "tests/support/DialogAnswer.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <optional>

using namespace pelmora;
using pelmora::testing::ButtonWithText;
using pelmora::testing::ChooseFile;
using pelmora::testing::DialogAnswer;

namespace {

QStringList ButtonTexts(QWidget* dialog) {
    QStringList texts;
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
        if (button->isVisible()) {
            texts << button->text();
        }
    }
    return texts;
}

QStringList ButtonTexts(QMessageBox* box) {
    QStringList texts;
    for (QAbstractButton* button : box->buttons()) {
        texts << button->text();
    }
    return texts;
}

// Visible labels and buttons worded in English only: letters, none of them Japanese.
QStringList EnglishTexts(QWidget* dialog) {
    QStringList texts;
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
        if (label->isVisible()) {
            texts << label->text();
        }
    }
    texts << ButtonTexts(dialog);
    QStringList english;
    for (const QString& text : texts) {
        const bool letters = text.contains(QRegularExpression(QStringLiteral("[A-Za-z]{2}")));
        const bool japanese =
            text.contains(QRegularExpression(QStringLiteral("[^\\x{0}-\\x{7f}]")));
        // "OK" and the name of the HTML colour notation read the same in Japanese.
        const bool same = text == QStringLiteral("OK") || text == QStringLiteral("&HTML:");
        if (letters && !japanese && !same) {
            english << text;
        }
    }
    return english;
}

// The texts of a file list's row showing `name`, one a column; none when no
// row shows it yet.
QStringList RowTexts(const QTreeView* list, const QString& name) {
    if (list == nullptr || list->model() == nullptr) {
        return {};
    }
    const QAbstractItemModel* model = list->model();
    const QModelIndex folder = list->rootIndex();
    for (int row = 0; row < model->rowCount(folder); ++row) {
        if (model->index(row, 0, folder).data().toString() != name) {
            continue;
        }
        QStringList texts;
        for (int column = 0; column < model->columnCount(folder); ++column) {
            texts << model->index(row, column, folder).data().toString();
        }
        return texts;
    }
    return {};
}

FileDialogRequest SaveRequest(const QString& folder) {
    FileDialogRequest request;
    request.Title = "パターン出力先のファイル指定";
    request.Filter = "パターンファイル(*.ptn)|*.ptn";
    request.DefaultExtension = "ptn";
    request.InitialDir = folder.toStdString();
    request.ConfirmOverwrite = true;
    request.FolderMustExist = true;
    return request;
}

} // namespace

class QtPromptsTest : public QObject {
    Q_OBJECT

private slots:
    void messageBoxHasTitleIconAndJapaneseButtons_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("press");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("result");
        const QString ok = "OK", cancel = QString::fromUtf8("キャンセル");
        const QString yes = QString::fromUtf8("はい(&Y)"), no = QString::fromUtf8("いいえ(&N)");
        QTest::newRow("error ok") << int(MsgKind::Error) << int(MsgButtons::Ok) << ok
                                  << int(QMessageBox::Critical) << QStringList{ok}
                                  << int(MsgResult::Ok);
        QTest::newRow("confirm cancel")
            << int(MsgKind::Confirmation) << int(MsgButtons::OkCancel) << cancel
            << int(QMessageBox::Question) << QStringList{ok, cancel} << int(MsgResult::Cancel);
        QTest::newRow("confirm ok")
            << int(MsgKind::Confirmation) << int(MsgButtons::OkCancel) << ok
            << int(QMessageBox::Question) << QStringList{ok, cancel} << int(MsgResult::Ok);
        QTest::newRow("yes") << int(MsgKind::Warning) << int(MsgButtons::YesNo) << yes
                             << int(QMessageBox::Warning) << QStringList{yes, no}
                             << int(MsgResult::Yes);
        QTest::newRow("no") << int(MsgKind::Information) << int(MsgButtons::YesNo) << no
                            << int(QMessageBox::Information) << QStringList{yes, no}
                            << int(MsgResult::No);
    }
    void messageBoxHasTitleIconAndJapaneseButtons() {
        QFETCH(int, kind);
        QFETCH(int, buttons);
        QFETCH(QString, press);
        QFETCH(int, icon);
        QFETCH(QStringList, texts);
        QFETCH(int, result);
        QString title, text;
        int shownIcon = -1;
        QStringList shownTexts;
        DialogAnswer<QMessageBox> reply("the message box", [&](QMessageBox* box) {
            title = box->windowTitle();
            text = box->text();
            shownIcon = box->icon();
            shownTexts = ButtonTexts(box);
            QPushButton* button = ButtonWithText(box, press);
            QVERIFY(button != nullptr);
            button->click();
        });
        QtPrompts prompts(RunQtInputBox);
        const MsgResult answer =
            prompts.Message("一行目\r\n二行目", MsgKind(kind), MsgButtons(buttons), "確認");
        QVERIFY2(reply.Answered(), reply.Failure());
        QCOMPARE(int(answer), result);
        QCOMPARE(title, QString::fromUtf8("確認"));
        QCOMPARE(text, QString::fromUtf8("一行目\n二行目"));
        QCOMPARE(shownIcon, icon);
        QCOMPARE(shownTexts, texts);
    }

    void messageBoxWithoutTitleIsTitledPelmora() {
        QString title;
        DialogAnswer<QMessageBox> reply("the message box", [&](QMessageBox* box) {
            title = box->windowTitle();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QtPrompts prompts(RunQtInputBox);
        QCOMPARE(int(prompts.Message("x", MsgKind::Confirmation, MsgButtons::OkCancel, "")),
                 int(MsgResult::Cancel));
        QVERIFY2(reply.Answered(), reply.Failure());
        QCOMPARE(title, QStringLiteral("Pelmora"));
    }

    void inputBoxStartsSelectedCentredAndReturnsTheText() {
        bool looked = false, selected = false;
        QPoint centre, screenCentre;
        DialogAnswer<QDialog> reply("the input box", [&](QDialog* box) {
            auto* edit = box->findChild<QLineEdit*>("edInput");
            QVERIFY(edit != nullptr);
            if (!looked) {
                looked = true;
                selected = edit->selectedText() == QStringLiteral("old");
                centre = box->geometry().center();
                screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
            }
            edit->selectAll();
            QTest::keyClicks(edit, "new");
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QtPrompts prompts(RunQtInputBox);
        const std::optional<std::string> typed =
            prompts.Input("パターン名の指定", "名前：", "old", 255);
        QVERIFY2(reply.Answered(), reply.Failure());
        QVERIFY(typed.has_value());
        QCOMPARE(QString::fromStdString(*typed), QStringLiteral("new"));
        QVERIFY(selected);
        QVERIFY((centre - screenCentre).manhattanLength() <= 2);
    }

    void inputBoxCancelGivesNothing() {
        DialogAnswer<QDialog> reply("the input box", [](QDialog* box) {
            QPushButton* cancel = ButtonWithText(box, QString::fromUtf8("キャンセル"));
            QVERIFY(cancel != nullptr);
            cancel->click();
        });
        QtPrompts prompts(RunQtInputBox);
        QVERIFY(!prompts.Input("t", "p", "x", 255).has_value());
        QVERIFY2(reply.Answered(), reply.Failure());
    }

    void inputBoxRefusesTextLongerThanTheLimit() {
        QString shown;
        DialogAnswer<QDialog> reply("the input box", [&](QDialog* box) {
            auto* edit = box->findChild<QLineEdit*>("edInput");
            edit->clear();
            for (const QChar c : QString::fromUtf8("あいう")) { // 6 bytes; the limit is 5
                QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
                QApplication::sendEvent(edit, &press);
            }
            shown = edit->text();
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QtPrompts prompts(RunQtInputBox);
        const std::optional<std::string> typed = prompts.Input("t", "p", "", 5);
        QVERIFY2(reply.Answered(), reply.Failure());
        QCOMPARE(shown, QString::fromUtf8("あい"));
        QCOMPARE(QString::fromStdString(typed.value_or("")), QString::fromUtf8("あい"));
    }

    void inputBoxRefusesACharacterShiftJisLacks() {
        QString warning, reason;
        bool warned = false, stayedOpen = false;
        DialogAnswer<QMessageBox> refusal("the refusal", [&](QMessageBox* box) {
            warning = box->windowTitle();
            reason = box->text();
            warned = true;
            QTest::keyClick(box, Qt::Key_Return);
        });
        // First an emoji, which raises the refusal; once it is closed, a storable text.
        DialogAnswer<QDialog> reply("the input box", [&](QDialog* box) {
            auto* edit = box->findChild<QLineEdit*>("edInput");
            if (!warned) {
                edit->setText(QString::fromUtf8("\xF0\x9F\x98\x80"));
                QTest::keyClick(edit, Qt::Key_Return);
                return;
            }
            stayedOpen = box->isVisible();
            edit->setText(QStringLiteral("ok"));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QtPrompts prompts(RunQtInputBox);
        const std::optional<std::string> typed = prompts.Input("題", "p", "", 255);
        QVERIFY2(refusal.Answered(), refusal.Failure());
        QVERIFY2(reply.Answered(), reply.Failure());
        QCOMPARE(warning, QString::fromUtf8("題"));
        QCOMPARE(reason, QString::fromUtf8("\"\xF0\x9F\x98\x80\" は使用できない文字です。"));
        QVERIFY(stayedOpen);
        QCOMPARE(QString::fromStdString(typed.value_or("")), QStringLiteral("ok"));
    }

    void openDialogStartsInTheFolderWithTheFilters() {
        QTemporaryDir dir;
        QFile file(dir.filePath("a.ptn"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QString title, directory;
        QStringList filters;
        DialogAnswer<QFileDialog> reply("the open dialog", [&](QFileDialog* dialog) {
            title = dialog->windowTitle();
            directory = dialog->directory().absolutePath();
            filters = dialog->nameFilters();
            ChooseFile(dialog, dir.filePath("a.ptn"));
        });
        FileDialogRequest request;
        request.Title = "パターンファイルの指定";
        request.Filter = "パターンファイル(*.ptn)|*.ptn|すべてのファイル(*.*)|*.*";
        request.DefaultExtension = "ptn";
        request.InitialDir = dir.path().toStdString() + "/";
        request.MustExist = true;
        QtPrompts prompts(RunQtInputBox);
        const std::optional<std::string> chosen = prompts.OpenFile(request);
        QVERIFY2(reply.Answered(), reply.Failure());
        QCOMPARE(QString::fromStdString(chosen.value_or("")), dir.filePath("a.ptn"));
        QCOMPARE(title, QString::fromUtf8("パターンファイルの指定"));
        QCOMPARE(directory, dir.path());
        QCOMPARE(filters.size(), 2);
    }

    // Sizes, dates and the pattern files' type read in Japanese whatever the
    // process's locale: the window tests run in the C locale.
    void fileListSpeaksJapaneseInAnyLocale() {
        QVERIFY2(QLocale::system().language() != QLocale::Japanese, "a non-Japanese locale");
        QTemporaryDir dir;
        QFile file(dir.filePath("a.ptn"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(491, 'x'));
        QVERIFY(file.flush()); // else closing would stamp the write's time
        QVERIFY(file.setFileTime(QDateTime(QDate(2024, 12, 8), QTime(15, 4, 31)),
                                 QFileDevice::FileModificationTime));
        file.close();
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        QStringList filters, pattern, folder;
        DialogAnswer<QFileDialog> reply("the open dialog", [&](QFileDialog* dialog) {
            filters = dialog->nameFilters();
            const auto* list = dialog->findChild<QTreeView*>("treeView");
            pattern = RowTexts(list, "a.ptn");
            folder = RowTexts(list, "sub");
            // The list fills from another thread: looked at again until it has.
            const bool listed = !pattern.isEmpty() && !folder.isEmpty();
            if (listed && !pattern.contains(QString()) && !folder.mid(2).contains(QString())) {
                dialog->reject();
            }
        });
        FileDialogRequest request;
        request.Filter = "パターンファイル(*.ptn)|*.ptn|すべてのファイル(*.*)|*.*";
        request.DefaultExtension = "ptn";
        request.TypeName = "Pelmora パターンファイル";
        request.InitialDir = dir.path().toStdString();
        QtPrompts prompts(RunQtInputBox);
        QVERIFY(!prompts.OpenFile(request).has_value());
        QVERIFY2(reply.Answered(), reply.Failure());
        QCOMPARE(filters, QStringList({QString::fromUtf8("Pelmora パターンファイル (*.ptn)"),
                                       QString::fromUtf8("すべてのファイル (*)")}));
        QCOMPARE(pattern,
                 QStringList({"a.ptn", QString::fromUtf8("491 バイト"),
                              QString::fromUtf8("Pelmora パターンファイル"), "2024/12/08 15:04"}));
        QCOMPARE(folder.size(), 4);
        QCOMPARE(folder[2], QString::fromUtf8("フォルダ"));
        QVERIFY2(QRegularExpression("^\\d{4}/\\d{2}/\\d{2} \\d{1,2}:\\d{2}$")
                     .match(folder[3])
                     .hasMatch(),
                 qPrintable(folder[3]));
    }

    // A user types the name once the dialog has come up and taken focus; an
    // answer may also come before that.
    void saveDialogAddsTheDefaultExtension_data() {
        QTest::addColumn<bool>("waitForFocus");
        QTest::newRow("answered at once") << false;
        QTest::newRow("answered once focused") << true;
    }
    void saveDialogAddsTheDefaultExtension() {
        QFETCH(bool, waitForFocus);
        QTemporaryDir dir;
        bool typedIntoFocusedField = false;
        DialogAnswer<QFileDialog> reply("the save dialog", [&](QFileDialog* dialog) {
            QWidget* focused = QApplication::focusWidget();
            if (waitForFocus && (focused == nullptr || !dialog->isAncestorOf(focused))) {
                return; // not yet: looked at again shortly
            }
            typedIntoFocusedField = qobject_cast<QLineEdit*>(focused) != nullptr;
            ChooseFile(dialog, dir.filePath("out"));
        });
        QtPrompts prompts(RunQtInputBox);
        const std::optional<std::string> chosen = prompts.SaveFile(SaveRequest(dir.path()));
        QVERIFY2(reply.Answered(), reply.Failure());
        QCOMPARE(QString::fromStdString(chosen.value_or("")), dir.filePath("out.ptn"));
        if (waitForFocus) {
            QVERIFY(typedIntoFocusedField);
        }
    }

    void saveDialogAsksInJapaneseBeforeReplacingAFile() {
        QTemporaryDir dir;
        QFile file(dir.filePath("out.ptn"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QString question, yes;
        DialogAnswer<QMessageBox> replace("the question about replacing", [&](QMessageBox* box) {
            question = box->text();
            yes = box->button(QMessageBox::Yes) ? box->button(QMessageBox::Yes)->text() : "";
            box->button(QMessageBox::Yes)->click();
        });
        DialogAnswer<QFileDialog> reply("the save dialog", [&](QFileDialog* dialog) {
            ChooseFile(dialog, dir.filePath("out.ptn"));
        });
        QtPrompts prompts(RunQtInputBox);
        const std::optional<std::string> chosen = prompts.SaveFile(SaveRequest(dir.path()));
        QVERIFY2(replace.Answered(), replace.Failure());
        QVERIFY2(reply.Answered(), reply.Failure());
        QCOMPARE(QString::fromStdString(chosen.value_or("")), dir.filePath("out.ptn"));
        QCOMPARE(question, QString::fromUtf8("out.ptn は既に存在します。\n置き換えますか?"));
        QCOMPARE(yes, QString::fromUtf8("はい(&Y)"));
    }

    // A name in a folder that does not exist is refused with a message, and the
    // dialog comes again.
    void saveDialogRefusesAMissingFolder() {
        QTemporaryDir dir;
        QString refusal;
        std::optional<DialogAnswer<QFileDialog>> again;
        DialogAnswer<QMessageBox> refused("the refusal", [&](QMessageBox* box) {
            refusal = box->text();
            again.emplace("the save dialog shown again",
                          [&](QFileDialog* dialog) { ChooseFile(dialog, dir.filePath("out")); });
            QTest::keyClick(box, Qt::Key_Return);
        });
        DialogAnswer<QFileDialog> reply("the save dialog", [&](QFileDialog* dialog) {
            ChooseFile(dialog, dir.filePath("missing/out"));
        });
        QtPrompts prompts(RunQtInputBox);
        const std::optional<std::string> chosen = prompts.SaveFile(SaveRequest(dir.path()));
        QVERIFY2(reply.Answered(), reply.Failure());
        QVERIFY2(refused.Answered(), refused.Failure());
        QVERIFY(again.has_value());
        QVERIFY2(again->Answered(), again->Failure());
        QCOMPARE(
            refusal,
            QString::fromUtf8("フォルダ \"%1\" が存在しません。").arg(dir.filePath("missing")));
        QCOMPARE(QString::fromStdString(chosen.value_or("")), dir.filePath("out.ptn"));
    }

    void cancelledFileDialogGivesNothing() {
        DialogAnswer<QFileDialog> reply("the open dialog",
                                        [](QFileDialog* dialog) { dialog->reject(); });
        QtPrompts prompts(RunQtInputBox);
        QVERIFY(!prompts.OpenFile(FileDialogRequest{}).has_value());
        QVERIFY2(reply.Answered(), reply.Failure());
    }

    void colourDialogStartsWithTheResolvedColourAndReturnsTheChoice() {
        QColor initial;
        DialogAnswer<QColorDialog> reply("the colour dialog", [&](QColorDialog* dialog) {
            initial = dialog->currentColor();
            dialog->setCurrentColor(QColor(0x12, 0x34, 0x56));
            dialog->accept();
        });
        QtPrompts prompts(RunQtInputBox);
        const std::optional<TColor> chosen = prompts.ChooseColor(0x8000000F); // button face
        QVERIFY2(reply.Answered(), reply.Failure());
        QCOMPARE(initial, QColor(240, 240, 240));
        QCOMPARE(chosen.value_or(0), TColor(0x563412));
    }

    // Qt's own dialogs speak Japanese: the translation is loaded when the
    // dialog service joins the application.
    void colourAndFileDialogsSpeakJapanese() {
        QString colourTitle;
        QStringList colourButtons, colourEnglish;
        DialogAnswer<QColorDialog> colour("the colour dialog", [&](QColorDialog* dialog) {
            colourTitle = dialog->windowTitle();
            colourButtons = ButtonTexts(dialog);
            colourEnglish = EnglishTexts(dialog);
            dialog->reject();
        });
        QtPrompts prompts(RunQtInputBox);
        QVERIFY(!prompts.ChooseColor(0).has_value());
        QVERIFY2(colour.Answered(), colour.Failure());
        QCOMPARE(colourTitle, QString::fromUtf8("色を選択"));
        for (const char* button : {"カスタムカラーに追加(&A)", "OK", "キャンセル"}) {
            QVERIFY2(colourButtons.contains(QString::fromUtf8(button)),
                     qPrintable(colourButtons.join(" | ")));
        }
        QVERIFY2(colourEnglish.isEmpty(), qPrintable(colourEnglish.join(" | ")));

        QString fileName;
        QStringList fileEnglish;
        DialogAnswer<QFileDialog> file("the open dialog", [&](QFileDialog* dialog) {
            auto* label = dialog->findChild<QLabel*>("fileNameLabel");
            fileName = label != nullptr ? label->text() : QString();
            fileEnglish = EnglishTexts(dialog);
            dialog->reject();
        });
        QVERIFY(!prompts.OpenFile(FileDialogRequest{}).has_value());
        QVERIFY2(file.Answered(), file.Failure());
        QCOMPARE(fileName, QString::fromUtf8("ファイル名(&N):"));
        QVERIFY2(fileEnglish.isEmpty(), qPrintable(fileEnglish.join(" | ")));
    }
};

QTEST_MAIN(QtPromptsTest)
#include "qtprompts_test.moc"
