// The fine-adjust dialog as a real window: its controls, clicks and keys
// reaching the logic, the schematic's shapes, and the keyboard. The
// behaviour itself is tested in tests/logic.
#include "logic/FineAdjustWindow.h"
#include "qt/Controls.h"
#include "tests/support/DialogAnswer.h"
#include "tests/support/QtForms.h"
#include "tests/support/UiWait.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace pelmora;
using pelmora::testing::DialogAnswer;
using pelmora::testing::FormWith;
using pelmora::testing::WindowOf;

namespace pelmora {
char* toString(const TTrim& t) {
    return QTest::toString(
        QStringLiteral("(%1, %2, %3, %4)").arg(t.Left).arg(t.Top).arg(t.Right).arg(t.Bottom));
}
} // namespace pelmora

namespace {

// One fine-adjust dialog, shown without blocking.
struct Form {
    Form(std::uint8_t area, bool isFrame, TTrim thick, TTrim outer) {
        Dialog.Window().SetValues(area, isFrame, thick, outer);
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

    QString Labels() {
        QStringList texts;
        for (const char* name : {"lbLeft", "lbTop", "lbRight", "lbBottom"}) {
            texts << Find<QLabel>(name)->text();
        }
        return texts.join(QLatin1Char(' '));
    }

    void ClickButton(const char* name) {
        auto* button = Find<QAbstractButton>(name);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, button->height() / 2));
    }

    const FineAdjustLogic& Values() { return Dialog.Window().Logic(); }

    FormWith<FineAdjustWindow> Dialog;
};

// Opens a dialog on an icon frame and answers it with `answer` (which closes
// it); exec's result, or why the dialog did not respond.
struct Outcome {
    int Result = -1;
    QByteArray Failure;
};
Outcome Run(std::function<void(QtForm*)> answer) {
    FormWith<FineAdjustWindow> dialog;
    dialog.Window().SetValues(1, true, {1, 1, 1, 1}, {0, 0, 0, 0});
    DialogAnswer<QtForm> reply("the fine-adjust dialog", std::move(answer));
    const int result = dialog.exec();
    return {result, reply.Answered() ? QByteArray() : QByteArray(reply.Failure())};
}

} // namespace

class FineAdjustTest : public QObject {
    Q_OBJECT

private slots:
    void layoutAndNames();
    void filledPartHidesModesAndInside();
    void arrowClicksAndModeButtonsReachTheValues();
    void shapesFollowTheValues();
    void holdingAnArrowRepeats();
    void focusStartsOnTheLeftArrowsAndShows();
    void enterPressesTheFocusedButtonElseOk();
    void cancelAndCloseReject();
};

void FineAdjustTest::layoutAndNames() {
    Form f(0, true, {1, 1, 1, 1}, {0, 0, 0, 0});
    QCOMPARE(f.Dialog.objectName(), QStringLiteral("TValueForm"));
    QCOMPARE(f.Dialog.windowTitle(), QStringLiteral("描画範囲の微調整"));
    QCOMPARE(f.Dialog.size(), QSize(281, 315));
    QCOMPARE(f.Find<TUpDown>("udRight")->geometry(), QRect(185, 144, 40, 25));
    QCOMPARE(f.Find<TUpDown>("udTop")->geometry(), QRect(120, 96, 40, 25));
    QCOMPARE(f.Find<QPushButton>("btReset")->geometry(), QRect(112, 144, 57, 25));
    QCOMPARE(f.Find<QPushButton>("Cancel")->geometry(), QRect(184, 272, 75, 25));
    QCOMPARE(f.Find<QRadioButton>("rbIn")->geometry(), QRect(152, 16, 113, 17));
    QCOMPARE(f.Find<QLabel>("lbLeft")->geometry(), QRect(56, 170, 41, 17));
    QCOMPARE(f.Find<TShape>("spStandard")->geometry(), QRect(32, 80, 217, 153));
    QCOMPARE(f.Find<TShape>("spComment")->geometry(), QRect(48, 50, 41, 1));
    QCOMPARE(f.Find<TShape>("spIn")->geometry(), QRect(33, 81, 215, 151));
    QVERIFY(f.Find<QPushButton>("OK")->isDefault());
    QVERIFY(f.Find<QRadioButton>("rbOut")->isChecked());
    QCOMPARE(f.Find<QLabel>("lbStandard")->text(), QStringLiteral("全体"));
    QCOMPARE(f.Labels(), QStringLiteral("- - - -"));
    // The dotted outline of the base range lies above the cyan region.
    const QObjectList& children = f.Dialog.children();
    QVERIFY(children.indexOf(f.Find<QWidget>("spStandard")) >
            children.indexOf(f.Find<QWidget>("spOut")));
    // Tab order: the arrows, Reset, OK, Cancel, the mode buttons.
    QWidget* expected[] = {f.Find<QWidget>("udTop"),    f.Find<QWidget>("udRight"),
                           f.Find<QWidget>("udBottom"), f.Find<QWidget>("btReset"),
                           f.Find<QWidget>("OK"),       f.Find<QWidget>("Cancel"),
                           f.Find<QWidget>("rbOut")};
    QWidget* at = f.Find<QWidget>("udLeft");
    for (QWidget* next : expected) {
        at = at->nextInFocusChain();
        while (at->focusPolicy() == Qt::NoFocus) {
            at = at->nextInFocusChain();
        }
        QCOMPARE(at, next);
    }
}

