// The gradient editor dialog, driven through its real controls with mouse and
// key events delivered to its window.
#include "platform/syscolors.h"
#include "qt/Controls.h"
#include "qt/Grad.h"
#include "qt/GradForm.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/UiWait.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
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
#include <memory>
#include <vector>

using namespace pelmora;
using pelmora::testing::ScopedScriptedPrompts;

namespace {

constexpr TColor kRed = 0x000000FF;
constexpr TColor kGreen = 0x0000FF00;
constexpr TColor kBlue = 0x00FF0000;
constexpr TColor kWhite = 0x00FFFFFF;

std::vector<int> Positions(const TGrad& g) {
    std::vector<int> out;
    for (int i = 0; i < g.Count(); ++i) {
        out.push_back(g.GetPos(i));
    }
    return out;
}

std::vector<TColor> Colors(const TGrad& g) {
    std::vector<TColor> out;
    for (int i = 0; i < g.Count(); ++i) {
        out.push_back(g.GetColor(i));
    }
    return out;
}

// Strip x of the left edge of stop `pos`'s handle.
int HandleLeft(int pos) {
    return static_cast<int>(std::nearbyintl(pos * 2.7L));
}

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

// Runs `act` on the next pop-up menu as soon as it is shown.
void WhenMenuShows(std::function<void(QMenu*)> act) {
    auto* timer = new QTimer(qApp);
    PendingWatchers().emplace_back(timer);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            timer->stop();
            timer->deleteLater();
            act(menu);
        }
    });
    timer->start();
}

// Types one key into each of the pop-up menus that show one after another;
// `onEach` runs as each menu shows.
void TypeIntoMenus(std::vector<Qt::Key> keys, std::function<void()> onEach = {}) {
    if (keys.empty()) {
        return;
    }
    WhenMenuShows([keys, onEach](QMenu* menu) mutable {
        if (onEach) {
            onEach();
        }
        const Qt::Key key = keys.front();
        keys.erase(keys.begin());
        TypeIntoMenus(keys, onEach);
        QTest::keyClick(menu, key);
    });
}

// Picks the entry with mnemonic `key` in the next pop-up menu.
void PickInMenu(Qt::Key key) {
    WhenMenuShows([key](QMenu* menu) { QTest::keyClick(menu, key); });
}

// The dialog open on a gradient, shown without blocking. Mouse events go to
// the dialog's window, so the platform's press, release and double-click
// sequence and the implicit grab during drags are the real ones.
struct Editor {
    explicit Editor(const char* text) {
        gradient.LoadFromText(text);
        dialog.SetGradient(gradient);
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
    }

    template <typename T> T* Find(const char* name) {
        T* w = dialog.findChild<T*>(QString::fromLatin1(name));
        if (w == nullptr) {
            qFatal("control %s not found", name);
        }
        return w;
    }

    QWindow* Window() { return dialog.windowHandle(); }
    QPoint At(QWidget* w, QPoint p) { return w->mapTo(&dialog, p); }
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
    void Drag(QWidget* w, QPoint from, const std::vector<QPoint>& path) {
        Press(w, from);
        for (const QPoint& p : path) {
            Move(w, p);
        }
        Release(w, path.empty() ? from : path.back());
    }
    // Left click on the handle of the stop at `pos`.
    QPoint OnHandle(int pos) { return {HandleLeft(pos) + 5, 18}; }

