#include "UiWait.h"

#include "win32/Win32Ui.h"

#include <algorithm>

namespace pelmora::uitest {
namespace {

constexpr UINT kTickMs = 15;
constexpr int kMessageTextId = 0xFFFF;

DialogAnswers* gAnswers = nullptr;

void CALLBACK AnswerTick(HWND, UINT, UINT_PTR, DWORD) {
    if (gAnswers != nullptr) {
        gAnswers->Tick();
    }
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length,
                        nullptr, nullptr);
    return out;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    if (IsWindowVisible(window) && IsWindowEnabled(window)) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    }
    return TRUE;
}

} // namespace

void PumpPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

::testing::AssertionResult PumpUntil(const std::function<bool()>& condition,
                                     const std::string& what, DWORD limitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        PumpPending();
        if (condition()) {
            return ::testing::AssertionSuccess();
        }
        const DWORD waited = GetTickCount() - start;
        if (waited >= limitMs) {
            return ::testing::AssertionFailure()
                   << "did not happen within " << limitMs / 1000 << " s: " << what;
        }
        // Wakes for any message, else re-checks the condition now and then.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(limitMs - waited, 50),
                                  QS_ALLINPUT);
    }
}

std::vector<HWND> ThreadWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

namespace {

struct NameSearch {
    std::string_view Name;
    HWND Found = nullptr;
};

// Stops at the first window with the name.
BOOL CALLBACK MatchName(HWND window, LPARAM search) {
    auto* s = reinterpret_cast<NameSearch*>(search);
    s->Found = win32ui::ControlName(window) == s->Name ? window : nullptr;
    return s->Found == nullptr;
}

} // namespace

HWND FindControl(HWND root, std::string_view name) {
    NameSearch search{name};
    EnumChildWindows(root, MatchName, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

RECT ChildRect(HWND control) {
    RECT r = {};
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

std::string MessageTextOf(HWND messageBox) {
    const HWND text = GetDlgItem(messageBox, kMessageTextId);
    return text != nullptr ? TextOf(text) : std::string();
}

void PostButtonClick(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

DialogAnswers::DialogAnswers() {
    gAnswers = this;
    timer_ = SetTimer(nullptr, 0, kTickMs, AnswerTick);
}

DialogAnswers::~DialogAnswers() {
    KillTimer(nullptr, timer_);
    gAnswers = nullptr;
}

void DialogAnswers::Expect(Answer answer) {
    if (pending_.empty()) {
        frontSince_ = GetTickCount();
    }
    pending_.push_back(std::move(answer));
}

void DialogAnswers::ExpectMessage(const std::string& what, const std::string& textPart, int id) {
    Expect({what,
            [textPart](HWND dialog) {
                return ClassOf(dialog) == L"#32770" &&
                       MessageTextOf(dialog).find(textPart) != std::string::npos;
            },
            [this, id](HWND dialog) {
                seen_.push_back(MessageTextOf(dialog));
                PostButtonClick(dialog, id);
            }});
}

void DialogAnswers::ExpectWindow(const std::string& what, const std::wstring& className,
                                 const std::string& caption, std::function<void(HWND)> act) {
    Expect({what,
            [className, caption](HWND dialog) {
                return ClassOf(dialog) == className && TextOf(dialog) == caption;
            },
            std::move(act)});
}

void DialogAnswers::Tick() {
    const std::vector<HWND> windows = ThreadWindows();
    if (!pending_.empty()) {
        for (HWND window : windows) {
            if (pending_.front().Matches(window)) {
                Answer answer = std::move(pending_.front());
                pending_.pop_front();
                frontSince_ = GetTickCount();
                answered_.push_back(window);
                answer.Act(window);
                return;
            }
        }
        if (GetTickCount() - frontSince_ >= kWaitLimitMs) {
            problems_.push_back("did not appear within " + std::to_string(kWaitLimitMs / 1000) +
                                " s: " + pending_.front().What);
            pending_.pop_front();
            frontSince_ = GetTickCount();
        }
    }
    // A platform dialog nobody expects would block the test: it is closed.
    std::erase_if(answered_, [](HWND window) { return !IsWindow(window); });
    for (HWND window : windows) {
        const bool answered =
            std::find(answered_.begin(), answered_.end(), window) != answered_.end();
        if (!answered && ClassOf(window) == L"#32770") {
            answered_.push_back(window);
            problems_.push_back("an unexpected dialog \"" + TextOf(window) +
                                "\": " + MessageTextOf(window));
            PostButtonClick(window, IDCANCEL);
            return;
        }
    }
}

::testing::AssertionResult DialogAnswers::AllAnswered(DWORD limitMs) {
    ::testing::AssertionResult waited =
        PumpUntil([this] { return pending_.empty(); }, "every expected dialog answered", limitMs);
    if (!problems_.empty()) {
        ::testing::AssertionResult failure = ::testing::AssertionFailure();
        for (const std::string& problem : problems_) {
            failure << problem << "\n";
        }
        problems_.clear();
        return failure;
    }
    return waited;
}

} // namespace pelmora::uitest
