// The Qt dialog service: message boxes, the input box, file dialogs and the
// colour dialog, driven as a user would.
#include "platform/cp932.h"
#include "qt/QtPrompts.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace pelmora;

namespace {

// Runs `action` on the modal dialog once it is shown.
void WhenModal(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        }
    });
    timer->start(10);
}

QPushButton* ButtonWithText(QWidget* dialog, const QString& text) {
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->text() == text) {
            return button;
        }
    }
    return nullptr;
}

QStringList ButtonTexts(QMessageBox* box) {
    QStringList texts;
    for (QAbstractButton* button : box->buttons()) {
        texts << button->text();
    }
    return texts;
}

} // namespace

class QtPromptsTest : public QObject {
    Q_OBJECT

private slots:
    void filtersBecomeQtNameFilters() {
        QCOMPARE(QtNameFilters("パターンファイル(*.ptn)|*.ptn|すべてのファイル(*.*)|*.*"),
                 QStringList({QString::fromUtf8("パターンファイル (*.ptn)"),
                              QString::fromUtf8("すべてのファイル (*)")}));
        QCOMPARE(QtNameFilters("Pictures|*.bmp;*.dib"), QStringList({"Pictures (*.bmp *.dib)"}));
        QCOMPARE(QtNameFilters(""), QStringList());
    }

