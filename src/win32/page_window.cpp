#include "win32/page_window.h"

#include "win32/layout.h"
#include "win32/text.h"

namespace zendrik::win32 {
namespace {

constexpr wchar_t kPageClass[] = L"ZendrikPage";
constexpr DWORD kPageStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// A window that stays above another has no minimize box of its own.
constexpr DWORD kOwnedStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kPageExStyle = WS_EX_CONTROLPARENT;

bool isPushButton(HWND control) {
    wchar_t name[16] = {};
    if (GetClassNameW(control, name, 16) == 0 || lstrcmpiW(name, L"Button") != 0) return false;
    const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

HFONT fontOf(LOGFONTW font) {
    return CreateFontIndirectW(&font);
}

}  // namespace

HINSTANCE programInstance() {
    return GetModuleHandleW(nullptr);
}

PageWindow::PageWindow(const WindowTable& table, HWND owner)
    : table_(table), style_(owner ? kOwnedStyle : kPageStyle) {
    static const ATOM registered = [] {
        WNDCLASSEXW page{};
        page.cbSize = sizeof page;
        page.lpfnWndProc = &PageWindow::windowProc;
        page.hInstance = programInstance();
        page.hIcon = LoadIconW(programInstance(), MAKEINTRESOURCEW(1));
        page.hIconSm =
            HICON(LoadImageW(programInstance(), MAKEINTRESOURCEW(1), IMAGE_ICON,
                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
        page.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        page.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
        page.lpszClassName = kPageClass;
        return RegisterClassExW(&page);
    }();
    (void)registered;
    hwnd_ = CreateWindowExW(kPageExStyle, kPageClass, widen(table_.caption).c_str(), style_,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                            nullptr, programInstance(), this);
    dpi_ = GetDpiForWindow(hwnd_);
    // Made in tab order, which the dialog keys follow.
    for (const ControlRow& c : table_.controls) {
        const ControlClass made = controlClassOf(c.kind);
        CreateWindowExW(made.exStyle, made.windowClass, widen(c.text).c_str(),
                        WS_CHILD | WS_VISIBLE | made.style, 0, 0, 0, 0, hwnd_, HMENU(INT_PTR(c.id)),
                        programInstance(), nullptr);
    }
    makeFonts();
}

PageWindow::~PageWindow() {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
    deleteFonts();
}

void PageWindow::makeFonts() {
    HFONT oldNormal = normal_;
    HFONT oldHeading = heading_;
    HFONT oldTitle = title_;
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi_);
    normal_ = fontOf(metrics.lfMessageFont);
    LOGFONTW heading{};
    heading.lfHeight = -MulDiv(12, int(dpi_), 72);
    heading.lfWeight = FW_NORMAL;
    heading.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(heading.lfFaceName, L"MS Sans Serif", LF_FACESIZE);
    heading_ = fontOf(heading);
    LOGFONTW title = metrics.lfMessageFont;
    title.lfHeight = -MulDiv(14, int(dpi_), 72);
    title.lfWeight = FW_BOLD;
    title_ = fontOf(title);
    for (const ControlRow& c : table_.controls) {
        const FontRole role = controlClassOf(c.kind).font;
        HFONT font = role == FontRole::Heading ? heading_
                     : role == FontRole::Title ? title_
                                               : normal_;
        SendMessageW(control(c.id), WM_SETFONT, WPARAM(font), FALSE);
    }
    for (HFONT old : {oldNormal, oldHeading, oldTitle}) {
        if (old) DeleteObject(old);
    }
}

void PageWindow::deleteFonts() {
    for (HFONT* font : {&normal_, &heading_, &title_}) {
        if (*font) DeleteObject(*font);
        *font = nullptr;
    }
}

void PageWindow::lay(UINT dpi, HMONITOR monitor, const POINT* at) {
    if (dpi != dpi_) {
        dpi_ = dpi;
        makeFonts();
    }
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    const RECT& work = info.rcWork;
    RECT frame{};
    AdjustWindowRectExForDpi(&frame, style_, FALSE, kPageExStyle, dpi_);
    const SIZE frameSize = {frame.right - frame.left, frame.bottom - frame.top};
    const SIZE room = {work.right - work.left - frameSize.cx,
                       work.bottom - work.top - frameSize.cy};
    const PlacedWindow placed = place(table_, dpi_, room.cx, room.cy);
    for (size_t i = 0; i < table_.controls.size(); ++i) {
        const PixelRect& r = placed.controls[i];
        SetWindowPos(control(table_.controls[i].id), nullptr, r.left, r.top, r.right - r.left,
                     r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const SIZE client = {placed.clientWidth, placed.clientHeight};
    const SIZE size = {client.cx + frameSize.cx, client.cy + frameSize.cy};
    POINT topLeft;
    if (at && !placed.shrunk) {
        topLeft = *at;
    } else {
        topLeft = {work.left + (work.right - work.left - size.cx) / 2,
                   work.top + (work.bottom - work.top - size.cy) / 2};
    }
    SetWindowPos(hwnd_, nullptr, topLeft.x, topLeft.y, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // A window system whose frame does not scale as the DPI says (Wine) gets the client
    // area right all the same.
    RECT made{};
    GetClientRect(hwnd_, &made);
    if (made.right != client.cx || made.bottom != client.cy) {
        SetWindowPos(hwnd_, nullptr, 0, 0, size.cx + client.cx - made.right,
                     size.cy + client.cy - made.bottom, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
    onLayout();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void PageWindow::show() {
    RECT now{};
    GetWindowRect(hwnd_, &now);
    const POINT at = {now.left, now.top};
    lay(GetDpiForWindow(hwnd_), MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY),
        placed_ ? &at : nullptr);
    placed_ = true;
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    HWND focus = lastFocus_;
    if (!focus || !IsWindowVisible(focus) || !IsWindowEnabled(focus))
        focus = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    if (focus) SetFocus(focus);
    onShown();
}

void PageWindow::hide() {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
    ShowWindow(hwnd_, SW_HIDE);
}

bool PageWindow::translate(MSG& msg) {
    if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
    if (gate_.drops(msg, hwnd_)) return true;
    if (msg.message == WM_KEYDOWN && (onKey(msg) || pressKey(msg))) return true;
    return IsDialogMessageW(hwnd_, &msg) != FALSE;
}

bool PageWindow::pressKey(const MSG& msg) {
    if (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE) return false;
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0 || GetKeyState(VK_SHIFT) < 0)
        return false;
    if (msg.wParam == VK_ESCAPE) {
        press(table_.cancelButton);
        return true;
    }
    // Enter presses the focused button, else the page's main one.
    HWND focus = GetFocus();
    const int id = focus && GetParent(focus) == hwnd_ && isPushButton(focus) ? GetDlgCtrlID(focus)
                                                                             : mainButton();
    press(id);
    return true;
}

bool PageWindow::press(int id) {
    HWND button = id != 0 ? control(id) : nullptr;
    if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button)) return false;
    // As the dialog manager does for Enter and Escape: the focus stays where it is.
    SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(button));
    return true;
}

void PageWindow::setShown(int id, bool shown) {
    ShowWindow(control(id), shown ? SW_SHOWNA : SW_HIDE);
}

void PageWindow::setEnabled(int id, bool enabled) {
    EnableWindow(control(id), enabled ? TRUE : FALSE);
}

void PageWindow::setText(int id, const wchar_t* text) {
    SetWindowTextW(control(id), text);
}

void PageWindow::setCaption(const wchar_t* caption) {
    SetWindowTextW(hwnd_, caption);
}

LRESULT CALLBACK PageWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* page = static_cast<PageWindow*>(created->lpCreateParams);
        page->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(page));
    }
    auto* page = reinterpret_cast<PageWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!page) return DefWindowProcW(hwnd, message, wParam, lParam);
    return page->handle(message, wParam, lParam);
}

LRESULT PageWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            onCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CLOSE:
            onClose();
            return 0;
        case WM_TIMER:
            onTimer(wParam);
            return 0;
        case WM_DPICHANGED: {
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            const POINT at = {suggested->left, suggested->top};
            lay(LOWORD(wParam), MonitorFromRect(suggested, MONITOR_DEFAULTTONEAREST), &at);
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
            }
            break;
        case WM_SETFOCUS: {
            // The page passes the focus on to the control that had it last.
            HWND focus = lastFocus_;
            if (!focus || !IsWindowVisible(focus) || !IsWindowEnabled(focus))
                focus = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
            if (focus) SetFocus(focus);
            return 0;
        }
        default:
            if (message >= WM_APP && message <= 0xBFFF) {
                onAppMessage(message, wParam, lParam);
                return 0;
            }
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace zendrik::win32
