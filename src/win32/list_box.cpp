#include "win32/list_box.h"

#include <algorithm>
#include <cstring>

#include "win32/text.h"

namespace zendrik::win32 {
namespace {

int countOf(HWND list) {
    return int(SendMessageW(list, LB_GETCOUNT, 0, 0));
}

// The number of whole lines the list shows at once, at least one.
int linesInView(HWND list) {
    RECT client{};
    GetClientRect(list, &client);
    const int height = std::max(1, int(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0)));
    return std::max(1, int(client.bottom - client.top) / height);
}

}  // namespace

void LineWidths::measure(const std::wstring& line) {
    if (maxCharWidth_ == 0 || long(line.size()) * maxCharWidth_ > widest_) {
        // Only a line that could be wider than the widest is measured.
        HDC dc = GetDC(list_);
        HGDIOBJ old = SelectObject(dc, HGDIOBJ(SendMessageW(list_, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        maxCharWidth_ = std::max(1L, metrics.tmMaxCharWidth);
        SIZE size{};
        GetTextExtentPoint32W(dc, line.c_str(), int(line.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(list_, dc);
        if (size.cx > widest_) {
            widest_ = size.cx;
            // The list box draws a line a few pixels in from its left edge.
            SendMessageW(list_, LB_SETHORIZONTALEXTENT,
                         WPARAM(widest_ + 2 * metrics.tmAveCharWidth), 0);
        }
    }
}

void LineWidths::measureAll() {
    reset();
    const int count = countOf(list_);
    for (int i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list_, LB_GETTEXTLEN, WPARAM(i), 0);
        if (length == LB_ERR) continue;
        std::wstring line(size_t(length) + 1, L'\0');
        SendMessageW(list_, LB_GETTEXT, WPARAM(i), LPARAM(line.data()));
        line.resize(size_t(length));
        measure(line);
    }
}

void LineWidths::reset() {
    widest_ = 0;
    maxCharWidth_ = 0;
    SendMessageW(list_, LB_SETHORIZONTALEXTENT, 0, 0);
}

LogList::LogList(HWND list, Log& log) : list_(list), log_(log), widths_(list) {
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    for (const std::string& line : log_.lines()) lineAdded(line);
    log_.addObserver(this);
}

LogList::~LogList() {
    log_.removeObserver(this);
}

bool LogList::atNewestLine() const {
    const int top = int(SendMessageW(list_, LB_GETTOPINDEX, 0, 0));
    return top + linesInView(list_) >= countOf(list_);
}

void LogList::showNewestLine() {
    SendMessageW(list_, LB_SETTOPINDEX, WPARAM(std::max(0, countOf(list_) - linesInView(list_))),
                 0);
}

void LogList::beginChanges() {
    if (batches_++ > 0) return;
    following_ = atNewestLine();
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
}

void LogList::endChanges() {
    if (--batches_ > 0) return;
    if (following_) showNewestLine();
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void LogList::lineAdded(const std::string& line) {
    const bool alone = batches_ == 0;
    if (alone) beginChanges();
    const std::wstring shown = widen(line);
    SendMessageW(list_, LB_ADDSTRING, 0, LPARAM(shown.c_str()));
    widths_.measure(shown);
    if (alone) endChanges();
}

void LogList::lastLineChanged(const std::string& line) {
    const int last = countOf(list_) - 1;
    if (last < 0) {
        lineAdded(line);
        return;
    }
    const bool selected = SendMessageW(list_, LB_GETSEL, WPARAM(last), 0) > 0;
    const std::wstring shown = widen(line);
    SendMessageW(list_, LB_DELETESTRING, WPARAM(last), 0);
    SendMessageW(list_, LB_INSERTSTRING, WPARAM(last), LPARAM(shown.c_str()));
    if (selected) SendMessageW(list_, LB_SETSEL, TRUE, LPARAM(last));
    widths_.measure(shown);
}

void LogList::cleared() {
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    widths_.reset();
}

std::wstring LogList::selectedText() const {
    const int count = countOf(list_);
    std::wstring text;
    for (int i = 0; i < count; ++i) {
        if (SendMessageW(list_, LB_GETSEL, WPARAM(i), 0) <= 0) continue;
        const LRESULT length = SendMessageW(list_, LB_GETTEXTLEN, WPARAM(i), 0);
        std::wstring line(size_t(length) + 1, L'\0');
        SendMessageW(list_, LB_GETTEXT, WPARAM(i), LPARAM(line.data()));
        line.resize(size_t(length));
        text += line;
        text += L"\r\n";
    }
    return text;
}

bool LogList::onKey(const MSG& msg) {
    if (msg.hwnd != list_ || msg.message != WM_KEYDOWN || GetKeyState(VK_CONTROL) >= 0 ||
        GetKeyState(VK_MENU) < 0 || GetKeyState(VK_SHIFT) < 0)
        return false;
    if (msg.wParam == 'A') {
        SendMessageW(list_, LB_SETSEL, TRUE, LPARAM(-1));
        return true;
    }
    if (msg.wParam != 'C') return false;
    const std::wstring text = selectedText();
    if (!OpenClipboard(list_)) return true;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        std::memcpy(GlobalLock(memory), text.c_str(), bytes);
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
    return true;
}

}  // namespace zendrik::win32
