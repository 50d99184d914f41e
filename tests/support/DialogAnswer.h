#pragma once
// Answering modal dialogs in window tests without hanging and without timing.
//
// A modal dialog runs its own event loop inside the call that opened it, so a
// test answers it from a timer. Two things make a single timed answer fail on a
// busy machine: the dialog may not be on top yet when the timer fires, and an
// answer given at the wrong moment may not take (a file dialog leaves the
// file-name field alone once that field has focus). DialogAnswer retries until
// the answer has taken effect, and gives up within a bounded time:
//
//   DialogAnswer<QFileDialog> save("the save dialog",
//                                  [&](QFileDialog* dialog) { ChooseFile(dialog, path); });
//   const auto chosen = prompts.SaveFile(request); // returns once the answer closed it
//   QVERIFY2(save.Answered(), save.Failure());     // or EXPECT_TRUE(...) << save.Failure()
//
// From construction on, a timer looks at QApplication::activeModalWidget() every
// few milliseconds. When the modal window on top is a visible D, `answer` runs on
// it; while that dialog stays open and on top, `answer` runs again at the next
// look. So write answers that can run more than once (set texts rather than
// append them, note what was seen by assignment). The answer has taken effect
// when the dialog is hidden or deleted. While another modal window covers the
// dialog (a question the answer raised, answered by another DialogAnswer), the
// dialog is left alone.
//
// If no D shows within `timeoutMs` of construction, or the D shown is still
// open `timeoutMs` after it showed, Failure() names the dialog and says which
// of the two happened, and the modal window on top is rejected so the code that
// opened it returns and the test can fail instead of hanging. A D that shows
// after that is rejected at once. Answered() is true only when the answer took.
#include <QApplication>
#include <QByteArray>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <type_traits>
#include <utility>

namespace pelmora::testing {

// The longest a test waits for a modal dialog to show, and then to respond.
inline constexpr int kDialogTimeoutMs = 20000;

template <typename D = QDialog> class DialogAnswer {
    static_assert(std::is_base_of_v<QDialog, D>, "answers dialogs");

public:
    DialogAnswer(QString what, std::function<void(D*)> answer, int timeoutMs = kDialogTimeoutMs)
        : DialogAnswer(std::move(what), QString(), std::move(answer), timeoutMs) {}
    // Only a D named `objectName` is answered (a window of that class).
    DialogAnswer(QString what, QString objectName, std::function<void(D*)> answer,
                 int timeoutMs = kDialogTimeoutMs)
        : what_(std::move(what)), name_(std::move(objectName)), answer_(std::move(answer)),
          timeoutMs_(timeoutMs) {
        clock_.start();
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start(kLookEveryMs);
    }
    DialogAnswer(const DialogAnswer&) = delete;
    DialogAnswer& operator=(const DialogAnswer&) = delete;

    bool Answered() const { return answered_; }
    int Attempts() const { return attempts_; }
    // Empty while nothing went wrong; else what did not happen, naming the dialog.
    const char* Failure() const { return failure_.constData(); }

private:
    static constexpr int kLookEveryMs = 10;

    void Look() {
        QWidget* top = QApplication::activeModalWidget();
        if (top != nullptr && !top->isVisible()) {
            top = nullptr;
        }
        if (!failure_.isEmpty()) {
            // Gave up: a late dialog is closed so that the code under test returns.
            if (D* late = Matching(top)) {
                Close(late);
            }
            return;
        }
        if (shown_) {
            if (dialog_.isNull() || !dialog_->isVisible()) {
                Finished();
                return;
            }
            if (clock_.hasExpired(timeoutMs_)) {
                Fail(QStringLiteral("%1 did not respond within %2 s (%3 tries)")
                         .arg(what_)
                         .arg(timeoutMs_ / 1000.0)
                         .arg(attempts_));
                Close(dialog_);
                return;
            }
            if (top == dialog_) {
                Attempt();
            }
            return;
        }
        if (D* dialog = Matching(top)) {
            shown_ = true;
            dialog_ = dialog;
            // Closing is noted as it happens: the same dialog may be shown again
            // before the next look, for another answer.
            QObject::connect(dialog, &QDialog::finished, &timer_, [this] { Finished(); });
            clock_.restart();
            Attempt();
        } else if (clock_.hasExpired(timeoutMs_)) {
            Fail(top == nullptr ? QStringLiteral("%1 did not show within %2 s")
                                      .arg(what_)
                                      .arg(timeoutMs_ / 1000.0)
                                : QStringLiteral("%1 did not show within %2 s; \"%3\" showed")
                                      .arg(what_)
                                      .arg(timeoutMs_ / 1000.0)
                                      .arg(top->windowTitle()));
            Close(top);
        }
    }

    D* Matching(QWidget* top) const {
        D* dialog = qobject_cast<D*>(top);
        return dialog != nullptr && (name_.isEmpty() || dialog->objectName() == name_) ? dialog
                                                                                       : nullptr;
    }

    void Finished() {
        if (!failure_.isEmpty() || answered_) {
            return;
        }
        answered_ = true;
        timer_.stop();
        if (dialog_) {
            QObject::disconnect(dialog_, &QDialog::finished, &timer_, nullptr);
        }
    }

    void Attempt() {
        ++attempts_;
        // The dialog may close (and be deleted) inside the answer.
        QPointer<D> dialog = dialog_;
        answer_(dialog.data());
    }

    void Fail(const QString& message) { failure_ = message.toUtf8(); }

    static void Close(QWidget* window) {
        if (window == nullptr) {
            return;
        }
        if (auto* dialog = qobject_cast<QDialog*>(window)) {
            dialog->reject();
        } else {
            window->close();
        }
    }

    QString what_;
    QString name_;
    std::function<void(D*)> answer_;
    int timeoutMs_;
    QTimer timer_;
    QElapsedTimer clock_;
    QPointer<D> dialog_;
    bool shown_ = false;
    bool answered_ = false;
    int attempts_ = 0;
    QByteArray failure_;
};

// Chooses `path` in a file dialog as a user does who types the whole path into
// the file-name field and presses Enter. QFileDialog::selectFile() cannot stand
// in for that: once the dialog is active, the field has focus and selectFile()
// leaves its text alone, so the dialog would accept whatever the field held.
inline void ChooseFile(QFileDialog* dialog, const QString& path) {
    if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        name->setText(path);
    } else {
        dialog->selectFile(path);
    }
    static_cast<QDialog*>(dialog)->accept();
}

// The dialog's push button showing `text` (with its & marks), or nullptr.
inline QPushButton* ButtonWithText(QWidget* dialog, const QString& text) {
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->text() == text) {
            return button;
        }
    }
    return nullptr;
}

} // namespace pelmora::testing