    // Alt+S reaches the hidden "&S" button, which clicks once its press has
    // been shown for a moment; returns when its menus are done.
    void AltS() {
        QSignalSpy clicked(Find<QAbstractButton>("btSelect"), &QAbstractButton::clicked);
        QTest::keyClick(&dialog, Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE_WITH_TIMEOUT(clicked.count(), 1, kSlowMachineTimeoutMs);
    }

    QImage Grab(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    ScopedScriptedPrompts prompts;
    TGrad gradient;
    TGradDlg dialog;
};

} // namespace

class GradFormTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { StopMenuWatchers(); }
    void controlsCarryTheirNamesAndPlaces();
    void pressingEmptyStripAddsStopWithBarColour();
    void pullingInteriorHandleOffDeletesIt();
    void pullingEndHandleOffChangesNothing();
    void dragPastNeighbourIsRefused();
    void fourCornerGradientLocksTheStops();
    void wrapTiesBothEnds();
    void reverseFlipsStops();
    void doubleClickOpensColourDialogOnce();
    void addNextBetweenNeighbours();
    void keyboardMenuSelectsNextAndWraps();
    void positionDialogRangeAndRefusals();
    void copyAndPasteColour();
    void switchingToQuadSnapsAngleAndSteps90();
    void angleAndNormaliseEnabling_data();
    void angleAndNormaliseEnabling();
    void typingInFieldsFiltersKeysAndClamps();
    void draggingCentreHandle();
    void draggingAngleHandle();
    void previewShowsHandlesOnlyWhenAsked();
    void cancelKeepsEditsOkReportsTrue();
};

void GradFormTest::controlsCarryTheirNamesAndPlaces() {
    Editor e("0,0,0,0,0,,0000000000,6400000000");
    QCOMPARE(e.dialog.objectName(), QStringLiteral("TGradDlg"));
    QCOMPARE(e.dialog.windowTitle(), QStringLiteral("グラデーションの設定"));
    QCOMPARE(e.dialog.size(), QSize(514, 338));
    QCOMPARE(e.Find<QWidget>("pbGrad")->geometry(), QRect(8, 9, 240, 240));
    QCOMPARE(e.Find<QWidget>("pbPtr")->geometry(), QRect(11, 23, 294, 25));
    QCOMPARE(e.Find<QWidget>("pbBar")->geometry(), QRect(16, 48, 271, 26));
    QCOMPARE(e.Find<QWidget>("btSelect")->geometry(), QRect(424, 8, 17, 17));
    QCOMPARE(e.Find<QWidget>("btOK")->geometry(), QRect(432, 32, 73, 25));
    auto* kinds = e.Find<QComboBox>("cbKind");
    QCOMPARE(kinds->count(), 4);
    QCOMPARE(kinds->itemText(3), QStringLiteral("四角形"));
    QCOMPARE(e.Find<QLineEdit>("edAngle")->maxLength(), 3);
    QCOMPARE(e.Find<QLineEdit>("edX")->maxLength(), 4);
    QVERIFY(e.Find<QToolButton>("btHdl")->isChecked());
    QVERIFY(e.Find<QPushButton>("btOK")->isDefault());
    QCOMPARE(e.Find<TUpDown>("udX")->Min(), -200);
    QCOMPARE(e.Find<TUpDown>("udX")->Max(), 200);
    QVERIFY(e.Find<TUpDown>("udAngle")->Wrap());
    QVERIFY(!e.Find<TUpDown>("udY")->Wrap());
}

void GradFormTest::pressingEmptyStripAddsStopWithBarColour() {
    Editor e("0,0,0,0,0,,0000000000,6400FFFFFF");
    e.Click(e.Strip(), {140, 20});
    QCOMPARE(Positions(e.dialog.Work()), (std::vector<int>{0, 50, 100}));
    QCOMPARE(e.gradient.GetColor(1), TColor{0x00808080}); // Round(127.5) = 128
    QCOMPARE(Positions(e.gradient), (std::vector<int>{0, 50, 100}));
    QCOMPARE(e.dialog.DragIndex(), -1);
    QCOMPARE(e.dialog.MenuIndex(), -1);

    // Outside 1..99 nothing is added.
    e.Click(e.Strip(), {290, 20});
    QCOMPARE(e.gradient.Count(), 3);
}

