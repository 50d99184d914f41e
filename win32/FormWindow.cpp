#include "win32/FormWindow.h"

#include "logic/FineAdjustPaint.h"
#include "platform/syscolors.h"
#include "platform/win32/Win32Prompts.h"
#include "platform/win32/wide.h"
#include "win32/FormKeys.h"
#include "win32/RowDrag.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <initializer_list>
#include <stdexcept>

namespace pelmora {

using namespace win32ui;

namespace {

constexpr int kFirstControlId = 100;
constexpr int kFirstMenuCommand = 1000;
// The table's keys beside the menus' own; after every menu line's command.
constexpr int kFirstShortcutCommand = 3000;
constexpr UINT kCloseNow = WM_APP + 1;
constexpr UINT kRunPosted = WM_APP + 2;

constexpr const wchar_t* kPanelClass = L"TPanel";
constexpr const wchar_t* kPaintBoxClass = L"TPaintBox";
constexpr const wchar_t* kMousePaintBoxClass = L"TMousePaintBox";
constexpr const wchar_t* kSplitterClass = L"TSplitter";

bool OneOf(UINT message, std::initializer_list<UINT> messages) {
    return std::find(messages.begin(), messages.end(), message) != messages.end();
}

// Captions keep their line breaks as the platform's statics want them.
std::wstring ControlText(std::string_view utf8) {
    std::wstring text;
    for (const wchar_t c : Widen(utf8)) {
        if (c == L'\n') {
            text += L'\r';
        }
        text += c;
    }
    return text;
}

bool IsChildNotification(UINT message) {
    return OneOf(message,
                 {WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_COMPAREITEM, WM_DELETEITEM,
                  WM_VKEYTOITEM, WM_CHARTOITEM, WM_HSCROLL, WM_VSCROLL, WM_CTLCOLORBTN,
                  WM_CTLCOLORSTATIC, WM_CTLCOLORLISTBOX, WM_CTLCOLOREDIT, WM_CONTEXTMENU});
}

// Messages whose answer a dialog procedure returns itself instead of through
// DWLP_MSGRESULT.
bool AnswersDirectly(UINT message) {
    return OneOf(message, {WM_CTLCOLORMSGBOX, WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN,
                           WM_CTLCOLORDLG, WM_CTLCOLORSCROLLBAR, WM_CTLCOLORSTATIC, WM_COMPAREITEM,
                           WM_VKEYTOITEM, WM_CHARTOITEM, WM_QUERYDRAGICON, WM_INITDIALOG});
}

} // namespace

// What a mouse message of a paint box reports; a double-click stands for
// the press it replaces too.
struct Win32Form::MouseMessage {
    UINT Message;
    FormEventKind Kind;
    MouseButton Button;
    bool Double = false;
};

namespace {

using MouseMessage = Win32Form::MouseMessage;

constexpr MouseMessage kMouseMessages[] = {
    {WM_MOUSEMOVE, FormEventKind::MouseMove, MouseButton::Left},
    {WM_LBUTTONDOWN, FormEventKind::MouseDown, MouseButton::Left},
    {WM_RBUTTONDOWN, FormEventKind::MouseDown, MouseButton::Right},
    {WM_MBUTTONDOWN, FormEventKind::MouseDown, MouseButton::Other},
    {WM_LBUTTONDBLCLK, FormEventKind::MouseDown, MouseButton::Left, true},
    {WM_RBUTTONDBLCLK, FormEventKind::MouseDown, MouseButton::Right, true},
    {WM_MBUTTONDBLCLK, FormEventKind::MouseDown, MouseButton::Other, true},
    {WM_LBUTTONUP, FormEventKind::MouseUp, MouseButton::Left},
    {WM_RBUTTONUP, FormEventKind::MouseUp, MouseButton::Right},
    {WM_MBUTTONUP, FormEventKind::MouseUp, MouseButton::Other},
};

const MouseMessage* MouseMessageOf(UINT message) {
    const auto* found =
        std::find_if(std::begin(kMouseMessages), std::end(kMouseMessages),
                     [message](const MouseMessage& m) { return m.Message == message; });
    return found == std::end(kMouseMessages) ? nullptr : found;
}

// A table's shortcut as an accelerator; false for text that is no shortcut.
bool AcceleratorOf(std::string_view text, ACCEL& accel) {
    const std::optional<ShortcutKeys> keys = ParseShortcut(text);
    if (!keys) {
        return false;
    }
    const auto held = [&keys](std::uint8_t bit, BYTE flag) {
        return (keys->Modifiers & bit) != 0 ? flag : BYTE{0};
    };
    accel = {};
    accel.fVirt = static_cast<BYTE>(FVIRTKEY | held(keymod::Ctrl, FCONTROL) |
                                    held(keymod::Alt, FALT) | held(keymod::Shift, FSHIFT));
    accel.key = keys->Letter != 0              ? static_cast<WORD>(keys->Letter)
                : keys->Key == FormKey::Delete ? WORD{VK_DELETE}
                                               : WORD{VK_INSERT};
    return true;
}

// Paints a window through `paint`; an error is shown once painting is over,
// never between BeginPaint and EndPaint.
template <typename Paint> void PaintWindow(Prompts& dialogs, HWND window, Paint&& paint) {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(window, &ps);
    RECT client = {};
    GetClientRect(window, &client);
    std::exception_ptr failed;
    {
        const FloatEnvironmentScope arithmetic;
        try {
            paint(dc, client);
        } catch (...) {
            failed = std::current_exception();
        }
    }
    EndPaint(window, &ps);
    if (failed) {
        ShowHandlerError(dialogs, failed);
    }
}

// A closed drop-down list as high as its place, open as high as all its
// items: how its frame adds to the height of its selection field is the
// system's own, so the field is set until the whole has the height.
void FitDropDownList(HWND list, int closedHeight, int items) {
    const auto shownHeight = [list] {
        RECT shown = {};
        GetWindowRect(list, &shown);
        return shown.bottom - shown.top;
    };
    auto fieldHeight =
        static_cast<int>(SendMessageW(list, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    for (int attempt = 0; attempt < 3 && shownHeight() != closedHeight; ++attempt) {
        fieldHeight += closedHeight - shownHeight();
        SendMessageW(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), fieldHeight);
    }
    // The window's height is the closed field and the open list together.
    const auto itemHeight = static_cast<int>(SendMessageW(list, CB_GETITEMHEIGHT, 0, 0));
    RECT shown = {};
    GetWindowRect(list, &shown);
    SetWindowPos(list, nullptr, 0, 0, shown.right - shown.left,
                 shownHeight() + items * itemHeight + 2 * GetSystemMetrics(SM_CYBORDER),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

DWORD ButtonStyle(const FormControl& c) {
    if (c.Kind == ControlKind::CheckBox) {
        return BS_AUTOCHECKBOX;
    }
    if (c.Kind == ControlKind::RadioButton) {
        return BS_AUTORADIOBUTTON;
    }
    if (c.Has(style::Toggle)) {
        return BS_AUTOCHECKBOX | BS_PUSHLIKE;
    }
    return (c.Has(style::Default) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | BS_NOTIFY;
}

int ControlId(const FormControl& c, std::size_t index) {
    if (c.Has(style::Default)) {
        return IDOK;
    }
    if (c.Has(style::Cancel)) {
        return IDCANCEL;
    }
    return kFirstControlId + static_cast<int>(index);
}

// How a control of a kind is made: its window class (none for what its
// parent paints), its styles, whether the form draws it (a part) and
// whether its window text is its caption.
struct KindLook {
    const wchar_t* Class = nullptr;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    bool Part = false;
    bool Caption = false;
};

KindLook LookOf(const FormControl& c) {
    switch (c.Kind) {
    case ControlKind::Panel:
        return {kPanelClass, WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, true};
    case ControlKind::Label:
        return {WC_STATICW,
                static_cast<DWORD>(
                    (c.Has(style::Centered) ? SS_CENTER : SS_LEFT) |
                    (c.Has(style::NoPrefix) ? SS_NOPREFIX : 0) |
                    (c.Has(style::NoWordWrap) ? SS_LEFTNOWORDWRAP | WS_CLIPSIBLINGS : 0)),
                0, false, true};
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
        return {WC_BUTTONW, ButtonStyle(c), 0, false, true};
    case ControlKind::Edit:
        return {WC_EDITW, ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, false, true};
    case ControlKind::UpDown:
        return {
            UPDOWN_CLASSW,
            static_cast<DWORD>((c.Has(style::Horizontal) ? UDS_HORZ : 0) |
                               (c.Has(style::Wrap) ? UDS_WRAP : 0) |
                               (*c.Buddy != '\0' ? UDS_ARROWKEYS | UDS_NOTHOUSANDS : WS_TABSTOP))};
    case ControlKind::TrackBar:
        return {TRACKBAR_CLASSW, TBS_HORZ | TBS_TOP | TBS_AUTOTICKS, 0, false, true};
    case ControlKind::ComboBox:
        return {
            WC_COMBOBOXW,
            static_cast<DWORD>(CBS_DROPDOWNLIST | WS_VSCROLL |
                               (c.Has(style::Pictures) ? CBS_OWNERDRAWFIXED | CBS_HASSTRINGS : 0)),
            0, false, true};
    case ControlKind::ListBox:
        return {WC_LISTBOXW,
                static_cast<DWORD>(LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL |
                                   (c.Has(style::MultiSelect) ? LBS_EXTENDEDSEL : 0) |
                                   (c.Has(style::Pictures) ? LBS_OWNERDRAWFIXED : 0)),
                WS_EX_CLIENTEDGE, false, true};
    case ControlKind::PaintBox:
        return {c.Has(style::Mouse) ? kMousePaintBoxClass : kPaintBoxClass, 0, 0, true};
    case ControlKind::Splitter:
        return {kSplitterClass, 0, 0, true, true};
    case ControlKind::StatusBar:
        return {STATUSCLASSNAMEW, CCS_NOPARENTALIGN | CCS_NORESIZE};
    case ControlKind::Shape:
    case ControlKind::Bevel:
        break;
    }
    return {};
}

} // namespace

// --- The parts the form draws itself -------------------------------------------------

struct Win32Form::Part {
    Win32Form* Form;
    std::size_t Index;
};

struct Win32Form::ControlState {
    const FormControl* Control = nullptr;
    HWND Window = nullptr; // none for shapes and bevels, which their parent paints
    int Id = 0;
    std::vector<ListRow> Rows;
    Bitmap24 Picture;
    std::vector<TextAt> Texts;
    ShapeLook Shape;
    bool Visible = true;
    std::optional<TColor> TextColor;
    int SplitterPress = 0; // screen y of the splitter's press
};

namespace {

Win32Form::Part* PartOf(HWND window) {
    return reinterpret_cast<Win32Form::Part*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void KeepPart(HWND window, LPARAM createParams) {
    SetWindowLongPtrW(
        window, GWLP_USERDATA,
        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(createParams)->lpCreateParams));
}

// Panels, paint boxes and splitters: the form paints them; panels pass their
// children's notifications on to the form.
LRESULT CALLBACK PartProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        KeepPart(window, lParam);
    }
    if (IsChildNotification(message)) {
        if (const HWND parent = GetParent(window)) {
            return SendMessageW(parent, message, wParam, lParam);
        }
    }
    Win32Form::Part* part = PartOf(window);
    if (part == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    const MouseMessage* mouse = MouseMessageOf(message);
    if (mouse != nullptr && part->Form->ReportsMouse(*part)) {
        if (mouse->Kind == FormEventKind::MouseDown) {
            SetCapture(window);
            if ((GetWindowLongPtrW(window, GWL_STYLE) & WS_TABSTOP) != 0) {
                SetFocus(window);
            }
        } else if (mouse->Kind == FormEventKind::MouseUp &&
                   (wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 &&
                   GetCapture() == window) {
            ReleaseCapture();
        }
        RunHandler(part->Form->Dialogs(),
                   [&] { part->Form->PartMouse(*part, *mouse, wParam, lParam); });
        return 0;
    }
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        PaintWindow(part->Form->Dialogs(), window,
                    [&](HDC dc, const RECT& client) { part->Form->PaintPart(*part, dc, client); });
        return 0;
    case WM_GETDLGCODE: {
        // The arrows and Enter are its own; Tab and Esc stay the dialog's.
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        return DLGC_WANTARROWS |
               (key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN
                    ? DLGC_WANTMESSAGE
                    : 0);
    }
    case WM_KEYDOWN:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (RunHandlerOr(part->Form->Dialogs(), false,
                         [&] { return part->Form->PartKey(*part, message, wParam); })) {
            return 0;
        }
        break;
    case WM_SETCURSOR:
        if (wchar_t name[32] = {}; GetWindowLongPtrW(window, GWLP_ID) != 0 &&
                                   GetClassNameW(window, name, 32) != 0 &&
                                   std::wstring_view(name) == kSplitterClass) {
            SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// An edit that holds only the text the form's logic accepts, however the text
// arrives: typed, pasted, composed by an input method or sent by another
// program. A refused change leaves text and selection as they were.
bool MayChangeText(UINT message) {
    return OneOf(message, {WM_CHAR, WM_IME_CHAR, WM_IME_COMPOSITION, WM_KEYDOWN, WM_PASTE, WM_CUT,
                           WM_CLEAR, WM_UNDO, EM_UNDO, EM_REPLACESEL, WM_SETTEXT});
}

void HoldOnlyAccepted(HWND edit, Prompts& dialogs,
                      std::function<bool(const std::string&)> accepts) {
    Subclass(edit, dialogs,
             [accepts = std::move(accepts)](HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) -> std::optional<LRESULT> {
                 if (!MayChangeText(message)) {
                     return std::nullopt;
                 }
                 const std::wstring before = WindowText(window);
                 DWORD start = 0;
                 DWORD end = 0;
                 SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                              reinterpret_cast<LPARAM>(&end));
                 const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
                 const std::wstring after = WindowText(window);
                 if (after != before && !accepts(Narrow(after))) {
                     DefSubclassProc(window, WM_SETTEXT, 0,
                                     reinterpret_cast<LPARAM>(before.c_str()));
                     SendMessageW(window, EM_SETSEL, start, end);
                     MessageBeep(MB_OK);
                 }
                 return result;
             });
}

// An up-down without an edit that has the focus takes the arrow keys of its
// direction as clicks of its arrows, and shows the focus with a dotted frame.
void TakeArrowKeys(HWND upDown, Prompts& dialogs, bool horizontal, std::function<void(int)> step) {
    Subclass(upDown, dialogs,
             [horizontal, step = std::move(step)](HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) -> std::optional<LRESULT> {
                 switch (message) {
                 case WM_GETDLGCODE:
                     return DefSubclassProc(window, message, wParam, lParam) | DLGC_WANTARROWS;
                 case WM_KEYDOWN: {
                     const WPARAM increase = horizontal ? VK_RIGHT : VK_UP;
                     const WPARAM decrease = horizontal ? VK_LEFT : VK_DOWN;
                     if (wParam != increase && wParam != decrease) {
                         return std::nullopt;
                     }
                     step(wParam == increase ? 1 : -1);
                     return 0;
                 }
                 case WM_SETFOCUS:
                 case WM_KILLFOCUS:
                     InvalidateRect(window, nullptr, TRUE);
                     return std::nullopt;
                 case WM_PAINT: {
                     // The frame is drawn over a whole fresh painting of the arrows.
                     InvalidateRect(window, nullptr, TRUE);
                     const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
                     if (GetFocus() == window) {
                         const HDC dc = GetDC(window);
                         RECT frame = {};
                         GetClientRect(window, &frame);
                         InflateRect(&frame, -2, -2);
                         DrawFocusRect(dc, &frame);
                         ReleaseDC(window, dc);
                         ValidateRect(window, nullptr);
                     }
                     return result;
                 }
                 default:
                     return std::nullopt;
                 }
             });
}

// A control that, like a speed button, leaves the focus where it was when
// clicked.
void KeepFocusWhenClicked(HWND control, Prompts& dialogs) {
    Subclass(control, dialogs,
             [focus = HWND{}](HWND window, UINT message, WPARAM wParam,
                              LPARAM lParam) mutable -> std::optional<LRESULT> {
                 if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
                     focus = GetFocus();
                     return std::nullopt;
                 }
                 if (message != WM_LBUTTONUP) {
                     return std::nullopt;
                 }
                 const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
                 if (GetFocus() == window && focus != nullptr && focus != window &&
                     IsWindow(focus)) {
                     SetFocus(focus);
                 }
                 focus = nullptr;
                 return result;
             });
}

bool IsPushButtonWindow(HWND control) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    const LONG_PTR type = GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
    return lstrcmpiW(name, L"Button") == 0 && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

} // namespace

// --- Making the window ----------------------------------------------------------------

Win32Form::Win32Form(const FormTable& table, Prompts& prompts) : table_(table), prompts_(prompts) {}

Win32Form::~Win32Form() {
    events_ = nullptr;
    keys_.reset();
    if (window_ != nullptr && IsWindow(window_)) {
        // The object is going: what the window still receives is not its.
        SetWindowLongPtrW(window_, DWLP_USER, 0);
        DestroyWindow(window_);
    }
    window_ = nullptr;
    if (accelerators_ != nullptr) {
        DestroyAcceleratorTable(accelerators_);
    }
}

namespace {

DWORD FormStyle(const FormTable& table) {
    if (table.Resizable) {
        // No title-bar buttons: the window closes through its own buttons.
        return WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME | WS_CLIPCHILDREN;
    }
    return WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
}

DWORD FormExStyle(const FormTable& table) {
    if (table.Resizable) {
        return WS_EX_CONTROLPARENT;
    }
    return WS_EX_DLGMODALFRAME | (table.ToolWindow ? WS_EX_TOOLWINDOW : 0);
}

// An empty dialog template naming the class: the controls are made in pixels
// once the dialog knows its DPI.
std::vector<WORD> DialogTemplate(const FormTable& table, const std::wstring& className) {
    std::vector<WORD> words;
    const auto dword = [&words](DWORD d) {
        words.push_back(LOWORD(d));
        words.push_back(HIWORD(d));
    };
    const auto text = [&words](const std::wstring& s) {
        words.insert(words.end(), s.begin(), s.end());
        words.push_back(0);
    };
    dword(FormStyle(table));
    dword(FormExStyle(table));
    words.insert(words.end(), {0, 0, 0, 0, 0}); // no items; x, y, cx, cy
    words.push_back(0);                         // no menu
    text(className);
    text(Widen(table.Caption));
    return words;
}

} // namespace

// Makes the dialog through `make`, given its template; what stopped it
// from opening is thrown.
template <typename Make> INT_PTR Win32Form::Open(const Attach& attach, Make&& make) {
    attach_ = attach;
    const std::wstring className = Widen(table_.ClassName);
    classes_.push_back(WindowClass::Dialog(className.c_str()));
    const std::vector<WORD> words = DialogTemplate(table_, className);
    const INT_PTR result = make(reinterpret_cast<const DLGTEMPLATE*>(words.data()));
    if (failedToOpen_) {
        std::rethrow_exception(std::exchange(failedToOpen_, nullptr));
    }
    return result;
}

bool Win32Form::RunModal(HWND owner, const Attach& attach) {
    modal_ = true;
    owner_ = owner != nullptr && IsWindow(owner) ? owner : nullptr;
    const INT_PTR result = Open(attach, [this](const DLGTEMPLATE* form) {
        return DialogBoxIndirectParamW(ModuleInstance(), form, owner_, Procedure,
                                       reinterpret_cast<LPARAM>(this));
    });
    keys_.reset();
    ownsPrompts_.reset();
    window_ = nullptr;
    events_ = nullptr;
    if (result == -1) {
        throw CannotOpenWindow();
    }
    return result == IDOK;
}

void Win32Form::Create(const Attach& attach, std::function<void()> closed) {
    closed_ = std::move(closed);
    Open(attach, [this](const DLGTEMPLATE* form) {
        return CreateDialogIndirectParamW(ModuleInstance(), form, nullptr, Procedure,
                                          reinterpret_cast<LPARAM>(this)) != nullptr;
    });
    if (window_ == nullptr) {
        throw CannotOpenWindow();
    }
}

void Win32Form::Show() {
    ShowWindow(window_, SW_SHOW);
    const std::vector<const FormControl*> order = table_.TabOrder();
    if (!order.empty()) {
        SetFocus(Control(order.front()->Name));
    }
    Report({.Kind = FormEventKind::Show});
}

void Win32Form::Initialise(HWND dialog, HWND owner) {
    window_ = dialog;
    DragAcceptFiles(dialog, table_.AcceptsFiles ? TRUE : FALSE);
    scale_ = Scale(WindowDpi(dialog));
    font_ = CreateDialogFont(scale_.Dpi());
    SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Font()), FALSE);
    if (!modal_) {
        SetWindowPos(dialog, nullptr, 0, 0, scale_(table_.MinimumSize.Width),
                     scale_(table_.MinimumSize.Height), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    // The client area the controls were laid out for, centred on the work
    // area of the monitor the owner is on.
    RECT frame = {0, 0, scale_(table_.Client.Width), scale_(table_.Client.Height)};
    AdjustWindowRectEx(&frame, FormStyle(table_), FALSE, FormExStyle(table_));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner != nullptr ? owner : dialog, MONITOR_DEFAULTTONEAREST),
                    &monitor);
    const RECT& work = monitor.rcWork;
    SetWindowPos(dialog, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ownsPrompts_.emplace(prompts_, dialog);
}

HWND Win32Form::Control(std::string_view name) const {
    return controls_[IndexOf(name)]->Window;
}

std::size_t Win32Form::IndexOf(std::string_view name) const {
    return table_.IndexOf(name);
}

std::optional<std::size_t> Win32Form::IndexOfWindow(HWND window) const {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i]->Window == window && window != nullptr) {
            return i;
        }
    }
    return std::nullopt;
}

int Win32Form::CommandOf(const FormTable& table, std::string_view item) {
    for (std::size_t i = 0; i < table.Menus.size(); ++i) {
        if (table.Menus[i].Name == item) {
            return kFirstMenuCommand + static_cast<int>(i);
        }
    }
    return 0;
}

void Win32Form::MakeControls() {
    INITCOMMONCONTROLSEX common = {sizeof common, ICC_BAR_CLASSES | ICC_UPDOWN_CLASS |
                                                      ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
    classes_.emplace_back(kPanelClass, PartProcedure, CS_HREDRAW | CS_VREDRAW);
    classes_.emplace_back(kPaintBoxClass, PartProcedure);
    classes_.emplace_back(kMousePaintBoxClass, PartProcedure, CS_DBLCLKS);
    classes_.emplace_back(kSplitterClass, PartProcedure);
    for (std::size_t i = 0; i < table_.Controls.size(); ++i) {
        const FormControl& c = table_.Controls[i];
        auto state = std::make_unique<ControlState>();
        state->Control = &c;
        state->Id = ControlId(c, i);
        controls_.push_back(std::move(state));
        const HWND parent = *c.Parent == '\0' ? window_ : Control(c.Parent);
        controls_.back()->Window = MakeControl(c, i, parent);
    }
    PlaceAll(*this, table_, ArrangeForm(table_, table_.Client));
}

HWND Win32Form::MakeControl(const FormControl& c, std::size_t index, HWND parent) {
    const auto part = [&] {
        parts_.push_back(std::make_unique<Part>(Part{this, index}));
        return parts_.back().get();
    };
    // Each control starts a group of its own, but for the radio buttons that
    // follow one another.
    const bool followsRadio = index > 0 && c.Kind == ControlKind::RadioButton &&
                              table_.Controls[index - 1].Kind == ControlKind::RadioButton;
    DWORD style = WS_CHILD | WS_VISIBLE | (c.Has(style::TabStop) ? WS_TABSTOP : 0) |
                  (followsRadio ? 0 : WS_GROUP);
    const KindLook look = LookOf(c);
    if (look.Class == nullptr) {
        return nullptr; // painted by the parent
    }
    style |= look.Style;
    const std::wstring caption = look.Caption ? ControlText(c.Caption) : std::wstring();
    const int id = controls_[index]->Id;
    const HWND control =
        CreateWindowExW(look.ExStyle, look.Class, caption.c_str(), style, 0, 0, 0, 0, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance(),
                        look.Part ? part() : nullptr);
    if (control == nullptr) {
        throw CannotOpenWindow();
    }
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Font()), FALSE);
    SetControlName(control, c.Name);
    const std::string name = c.Name;
    switch (c.Kind) {
    case ControlKind::Button:
        if (c.Has(style::NoFocus)) {
            KeepFocusWhenClicked(control, prompts_);
        }
        break;
    case ControlKind::Edit:
        if (c.Max > 0) {
            SendMessageW(control, EM_LIMITTEXT, static_cast<WPARAM>(c.Max), 0);
        }
        HoldOnlyAccepted(control, prompts_, [this, name](const std::string& text) {
            return events_ == nullptr || events_->Accepts(name, text);
        });
        break;
    case ControlKind::UpDown:
        if (*c.Buddy != '\0') {
            SendMessageW(control, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Control(c.Buddy)), 0);
        } else {
            TakeArrowKeys(control, prompts_, c.Has(style::Horizontal), [this, name](int direction) {
                Report({.Kind = FormEventKind::Step,
                        .Control = table_.Control(name).Name,
                        .Value = direction});
            });
        }
        break;
    case ControlKind::TrackBar:
        SendMessageW(control, TBM_SETRANGEMIN, FALSE, c.Min);
        SendMessageW(control, TBM_SETRANGEMAX, FALSE, c.Max);
        SendMessageW(control, TBM_SETPAGESIZE, 0, 2);
        SendMessageW(control, TBM_SETPOS, TRUE, 0);
        break;
    case ControlKind::ComboBox:
        for (const char* item : c.Items) {
            SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
        }
        break;
    case ControlKind::ListBox:
        SendMessageW(control, LB_SETITEMHEIGHT, 0, scale_(c.RowHeight));
        if (c.Has(style::DragRows)) {
            const bool single = !c.Has(style::MultiSelect);
            DragRows(control, prompts_,
                     {.Over = [this, index](POINT p) { return ReportDrag(index, p, false); },
                      .Drop = [this, index](POINT p) { ReportDrag(index, p, true); },
                      .Pressed =
                          [this, control, single, &c] {
                              // The pressed row is the current one before any drag is judged.
                              if (single) {
                                  Report({.Kind = FormEventKind::Select,
                                          .Control = c.Name,
                                          .Value = static_cast<int>(
                                              SendMessageW(control, LB_GETCURSEL, 0, 0))});
                              }
                          }});
        }
        break;
    case ControlKind::StatusBar: {
        // One panel over the whole width: the hints' text.
        const int wholeWidth = -1;
        SendMessageW(control, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&wholeWidth));
        break;
    }
    default:
        break;
    }
    return control;
}

