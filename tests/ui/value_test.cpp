// The fine-adjust dialog, driven by clicks on its arrows, mode buttons and
// Reset.
#include "qt/Controls.h"
#include "qt/value.h"
#include "tests/support/UiWait.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <string_view>

using namespace pelmora;

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
        dialog.SetValues(area, isFrame, thick, outer);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    }

    template <typename T> T* Find(const char* name) {
        T* w = dialog.findChild<T*>(QString::fromLatin1(name));
        if (w == nullptr) {
            qFatal("control %s not found", name);
        }
        return w;
    }

    // Clicks an arrow of an up-down: the increasing one (right or up) or the
    // decreasing one.
    void Click(const char* name, bool increase, int times = 1) {
        auto* arrows = Find<TUpDown>(name);
        const bool vertical =
            std::string_view(name) == "udTop" || std::string_view(name) == "udBottom";
        const QPoint at = vertical ? QPoint(20, increase ? 4 : 20) : QPoint(increase ? 30 : 10, 12);
        for (int i = 0; i < times; ++i) {
            QTest::mouseClick(arrows, Qt::LeftButton, {}, at);
        }
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

    TValueForm dialog;
};

// The up-down and arrow that move an outer edge outward, by side.
struct SideArrow {
    const char* name;
    bool outwardIncreases; // outward is the right or up arrow
    std::int32_t TTrim::*side;
};
const SideArrow kOuterArrows[] = {
    {"udLeft", false, &TTrim::Left},
    {"udTop", true, &TTrim::Top},
    {"udRight", true, &TTrim::Right},
    {"udBottom", false, &TTrim::Bottom},
};

} // namespace

class ValueFormTest : public QObject {
    Q_OBJECT

private slots:
    void layoutAndNames();
    void filledPartHasOnlyOuterMode();
    void eachArrowMovesItsEdgeOutwardAndInward();
    void wholeButtonOnlyShrinks();
    void switchingModesKeepsBothSets();
    void thicknessStaysWithin0To9();
    void resetForEachArea_data();
    void resetForEachArea();
    void schematicFollowsTheValues();
    void valuesBeyondTheArrowsStayUntilClicked();
    void holdingAnArrowRepeats();
    void cancelAndCloseReject();
};

void ValueFormTest::layoutAndNames() {
    Form f(0, true, {1, 1, 1, 1}, {0, 0, 0, 0});
    QCOMPARE(f.dialog.objectName(), QStringLiteral("TValueForm"));
    QCOMPARE(f.dialog.windowTitle(), QStringLiteral("描画範囲の微調整"));
    QCOMPARE(f.dialog.size(), QSize(281, 315));
    QCOMPARE(f.Find<QWidget>("udRight")->geometry(), QRect(185, 144, 40, 25));
    QCOMPARE(f.Find<QWidget>("btReset")->geometry(), QRect(112, 144, 57, 25));
    QCOMPARE(f.Find<QWidget>("spStandard")->geometry(), QRect(32, 80, 217, 153));
    QCOMPARE(f.Find<QWidget>("spIn")->geometry(), QRect(33, 81, 215, 151));
    QVERIFY(f.Find<QPushButton>("OK")->isDefault());
    QVERIFY(f.Find<QRadioButton>("rbOut")->isChecked());
    QCOMPARE(f.Find<QLabel>("lbStandard")->text(), QStringLiteral("全体"));
    QCOMPARE(f.Labels(), QStringLiteral("- - - -"));
    // The dotted outline of the base range lies above the cyan region.
    const QObjectList& children = f.dialog.children();
    QVERIFY(children.indexOf(f.Find<QWidget>("spStandard")) >
            children.indexOf(f.Find<QWidget>("spOut")));
}

void ValueFormTest::filledPartHasOnlyOuterMode() {
    Form f(1, false, {2, 3, 4, 5}, {1, 0, 0, 0});
    QVERIFY(f.Find<QWidget>("rbOut")->isHidden());
    QVERIFY(f.Find<QWidget>("rbIn")->isHidden());
    QVERIFY(f.Find<QWidget>("spIn")->isHidden());
    QCOMPARE(f.Find<QLabel>("lbStandard")->text(), QStringLiteral("アイコン領域"));
    QCOMPARE(f.Labels(), QStringLiteral("外(1) - - -"));

    f.Click("udLeft", false); // left arrow: the left edge moves outward
    QCOMPARE(f.dialog.GetOuter(), (TTrim{2, 0, 0, 0}));
    QCOMPARE(f.dialog.GetThick(), (TTrim{2, 3, 4, 5}));

    f.ClickButton("btReset");
    QCOMPARE(f.dialog.GetOuter(), (TTrim{1, 1, 1, 1}));
    QCOMPARE(f.dialog.GetThick(), (TTrim{1, 1, 1, 1}));
}

