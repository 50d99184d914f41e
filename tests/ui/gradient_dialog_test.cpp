// The gradient editor dialog as a real window: its controls, mouse and key
// events delivered to its window reaching the logic, what it paints, and the
// keyboard. The behaviour itself is tested in tests/logic.
#include "logic/GradientDialogPaint.h"
#include "logic/GradientDialogWindow.h"
#include "platform/syscolors.h"
#include "qt/Controls.h"
#include "qt/Dialogs.h"
#include "tests/support/DialogAnswer.h"
#include "tests/support/GradStops.h"
#include "tests/support/QtForms.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/UiWait.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <QtTest>

#include <functional>
#include <vector>

using namespace pelmora;
using pelmora::testing::DialogAnswer;
using pelmora::testing::FormWith;
using pelmora::testing::ScopedScriptedPrompts;

namespace {

using pelmora::testing::Colors;
using pelmora::testing::kBlue;
using pelmora::testing::kGreen;
using pelmora::testing::kRed;
using pelmora::testing::kWhite;
using pelmora::testing::Positions;

// Menu watchers still waiting; a test that fails before its menu shows must
// not leave them to act on a later test's menus.
std::vector<QPointer<QTimer>>& PendingWatchers() {
    static std::vector<QPointer<QTimer>> watchers;
    return watchers;
}

void StopMenuWatchers() {
    for (QPointer<QTimer>& timer : PendingWatchers()) {
        delete timer.data();
    }
    PendingWatchers().clear();
}

// Menus that stayed open after their watcher acted on them.
std::vector<QString>& StuckMenus() {
    static std::vector<QString> stuck;
    return stuck;
}

// Runs `act` on the next pop-up menu as soon as it is shown. A menu `act`
// leaves open is closed after the dialog timeout, so the test fails instead
// of hanging in the menu's event loop.
void WhenMenuShows(std::function<void(QMenu*)> act) {
    auto* timer = new QTimer(qApp);
    PendingWatchers().emplace_back(timer);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            timer->stop();
            timer->deleteLater();
            const QPointer<QMenu> shown(menu);
            act(menu);
            QTimer::singleShot(pelmora::testing::kDialogTimeoutMs, qApp, [shown] {
                if (shown && shown->isVisible()) {
                    StuckMenus().push_back(shown->objectName());
                    shown->close();
                }
            });
        }
    });
    timer->start();
}

// Types one key into each of the pop-up menus that show one after another.
void TypeIntoMenus(std::vector<Qt::Key> keys) {
    if (keys.empty()) {
        return;
    }
    WhenMenuShows([keys](QMenu* menu) mutable {
        const Qt::Key key = keys.front();
        keys.erase(keys.begin());
        TypeIntoMenus(keys);
        QTest::keyClick(menu, key);
    });
}

// The dialog open on a gradient, shown without blocking. Mouse events go to
// the dialog's window, so the platform's press, release and double-click
// sequence and the implicit grab during drags are the real ones.
struct Editor {
    explicit Editor(const char* text) {
        Gradient.LoadFromText(text);
        Dialog.Window().SetGradient(Gradient);
        Dialog.show();
        Dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&Dialog));
    }

    template <typename T> T* Find(const char* name) {
        T* w = Dialog.findChild<T*>(QString::fromLatin1(name));
        if (w == nullptr) {
            qFatal("control %s not found", name);
        }
        return w;
    }

    QWindow* Window() { return Dialog.windowHandle(); }
    QPoint At(QWidget* w, QPoint p) { return w->mapTo(&Dialog, p); }
    QWidget* Strip() { return Find<QWidget>("pbPtr"); }
    QWidget* Preview() { return Find<QWidget>("pbGrad"); }

    void Press(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mousePress(Window(), b, {}, At(w, p));
    }
    void Move(QWidget* w, QPoint p) { QTest::mouseMove(Window(), At(w, p)); }
    void Release(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mouseRelease(Window(), b, {}, At(w, p));
    }
    void Click(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton) {
        Press(w, p, b);
        Release(w, p, b);
    }
    // Left click on the handle of the stop at `pos`.
    QPoint OnHandle(int pos) { return {StopPixel(pos) + 5, 18}; }

    // Alt+S reaches the hidden "&S" button, which clicks once its press has
    // been shown for a moment; returns when its menus are done.
    void AltS() {
        QSignalSpy clicked(Find<QAbstractButton>("btSelect"), &QAbstractButton::clicked);
        QTest::keyClick(&Dialog, Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE_WITH_TIMEOUT(clicked.count(), 1, kSlowMachineTimeoutMs);
    }

    QImage Grab(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    ScopedScriptedPrompts Prompts;
    TGrad Gradient;
    FormWith<GradientDialogWindow> Dialog{*Prompts};
};

// Runs the component's dialog, answering it with `answer` (which closes it);
// OK or Cancel, or why the dialog did not respond.
struct Outcome {
    bool Ok = false;
    QByteArray Failure;
};
Outcome ExecuteAnswering(TGrad& gradient, Prompts& prompts, std::function<void(QtForm*)> answer) {
    DialogAnswer<QtForm> reply("the gradient dialog", "TGradDlg", std::move(answer));
    QtModalForms forms;
    const bool ok = FormEditorDialogs(forms, [&prompts]() -> Prompts& {
                        return prompts;
                    }).EditGradient(gradient);
    return {ok, reply.Answered() ? QByteArray() : QByteArray(reply.Failure())};
}

QColor Pixel(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y));
}

} // namespace

class GradFormTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        StopMenuWatchers();
        const bool stuck = !StuckMenus().empty();
        StuckMenus().clear();
        QVERIFY2(!stuck, "a menu did not respond within the dialog timeout");
    }
    void controlsCarryTheirNamesClassesAndPlaces();
    void stripClicksAndDragsReachTheStops();
    void doubleClickOnAHandleOpensTheColourDialogOnce();
    void rightClickMenuShowsTheLogicsEntriesAndRunsTheChoice();
    void altSOpensTheKeyboardMenu();
    void stripKeysAndUndoReachTheLogicWhereverTheFocusIs();
    void kindListAndAngleArrowsReachTheGradient();
    void fieldsTakeDigitsOnlyHoweverTheyArrive();
    void previewDragsMoveTheCentre();
    void checkBoxesReachTheGradient();
    void paintBoxesShowTheLogicsPictures();
    void stripShowsPositionsExceptForFourCorners();
    void disabledFieldsShowTheFaceColour();
    void barCaptionUnderlinesItsAccelerator();
    void enterPressesTheFocusedButtonElseOk();
    void cancelKeepsEditsOkReportsTrue();
    void okKeepsAHardEdge();
};

void GradFormTest::controlsCarryTheirNamesClassesAndPlaces() {
    Editor e("0,0,0,0,0,,0000000000,6400000000");
    QCOMPARE(e.Dialog.objectName(), QStringLiteral("TGradDlg"));
    QCOMPARE(e.Dialog.windowTitle(), QStringLiteral("グラデーションの設定"));
    QCOMPARE(e.Dialog.size(), QSize(514, 338));
    QCOMPARE(e.Find<TPaintBox>("pbGrad")->geometry(), QRect(8, 9, 240, 240));
    QCOMPARE(e.Find<TPaintBox>("pbPtr")->geometry(), QRect(11, 23, 294, 25));
    QCOMPARE(e.Find<TPaintBox>("pbBar")->geometry(), QRect(16, 48, 271, 26));
    QCOMPARE(e.Find<TPaintBox>("pbLabel")->geometry(), QRect(16, 8, 105, 12));
    QCOMPARE(e.Find<QToolButton>("btSelect")->geometry(), QRect(424, 8, 17, 17));
    QCOMPARE(e.Find<QPushButton>("btOK")->geometry(), QRect(432, 32, 73, 25));
    QCOMPARE(e.Find<QPushButton>("btReverse")->geometry(), QRect(312, 48, 57, 25));
    QCOMPARE(e.Find<TUpDown>("udAngle")->geometry(), QRect(361, 64, 17, 20));
    QCOMPARE(e.Find<TNumberEdit>("edY")->geometry(), QRect(328, 128, 33, 20));
    auto* kinds = e.Find<QComboBox>("cbKind");
    QCOMPARE(kinds->count(), 4);
    QCOMPARE(kinds->itemText(3), QStringLiteral("四角形"));
    QVERIFY(!kinds->itemIcon(1).isNull());
    QCOMPARE(e.Find<QLineEdit>("edAngle")->maxLength(), 3);
    QCOMPARE(e.Find<QLineEdit>("edX")->maxLength(), 4);
    QCOMPARE(e.Find<QLineEdit>("edAngle")->text(), QStringLiteral("0"));
    QVERIFY(e.Find<QToolButton>("btHdl")->isChecked());
    QVERIFY(e.Find<QPushButton>("btOK")->isDefault());
    const QList<QAction*> entries = e.Find<QMenu>("PtrMenu")->actions();
    QCOMPARE(entries.size(), 10);
    QCOMPARE(entries[0]->objectName(), QStringLiteral("mnChange"));
    QCOMPARE(entries[6]->text(), QStringLiteral("均等に配置(&E)"));
    QCOMPARE(entries[9]->text(), QStringLiteral("次に追加(&A)"));
    QVERIFY(entries[2]->isSeparator());
}