void Win32Form::MakeMenus() {
    std::vector<ACCEL> shortcuts;
    // A window without a menu bar may still have keys of its own.
    const HMENU bar = table_.MenuBar.empty() ? nullptr : CreateMenu();
    std::map<std::string, HMENU, std::less<>> menus;
    for (const MenuTitle& title : table_.MenuBar) {
        const HMENU menu = CreatePopupMenu();
        AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(menu),
                    Widen(title.Caption).c_str());
        menus.emplace(title.Name, menu);
        menus_[menu] = title.Name;
    }
    for (std::size_t i = 0; bar != nullptr && i < table_.Menus.size(); ++i) {
        const MenuLine& line = table_.Menus[i];
        const auto found = menus.find(line.Menu);
        if (found == menus.end()) {
            continue; // a pop-up menu's: PopUpMenu makes it when it is needed
        }
        const HMENU menu = found->second;
        if (line.IsSeparator()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::string caption = line.Caption;
        if (*line.Shortcut != '\0') {
            caption += std::string("\t") + line.Shortcut;
        }
        const int command = kFirstMenuCommand + static_cast<int>(i);
        if (*line.Opens != '\0') {
            const HMENU submenu = CreatePopupMenu();
            AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenu),
                        Widen(caption).c_str());
            // The opener carries its command as its identifier, for its hint.
            MENUITEMINFOW info = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_ID;
            info.wID = static_cast<UINT>(command);
            SetMenuItemInfoW(menu, static_cast<UINT>(GetMenuItemCount(menu) - 1), TRUE, &info);
            menus.emplace(line.Opens, submenu);
            menus_[submenu] = line.Opens;
            continue;
        }
        AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(command), Widen(caption).c_str());
        if (line.Radio) {
            MENUITEMINFOW info = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE;
            info.fType = MFT_STRING | MFT_RADIOCHECK;
            SetMenuItemInfoW(menu, static_cast<UINT>(command), FALSE, &info);
        }
        ACCEL accel;
        if (AcceleratorOf(line.Shortcut, accel)) {
            accel.cmd = static_cast<WORD>(command);
            shortcuts.push_back(accel);
        }
    }
    for (std::size_t i = 0; i < table_.Shortcuts.size(); ++i) {
        ACCEL accel;
        if (AcceleratorOf(table_.Shortcuts[i].Keys, accel)) {
            accel.cmd = static_cast<WORD>(kFirstShortcutCommand + static_cast<int>(i));
            shortcuts.push_back(accel);
        }
    }
    // Owned by the window from here: destroyed with it.
    if (bar != nullptr) {
        SetMenu(window_, bar);
    }
    if (!shortcuts.empty()) {
        accelerators_ =
            CreateAcceleratorTableW(shortcuts.data(), static_cast<int>(shortcuts.size()));
        if (accelerators_ == nullptr) {
            throw CannotOpenWindow();
        }
    }
}

