// pelmora-guide-screenshots SAMPLES OUT: draws the user guide's pictures of
// the pattern editor, its Parts menu, the gradient editor and the fine-adjust
// dialog into the folder OUT, designing the guide's pattern on a library made
// of the sample pattern files in SAMPLES. Runs under any Qt platform
// (scripts/screenshots uses "offscreen"); every step waits for what it needs,
// for at most 20 seconds.
#include "logic/GradientDialogWindow.h"
#include "logic/GuideScene.h"
#include "platform/prompts.h"
#include "qt/Controls.h"
#include "qt/Dialogs.h"
#include "qt/PatternEditor.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <QtTest/QTest>

#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

namespace {

using namespace pelmora;
namespace fs = std::filesystem;

constexpr int kPatienceMs = 20000;

// The colour dialog picks the next colour of a list; nothing else is asked.
class GuidePrompts final : public Prompts {
public:
    std::deque<TColor> Colors;

    MsgResult Message(const std::string& text, MsgKind, MsgButtons, const std::string&) override {
        throw std::runtime_error("unexpected message: " + text);
    }
    std::optional<std::string> Input(const std::string&, const std::string&, const std::string&,
                                     int) override {
        return std::nullopt;
    }
    std::optional<std::string> OpenFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> SaveFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<TColor> ChooseColor(TColor) override {
        if (Colors.empty()) {
            return std::nullopt;
        }
        const TColor next = Colors.front();
        Colors.pop_front();
        return next;
    }
};

template <typename T> T* Child(QObject* parent, const char* name) {
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr) {
        throw std::runtime_error(std::string("no control named ") + name);
    }
    return found;
}