void GradFormTest::stripClicksAndDragsReachTheStops() {
    Editor e("0,0,0,0,0,,0000000000,3200FF0000,6400FFFFFF");
    e.Click(e.Strip(), {90, 20}); // Round(85 / 2.7) = 31
    QCOMPARE(Positions(e.Gradient), (std::vector<int>{0, 31, 50, 100}));

    // Pulled off the strip the handle disappears at once, its number with it;
    // released there, it goes.
    const QPoint handle = e.OnHandle(50);
    const auto numberShows = [&] {
        const QImage strip = e.Grab(e.Strip());
        for (int y = 0; y < kStripLabelHeight; ++y) {
            for (int x = StopPixel(50); x < StopPixel(50) + 12; ++x) {
                if (qGray(strip.pixel(x, y)) < 128) {
                    return true;
                }
            }
        }
        return false;
    };
    QCOMPARE(Pixel(e.Grab(e.Strip()), handle.x(), 17), QColor(Qt::blue));
    QVERIFY(numberShows());
    e.Press(e.Strip(), handle);
    e.Move(e.Strip(), {handle.x(), -6});
    QVERIFY(Pixel(e.Grab(e.Strip()), handle.x(), 17) != QColor(Qt::blue));
    QVERIFY2(!numberShows(), "the stop's number goes with its handle");
    e.Release(e.Strip(), {handle.x(), -6});
    QCOMPARE(Positions(e.Gradient), (std::vector<int>{0, 31, 100}));
}

void GradFormTest::doubleClickOnAHandleOpensTheColourDialogOnce() {
    Editor e("0,0,0,0,0,,00000000FF,3200FF0000,640000FF00");
    e.Prompts->ColorAnswers = {kWhite, kWhite};
    QTest::mouseDClick(e.Window(), Qt::LeftButton, {}, e.At(e.Strip(), e.OnHandle(50)));
    QTRY_COMPARE_WITH_TIMEOUT(e.Prompts->ColorInitials.size(), std::size_t{1},
                              kSlowMachineTimeoutMs);
    QCOMPARE(e.Prompts->ColorInitials, (std::vector<TColor>{kBlue}));
    QCOMPARE(Colors(e.Gradient), (std::vector<TColor>{kRed, kWhite, kGreen}));
    QCoreApplication::sendPostedEvents(); // nothing else is waiting to open
    QCOMPARE(e.Prompts->ColorAnswers.size(), std::size_t{1});

    // A double-click on the empty strip opens nothing (but adds a stop there).
    QTest::mouseDClick(e.Window(), Qt::LeftButton, {}, e.At(e.Strip(), {200, 20}));
    QCoreApplication::sendPostedEvents();
    QCOMPARE(e.Prompts->ColorInitials.size(), std::size_t{1});
    QCOMPARE(e.Gradient.Count(), 4);
}