// --- Events ----------------------------------------------------------------------------------

INT_PTR CALLBACK Win32Form::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Win32Form*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        const FloatEnvironmentScope arithmetic;
        try {
            self->Initialise(dialog, self->owner_);
            self->MakeControls();
            self->MakeMenus();
            self->events_ = &self->attach_(*self);
            const std::vector<const FormControl*> order = self->table_.TabOrder();
            // A modeless window lives in someone else's message loop, and the
            // dialog manager's modal loop knows no accelerators.
            if (!self->modal_ || self->accelerators_ != nullptr) {
                self->keys_ = std::make_unique<FormKeys>(
                    dialog, self->accelerators_, self->prompts_,
                    [self](const MSG& key) { return self->FilterKey(key); });
            }
            if (self->modal_) {
                if (!order.empty()) {
                    SendMessageW(dialog, WM_NEXTDLGCTL,
                                 reinterpret_cast<WPARAM>(self->Control(order.front()->Name)),
                                 TRUE);
                }
                self->Report({.Kind = FormEventKind::Show});
            }
            return FALSE;
        } catch (...) {
            // Told to the caller, whose handler shows it.
            self->failedToOpen_ = std::current_exception();
            self->events_ = nullptr;
            if (self->modal_) {
                EndDialog(dialog, IDABORT);
            } else {
                DestroyWindow(dialog);
            }
            self->window_ = nullptr;
            return FALSE;
        }
    }
    auto* self = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (self == nullptr || self->window_ != dialog) {
        return FALSE;
    }
    if (message == WM_NCDESTROY) {
        self->ownsPrompts_.reset();
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        return FALSE;
    }
    // After an error, as without a handler: the dialog manager's own.
    const std::optional<LRESULT> answer =
        RunHandlerOr(self->prompts_, std::optional<LRESULT>(),
                     [&] { return self->Dispatch(message, wParam, lParam); });
    if (!answer) {
        return FALSE;
    }
    if (AnswersDirectly(message)) {
        return static_cast<INT_PTR>(*answer);
    }
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, *answer);
    return TRUE;
}