void GradFormTest::pullingInteriorHandleOffDeletesIt() {
    Editor e("0,0,0,0,0,,0000000000,3200FF0000,6400000000");
    const QPoint handle = e.OnHandle(50);
    QCOMPARE(e.Grab(e.Strip()).pixel(handle.x(), 17), QColor(Qt::blue).rgb());

    e.Press(e.Strip(), handle);
    QCOMPARE(e.dialog.DragIndex(), 1);
    e.Move(e.Strip(), {handle.x(), -6});
    QVERIFY(e.dialog.DragOut());
    QCOMPARE(e.dialog.Work().Count(), 3); // hidden, not yet gone
    QVERIFY(e.Grab(e.Strip()).pixel(handle.x(), 17) != QColor(Qt::blue).rgb());

    // Back on the strip it shows again; off once more and released, it goes.
    e.Move(e.Strip(), {handle.x(), 10});
    QVERIFY(!e.dialog.DragOut());
    QCOMPARE(e.Grab(e.Strip()).pixel(handle.x(), 17), QColor(Qt::blue).rgb());
    e.Move(e.Strip(), {handle.x(), -6});
    e.Release(e.Strip(), {handle.x(), -6});
    QCOMPARE(Positions(e.dialog.Work()), (std::vector<int>{0, 100}));
    QCOMPARE(Positions(e.gradient), (std::vector<int>{0, 100}));
}

void GradFormTest::pullingEndHandleOffChangesNothing() {
    Editor e("0,0,0,0,0,,0000000000,3200FF0000,6400000000");
    for (const int end : {0, 100}) {
        const QPoint handle = e.OnHandle(end);
        e.Drag(e.Strip(), handle, {{handle.x() - 40, 10}, {handle.x(), -8}});
        QCOMPARE(Positions(e.gradient), (std::vector<int>{0, 50, 100}));
    }
}

void GradFormTest::dragPastNeighbourIsRefused() {
    Editor e("0,0,0,0,0,,0000000000,1E00FF0000,3C0000FF00,6400000000"); // 0, 30, 60, 100
    const QPoint handle = e.OnHandle(30);
    e.Press(e.Strip(), handle);
    e.Move(e.Strip(), {127, 10}); // Round(122 / 2.7) = 45
    QCOMPARE(e.dialog.Work().GetPos(1), 45);
    e.Move(e.Strip(), {167, 10}); // 60: onto the neighbour
    QCOMPARE(e.dialog.Work().GetPos(1), 45);
    e.Move(e.Strip(), {200, 10}); // past it
    QCOMPARE(e.dialog.Work().GetPos(1), 45);
    e.Move(e.Strip(), {164, 10}); // Round(159 / 2.7) = 59
    QCOMPARE(e.dialog.Work().GetPos(1), 59);
    e.Move(e.Strip(), {5, 10}); // onto stop 0
    QCOMPARE(e.dialog.Work().GetPos(1), 59);
    QCOMPARE(e.gradient.GetPos(1), 30); // the target follows at the release
    e.Release(e.Strip(), {5, 10});
    QCOMPARE(Positions(e.gradient), (std::vector<int>{0, 59, 60, 100}));
    QCOMPARE(e.dialog.MenuIndex(), 1); // the clicked stop is kept for a double-click
}

void GradFormTest::fourCornerGradientLocksTheStops() {
    Editor e("3,90,0,0,0,,00000000FF,210000FF00,4300FF0000,6400FFFFFF");
    const std::vector<int> corners{0, 33, 67, 100};

    e.Drag(e.Strip(), e.OnHandle(33), {{150, 10}});
    e.Drag(e.Strip(), e.OnHandle(67), {{e.OnHandle(67).x(), -8}});
    e.Click(e.Strip(), {250, 20});
    QCOMPARE(Positions(e.gradient), corners);

    // No position numbers over the handles.
    const QImage strip = e.Grab(e.Strip());
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < strip.width(); ++x) {
            QVERIFY2(qGray(strip.pixel(x, y)) > 150, "a position number is shown");
        }
    }

    bool locateEnabled = true;
    bool deleteEnabled = true;
    WhenMenuShows([&](QMenu* menu) {
        locateEnabled = e.Find<QAction>("mnLocate")->isEnabled();
        deleteEnabled = e.Find<QAction>("mnDelete")->isEnabled();
        menu->close();
    });
    e.Click(e.Strip(), e.OnHandle(33), Qt::RightButton);
    QVERIFY(!locateEnabled);
    QVERIFY(!deleteEnabled);

    // From the keyboard "次に追加" is disabled as well.
    bool addEnabled = true;
    WhenMenuShows([&](QMenu* menu) {
        addEnabled = e.Find<QAction>("mnAdd")->isEnabled();
        menu->close();
    });
    e.AltS();
    QVERIFY(!addEnabled);
    QCOMPARE(Positions(e.gradient), corners);
}