void ValueFormTest::eachArrowMovesItsEdgeOutwardAndInward() {
    for (const SideArrow& arrow : kOuterArrows) {
        Form f(2, true, {1, 1, 1, 1}, {0, 0, 0, 0});
        f.Click(arrow.name, arrow.outwardIncreases, 12);
        TTrim expected;
        expected.*arrow.side = 9;
        QCOMPARE(f.dialog.GetOuter(), expected);
        f.Click(arrow.name, !arrow.outwardIncreases, 20);
        expected.*arrow.side = -9;
        QCOMPARE(f.dialog.GetOuter(), expected);
        QVERIFY(f.Labels().contains(QStringLiteral("内(9)")));
    }
}

void ValueFormTest::wholeButtonOnlyShrinks() {
    for (const SideArrow& arrow : kOuterArrows) {
        Form f(0, true, {1, 1, 1, 1}, {0, 0, 0, 0});
        f.Click(arrow.name, arrow.outwardIncreases);
        QCOMPARE(f.dialog.GetOuter(), (TTrim{0, 0, 0, 0}));
        f.Click(arrow.name, !arrow.outwardIncreases, 12);
        TTrim expected;
        expected.*arrow.side = -9;
        QCOMPARE(f.dialog.GetOuter(), expected);
        f.Click(arrow.name, arrow.outwardIncreases, 12);
        QCOMPARE(f.dialog.GetOuter(), (TTrim{0, 0, 0, 0}));
    }
}

void ValueFormTest::switchingModesKeepsBothSets() {
    Form f(1, true, {1, 1, 1, 1}, {2, -2, 0, 1});
    QCOMPARE(f.Labels(), QStringLiteral("外(2) 内(2) - 外(1)"));

    f.ClickButton("rbIn");
    QVERIFY(f.dialog.ThickMode());
    QCOMPARE(f.Labels(), QStringLiteral("太さ(1) 太さ(1) 太さ(1) 太さ(1)"));
    // In this mode the arrows move the inner edges: right of udLeft thickens
    // the left side, down of udTop the top, left of udRight the right, up of
    // udBottom the bottom.
    f.Click("udLeft", true);
    f.Click("udTop", false, 2);
    f.Click("udRight", false, 3);
    f.Click("udBottom", true, 4);
    QCOMPARE(f.dialog.GetThick(), (TTrim{2, 3, 4, 5}));
    QCOMPARE(f.Labels(), QStringLiteral("太さ(2) 太さ(3) 太さ(4) 太さ(5)"));
    QCOMPARE(f.dialog.GetOuter(), (TTrim{2, -2, 0, 1}));

    f.ClickButton("rbOut");
    QCOMPARE(f.Labels(), QStringLiteral("外(2) 内(2) - 外(1)"));
    f.Click("udRight", true);
    QCOMPARE(f.dialog.GetOuter(), (TTrim{2, -2, 1, 1}));
    QCOMPARE(f.dialog.GetThick(), (TTrim{2, 3, 4, 5}));
}

void ValueFormTest::thicknessStaysWithin0To9() {
    Form f(2, true, {0, 0, 0, 0}, {3, 3, 3, 3});
    f.ClickButton("rbIn");
    QCOMPARE(f.Labels(), QStringLiteral("太さ(0) 太さ(0) 太さ(0) 太さ(0)"));
    f.Click("udLeft", false);
    f.Click("udTop", true);
    f.Click("udRight", true);
    f.Click("udBottom", false);
    QCOMPARE(f.dialog.GetThick(), (TTrim{0, 0, 0, 0}));
    f.Click("udBottom", true, 15);
    QCOMPARE(f.dialog.GetThick(), (TTrim{0, 0, 0, 9}));
    QCOMPARE(f.dialog.GetOuter(), (TTrim{3, 3, 3, 3}));
}

void ValueFormTest::resetForEachArea_data() {
    QTest::addColumn<int>("area");
    QTest::addColumn<bool>("frame");
    QTest::addColumn<bool>("thickMode");
    QTest::addColumn<int>("outer");
    QTest::addColumn<QString>("labels");
    QTest::newRow("whole button") << 0 << false << false << 0 << "- - - -";
    QTest::newRow("button frame") << 0 << true << false << 0 << "- - - -";
    QTest::newRow("icon frame") << 1 << true << false << 1 << "外(1) 外(1) 外(1) 外(1)";
    QTest::newRow("name area") << 2 << false << false << 1 << "外(1) 外(1) 外(1) 外(1)";
    QTest::newRow("name frame, thickness")
        << 2 << true << true << 1 << "太さ(1) 太さ(1) 太さ(1) 太さ(1)";
}