bool Win32Form::Report(FormEvent event) {
    return events_ != nullptr && !quiet_ && events_->Handle(event);
}

std::optional<LRESULT> Win32Form::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        return Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY:
        return OnNotify(lParam);
    case WM_HSCROLL:
        return OnHScroll(wParam, lParam);
    case WM_MEASUREITEM:
        return OnMeasureItem(lParam);
    case WM_DRAWITEM:
        DrawRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(wParam, lParam);
    case WM_ERASEBKGND:
        return PaintsShapes("") ? std::optional<LRESULT>(1) : std::nullopt;
    case WM_PAINT:
        if (!PaintsShapes("")) {
            return std::nullopt;
        }
        PaintWindow(prompts_, window_, [&](HDC dc, const RECT& client) {
            Part whole{this, static_cast<std::size_t>(-1)};
            PaintPart(whole, dc, client);
        });
        return 0;
    case WM_INITMENUPOPUP:
        if (const auto found = menus_.find(reinterpret_cast<HMENU>(wParam));
            found != menus_.end()) {
            Report({.Kind = FormEventKind::MenuOpen, .Control = found->second});
        }
        return 0;
    case WM_MENUSELECT:
        return OnMenuSelect(wParam, lParam);
    case WM_DROPFILES:
        return OnDropFiles(wParam);
    case WM_CONTEXTMENU:
        return OnContextMenu(wParam, lParam);
    case WM_SIZE:
        if (!controls_.empty()) {
            Relayout();
        }
        return 0;
    case WM_GETMINMAXINFO:
        if (table_.Resizable) {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            limits->ptMinTrackSize = {scale_(table_.MinimumSize.Width),
                                      scale_(table_.MinimumSize.Height)};
            return 0;
        }
        return std::nullopt;
    case WM_DPICHANGED:
        return OnDpiChanged(wParam, lParam);
    case WM_CLOSE:
        if (!closing_) {
            // Closing from outside (the window system): the logic decides.
            Report({.Kind = FormEventKind::CloseRequest});
        }
        return 0;
    case kCloseNow:
        // May destroy this object: nothing of it is touched afterwards.
        if (closed_) {
            std::function<void()> closed = std::move(closed_);
            closed();
        }
        return 0;
    case kRunPosted:
        return RunPosted();
    default:
        return std::nullopt;
    }
}