void GradFormTest::wrapTiesBothEnds() {
    Editor e("0,0,0,0,0,,00000000FF,3200FF0000,640000FF00");
    auto* wrap = e.Find<QCheckBox>("cbWrap");
    QTest::mouseClick(wrap, Qt::LeftButton, {}, QPoint(5, wrap->height() / 2));
    QVERIFY(wrap->isChecked());
    QCOMPARE(Colors(e.gradient), (std::vector<TColor>{kRed, kBlue, kRed}));

    // Recolouring the first stop recolours the last, and the other way round.
    e.prompts->colorAnswers = {kGreen, kWhite};
    PickInMenu(Qt::Key_O);
    e.Click(e.Strip(), e.OnHandle(0), Qt::RightButton);
    QCOMPARE(Colors(e.gradient), (std::vector<TColor>{kGreen, kBlue, kGreen}));
    PickInMenu(Qt::Key_O);
    e.Click(e.Strip(), e.OnHandle(100), Qt::RightButton);
    QCOMPARE(Colors(e.gradient), (std::vector<TColor>{kWhite, kBlue, kWhite}));

    // An interior stop is recoloured alone.
    e.prompts->colorAnswers = {kRed};
    PickInMenu(Qt::Key_O);
    e.Click(e.Strip(), e.OnHandle(50), Qt::RightButton);
    QCOMPARE(Colors(e.gradient), (std::vector<TColor>{kWhite, kRed, kWhite}));
}

void GradFormTest::reverseFlipsStops() {
    Editor e("0,0,0,0,0,,00000000FF,1E00FF0000,640000FF00");
    QTest::mouseClick(e.Find<QPushButton>("btReverse"), Qt::LeftButton);
    QCOMPARE(Positions(e.gradient), (std::vector<int>{0, 70, 100}));
    QCOMPARE(Colors(e.gradient), (std::vector<TColor>{kGreen, kBlue, kRed}));
    QCOMPARE(Positions(e.dialog.Work()), (std::vector<int>{0, 70, 100}));
}

void GradFormTest::doubleClickOpensColourDialogOnce() {
    Editor e("0,0,0,0,0,,00000000FF,3200FF0000,640000FF00");
    e.prompts->colorAnswers = {kWhite, kWhite};
    QTest::mouseDClick(e.Window(), Qt::LeftButton, {}, e.At(e.Strip(), e.OnHandle(50)));
    QTest::qWait(20);
    QCOMPARE(e.prompts->colorInitials, (std::vector<TColor>{kBlue}));
    QCOMPARE(Colors(e.gradient), (std::vector<TColor>{kRed, kWhite, kGreen}));
    QCOMPARE(e.prompts->colorAnswers.size(), std::size_t{1});

    // A double-click on the empty strip opens nothing (but adds a stop there).
    QTest::mouseDClick(e.Window(), Qt::LeftButton, {}, e.At(e.Strip(), {200, 20}));
    QTest::qWait(20);
    QCOMPARE(e.prompts->colorInitials.size(), std::size_t{1});
}

void GradFormTest::addNextBetweenNeighbours() {
    Editor e("0,0,0,0,0,,00000000FF,0A00FF0000,0B0000FF00,6400FFFFFF"); // 0, 10, 11, 100
    // Alt+S selects stop 0; "次を選択" moves to the stop at 10; "次に追加" adds
    // at Round(10.5) = 10, before the stop that is there.
    TypeIntoMenus({Qt::Key_S, Qt::Key_A});
    e.AltS();
    QCOMPARE(Positions(e.gradient), (std::vector<int>{0, 10, 10, 11, 100}));
    QCOMPARE(Colors(e.gradient), (std::vector<TColor>{kRed, kBlue, kBlue, kGreen, kWhite}));
    QCOMPARE(e.dialog.MenuIndex(), -1);
}