void ValueFormTest::resetForEachArea() {
    QFETCH(int, area);
    QFETCH(bool, frame);
    QFETCH(bool, thickMode);
    QFETCH(int, outer);
    QFETCH(QString, labels);
    Form f(static_cast<std::uint8_t>(area), frame, {4, 0, 7, 2}, {-3, -4, -5, -6});
    if (thickMode) {
        f.ClickButton("rbIn");
    }
    f.ClickButton("btReset");
    QCOMPARE(f.dialog.GetOuter(), (TTrim{outer, outer, outer, outer}));
    QCOMPARE(f.dialog.GetThick(), (TTrim{1, 1, 1, 1}));
    QCOMPARE(f.Labels(), labels);

    // The arrows now start from the reset values: one click changes one edge.
    f.Click("udTop", !thickMode);
    if (thickMode) {
        QCOMPARE(f.dialog.GetThick(), (TTrim{1, 2, 1, 1}));
    } else if (area == 0) {
        QCOMPARE(f.dialog.GetOuter(), (TTrim{0, 0, 0, 0})); // cannot grow
    } else {
        QCOMPARE(f.dialog.GetOuter(), (TTrim{1, 2, 1, 1}));
    }
}

void ValueFormTest::schematicFollowsTheValues() {
    Form f(1, true, {3, 1, 2, 4}, {3, 0, -2, 1});
    const QRect standard = f.Find<QWidget>("spStandard")->geometry();
    const QRect out = f.Find<QWidget>("spOut")->geometry();
    const QRect in = f.Find<QWidget>("spIn")->geometry();
    QCOMPARE(out, QRect(standard.left() - 3, standard.top(), standard.width() + 1,
                        standard.height() + 1));
    QCOMPARE(in, QRect(out.left() + 3, out.top() + 1, out.width() - 5, out.height() - 5));

    f.Click("udLeft", true); // outer left 3 -> 2
    QCOMPARE(f.Find<QWidget>("spOut")->x(), standard.left() - 2);
    QCOMPARE(f.Find<QWidget>("spIn")->x(), standard.left() - 2 + 3);
}

void ValueFormTest::valuesBeyondTheArrowsStayUntilClicked() {
    Form f(1, true, {12, 1, 1, 1}, {20, 0, 0, -15});
    QCOMPARE(f.Labels(), QStringLiteral("外(20) - - 内(15)"));
    QCOMPARE(f.Find<TUpDown>("udLeft")->Position(), -9);
    QCOMPARE(f.dialog.GetOuter(), (TTrim{20, 0, 0, -15}));

    // Thickness mode shows the thickness without touching the outer values.
    f.ClickButton("rbIn");
    QCOMPARE(f.Labels(), QStringLiteral("太さ(12) 太さ(1) 太さ(1) 太さ(1)"));
    f.ClickButton("rbOut");
    QCOMPARE(f.dialog.GetOuter(), (TTrim{20, 0, 0, -15}));

    // A click takes every edge of the mode from its arrows.
    f.Click("udTop", true);
    QCOMPARE(f.dialog.GetOuter(), (TTrim{9, 1, 0, -9}));
    QCOMPARE(f.dialog.GetThick(), (TTrim{12, 1, 1, 1}));
}

void ValueFormTest::holdingAnArrowRepeats() {
    Form f(1, true, {1, 1, 1, 1}, {0, 0, 0, 0});
    auto* arrows = f.Find<TUpDown>("udRight");
    const QPoint at(30, 12);
    QCursor::setPos(arrows->mapToGlobal(at));
    QTest::mousePress(arrows, Qt::LeftButton, {}, at);
    QCOMPARE(f.dialog.GetOuter().Right, 1);
    QTRY_VERIFY_WITH_TIMEOUT(f.dialog.GetOuter().Right >= 3, kSlowMachineTimeoutMs);
    QTest::mouseRelease(arrows, Qt::LeftButton, {}, at);
    const int reached = f.dialog.GetOuter().Right;
    QTest::qWait(200);
    QCOMPARE(f.dialog.GetOuter().Right, reached);
}

void ValueFormTest::cancelAndCloseReject() {
    const auto run = [](std::function<void(TValueForm*)> finish) {
        TValueForm dialog;
        dialog.SetValues(1, true, {1, 1, 1, 1}, {0, 0, 0, 0});
        QTimer::singleShot(0, [finish] {
            auto* shown = qobject_cast<TValueForm*>(QApplication::activeModalWidget());
            QVERIFY(shown != nullptr);
            QTest::mouseClick(shown->findChild<TUpDown*>("udTop"), Qt::LeftButton, {},
                              QPoint(20, 4));
            QCOMPARE(shown->GetOuter(), (TTrim{0, 1, 0, 0}));
            finish(shown);
        });
        return dialog.exec();
    };
    QCOMPARE(run([](TValueForm* d) {
                 QTest::mouseClick(d->findChild<QPushButton*>("Cancel"), Qt::LeftButton);
             }),
             int(QDialog::Rejected));
    QCOMPARE(run([](TValueForm* d) { d->close(); }), int(QDialog::Rejected));
    QCOMPARE(run([](TValueForm* d) { QTest::keyClick(d, Qt::Key_Escape); }),
             int(QDialog::Rejected));
    QCOMPARE(run([](TValueForm* d) {
                 QTest::mouseClick(d->findChild<QPushButton*>("OK"), Qt::LeftButton);
             }),
             int(QDialog::Accepted));
}

QTEST_MAIN(ValueFormTest)
#include "value_test.moc"