std::optional<LRESULT> Win32Form::OnNotify(LPARAM lParam) {
    const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
    const std::optional<std::size_t> index = IndexOfWindow(header.hwndFrom);
    if (header.code != UDN_DELTAPOS || !index) {
        return std::nullopt;
    }
    const int delta = reinterpret_cast<const NMUPDOWN*>(lParam)->iDelta;
    if (delta != 0) {
        Report({.Kind = FormEventKind::Step,
                .Control = table_.Controls[*index].Name,
                .Value = delta > 0 ? 1 : -1});
    }
    return TRUE; // the control leaves its position to the logic
}

std::optional<LRESULT> Win32Form::OnHScroll(WPARAM wParam, LPARAM lParam) {
    const std::optional<std::size_t> index = IndexOfWindow(reinterpret_cast<HWND>(lParam));
    if (index && table_.Controls[*index].Kind == ControlKind::TrackBar) {
        // The bar tells when a drag, a click or a key press is over.
        Report(
            {.Kind =
                 LOWORD(wParam) == TB_ENDTRACK ? FormEventKind::SlideDone : FormEventKind::Slide,
             .Control = table_.Controls[*index].Name,
             .Value = static_cast<int>(SendMessageW(controls_[*index]->Window, TBM_GETPOS, 0, 0))});
    }
    return 0;
}

std::optional<LRESULT> Win32Form::OnMeasureItem(LPARAM lParam) {
    auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    for (const auto& state : controls_) {
        if (state->Id == static_cast<int>(item.CtlID) && state->Control->RowHeight > 0) {
            item.itemHeight = static_cast<UINT>(scale_(state->Control->RowHeight));
            return TRUE;
        }
    }
    return std::nullopt;
}

std::optional<LRESULT> Win32Form::OnCtlColorStatic(WPARAM wParam, LPARAM lParam) {
    const std::optional<std::size_t> index = IndexOfWindow(reinterpret_cast<HWND>(lParam));
    if (!index) {
        return std::nullopt;
    }
    const ControlState& state = *controls_[*index];
    const HDC dc = reinterpret_cast<HDC>(wParam);
    if (state.Control->Has(style::OverShapes)) {
        // The shapes show through round the text.
        SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    if (state.TextColor) {
        ::SetTextColor(dc, ResolveColor(*state.TextColor));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    return std::nullopt;
}

std::optional<LRESULT> Win32Form::OnMenuSelect(WPARAM wParam, LPARAM lParam) {
    FormEvent event;
    event.Kind = FormEventKind::MenuHighlight;
    const UINT flags = HIWORD(wParam);
    if (!(flags == 0xFFFF && lParam == 0)) {
        UINT id = LOWORD(wParam);
        if ((flags & MF_POPUP) != 0) {
            id = GetMenuItemID(reinterpret_cast<HMENU>(lParam), static_cast<int>(id));
            if (id == static_cast<UINT>(-1)) {
                MENUITEMINFOW info = {};
                info.cbSize = sizeof info;
                info.fMask = MIIM_ID;
                GetMenuItemInfoW(reinterpret_cast<HMENU>(lParam), LOWORD(wParam), TRUE, &info);
                id = info.wID;
            }
        }
        const int line = static_cast<int>(id) - kFirstMenuCommand;
        if (line >= 0 && line < static_cast<int>(table_.Menus.size())) {
            event.Control = table_.Menus[static_cast<std::size_t>(line)].Name;
        }
    }
    Report(std::move(event));
    return 0;
}

std::optional<LRESULT> Win32Form::OnDropFiles(WPARAM wParam) {
    // The system's list of paths, of any length; folders are the logic's to refuse.
    const auto drop = reinterpret_cast<HDROP>(wParam);
    FormEvent event{.Kind = FormEventKind::FilesDropped};
    for (UINT i = 0, n = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0); i < n; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        event.Files.push_back(Narrow(path));
    }
    DragFinish(drop);
    Report(std::move(event));
    return 0;
}

std::optional<LRESULT> Win32Form::OnContextMenu(WPARAM wParam, LPARAM lParam) {
    const std::optional<std::size_t> index = IndexOfWindow(reinterpret_cast<HWND>(wParam));
    if (!index || table_.Controls[*index].Kind != ControlKind::ListBox) {
        return std::nullopt;
    }
    // From the keyboard (no point): at the list's corner, on its current row.
    const HWND list = controls_[*index]->Window;
    POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(list, &p);
    const bool keyboard = lParam == -1;
    Report({.Kind = FormEventKind::ContextMenu,
            .Control = table_.Controls[*index].Name,
            .Value = keyboard
                         ? -1
                         : RowAtY(p.y, static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0)),
                                  static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0)),
                                  static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0))),
            .At = keyboard ? TPoint{} : TPoint{scale_.Floor(p.x), scale_.Floor(p.y)}});
    return 0;
}

std::optional<LRESULT> Win32Form::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    ApplyDpi(HIWORD(wParam));
    const auto* suggested = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    Relayout();
    return 0;
}

std::optional<LRESULT> Win32Form::RunPosted() {
    std::vector<std::function<void()>> posted = std::move(posted_);
    posted_.clear();
    for (const auto& later : posted) {
        later();
    }
    return 0;
}

std::optional<LRESULT> Win32Form::Command(int id, int code, HWND control) {
    if (control == nullptr) {
        // A menu item (code 0) or its shortcut (code 1); Enter and Esc from
        // the dialog manager come as the default and cancel buttons' clicks.
        const int line = id - kFirstMenuCommand;
        FormEvent event;
        event.Kind = FormEventKind::Click;
        const int key = id - kFirstShortcutCommand;
        if (line >= 0 && line < static_cast<int>(table_.Menus.size())) {
            event.Control = table_.Menus[static_cast<std::size_t>(line)].Name;
        } else if (key >= 0 && key < static_cast<int>(table_.Shortcuts.size())) {
            event.Control = table_.Shortcuts[static_cast<std::size_t>(key)].Command;
        } else if (id == IDOK) {
            event.Control = EnterPresses(table_, "");
        } else if (id == IDCANCEL) {
            event.Control = EscPresses(table_);
        } else {
            return std::nullopt;
        }
        Report(std::move(event));
        return 0;
    }
    const std::optional<std::size_t> index = IndexOfWindow(control);
    if (!index) {
        return std::nullopt;
    }
    const FormControl& c = table_.Controls[*index];
    FormEvent event;
    event.Control = c.Name;
    // Enter presses the push button that has the focus, however the focus
    // came to it (Tab, a click, an accelerator), and the default one anywhere else.
    if ((code == BN_SETFOCUS || code == BN_KILLFOCUS) && IsPushButtonWindow(control)) {
        SendMessageW(window_, DM_SETDEFID, code == BN_SETFOCUS ? id : IDOK, 0);
        return 0;
    }
    switch (c.Kind) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
        if (code != BN_CLICKED) {
            return std::nullopt;
        }
        if (c.Kind == ControlKind::Button && !c.Has(style::Toggle)) {
            event.Kind = FormEventKind::Click;
        } else {
            event.Kind = FormEventKind::Toggle;
            event.Value = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
        }
        break;
    case ControlKind::Edit:
        if (code != EN_CHANGE) {
            return std::nullopt;
        }
        event.Kind = FormEventKind::Edit;
        event.Text = WindowTextUtf8(control);
        if (events_ != nullptr && !events_->Accepts(c.Name, event.Text)) {
            return 0;
        }
        break;
    case ControlKind::ComboBox:
        // The list changes the choice when an item is chosen: while it is
        // open, the items the pointer passes over do not.
        if (code != CBN_CLOSEUP &&
            (code != CBN_SELCHANGE || SendMessageW(control, CB_GETDROPPEDSTATE, 0, 0))) {
            return 0;
        }
        event.Kind = FormEventKind::Choose;
        event.Value = static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
        break;
    case ControlKind::ListBox:
        if (code == LBN_DBLCLK) {
            event.Kind = FormEventKind::DoubleClick;
        } else if (code == LBN_SELCHANGE) {
            event.Kind = FormEventKind::Select;
            if (c.Has(style::MultiSelect)) {
                const int count = static_cast<int>(SendMessageW(control, LB_GETSELCOUNT, 0, 0));
                event.Rows.resize(static_cast<std::size_t>(std::max(count, 0)));
                if (count > 0) {
                    SendMessageW(control, LB_GETSELITEMS, static_cast<WPARAM>(count),
                                 reinterpret_cast<LPARAM>(event.Rows.data()));
                }
                event.Value = static_cast<int>(SendMessageW(control, LB_GETCARETINDEX, 0, 0));
            } else {
                event.Value = static_cast<int>(SendMessageW(control, LB_GETCURSEL, 0, 0));
            }
        } else {
            return std::nullopt;
        }
        break;
    default:
        return std::nullopt;
    }
    Report(std::move(event));
    return 0;
}