    void shiftJisLengthCountsDoubleByteCharacters() {
        QCOMPARE(SjisByteLength(QStringLiteral("abc")), 3);
        QCOMPARE(SjisByteLength(QString::fromUtf8("パターン")), 8);
        QCOMPARE(SjisByteLength(QString::fromUtf8("ｱｲ")), 2); // half-width katakana
    }

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
        WhenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box != nullptr);
            title = box->windowTitle();
            text = box->text();
            shownIcon = box->icon();
            shownTexts = ButtonTexts(box);
            ButtonWithText(box, press)->click();
        });
        QtPrompts prompts;
        const MsgResult answer =
            prompts.Message("一行目\r\n二行目", MsgKind(kind), MsgButtons(buttons), "確認");
        QCOMPARE(int(answer), result);
        QCOMPARE(title, QString::fromUtf8("確認"));
        QCOMPARE(text, QString::fromUtf8("一行目\n二行目"));
        QCOMPARE(shownIcon, icon);
        QCOMPARE(shownTexts, texts);
    }

    void messageBoxWithoutTitleIsTitledPelmora() {
        QString title;
        WhenModal([&](QWidget* modal) {
            title = modal->windowTitle();
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        QtPrompts prompts;
        QCOMPARE(int(prompts.Message("x", MsgKind::Confirmation, MsgButtons::OkCancel, "")),
                 int(MsgResult::Cancel));
        QCOMPARE(title, QStringLiteral("Pelmora"));
    }

    void inputBoxStartsSelectedCentredAndReturnsTheText() {
        bool selected = false;
        QPoint centre, screenCentre;
        WhenModal([&](QWidget* modal) {
            auto* edit = modal->findChild<QLineEdit*>("edInput");
            QVERIFY(edit != nullptr);
            selected = edit->selectedText() == QStringLiteral("old");
            centre = modal->geometry().center();
            screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
            QTest::keyClicks(edit, "new");
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QtPrompts prompts;
        const std::optional<std::string> typed =
            prompts.Input("パターン名の指定", "名前：", "old", 255);
        QVERIFY(typed.has_value());
        QCOMPARE(QString::fromStdString(*typed), QStringLiteral("new"));
        QVERIFY(selected);
        QVERIFY((centre - screenCentre).manhattanLength() <= 2);
    }

    void inputBoxCancelGivesNothing() {
        WhenModal([](QWidget* modal) {
            ButtonWithText(modal, QString::fromUtf8("キャンセル"))->click();
        });
        QtPrompts prompts;
        QVERIFY(!prompts.Input("t", "p", "x", 255).has_value());
    }

    void inputBoxRefusesTextLongerThanTheLimit() {
        QString shown;
        WhenModal([&](QWidget* modal) {
            auto* edit = modal->findChild<QLineEdit*>("edInput");
            edit->clear();
            for (const QChar c : QString::fromUtf8("あいう")) { // 6 bytes; the limit is 5
                QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
                QApplication::sendEvent(edit, &press);
            }
            shown = edit->text();
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QtPrompts prompts;
        const std::optional<std::string> typed = prompts.Input("t", "p", "", 5);
        QCOMPARE(shown, QString::fromUtf8("あい"));
        QCOMPARE(QString::fromStdString(typed.value_or("")), QString::fromUtf8("あい"));
    }

    void inputBoxRefusesACharacterShiftJisLacks() {
        QString warning;
        bool stayedOpen = false;
        WhenModal([&](QWidget* modal) {
            auto* edit = modal->findChild<QLineEdit*>("edInput");
            edit->setText(QString::fromUtf8("\xF0\x9F\x98\x80"));
            WhenModal([&, modal, edit](QWidget* box) {
                warning = qobject_cast<QMessageBox*>(box) ? box->windowTitle() : QString();
                QTest::keyClick(box, Qt::Key_Return);
                QTimer::singleShot(0, [&, modal, edit] {
                    stayedOpen = modal->isVisible();
                    edit->setText(QStringLiteral("ok"));
                    QTest::keyClick(edit, Qt::Key_Return);
                });
            });
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QtPrompts prompts;
        const std::optional<std::string> typed = prompts.Input("題", "p", "", 255);
        QCOMPARE(warning, QString::fromUtf8("題"));
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
        WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog != nullptr);
            title = dialog->windowTitle();
            directory = dialog->directory().absolutePath();
            filters = dialog->nameFilters();
            dialog->selectFile(dir.filePath("a.ptn"));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        FileDialogRequest request;
        request.title = "パターンファイルの指定";
        request.filter = "パターンファイル(*.ptn)|*.ptn|すべてのファイル(*.*)|*.*";
        request.defaultExtension = "ptn";
        request.initialDir = dir.path().toStdString() + "/";
        request.mustExist = true;
        QtPrompts prompts;
        const std::optional<std::string> chosen = prompts.OpenFile(request);
        QCOMPARE(QString::fromStdString(chosen.value_or("")), dir.filePath("a.ptn"));
        QCOMPARE(title, QString::fromUtf8("パターンファイルの指定"));
        QCOMPARE(directory, dir.path());
        QCOMPARE(filters.size(), 2);
    }

    void saveDialogAddsTheDefaultExtension() {
        QTemporaryDir dir;
        WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            dialog->selectFile(dir.filePath("out"));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        FileDialogRequest request;
        request.title = "パターン出力先のファイル指定";
        request.filter = "パターンファイル(*.ptn)|*.ptn";
        request.defaultExtension = "ptn";
        request.initialDir = dir.path().toStdString();
        request.confirmOverwrite = true;
        request.folderMustExist = true;
        QtPrompts prompts;
        const std::optional<std::string> chosen = prompts.SaveFile(request);
        QCOMPARE(QString::fromStdString(chosen.value_or("")), dir.filePath("out.ptn"));
    }

    void cancelledFileDialogGivesNothing() {
        WhenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
        QtPrompts prompts;
        QVERIFY(!prompts.OpenFile(FileDialogRequest{}).has_value());
    }

    void colourDialogStartsWithTheResolvedColourAndReturnsTheChoice() {
        QColor initial;
        WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QColorDialog*>(modal);
            QVERIFY(dialog != nullptr);
            initial = dialog->currentColor();
            dialog->setCurrentColor(QColor(0x12, 0x34, 0x56));
            dialog->accept();
        });
        QtPrompts prompts;
        const std::optional<TColor> chosen = prompts.ChooseColor(0x8000000F); // button face
        QCOMPARE(initial, QColor(240, 240, 240));
        QCOMPARE(chosen.value_or(0), TColor(0x563412));
    }
};

QTEST_MAIN(QtPromptsTest)
#include "qtprompts_test.moc"