void GradFormTest::keyboardMenuSelectsNextAndWraps() {
    Editor e("0,0,0,0,0,,00000000FF,6400FFFFFF");
    bool keyboardEntriesShown = true;
    // Stop 0, the last stop, round to stop 0, the last again; "次に追加" after
    // the last stop puts the new stop at 50.
    std::vector<int> selected;
    TypeIntoMenus({Qt::Key_S, Qt::Key_S, Qt::Key_S, Qt::Key_A}, [&] {
        selected.push_back(e.dialog.MenuIndex());
        keyboardEntriesShown = keyboardEntriesShown && e.Find<QAction>("mnSelect")->isVisible() &&
                               e.Find<QAction>("mnAdd")->isVisible();
    });
    e.AltS();
    QVERIFY(keyboardEntriesShown);
    QCOMPARE(selected, (std::vector<int>{0, 1, 0, 1}));
    QCOMPARE(Positions(e.gradient), (std::vector<int>{0, 50, 100}));

    // A right-click shows neither entry.
    bool hidden = false;
    WhenMenuShows([&](QMenu* menu) {
        hidden =
            !e.Find<QAction>("mnSelect")->isVisible() && !e.Find<QAction>("mnAdd")->isVisible();
        menu->close();
    });
    e.Click(e.Strip(), e.OnHandle(50), Qt::RightButton);
    QVERIFY(hidden);
}

void GradFormTest::positionDialogRangeAndRefusals() {
    Editor e("0,0,0,0,0,,00000000FF,0A00FF0000,3200FF0000,6400FFFFFF"); // 0, 10, 50, 100
    e.prompts->inputAnswers = {std::string("30"), std::string("5"), std::string("x"), std::nullopt};
    for (int round = 0; round < 4; ++round) {
        PickInMenu(Qt::Key_L);
        e.Click(e.Strip(), e.OnHandle(e.gradient.GetPos(2)), Qt::RightButton);
        QCOMPARE(e.dialog.MenuIndex(), -1);
    }
    QCOMPARE(e.prompts->shown.size(), std::size_t{4});
    QCOMPARE(e.prompts->shown[0].title, std::string("位置の指定"));
    QCOMPARE(e.prompts->shown[0].text, std::string("11[%] から 99[%]の範囲で入力して下さい"));
    QCOMPARE(e.prompts->inputInitials[0], std::string("50"));
    QCOMPARE(e.prompts->inputInitials[1], std::string("30"));
    QCOMPARE(Positions(e.gradient), (std::vector<int>{0, 10, 30, 100}));

    // The ends cannot be positioned or deleted.
    bool locateEnabled = true;
    WhenMenuShows([&](QMenu* menu) {
        locateEnabled =
            e.Find<QAction>("mnLocate")->isEnabled() || e.Find<QAction>("mnDelete")->isEnabled();
        menu->close();
    });
    e.Click(e.Strip(), e.OnHandle(100), Qt::RightButton);
    QVERIFY(!locateEnabled);
}

void GradFormTest::copyAndPasteColour() {
    Editor e("0,0,0,0,0,,00000000FF,3200FF0000,640000FF00");
    bool pasteEnabled = true;
    WhenMenuShows([&](QMenu* menu) {
        pasteEnabled = e.Find<QAction>("mnPaste")->isEnabled();
        QTest::keyClick(menu, Qt::Key_C);
    });
    e.Click(e.Strip(), e.OnHandle(0), Qt::RightButton);
    QVERIFY(!pasteEnabled);
    QCOMPARE(e.dialog.CopiedColor(), kRed);

    PickInMenu(Qt::Key_P);
    e.Click(e.Strip(), e.OnHandle(50), Qt::RightButton);
    QCOMPARE(Colors(e.gradient), (std::vector<TColor>{kRed, kRed, kGreen}));

    PickInMenu(Qt::Key_D);
    e.Click(e.Strip(), e.OnHandle(50), Qt::RightButton);
    QCOMPARE(Positions(e.gradient), (std::vector<int>{0, 100}));
}