void FineAdjustTest::filledPartHidesModesAndInside() {
    Form f(1, false, {2, 3, 4, 5}, {1, 0, 0, 0});
    QVERIFY(f.Find<QWidget>("rbOut")->isHidden());
    QVERIFY(f.Find<QWidget>("rbIn")->isHidden());
    QVERIFY(f.Find<QWidget>("spIn")->isHidden());
    QCOMPARE(f.Find<QLabel>("lbStandard")->text(), QStringLiteral("アイコン領域"));
    QCOMPARE(f.Labels(), QStringLiteral("外(1) - - -"));
}

void FineAdjustTest::arrowClicksAndModeButtonsReachTheValues() {
    Form f(1, true, {1, 1, 1, 1}, {2, -2, 0, 1});
    auto* left = f.Find<TUpDown>("udLeft");
    QTest::mouseClick(left, Qt::LeftButton, {}, QPoint(10, 12)); // left arrow: outward
    QCOMPARE(f.Values().GetOuter(), (TTrim{3, -2, 0, 1}));
    QCOMPARE(f.Labels(), QStringLiteral("外(3) 内(2) - 外(1)"));

    f.ClickButton("rbIn");
    QVERIFY(f.Values().ThickMode());
    QCOMPARE(f.Labels(), QStringLiteral("太さ(1) 太さ(1) 太さ(1) 太さ(1)"));
    QTest::mouseClick(f.Find<TUpDown>("udTop"), Qt::LeftButton, {}, QPoint(20, 20)); // down
    QCOMPARE(f.Values().GetThick(), (TTrim{1, 2, 1, 1}));

    f.ClickButton("btReset");
    QCOMPARE(f.Values().GetOuter(), (TTrim{1, 1, 1, 1}));
    QCOMPARE(f.Values().GetThick(), (TTrim{1, 1, 1, 1}));
    f.ClickButton("rbOut");
    QVERIFY(!f.Values().ThickMode());
    QCOMPARE(f.Labels(), QStringLiteral("外(1) 外(1) 外(1) 外(1)"));
}

void FineAdjustTest::shapesFollowTheValues() {
    Form f(1, true, {3, 1, 2, 4}, {3, 0, -2, 1});
    auto* out = f.Find<TShape>("spOut");
    QCOMPARE(out->geometry(), QRect(29, 80, 218, 154));
    QCOMPARE(f.Find<TShape>("spIn")->geometry(), QRect(32, 81, 213, 149));
    QCOMPARE(out->Brush(), QColor(Qt::cyan));
    QCOMPARE(f.Find<TShape>("spIn")->Brush(), QColor(240, 240, 240));
    QCOMPARE(f.Find<TShape>("spStandard")->PenStyle(), Qt::DotLine);
    QVERIFY(!f.Find<TShape>("spStandard")->Brush().isValid());

    // The dotted outline over the cyan region, every other pixel.
    const QImage image = f.Dialog.grab().toImage();
    QCOMPARE(QColor(image.pixel(40, 80)), QColor(Qt::cyan));
    QCOMPARE(QColor(image.pixel(41, 80)), QColor(Qt::black));
    QCOMPARE(QColor(image.pixel(30, 100)), QColor(Qt::cyan));
}