void GradFormTest::rightClickMenuShowsTheLogicsEntriesAndRunsTheChoice() {
    Editor e("0,0,0,0,0,,00000000FF,3200FF0000,640000FF00");
    bool locate = false;
    bool paste = true;
    bool select = true;
    QPoint shownAt;
    WhenMenuShows([&](QMenu* menu) {
        locate = e.Find<QAction>("mnLocate")->isEnabled();
        paste = e.Find<QAction>("mnPaste")->isEnabled();
        select = e.Find<QAction>("mnSelect")->isVisible();
        shownAt = menu->pos();
        QTest::keyClick(menu, Qt::Key_C); // 色コピー
    });
    e.Click(e.Strip(), e.OnHandle(50), Qt::RightButton);
    QVERIFY(locate);
    QVERIFY(!paste);
    QVERIFY(!select);
    QCOMPARE(shownAt, e.Strip()->mapToGlobal(e.OnHandle(50)));
    QCOMPARE(e.Dialog.Window().Logic().CopiedColor(), kBlue);

    TypeIntoMenus({Qt::Key_P});
    e.Click(e.Strip(), e.OnHandle(0), Qt::RightButton);
    QCOMPARE(Colors(e.Gradient), (std::vector<TColor>{kBlue, kBlue, kGreen}));
}

void GradFormTest::altSOpensTheKeyboardMenu() {
    Editor e("0,0,0,0,0,,00000000FF,0A00FF0000,0B0000FF00,6400FFFFFF"); // 0, 10, 11, 100
    bool keyboardEntries = false;
    QPoint shownAt;
    WhenMenuShows([&](QMenu* menu) {
        keyboardEntries =
            e.Find<QAction>("mnSelect")->isVisible() && e.Find<QAction>("mnAdd")->isVisible();
        shownAt = menu->pos();
        TypeIntoMenus({Qt::Key_A});
        QTest::keyClick(menu, Qt::Key_S); // 次を選択, then 次に追加
    });
    e.AltS();
    QVERIFY(keyboardEntries);
    QCOMPARE(shownAt, e.Strip()->mapToGlobal(QPoint(5, 13)));
    QCOMPARE(Positions(e.Gradient), (std::vector<int>{0, 10, 10, 11, 100}));
}