void GradFormTest::switchingToQuadSnapsAngleAndSteps90() {
    Editor e("0,45,0,0,0,,00000000FF,0A00FF0000,140000FF00,1E00FFFFFF,6400000000");
    auto* kinds = e.Find<QComboBox>("cbKind");
    auto* angle = e.Find<QLineEdit>("edAngle");
    auto* arrows = e.Find<TUpDown>("udAngle");
    kinds->setFocus();
    QTest::keyClick(kinds, Qt::Key_End);
    QCOMPARE(e.gradient.Kind, std::uint8_t{gkQuad});
    QCOMPARE(Positions(e.gradient), (std::vector<int>{0, 33, 67, 100}));
    QCOMPARE(Positions(e.dialog.Work()), (std::vector<int>{0, 33, 67, 100}));
    QCOMPARE(Colors(e.gradient), (std::vector<TColor>{kRed, kBlue, kGreen, 0}));
    QCOMPARE(e.gradient.Angle, 0);
    QCOMPARE(arrows->Increment(), 90);

    const QPoint down(arrows->width() / 2, arrows->height() - 3);
    const QPoint up(arrows->width() / 2, 3);
    QTest::mouseClick(arrows, Qt::LeftButton, {}, down);
    QCOMPARE(angle->text(), QStringLiteral("270"));
    QCOMPARE(e.gradient.Angle, 270);
    QTest::mouseClick(arrows, Qt::LeftButton, {}, down);
    QCOMPARE(e.gradient.Angle, 180);
    QTest::mouseClick(arrows, Qt::LeftButton, {}, up);
    QTest::mouseClick(arrows, Qt::LeftButton, {}, up);
    QCOMPARE(angle->text(), QStringLiteral("0"));
    QCOMPARE(e.gradient.Angle, 0);

    // Back to a linear kind the step is 1 again and the four stops stay.
    QTest::keyClick(kinds, Qt::Key_Home);
    QCOMPARE(arrows->Increment(), 1);
    QTest::mouseClick(arrows, Qt::LeftButton, {}, down);
    QCOMPARE(e.gradient.Angle, 359);
    QCOMPARE(Positions(e.gradient), (std::vector<int>{0, 33, 67, 100}));
}

void GradFormTest::angleAndNormaliseEnabling_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("angle");
    QTest::addColumn<bool>("centre");
    QTest::addColumn<bool>("normalise");
    QTest::newRow("linear") << "0,0,80,0,1,," << true << false << false;
    QTest::newRow("quad") << "3,0,-80,0,1,," << true << false << false;
    QTest::newRow("arc") << "2,0,0,0,0,," << false << true << false;
    QTest::newRow("arc centre below") << "2,0,0,50,0,," << false << true << true;
    QTest::newRow("radiate normalised x 50") << "1,0,50,0,1,," << false << true << true;
    QTest::newRow("radiate normalised x 49") << "1,0,49,0,1,," << true << true << false;
    QTest::newRow("radiate normalised y -50") << "1,0,0,-50,1,," << false << true << true;
    QTest::newRow("radiate normalised x -49") << "1,0,-49,49,1,," << true << true << false;
    QTest::newRow("radiate plain x 50") << "1,0,50,0,0,," << true << true << true;
}

void GradFormTest::angleAndNormaliseEnabling() {
    QFETCH(QString, text);
    QFETCH(bool, angle);
    QFETCH(bool, centre);
    QFETCH(bool, normalise);
    Editor e(text.toUtf8().constData());
    for (const char* name : {"lbAngle", "edAngle", "udAngle", "lbDegree"}) {
        QCOMPARE(e.Find<QWidget>(name)->isEnabled(), angle);
    }
    for (const char* name :
         {"lbCenter", "lbX", "edX", "udX", "lbXPer", "lbY", "edY", "udY", "lbYPer"}) {
        QCOMPARE(e.Find<QWidget>(name)->isEnabled(), centre);
    }
    QCOMPARE(e.Find<QCheckBox>("cbNormal")->isEnabled(), normalise);
    const QColor base = e.Find<QLineEdit>("edX")->palette().color(QPalette::Base);
    QCOMPARE(base, centre ? QColor(255, 255, 255) : QColor(240, 240, 240));
}