// The control under a dragged row, and the row of the list under it.
bool Win32Form::ReportDrag(std::size_t list, POINT screen, bool drop) {
    const HWND rows = controls_[list]->Window;
    std::string_view over;
    for (HWND at = WindowFromPoint(screen); at != nullptr && over.empty(); at = GetParent(at)) {
        if (const std::optional<std::size_t> index = IndexOfWindow(at)) {
            over = table_.Controls[*index].Name;
        }
        if (at == window_) {
            break;
        }
    }
    POINT p = screen;
    ScreenToClient(rows, &p);
    RECT client = {};
    GetClientRect(rows, &client);
    const std::string_view name = table_.Controls[list].Name;
    return Report({.Kind = drop ? FormEventKind::DragDrop : FormEventKind::DragOver,
                   .Control = name,
                   .Value = RowAtY(p.y, static_cast<int>(SendMessageW(rows, LB_GETTOPINDEX, 0, 0)),
                                   static_cast<int>(SendMessageW(rows, LB_GETITEMHEIGHT, 0, 0)),
                                   static_cast<int>(SendMessageW(rows, LB_GETCOUNT, 0, 0))),
                   .Over = PtInRect(&client, p) ? name : over});
}

// The logic places the controls, or the table's rules do.
void Win32Form::Relayout() {
    if (!Report({.Kind = FormEventKind::Resize})) {
        PlaceAll(*this, table_, ArrangeForm(table_, ClientSize()));
    }
}

bool Win32Form::ReportsMouse(const Part& part) const {
    const FormControl& c = table_.Controls[part.Index];
    return c.Kind == ControlKind::Splitter || c.Has(style::Mouse);
}

void Win32Form::PartMouse(const Part& part, const MouseMessage& mouse, WPARAM keys, LPARAM at) {
    const FormControl& c = table_.Controls[part.Index];
    FormEvent event{.Control = c.Name};
    if (c.Kind == ControlKind::Splitter) {
        POINT p = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
        ClientToScreen(controls_[part.Index]->Window, &p);
        int& press = controls_[part.Index]->SplitterPress;
        if (mouse.Message == WM_LBUTTONDOWN) {
            press = p.y;
            event.Kind = FormEventKind::MouseDown;
        } else if (mouse.Message == WM_MOUSEMOVE && (keys & MK_LBUTTON) != 0) {
            event.Kind = FormEventKind::SplitterDrag;
            event.Value = scale_.Unscale(p.y - press);
        } else {
            return;
        }
        Report(std::move(event));
        return;
    }
    event.At = {scale_.Floor(GET_X_LPARAM(at)), scale_.Floor(GET_Y_LPARAM(at))};
    event.Button = mouse.Button;
    event.LeftHeld = (keys & MK_LBUTTON) != 0;
    // The platform sends a double-click in place of the second press: the
    // double-click is told first, then the press it stands for.
    if (mouse.Double) {
        event.Kind = FormEventKind::DoubleClick;
        Report(event);
    }
    event.Kind = mouse.Kind;
    Report(std::move(event));
}

bool Win32Form::PartKey(const Part& part, UINT message, WPARAM key) {
    const FormControl& c = table_.Controls[part.Index];
    FormEvent event{.Kind = FormEventKind::Focus, .Control = c.Name};
    if (!c.Has(style::TabStop)) {
        return false;
    }
    if (message != WM_KEYDOWN) {
        event.Value = message == WM_SETFOCUS ? 1 : 0;
        return Report(std::move(event));
    }
    static constexpr std::pair<WPARAM, FormKey> kKeys[] = {
        {VK_LEFT, FormKey::Left},     {VK_RIGHT, FormKey::Right},   {VK_UP, FormKey::Up},
        {VK_DOWN, FormKey::Down},     {VK_HOME, FormKey::Home},     {VK_END, FormKey::End},
        {VK_INSERT, FormKey::Insert}, {VK_DELETE, FormKey::Delete}, {VK_RETURN, FormKey::Enter},
        {VK_SPACE, FormKey::Space}};
    const auto* found = std::find_if(std::begin(kKeys), std::end(kKeys),
                                     [key](const auto& k) { return k.first == key; });
    if (found == std::end(kKeys)) {
        return false;
    }
    const auto held = [](int vk, std::uint8_t bit) { return GetKeyState(vk) < 0 ? bit : 0; };
    event.Kind = FormEventKind::Key;
    event.Value = static_cast<int>(found->second);
    event.Modifiers =
        static_cast<std::uint8_t>(held(VK_SHIFT, keymod::Shift) | held(VK_CONTROL, keymod::Ctrl) |
                                  held(VK_MENU, keymod::Alt));
    return Report(std::move(event));
}

bool Win32Form::FilterKey(const MSG& message) {
    if (message.message != WM_SYSCHAR) {
        return false;
    }
    // Full-width mnemonics, which no keyboard types: their half-width
    // letters stand in.
    const auto letter = static_cast<char>(towupper(static_cast<wint_t>(message.wParam)));
    for (const MnemonicStandIn& standIn : FullWidthMnemonics(table_)) {
        if (standIn.Letter != letter) {
            continue;
        }
        if (!standIn.Focus.empty()) {
            SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(standIn.Focus)),
                         TRUE);
        } else {
            PostMessageW(window_, WM_SYSCOMMAND, SC_KEYMENU, 0xFF21 + (letter - 'A'));
        }
        return true;
    }
    return false;
}

// --- Painting ----------------------------------------------------------------------------

bool Win32Form::PaintsShapes(std::string_view parent) const {
    return std::any_of(table_.Controls.begin(), table_.Controls.end(), [&](const FormControl& c) {
        return c.Parent == parent && (c.Kind == ControlKind::Shape || c.Kind == ControlKind::Bevel);
    });
}

// The parent's shapes and bevels, on a canvas of the parent's 96-dpi pixels;
// later ones in the table lie below earlier ones.
void Win32Form::PaintShapes(std::string_view parent, Bitmap24& canvas, int originX, int originY) {
    for (std::size_t n = controls_.size(); n-- > 0;) {
        const ControlState& state = *controls_[n];
        const FormControl& c = *state.Control;
        if (c.Parent != parent || !state.Visible) {
            continue;
        }
        if (c.Kind == ControlKind::Shape) {
            ShapeLook look = state.Shape;
            look.Bounds = {look.Bounds.Left - originX, look.Bounds.Top - originY,
                           look.Bounds.Right - originX, look.Bounds.Bottom - originY};
            PaintShapeLook(canvas, look);
        } else if (c.Kind == ControlKind::Bevel) {
            // A lowered line along the bottom of its box.
            const int line = c.Bounds.Bottom() - 2 - originY;
            const int left = c.Bounds.Left - originX;
            canvas.FillRect({left, line, left + c.Bounds.Width, line + 1},
                            SystemColor(kColorBtnShadow));
            canvas.FillRect({left, line + 1, left + c.Bounds.Width, line + 2},
                            SystemColor(kColorBtnHighlight));
        }
    }
}

