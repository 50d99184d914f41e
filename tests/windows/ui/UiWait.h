#pragma once
// Waiting in the Win32 UI tests: nothing sleeps a fixed time. A wait pumps
// the thread's messages until a condition holds, and fails after at most
// kWaitLimitMs with a message naming what did not happen. Modal dialogs run
// their own message loops, so they are answered from inside those loops: a
// thread timer looks for the expected dialog and acts on it.
#include <gtest/gtest.h>

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora::uitest {

inline constexpr DWORD kWaitLimitMs = 20000;

// Pumps messages until `condition` holds; the failure names `what`.
::testing::AssertionResult PumpUntil(const std::function<bool()>& condition,
                                     const std::string& what, DWORD limitMs = kWaitLimitMs);
// Pumps what is queued now (and what that queues in turn) without waiting.
void PumpPending();

// The visible, enabled top-level windows of this thread, front first.
std::vector<HWND> ThreadWindows();
std::wstring ClassOf(HWND window);
// The first window below `root` (any depth) with that documented name, or null.
HWND FindControl(HWND root, std::string_view name);
// A child's rectangle in its parent's client area, in device pixels.
RECT ChildRect(HWND control);
std::string TextOf(HWND window);            // UTF-8
std::string MessageTextOf(HWND messageBox); // the text of a message box

// Answers modal dialogs in the order they are expected. Each answer waits at
// most kWaitLimitMs for its dialog; a dialog nobody expected is closed with
// IDCANCEL and reported.
class DialogAnswers {
public:
    struct Answer {
        std::string What; // for messages: "the delete question"
        std::function<bool(HWND)> Matches;
        std::function<void(HWND)> Act; // should post, not send, to the dialog
    };

    DialogAnswers();
    ~DialogAnswers();
    DialogAnswers(const DialogAnswers&) = delete;
    DialogAnswers& operator=(const DialogAnswers&) = delete;

    void Expect(Answer answer);
    // A message box whose text contains `textPart`, answered with button `id`
    // (IDOK, IDCANCEL, IDYES, IDNO).
    void ExpectMessage(const std::string& what, const std::string& textPart, int id);
    // Any dialog of the given window class and caption, acted on by `act`.
    void ExpectWindow(const std::string& what, const std::wstring& className,
                      const std::string& caption, std::function<void(HWND)> act);

    // Everything expected was answered (pump until it is).
    ::testing::AssertionResult AllAnswered(DWORD limitMs = kWaitLimitMs);
    // Unexpected dialogs and answers whose dialog never came, so far.
    const std::vector<std::string>& Problems() const { return problems_; }
    // The texts of the message boxes answered so far.
    const std::vector<std::string>& Seen() const { return seen_; }

    void Tick(); // from the timer

private:
    std::deque<Answer> pending_;
    DWORD frontSince_ = 0;
    std::vector<std::string> problems_;
    std::vector<std::string> seen_;
    std::vector<HWND> answered_; // closing after their answer
    UINT_PTR timer_ = 0;
};

// Posts a click on a button (BN_CLICKED through its parent).
void PostButtonClick(HWND dialog, int id);

} // namespace pelmora::uitest