void GradFormTest::typingInFieldsFiltersKeysAndClamps() {
    Editor e("1,0,0,0,1,,00000000FF,6400FF0000");
    auto* angle = e.Find<QLineEdit>("edAngle");
    auto* x = e.Find<QLineEdit>("edX");
    auto* normal = e.Find<QCheckBox>("cbNormal");

    angle->selectAll();
    QTest::keyClicks(angle, "1a-2");
    QCOMPARE(angle->text(), QStringLiteral("12"));
    QCOMPARE(e.gradient.Angle, 12);
    QTest::keyClick(angle, Qt::Key_Backspace);
    QTest::keyClick(angle, Qt::Key_Backspace);
    QCOMPARE(e.gradient.Angle, 0); // an empty field reads as 0
    QTest::keyClicks(angle, "500");
    QCOMPARE(angle->text(), QStringLiteral("359"));
    QCOMPARE(e.gradient.Angle, 359);
    QTest::keyClick(angle, Qt::Key_Up); // the arrow keys step the field, wrapping
    QCOMPARE(angle->text(), QStringLiteral("0"));
    QCOMPARE(e.gradient.Angle, 0);
    QTest::keyClick(angle, Qt::Key_Down);
    QCOMPARE(e.gradient.Angle, 359);

    // Moving the centre onto the edge makes normalisation possible and, with
    // it on, disables the angle.
    QVERIFY(!normal->isEnabled());
    x->selectAll();
    QTest::keyClicks(x, "50");
    QCOMPARE(e.gradient.CenterX, 50);
    QVERIFY(normal->isEnabled());
    QVERIFY(!angle->isEnabled());
    QTest::keyClick(x, Qt::Key_Backspace);
    QCOMPARE(e.gradient.CenterX, 5);
    QVERIFY(angle->isEnabled());
    x->selectAll();
    QTest::keyClicks(x, "-999");
    QCOMPARE(x->text(), QStringLiteral("-200"));
    QCOMPARE(e.gradient.CenterX, -200);

    // Unticking normalisation while it is enabled.
    QTest::mouseClick(normal, Qt::LeftButton, {}, QPoint(5, normal->height() / 2));
    QVERIFY(!e.gradient.Normalize);
    QVERIFY(angle->isEnabled());
}

void GradFormTest::draggingCentreHandle() {
    Editor e("1,0,0,0,0,,00000000FF,6400FF0000");
    e.Press(e.Preview(), {121, 119});
    QVERIFY(e.dialog.CenterDrag());
    e.Move(e.Preview(), {150, 100});
    e.Move(e.Preview(), {180, 60});
    e.Release(e.Preview(), {180, 60});
    QVERIFY(!e.dialog.CenterDrag());
    QCOMPARE(e.gradient.CenterX, 50);
    QCOMPARE(e.gradient.CenterY, -50);
    QCOMPARE(e.Find<QLineEdit>("edX")->text(), QStringLiteral("50"));
    QCOMPARE(e.Find<QLineEdit>("edY")->text(), QStringLiteral("-50"));
    QVERIFY(e.Find<QCheckBox>("cbNormal")->isEnabled());

    // Dragged far outside, the centre stops at the fields' limits.
    const auto [p, q] = e.dialog.HandlePoints();
    QCOMPARE(p, QPoint(180, 60));
    e.Drag(e.Preview(), p, {{-200, 239}});
    QCOMPARE(e.gradient.CenterX, -200);
    QCOMPARE(e.gradient.CenterY, 99);

    // A press away from both handles grabs nothing.
    e.Drag(e.Preview(), {10, 10}, {{120, 120}});
    QCOMPARE(e.gradient.CenterX, -200);
}

void GradFormTest::draggingAngleHandle() {
    Editor e("0,0,0,0,0,,00000000FF,6400FF0000");
    e.Press(e.Preview(), {172, 122}); // Q = (170, 120)
    QVERIFY(e.dialog.AngleDrag());
    e.Move(e.Preview(), {120, 200});
    QCOMPARE(e.gradient.Angle, 90);
    QCOMPARE(e.Find<QLineEdit>("edAngle")->text(), QStringLiteral("90"));
    e.Move(e.Preview(), {120, 10});
    QCOMPARE(e.gradient.Angle, 270);
    e.Move(e.Preview(), {200, 200});
    QCOMPARE(e.gradient.Angle, 45);
    e.Move(e.Preview(), {40, 40});
    QCOMPARE(e.gradient.Angle, 225);
    e.Move(e.Preview(), {320, 119}); // just above the axis: 360 becomes 0
    QCOMPARE(e.gradient.Angle, 0);
    e.Release(e.Preview(), {320, 119});
    QVERIFY(!e.dialog.AngleDrag());

    QCOMPARE(TGradDlg::AngleFromPoints({120, 120}, {100, 120}), 180);
    QCOMPARE(TGradDlg::AngleFromPoints({120, 120}, {220, 119}), 359);
    QCOMPARE(TGradDlg::AngleFromPoints({120, 120}, {320, 119}), 360);

    // With the handles hidden a press grabs nothing.
    QTest::mouseClick(e.Find<QToolButton>("btHdl"), Qt::LeftButton);
    e.Drag(e.Preview(), {170, 120}, {{120, 200}});
    QCOMPARE(e.gradient.Angle, 0);
}