void Win32Form::PaintPart(const Part& part, HDC dc, const RECT& client) {
    const TColor face = SystemColor(kColorBtnFace);
    if (part.Index == static_cast<std::size_t>(-1)) {
        // The window's own face with its shapes, in one picture.
        Bitmap24 canvas(scale_.UnscaleUp(client.right), scale_.UnscaleUp(client.bottom), face);
        PaintShapes("", canvas, 0, 0);
        DrawBitmap24(dc, 0, 0, canvas, scale_);
        return;
    }
    const ControlState& state = *controls_[part.Index];
    const FormControl& c = *state.Control;
    const BufferedPaint buffer(dc, client);
    const HDC canvas = buffer.Dc();
    switch (c.Kind) {
    case ControlKind::Panel: {
        if (PaintsShapes(c.Name)) {
            Bitmap24 picture(scale_.UnscaleUp(client.right), scale_.UnscaleUp(client.bottom), face);
            PaintShapes(c.Name, picture, 0, 0);
            DrawBitmap24(canvas, 0, 0, picture, scale_);
        } else {
            FillRect(canvas, &client, GetSysColorBrush(COLOR_BTNFACE));
        }
        RECT edge = client;
        switch (c.Border) {
        case Edge::Raised:
            DrawEdge(canvas, &edge, BDR_RAISEDINNER, BF_RECT);
            break;
        case Edge::Lowered:
            DrawEdge(canvas, &edge, BDR_SUNKENOUTER, BF_RECT);
            break;
        case Edge::Box:
            DrawEdge(canvas, &edge, EDGE_ETCHED, BF_RECT);
            break;
        case Edge::None:
            break;
        }
        return;
    }
    case ControlKind::Splitter:
        FillRect(canvas, &client, GetSysColorBrush(COLOR_BTNFACE));
        return;
    default:
        break;
    }
    FillRect(canvas, &client, GetSysColorBrush(c.Has(style::White) ? COLOR_WINDOW : COLOR_BTNFACE));
    if (c.Has(style::White)) {
        FillRect(canvas, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    DrawBitmap24(canvas, 0, 0, state.Picture,
                 c.Has(style::WholePixels) ? scale_.WholePixels() : scale_);
    const HGDIOBJ oldFont = SelectObject(canvas, font_.Get());
    ::SetTextColor(canvas, GetSysColor(COLOR_BTNTEXT));
    if (*c.Caption != '\0') {
        // The caption with its mnemonic underlined: the box is no taller than
        // the font, so the text moves up as far as the underline needs.
        SetBkMode(canvas, TRANSPARENT);
        RECT text = client;
        text.top -= std::max(0L, UnderlineBottom(canvas) - client.bottom);
        const std::wstring caption = Widen(c.Caption);
        DrawTextW(canvas, caption.c_str(), static_cast<int>(caption.size()), &text,
                  DT_LEFT | DT_TOP | DT_SINGLELINE);
    }
    SetBkColor(canvas, GetSysColor(COLOR_BTNFACE));
    for (const TextAt& label : state.Texts) {
        const std::wstring text = Widen(label.Text);
        SIZE extent = {};
        GetTextExtentPoint32W(canvas, text.c_str(), static_cast<int>(text.size()), &extent);
        const RECT patch = {scale_(label.X), 0, scale_(label.X) + extent.cx,
                            std::min<LONG>(extent.cy, scale_(label.MaxHeight))};
        ExtTextOutW(canvas, patch.left, 0, ETO_OPAQUE | ETO_CLIPPED, &patch, text.c_str(),
                    static_cast<UINT>(text.size()), nullptr);
    }
    SelectObject(canvas, oldFont);
}

// A row of an owner-drawn list or combo box: its text and its picture.
void Win32Form::DrawRow(const DRAWITEMSTRUCT& item) {
    const std::optional<std::size_t> index = IndexOfWindow(item.hwndItem);
    if (!index) {
        return;
    }
    const ControlState& state = *controls_[*index];
    const FormControl& c = *state.Control;
    const HDC dc = item.hDC;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const int background = selected ? COLOR_HIGHLIGHT : COLOR_WINDOW;
    FillRect(dc, &item.rcItem, GetSysColorBrush(background));
    const auto row = static_cast<std::size_t>(item.itemID);
    if (item.itemID != static_cast<UINT>(-1) && row < std::max(state.Rows.size(), c.Items.size())) {
        const ListRow shown =
            row < state.Rows.size() ? state.Rows[row] : ListRow{c.Items[row], std::nullopt};
        const RECT& r = item.rcItem;
        const BitmapLook look{shown.Transparent, static_cast<TColor>(GetSysColor(background))};
        RECT text = r;
        int pictureX = 0;
        int pictureY = r.top + scale_(2);
        if (c.Kind == ControlKind::ComboBox) {
            const PictureItemLayout layout = PictureItemPlaces(
                {0, 0, scale_.Unscale(r.right - r.left), scale_.Unscale(r.bottom - r.top)},
                c.RowHeight);
            pictureX = r.left + scale_(layout.Picture.X);
            pictureY = r.top + scale_(layout.Picture.Y);
            text.left = r.left + scale_(layout.Text.Left);
        } else {
            text.left += scale_(2);
            pictureX = text.left + TextExtent(font_.Font(), Widen(c.TextColumn)).cx + scale_(2);
        }
        const RowInk ink = ListRowInk(shown, selected);
        const int color = (item.itemState & ODS_DISABLED) != 0 || ink == RowInk::GrayText
                              ? COLOR_GRAYTEXT
                          : ink == RowInk::SelectedText ? COLOR_HIGHLIGHTTEXT
                                                        : COLOR_WINDOWTEXT;
        const HGDIOBJ oldFont = SelectObject(dc, font_.Get());
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        const COLORREF oldColour = ::SetTextColor(dc, GetSysColor(color));
        // Drawn as it is: an "&" in a name is no accelerator.
        const std::wstring name = Widen(shown.Text);
        DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &text,
                  DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP | DT_END_ELLIPSIS);
        ::SetTextColor(dc, oldColour);
        SetBkMode(dc, oldMode);
        SelectObject(dc, oldFont);
        if (shown.Picture) {
            DrawBitmap24(dc, pictureX, pictureY, *shown.Picture,
                         c.Has(style::WholePixels) ? scale_.WholePixels() : scale_, look);
        }
    }
    if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
        DrawFocusRect(dc, &item.rcItem);
    }
}