void GradFormTest::stripKeysAndUndoReachTheLogicWhereverTheFocusIs() {
    Editor e("0,0,0,0,0,,00000000FF,3200FF0000,640000FF00");
    using Ints = std::vector<int>;
    auto* angle = e.Find<QLineEdit>("edAngle");
    QWidget* strip = e.Strip();
    angle->setFocus();
    QTest::keyClick(angle, Qt::Key_Tab); // past the centre's fields, off for this kind
    QCOMPARE(QApplication::focusWidget(), strip);
    QTest::keyClick(strip, Qt::Key_Right);
    // The selected stop has a dotted frame while the strip has the focus.
    QCOMPARE(Pixel(e.Grab(strip), StopPixel(50) - 2, 20), QColor(Qt::black));
    QTest::keyClick(strip, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(strip, Qt::Key_Insert);
    QCOMPARE(Positions(e.Gradient), (Ints{0, 51, 76, 100}));
    e.Prompts->ColorAnswers = {kWhite};
    QTest::keyClick(strip, Qt::Key_Return);
    QCOMPARE(e.Gradient.GetColor(2), kWhite);
    QVERIFY2(e.Dialog.isVisible(), "Enter on the strip is the strip's");
    QTest::keyClick(strip, Qt::Key_Delete);
    QCOMPARE(Positions(e.Gradient), (Ints{0, 51, 100}));

    // Ctrl+Z on the strip, in a field (not the field's own undo), Ctrl+Y and
    // Ctrl+Shift+Z in the kind list.
    QTest::keyClick(strip, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Positions(e.Gradient), (Ints{0, 51, 76, 100}));
    QTest::keyClicks(angle, "9");
    QCOMPARE(e.Gradient.Angle, 9);
    QTest::keyClick(angle, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(e.Gradient.Angle, 0);
    QCOMPARE(angle->text(), QStringLiteral("0"));
    QTest::keyClick(angle, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(angle, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Positions(e.Gradient), (Ints{0, 51, 100}));
    auto* kinds = e.Find<QComboBox>("cbKind");
    QTest::keyClick(kinds, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(Positions(e.Gradient), (Ints{0, 51, 76, 100}));
    QTest::keyClick(kinds, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(e.Gradient.GetColor(2), kWhite);
}

void GradFormTest::kindListAndAngleArrowsReachTheGradient() {
    Editor e("0,45,0,0,0,,00000000FF,0A00FF0000,140000FF00,1E00FFFFFF,6400000000");
    auto* kinds = e.Find<QComboBox>("cbKind");
    auto* angle = e.Find<QLineEdit>("edAngle");
    auto* arrows = e.Find<TUpDown>("udAngle");
    kinds->setFocus();
    QTest::keyClick(kinds, Qt::Key_End);
    QCOMPARE(e.Gradient.Kind, std::uint8_t{gkQuad});
    QCOMPARE(Positions(e.Gradient), (std::vector<int>{0, 33, 67, 100}));
    QCOMPARE(angle->text(), QStringLiteral("0"));

    QTest::mouseClick(arrows, Qt::LeftButton, {}, QPoint(8, arrows->height() - 3)); // down
    QCOMPARE(angle->text(), QStringLiteral("270"));
    QCOMPARE(e.Gradient.Angle, 270);
    QTest::keyClick(kinds, Qt::Key_Home);
    QCOMPARE(e.Gradient.Kind, std::uint8_t{gkLinear});
    QCOMPARE(kinds->currentIndex(), 0);
}

void GradFormTest::fieldsTakeDigitsOnlyHoweverTheyArrive() {
    Editor e("1,0,0,0,1,,00000000FF,6400FF0000");
    auto* angle = e.Find<QLineEdit>("edAngle");
    auto* x = e.Find<QLineEdit>("edX");

    angle->setFocus();
    angle->selectAll();
    QTest::keyClicks(angle, "1a-2");
    QCOMPARE(angle->text(), QStringLiteral("12"));
    QCOMPARE(e.Gradient.Angle, 12);
    angle->selectAll();
    QTest::keyClicks(angle, "500");
    QCOMPARE(angle->text(), QStringLiteral("359"));
    QTest::keyClick(angle, Qt::Key_Up); // the arrow keys step the field, wrapping
    QCOMPARE(angle->text(), QStringLiteral("0"));
    QTest::keyClick(angle, Qt::Key_Down);
    QCOMPARE(e.Gradient.Angle, 359);

    // Text from an input method: full-width digits and kana are refused.
    for (const QString& composed : {QStringLiteral("４５"), QStringLiteral("あ")}) {
        QInputMethodEvent commit;
        commit.setCommitString(composed);
        QApplication::sendEvent(angle, &commit);
        QCOMPARE(angle->text(), QStringLiteral("359"));
    }
    QCOMPARE(e.Gradient.Angle, 359);

    // Pasted text likewise; the centre also takes a minus sign.
    x->setFocus();
    x->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("1e2"));
    x->paste();
    QCOMPARE(x->text(), QStringLiteral("0"));
    QApplication::clipboard()->setText(QStringLiteral("-50"));
    x->selectAll();
    x->paste();
    QCOMPARE(x->text(), QStringLiteral("-50"));
    QCOMPARE(e.Gradient.CenterX, -50);
    QVERIFY(e.Find<QCheckBox>("cbNormal")->isEnabled());
}

void GradFormTest::previewDragsMoveTheCentre() {
    Editor e("1,0,0,0,0,,00000000FF,6400FF0000");
    e.Press(e.Preview(), {121, 119});
    e.Move(e.Preview(), {150, 100});
    e.Move(e.Preview(), {180, 60});
    e.Release(e.Preview(), {180, 60});
    QCOMPARE(e.Gradient.CenterX, 50);
    QCOMPARE(e.Gradient.CenterY, -50);
    QCOMPARE(e.Find<QLineEdit>("edX")->text(), QStringLiteral("50"));
    QCOMPARE(e.Find<QLineEdit>("edY")->text(), QStringLiteral("-50"));
    QVERIFY(e.Find<QCheckBox>("cbNormal")->isEnabled());
    QVERIFY(!e.Dialog.Window().Logic().CenterDrag());
}

void GradFormTest::checkBoxesReachTheGradient() {
    Editor e("1,0,60,0,1,,00000000FF,3200FF0000,640000FF00");
    const auto tick = [&e](const char* name) {
        auto* box = e.Find<QCheckBox>(name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
        return box->isChecked();
    };
    QVERIFY(tick("cbWrap"));
    QCOMPARE(Colors(e.Gradient), (std::vector<TColor>{kRed, kBlue, kRed}));
    QVERIFY(!e.Find<QLineEdit>("edAngle")->isEnabled());
    QVERIFY(!tick("cbNormal"));
    QVERIFY(!e.Gradient.Normalize);
    QVERIFY(e.Find<QLineEdit>("edAngle")->isEnabled());
}

void GradFormTest::paintBoxesShowTheLogicsPictures() {
    Editor e("0,0,0,0,0,,0000000000,6400FFFFFF");
    QImage preview = e.Grab(e.Preview());
    // Angle handle at Q = (170, 120): white inside, black outline.
    QCOMPARE(Pixel(preview, 169, 119), QColor(Qt::white));
    QCOMPARE(Pixel(preview, 167, 119), QColor(Qt::black));
    QCOMPARE(Pixel(preview, 59, 70), QColor(240, 240, 240));
    QCOMPARE(Pixel(preview, 180, 70), QColor(Qt::white));

    QTest::mouseClick(e.Find<QToolButton>("btHdl"), Qt::LeftButton);
    preview = e.Grab(e.Preview());
    QCOMPARE(Pixel(preview, 169, 119), Pixel(preview, 169, 110));

    const QImage bar = e.Grab(e.Find<QWidget>("pbBar"));
    QCOMPARE(Pixel(bar, 0, 10), QColor(Qt::black));
    QCOMPARE(Pixel(bar, 270, 10), QColor(Qt::white));

    // The kind list's pictures let the list's background show round them.
    const QPixmap picture = e.Find<QComboBox>("cbKind")->itemIcon(gkArc).pixmap(14, 14);
    const QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(image.pixel(7, 7)), 255);
}

void GradFormTest::stripShowsPositionsExceptForFourCorners() {
    const auto darkInLabelBand = [](Editor& e) {
        const QImage strip = e.Grab(e.Strip());
        int dark = 0;
        for (int y = 0; y < kStripLabelHeight; ++y) {
            for (int x = 0; x < strip.width(); ++x) {
                dark += qGray(strip.pixel(x, y)) < 128;
            }
        }
        return dark;
    };
    Editor linear("0,0,0,0,0,,00000000FF,210000FF00,4300FF0000,6400FFFFFF");
    QVERIFY2(darkInLabelBand(linear) > 10, "the positions are written over the handles");
    Editor quad("3,0,0,0,0,,00000000FF,210000FF00,4300FF0000,6400FFFFFF");
    QCOMPARE(darkInLabelBand(quad), 0);
}

void GradFormTest::disabledFieldsShowTheFaceColour() {
    Editor arc("2,0,0,0,0,,");
    Editor linear("0,0,0,0,0,,");
    const auto inside = [](Editor& e) {
        const QImage field = e.Grab(e.Find<QWidget>("edX"));
        return Pixel(field, field.width() - 6, field.height() / 2);
    };
    QCOMPARE(inside(arc), QColor(255, 255, 255));
    QCOMPARE(inside(linear), QColor(240, 240, 240));
}

void GradFormTest::barCaptionUnderlinesItsAccelerator() {
    Editor e("0,0,0,0,0,,");
    auto* caption = e.Find<QWidget>("pbLabel");
    const QImage image = e.Grab(caption);
    const QFontMetrics metrics(caption->font());
    const int s = metrics.horizontalAdvance(QStringLiteral("カラーリスト("));
    const int width = metrics.horizontalAdvance(QLatin1Char('S'));
    for (int x = s; x < s + width - 1; ++x) {
        QVERIFY2(qGray(image.pixel(x, image.height() - 1)) < 128,
                 qPrintable(QStringLiteral("no underline below the S at x %1").arg(x)));
    }
}

void GradFormTest::enterPressesTheFocusedButtonElseOk() {
    SilentPrompts dialogs;
    TGrad gradient;
    gradient.LoadFromText("0,0,0,0,0,,00000000FF,1E00FF0000,640000FF00");
    const auto enterOn = [](QtForm* dialog, const char* name) {
        QWidget* target = dialog->findChild<QWidget*>(QString::fromLatin1(name));
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
    };
    // 逆転 reverses and keeps the dialog open; then Enter in a field gives OK.
    bool openAfterReverse = false;
    Outcome outcome = ExecuteAnswering(gradient, dialogs, [&](QtForm* dialog) {
        enterOn(dialog, "btReverse");
        openAfterReverse = dialog->isVisible();
        enterOn(dialog, "edAngle");
    });
    QVERIFY2(outcome.Failure.isEmpty(), outcome.Failure);
    QVERIFY(openAfterReverse);
    QVERIFY(outcome.Ok);
    QCOMPARE(Positions(gradient), (std::vector<int>{0, 70, 100}));

    outcome = ExecuteAnswering(gradient, dialogs, [&](QtForm* d) { enterOn(d, "btCancel"); });
    QVERIFY2(outcome.Failure.isEmpty(), outcome.Failure);
    QVERIFY(!outcome.Ok);
    outcome = ExecuteAnswering(gradient, dialogs, [&](QtForm* d) { enterOn(d, "cbWrap"); });
    QVERIFY2(outcome.Failure.isEmpty(), outcome.Failure);
    QVERIFY(outcome.Ok);
}

void GradFormTest::cancelKeepsEditsOkReportsTrue() {
    SilentPrompts dialogs;
    TGrad gradient;
    gradient.LoadFromText("0,0,0,0,0,,00000000FF,1E00FF0000,640000FF00");
    const auto reverseThen = [](const char* button) {
        return [button](QtForm* dialog) {
            QTest::mouseClick(dialog->findChild<QPushButton*>("btReverse"), Qt::LeftButton);
            QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
        };
    };
    Outcome outcome = ExecuteAnswering(gradient, dialogs, reverseThen("btCancel"));
    QVERIFY2(outcome.Failure.isEmpty(), outcome.Failure);
    QVERIFY(!outcome.Ok);
    QCOMPARE(gradient.SaveToText(), std::string("0,0,0,0,0,,000000FF00,4600FF0000,64000000FF"));
    outcome = ExecuteAnswering(gradient, dialogs, reverseThen("btOK"));
    QVERIFY2(outcome.Failure.isEmpty(), outcome.Failure);
    QVERIFY(outcome.Ok);
    QCOMPARE(gradient.SaveToText(), std::string("0,0,0,0,0,,00000000FF,1E00FF0000,640000FF00"));

    // Escape cancels.
    outcome = ExecuteAnswering(gradient, dialogs,
                               [](QtForm* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    QVERIFY2(outcome.Failure.isEmpty(), outcome.Failure);
    QVERIFY(!outcome.Ok);
}

// Two stops at one position make a hard edge; editing other stops and the
// kind, then OK, keeps both in their order.
void GradFormTest::okKeepsAHardEdge() {
    ScopedScriptedPrompts prompts;
    prompts->ColorAnswers = {kGreen};
    TGrad gradient;
    gradient.LoadFromText("0,0,0,0,0,,00000000FF,3200FF0000,320000FF00,6400FFFFFF");
    const Outcome outcome = ExecuteAnswering(gradient, *prompts, [](QtForm* dialog) {
        auto* strip = dialog->findChild<QWidget*>("pbPtr");
        const auto at = [&](QPoint p) { return strip->mapTo(dialog, p); };
        QTest::mouseClick(dialog->windowHandle(), Qt::LeftButton, {}, at({250, 20})); // at 91
        QTest::mouseDClick(dialog->windowHandle(), Qt::LeftButton, {}, at({5, 18}));  // stop 0
        QCoreApplication::sendPostedEvents(); // the colour dialog it asks for
        auto* kinds = dialog->findChild<QComboBox*>("cbKind");
        kinds->setFocus();
        QTest::keyClick(kinds, Qt::Key_Down);
        QTest::mouseClick(dialog->findChild<QPushButton*>("btOK"), Qt::LeftButton);
    });
    QVERIFY2(outcome.Failure.isEmpty(), outcome.Failure);
    QVERIFY(outcome.Ok);
    const std::string text = gradient.SaveToText();
    QVERIFY2(text.starts_with("1,0,0,0,0,,000000FF00,3200FF0000,320000FF00,5B"), text.c_str());
    QCOMPARE(gradient.Count(), 5);
}

QTEST_MAIN(GradFormTest)
#include "gradient_dialog_test.moc"