void WaitFor(const std::function<bool()>& done, const std::string& what) {
    const QDeadlineTimer deadline(kPatienceMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            throw std::runtime_error(what + " did not happen within 20 seconds");
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

// Answers the first modal dialog once it shows; the dialog is rejected
// afterwards if the answer left it open. A failure inside the answer is kept
// for the caller.
void WhenModal(const std::function<void(QtForm*)>& answer, std::exception_ptr& failure) {
    auto* timer = new QTimer;
    const QDeadlineTimer deadline(kPatienceMs);
    QObject::connect(timer, &QTimer::timeout, timer, [=, &failure] {
        auto* dialog = qobject_cast<QtForm*>(QApplication::activeModalWidget());
        if (dialog == nullptr && !deadline.hasExpired()) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        if (dialog == nullptr) {
            failure = std::make_exception_ptr(std::runtime_error("a dialog did not show"));
            return;
        }
        const QPointer<QtForm> guard(dialog);
        try {
            answer(dialog);
        } catch (...) {
            failure = std::current_exception();
        }
        if (guard && guard->isVisible()) {
            guard->reject();
        }
    });
    timer->start(10);
}

void Save(const QImage& image, const QString& file) {
    if (!image.save(file)) {
        throw std::runtime_error("cannot write " + file.toStdString());
    }
    std::printf("%s\n", file.toLocal8Bit().constData());
}

void Pick(TEditForm& form, const char* item) {
    QAction* action = Child<QAction>(&form, item);
    if (!action->isEnabled()) {
        throw std::runtime_error(std::string(item) + " is disabled");
    }
    action->trigger();
}

// The guide's pattern: a new one with an icon-area frame in a blue-orange
// arc gradient, two pixels thick one pixel out, brightened by two steps.
void Draw(const fs::path& samples, const QString& out) {
    GuidePrompts prompts;
    QtModalForms forms;
    FormEditorDialogs dialogs(forms, [&]() -> Prompts& { return prompts; });
    PatternLibrary library = GuideLibrary(samples);
    TIniData settings = GuideWindowSettings();
    GuidePad pad(prompts);
    auto* form = new TEditForm(library, settings, pad, dialogs);
    const std::unique_ptr<TEditForm> owner(form);
    form->show();
    form->activateWindow();
    WaitFor([&] { return form->isActiveWindow(); }, "the editor's showing");

    QTest::keyClick(Child<QWidget>(form, "PatternList"), Qt::Key_Insert);
    Pick(*form, "mnIconF");
    std::exception_ptr failure;
    prompts.Colors = {0x000060FF, 0x00FF6000};
    WhenModal(
        [&](QtForm* dialog) {
            QWidget* strip = Child<QWidget>(dialog, "pbPtr");
            for (const int handle : {5, 5 + 270}) {
                QTest::mouseDClick(dialog->windowHandle(), Qt::LeftButton, {},
                                   strip->mapTo(dialog, QPoint(handle, 18)));
            }
            const TGrad& shown =
                dynamic_cast<GradientDialogWindow&>(*dialog->Events()).Logic().Target();
            if (shown.GetColor(0) != 0x000060FF ||
                shown.GetColor(shown.Count() - 1) != 0x00FF6000) {
                throw std::runtime_error("the gradient's end stops were not recoloured");
            }
            auto* kinds = Child<QComboBox>(dialog, "cbKind");
            kinds->setFocus();
            QTest::keyClick(kinds, Qt::Key_Down);
            Save(dialog->grab().toImage(), out + "/gradient-dialog.png");
            QTest::mouseClick(Child<QPushButton>(dialog, "btOK"), Qt::LeftButton);
        },
        failure);
    Pick(*form, "mnGrad");
    WhenModal(
        [&](QtForm* dialog) {
            QTest::mouseClick(Child<QPushButton>(dialog, "btReset"), Qt::LeftButton);
            QTest::mouseClick(Child<QRadioButton>(dialog, "rbIn"), Qt::LeftButton);
            // Each arrow moves its inner edge inward.
            const std::pair<const char*, QPoint> arrows[] = {{"udLeft", {35, 12}},
                                                             {"udTop", {20, 22}},
                                                             {"udRight", {3, 12}},
                                                             {"udBottom", {20, 3}}};
            for (const auto& [name, at] : arrows) {
                QTest::mouseClick(Child<TUpDown>(dialog, name), Qt::LeftButton, {}, at);
            }
            Save(dialog->grab().toImage(), out + "/fine-adjust-dialog.png");
            QTest::mouseClick(Child<QPushButton>(dialog, "OK"), Qt::LeftButton);
        },
        failure);
    Pick(*form, "mnArea");
    if (failure) {
        std::rethrow_exception(failure);
    }
    // The dialogs are gone; the editor is the active window again.
    form->activateWindow();
    WaitFor([&] { return form->isActiveWindow(); }, "the editor's activation");
    auto* lumi = Child<QSlider>(form, "tbLumi");
    lumi->setValue(lumi->value() + 2);
    auto* parts = Child<QListWidget>(form, "PartsList");
    parts->setFocus();
    QTest::mouseClick(parts->viewport(), Qt::LeftButton, {},
                      parts->visualItemRect(parts->item(2)).center());
    Save(form->grab().toImage(), out + "/editor.png");

    // The Parts menu with its fill entries open.
    auto* menu = Child<QMenu>(form, "mnParts");
    auto* bar = Child<QMenuBar>(form, "MainMenu");
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    WaitFor([&] { return menu->isVisible(); }, "the Parts menu's opening");
    auto* fills = Child<QMenu>(form, "mnFill");
    QTest::mouseMove(menu, menu->actionGeometry(fills->menuAction()).center());
    WaitFor([&] { return fills->isVisible(); }, "the fill submenu's opening");
    QTest::mouseMove(fills, fills->actionGeometry(Child<QAction>(form, "mnGrad")).center());
    WaitFor([&] { return fills->activeAction() == Child<QAction>(form, "mnGrad"); },
            "the gradient entry's highlighting");
    const QRect both = menu->geometry().united(fills->geometry());
    QImage picture(both.size(), QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        painter.drawPixmap(menu->geometry().topLeft() - both.topLeft(), menu->grab());
        painter.drawPixmap(fills->geometry().topLeft() - both.topLeft(), fills->grab());
    }
    Save(picture, out + "/parts-menu.png");
    fills->hide();
    menu->hide();

    // The Edit menu, naming the last step and with a part copied to paste.
    Pick(*form, "mnCopyPart");
    auto* edit = Child<QMenu>(form, "mnEdit");
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(edit->menuAction()).center());
    WaitFor([&] { return edit->isVisible(); }, "the Edit menu's opening");
    Save(edit->grab().toImage(), out + "/edit-menu.png");
    edit->hide();
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pelmora-guide-screenshots SAMPLES-FOLDER OUTPUT-FOLDER\n");
        return 2;
    }
    QApplication app(argc, argv);
    try {
        Draw(argv[1], QString::fromLocal8Bit(argv[2]));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pelmora-guide-screenshots: %s\n", e.what());
        return 1;
    }
    return 0;
}