// A control the form paints, or the part of its parent a windowless one covers.
void Win32Form::Repaint(std::size_t index) {
    const ControlState& state = *controls_[index];
    if (state.Window != nullptr && state.Control->Kind != ControlKind::Label) {
        InvalidateRect(state.Window, nullptr, FALSE);
        return;
    }
    // Labels over shapes draw no background of their own: their parent paints
    // again from its face up, the labels over it.
    const std::string_view parent = state.Control->Parent;
    const HWND host = parent.empty() ? window_ : Control(parent);
    RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// --- What the logic shows -----------------------------------------------------------------------

namespace {

// Sets a flag for a scope.
class Quietly {
public:
    explicit Quietly(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~Quietly() { flag_ = old_; }
    Quietly(const Quietly&) = delete;
    Quietly& operator=(const Quietly&) = delete;

private:
    bool& flag_;
    bool old_;
};

} // namespace

void Win32Form::SetText(std::string_view control, const std::string& text) {
    const std::size_t index = IndexOf(control);
    const ControlState& state = *controls_[index];
    const Quietly quiet(quiet_);
    switch (state.Control->Kind) {
    case ControlKind::StatusBar:
        SendMessageW(state.Window, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
        return;
    case ControlKind::Edit:
        if (WindowTextUtf8(state.Window) != text) {
            SetWindowTextW(state.Window, Widen(text).c_str());
        }
        return;
    default:
        break;
    }
    SetWindowTextW(state.Window, ControlText(text).c_str());
    if (state.Control->Has(style::FitText)) {
        const SIZE size = TextExtent(font_.Font(), ControlText(text));
        SetWindowPos(state.Window, nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (state.Control->Has(style::OverShapes)) {
        Repaint(index);
    }
}

void Win32Form::SetTextColor(std::string_view control, TColor color) {
    ControlState& state = *controls_[IndexOf(control)];
    state.TextColor = color;
    InvalidateRect(state.Window, nullptr, TRUE);
}

void Win32Form::SetEnabled(std::string_view control, bool enabled) {
    EnableWindow(Control(control), enabled);
}

void Win32Form::SetVisible(std::string_view control, bool visible) {
    const std::size_t index = IndexOf(control);
    ControlState& state = *controls_[index];
    state.Visible = visible;
    if (state.Window != nullptr) {
        ShowWindow(state.Window, visible ? SW_SHOWNA : SW_HIDE);
    } else {
        Repaint(index);
    }
}

void Win32Form::SetChecked(std::string_view control, bool checked) {
    const Quietly quiet(quiet_);
    SendMessageW(Control(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32Form::SetPosition(std::string_view control, int position, int min, int max) {
    const Quietly quiet(quiet_);
    const ControlState& state = *controls_[IndexOf(control)];
    if (state.Control->Kind == ControlKind::TrackBar) {
        SendMessageW(state.Window, TBM_SETPOS, TRUE, position);
        return;
    }
    SendMessageW(state.Window, UDM_SETRANGE32, static_cast<WPARAM>(min), static_cast<LPARAM>(max));
    SendMessageW(state.Window, UDM_SETPOS32, 0, static_cast<LPARAM>(position));
}

void Win32Form::SetPicture(std::string_view control, const Bitmap24& picture) {
    const std::size_t index = IndexOf(control);
    controls_[index]->Picture = picture;
    Repaint(index);
}

void Win32Form::SetTextsOver(std::string_view control, const std::vector<TextAt>& texts) {
    const std::size_t index = IndexOf(control);
    controls_[index]->Texts = texts;
    Repaint(index);
}

void Win32Form::SetShape(std::string_view control, const ShapeLook& look) {
    const std::size_t index = IndexOf(control);
    controls_[index]->Shape = look;
    Repaint(index);
}

void Win32Form::SetRows(std::string_view control, const std::vector<ListRow>& rows) {
    const std::size_t index = IndexOf(control);
    ControlState& state = *controls_[index];
    const Quietly quiet(quiet_);
    state.Rows = rows;
    if (state.Control->Kind == ControlKind::ComboBox) {
        InvalidateRect(state.Window, nullptr, TRUE);
        return;
    }
    SendMessageW(state.Window, WM_SETREDRAW, FALSE, 0);
    SendMessageW(state.Window, LB_RESETCONTENT, 0, 0);
    for (const ListRow& row : rows) {
        SendMessageW(state.Window, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(Widen(row.Text).c_str()));
    }
    SendMessageW(state.Window, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(state.Window, nullptr, TRUE);
}

void Win32Form::SetSelection(std::string_view control, const std::vector<int>& rows, int current) {
    const ControlState& state = *controls_[IndexOf(control)];
    const Quietly quiet(quiet_);
    const HWND window = state.Window;
    if (state.Control->Kind == ControlKind::ComboBox) {
        SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(current), 0);
    } else if (!state.Control->Has(style::MultiSelect)) {
        SendMessageW(window, LB_SETCURSEL, static_cast<WPARAM>(current), 0);
    } else {
        SendMessageW(window, LB_SETSEL, FALSE, -1);
        for (const int row : rows) {
            SendMessageW(window, LB_SETSEL, TRUE, row);
        }
        if (current >= 0) {
            SendMessageW(window, LB_SETCARETINDEX, static_cast<WPARAM>(current), FALSE);
        }
    }
}

void Win32Form::ScrollRows(std::string_view control, int rows) {
    const HWND list = Control(control);
    const auto top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(top + rows, 0)), 0);
}

ListScroll Win32Form::Scroll(std::string_view control) const {
    const HWND list = Control(control);
    RECT client = {};
    GetClientRect(list, &client);
    const int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    return {top, LastVisibleRow(client.bottom, top,
                                static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0)),
                                static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)))};
}

// Moves every control of one parent in one go.
void Win32Form::Place(const std::vector<Placement>& places) {
    std::map<HWND, std::vector<std::pair<HWND, RECT>>> byParent;
    for (const Placement& place : places) {
        const ControlState& state = *controls_[IndexOf(place.Control)];
        if (state.Window == nullptr) {
            continue;
        }
        const Rect96& r = place.Bounds;
        RECT device = {scale_(r.Left), scale_(r.Top), scale_(r.Left) + scale_(r.Width),
                       scale_(r.Top) + scale_(r.Height)};
        if (state.Control->Has(style::FitText)) {
            const SIZE text = TextExtent(font_.Font(), Widen(WindowTextUtf8(state.Window)));
            device.right = device.left + text.cx;
            device.bottom = device.top + text.cy;
        }
        byParent[GetParent(state.Window)].emplace_back(state.Window, device);
    }
    for (const auto& [parent, moves] : byParent) {
        HDWP batch = BeginDeferWindowPos(static_cast<int>(moves.size()));
        for (const auto& [window, r] : moves) {
            if (batch != nullptr) {
                batch = DeferWindowPos(batch, window, nullptr, r.left, r.top, r.right - r.left,
                                       r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
            }
        }
        if (batch != nullptr) {
            EndDeferWindowPos(batch);
        }
    }
    for (const Placement& place : places) {
        const ControlState& state = *controls_[IndexOf(place.Control)];
        if (state.Control->Kind == ControlKind::ComboBox) {
            FitDropDownList(state.Window, scale_(place.Bounds.Height),
                            static_cast<int>(state.Control->Items.size()));
        }
    }
    for (const auto& state : controls_) {
        // The bar draws its panel's edge at its right end: when it grows, the
        // old edge would stay where it was.
        if (state->Control->Kind == ControlKind::StatusBar) {
            InvalidateRect(state->Window, nullptr, TRUE);
        }
    }
}

void Win32Form::SetItemEnabled(std::string_view item, bool enabled) {
    const HMENU bar = GetMenu(window_);
    const int command = CommandOf(table_, item);
    const UINT flags = MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED);
    if (EnableMenuItem(bar, static_cast<UINT>(command), flags) == -1) {
        // A submenu's opener carries its command as its identifier only in
        // its menu; found through the menus the bar holds.
        for (const auto& [menu, name] : menus_) {
            EnableMenuItem(menu, static_cast<UINT>(command), flags);
        }
    }
}

// The shortcut stays beside the caption, as the menu was made.
void Win32Form::SetItemText(std::string_view item, const std::string& caption) {
    const int command = CommandOf(table_, item);
    if (command == 0) {
        return;
    }
    std::string text = caption;
    const char* shortcut =
        table_.Menus[static_cast<std::size_t>(command - kFirstMenuCommand)].Shortcut;
    if (*shortcut != '\0') {
        text += std::string("\t") + shortcut;
    }
    std::wstring wide = Widen(text);
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = wide.data();
    SetMenuItemInfoW(GetMenu(window_), static_cast<UINT>(command), FALSE, &info);
}

void Win32Form::SetItemChecked(std::string_view item, bool checked) {
    CheckMenuItem(GetMenu(window_), static_cast<UINT>(CommandOf(table_, item)),
                  MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

std::optional<std::string> Win32Form::PopUpMenu(std::span<const MenuLine> lines,
                                                std::string_view menuName,
                                                const std::vector<std::string>& disabled,
                                                const std::vector<std::string>& hidden,
                                                std::string_view control, TPoint at) {
    const auto listed = [](const std::vector<std::string>& names, const char* name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    // Built anew each time: a menu has no hidden items of its own.
    const HMENU menu = CreatePopupMenu();
    std::vector<std::string> commands;
    for (const MenuLine& line : lines) {
        if (line.Menu != menuName || listed(hidden, line.Name)) {
            continue;
        }
        if (line.IsSeparator()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        commands.emplace_back(line.Name);
        const auto command = static_cast<UINT_PTR>(commands.size());
        AppendMenuW(menu, MF_STRING | (listed(disabled, line.Name) ? MF_GRAYED : 0), command,
                    Widen(line.Caption).c_str());
        if (line.Default) {
            SetMenuDefaultItem(menu, static_cast<UINT>(command), FALSE);
        }
    }
    POINT p = {scale_(at.X), scale_(at.Y)};
    ClientToScreen(Control(control), &p);
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, p.x,
                       p.y, 0, window_, nullptr));
    DestroyMenu(menu);
    if (chosen == 0 || chosen > commands.size()) {
        return std::nullopt;
    }
    return commands[chosen - 1];
}

// --- The window ---------------------------------------------------------------------------

void Win32Form::SetTitle(const std::string& text) {
    SetWindowTextW(window_, Widen(text).c_str());
}

Size96 Win32Form::ClientSize() const {
    RECT client = {};
    GetClientRect(window_, &client);
    return {scale_.Unscale(client.right), scale_.Unscale(client.bottom)};
}

Size96 Win32Form::TextSize(const std::string& text) const {
    const SIZE size = TextExtent(font_.Font(), ControlText(text));
    return {scale_.UnscaleUp(size.cx), scale_.UnscaleUp(size.cy)};
}

// The place in screen pixels, the size in 96-dpi pixels like every size the
// settings keep.
WindowBounds Win32Form::Bounds() const {
    RECT r = {};
    GetWindowRect(window_, &r);
    return {r.left, r.top, scale_.Unscale(r.right - r.left), scale_.Unscale(r.bottom - r.top)};
}

void Win32Form::SetBounds(const WindowBounds& bounds) {
    SetWindowPos(window_, nullptr, bounds.Left, bounds.Top, scale_(bounds.Width),
                 scale_(bounds.Height), SWP_NOZORDER | SWP_NOACTIVATE);
}

std::optional<ScreenSize> Win32Form::Screen() const {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0) {
        return std::nullopt;
    }
    return ScreenSize{width, height};
}

void Win32Form::Post(std::function<void()> later) {
    posted_.push_back(std::move(later));
    PostMessageW(window_, kRunPosted, 0, 0);
}

void Win32Form::Close(bool ok) {
    closing_ = true;
    if (modal_) {
        EndDialog(window_, ok ? IDOK : IDCANCEL);
        return;
    }
    ShowWindow(window_, SW_HIDE);
    // Destroyed from the message loop, once the command that closed it is done.
    PostMessageW(window_, kCloseNow, 0, 0);
}

void Win32Form::ApplyDpi(int dpi) {
    scale_ = Scale(dpi);
    font_ = CreateDialogFont(dpi);
    for (const auto& state : controls_) {
        if (state->Window == nullptr) {
            continue;
        }
        SendMessageW(state->Window, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Font()), TRUE);
        if (state->Control->Kind == ControlKind::ListBox) {
            SendMessageW(state->Window, LB_SETITEMHEIGHT, 0, scale_(state->Control->RowHeight));
        }
    }
}

} // namespace pelmora