void GradFormTest::previewShowsHandlesOnlyWhenAsked() {
    Editor e("0,0,0,0,0,,0000000000,6400FFFFFF");
    QImage preview = e.Grab(e.Preview());
    // Angle handle at Q = (170, 120): white inside, black outline.
    QCOMPARE(QColor(preview.pixel(169, 119)), QColor(Qt::white));
    QCOMPARE(QColor(preview.pixel(167, 119)), QColor(Qt::black));
    QCOMPARE(QColor(preview.pixel(172, 119)), QColor(Qt::black));
    QCOMPARE(QColor(preview.pixel(173, 119)), QColor(preview.pixel(173, 110)));
    // The line from the centre inverts red and green and keeps blue.
    const QColor line(preview.pixel(140, 120));
    const QColor beside(preview.pixel(140, 121));
    QCOMPARE(line.red(), 255 - beside.red());
    QCOMPARE(line.green(), 255 - beside.green());
    QCOMPARE(line.blue(), beside.blue());
    // The ramp fills (60, 60)..(180, 180) and the box around it is the face colour.
    QCOMPARE(QColor(preview.pixel(60, 70)), QColor(Qt::black));
    QCOMPARE(QColor(preview.pixel(180, 70)), QColor(Qt::white));
    QCOMPARE(QColor(preview.pixel(59, 70)), QColor(240, 240, 240));
    QCOMPARE(QColor(preview.pixel(181, 181)), QColor(240, 240, 240));

    QTest::mouseClick(e.Find<QToolButton>("btHdl"), Qt::LeftButton);
    preview = e.Grab(e.Preview());
    QCOMPARE(QColor(preview.pixel(169, 119)), QColor(preview.pixel(169, 110)));
    QCOMPARE(QColor(preview.pixel(140, 120)), QColor(preview.pixel(140, 121)));

    // The bar shows the working stops from 0 at the left to 100 at the right.
    const QImage bar = e.Grab(e.Find<QWidget>("pbBar"));
    QCOMPARE(QColor(bar.pixel(0, 10)), QColor(Qt::black));
    QCOMPARE(QColor(bar.pixel(270, 10)), QColor(Qt::white));
}

void GradFormTest::cancelKeepsEditsOkReportsTrue() {
    TGradDialog component;
    component.Gradation().LoadFromText("0,0,0,0,0,,00000000FF,1E00FF0000,640000FF00");
    const auto pressInDialog = [](const char* button) {
        QTimer::singleShot(0, [button] {
            auto* dialog = qobject_cast<TGradDlg*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            QTest::mouseClick(dialog->findChild<QPushButton*>("btReverse"), Qt::LeftButton);
            QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
        });
    };
    pressInDialog("btCancel");
    QVERIFY(!component.Execute());
    QCOMPARE(component.Gradation().SaveToText(),
             std::string("0,0,0,0,0,,000000FF00,4600FF0000,64000000FF"));
    pressInDialog("btOK");
    QVERIFY(component.Execute());
    QCOMPARE(component.Gradation().SaveToText(),
             std::string("0,0,0,0,0,,00000000FF,1E00FF0000,640000FF00"));

    // Escape cancels.
    QTimer::singleShot(0,
                       [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); });
    QVERIFY(!component.Execute());
}

QTEST_MAIN(GradFormTest)
#include "gradform_test.moc"