void FineAdjustTest::holdingAnArrowRepeats() {
    Form f(1, true, {1, 1, 1, 1}, {0, 0, 0, 0});
    auto* arrows = f.Find<TUpDown>("udRight");
    auto* repeat = arrows->findChild<QTimer*>(QStringLiteral("repeat"));
    const QPoint at(30, 12);
    QCursor::setPos(arrows->mapToGlobal(at));
    QTest::mousePress(arrows, Qt::LeftButton, {}, at);
    QCOMPARE(f.Values().GetOuter().Right, 1);
    QTRY_VERIFY_WITH_TIMEOUT(f.Values().GetOuter().Right >= 3, kSlowMachineTimeoutMs);
    QTest::mouseRelease(arrows, Qt::LeftButton, {}, at);
    QVERIFY(!repeat->isActive()); // no further steps after the release
}

// The first arrow key moves the left edge, not the mode; the focused arrows
// show it.
void FineAdjustTest::focusStartsOnTheLeftArrowsAndShows() {
    Form f(1, true, {1, 1, 1, 1}, {0, 0, 0, 0});
    auto* left = f.Find<TUpDown>("udLeft");
    QCOMPARE(QApplication::focusWidget(), left);
    const QImage focused = left->grab().toImage();
    QTest::keyClick(f.Dialog.windowHandle(), Qt::Key_Right); // to the focused control
    QCOMPARE(f.Values().GetOuter(), (TTrim{-1, 0, 0, 0}));
    QVERIFY(!f.Values().ThickMode());

    f.Find<QWidget>("udTop")->setFocus();
    QVERIFY(left->grab().toImage() != focused);
}

void FineAdjustTest::enterPressesTheFocusedButtonElseOk() {
    const auto enterOn = [](QtForm* d, const char* name) {
        QWidget* target = d->findChild<QWidget*>(QString::fromLatin1(name));
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
    };
    Outcome outcome = Run([&](QtForm* d) { enterOn(d, "Cancel"); });
    QVERIFY2(outcome.Failure.isEmpty(), outcome.Failure);
    QCOMPARE(outcome.Result, int(QDialog::Rejected));

    // Reset resets and keeps the dialog open; Enter on an arrow control gives OK.
    bool openAfterReset = false;
    TTrim outerAfterReset;
    outcome = Run([&](QtForm* d) {
        enterOn(d, "btReset");
        openAfterReset = d->isVisible();
        outerAfterReset = WindowOf<FineAdjustWindow>(d).Logic().GetOuter();
        enterOn(d, "udTop");
    });
    QVERIFY2(outcome.Failure.isEmpty(), outcome.Failure);
    QVERIFY(openAfterReset);
    QCOMPARE(outerAfterReset, (TTrim{1, 1, 1, 1}));
    QCOMPARE(outcome.Result, int(QDialog::Accepted));
}

void FineAdjustTest::cancelAndCloseReject() {
    const struct {
        const char* How;
        std::function<void(QtForm*)> Finish;
        int Result;
    } ways[] = {
        {"Cancel",
         [](QtForm* d) { QTest::mouseClick(d->findChild<QPushButton*>("Cancel"), Qt::LeftButton); },
         QDialog::Rejected},
        {"the close box", [](QtForm* d) { d->close(); }, QDialog::Rejected},
        {"Escape", [](QtForm* d) { QTest::keyClick(d, Qt::Key_Escape); }, QDialog::Rejected},
        {"OK",
         [](QtForm* d) { QTest::mouseClick(d->findChild<QPushButton*>("OK"), Qt::LeftButton); },
         QDialog::Accepted},
    };
    for (const auto& way : ways) {
        TTrim edited;
        const Outcome outcome = Run([&](QtForm* shown) {
            QTest::mouseClick(shown->findChild<TUpDown*>("udTop"), Qt::LeftButton, {},
                              QPoint(20, 4));
            edited = WindowOf<FineAdjustWindow>(shown).Logic().GetOuter();
            way.Finish(shown);
        });
        QVERIFY2(outcome.Failure.isEmpty(), outcome.Failure);
        QCOMPARE(edited, (TTrim{0, 1, 0, 0}));
        QVERIFY2(outcome.Result == way.Result, way.How);
    }
}

QTEST_MAIN(FineAdjustTest)
#include "fine_adjust_test.moc"
