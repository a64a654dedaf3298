// zendrik-win32-screenshots: shows the four windows of the Win32 wizard, driven as a user
// would drive them over two small installations in a temporary folder, and copies each from
// the screen, frame included, into a bitmap in the working folder: options.bmp, info.bmp,
// folders.bmp, repair-running.bmp (the repair page while its pass is held before the second
// installation) and repair.bmp. scripts/screenshots-windows runs it under Wine.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "filesystem/fault_injecting_file_system.h"
#include "filesystem/windows_file_system.h"
#include "installation_builder.h"
#include "screenshot_scene.h"
#include "win32/dialogs.h"
#include "win32/info_formular.h"
#include "win32/optionen.h"
#include "win32/ordner_auswahl.h"
#include "win32/reparier.h"
#include "win32/wizard.h"

namespace {

using zendrik::testing::Installation;
using namespace zendrik::win32;

// Dispatches the messages that arrive within `ms` milliseconds, or until `done` holds.
bool pumpFor(
    Wizard& wizard, int ms, const std::function<bool()>& done = [] { return false; }) {
    const ULONGLONG until = GetTickCount64() + ULONGLONG(ms);
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) wizard.dispatch(msg);
        if (done()) return true;
        if (GetTickCount64() > until) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void press(PageWindow& page, int id) {
    SendMessageW(page.hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(page.control(id)));
}

// Copies `window` as the screen shows it into the 24-bit bitmap `name`.
bool save(Wizard& wizard, PageWindow& window, const char* name) {
    RedrawWindow(window.hwnd(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pumpFor(wizard, 500);
    RECT r{};
    GetWindowRect(window.hwnd(), &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const bool copied = BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    const DWORD stride = DWORD((width * 3 + 3) & ~3);
    const DWORD imageSize = stride * DWORD(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + imageSize;
    info.bmiHeader.biSizeImage = imageSize;
    std::ofstream out(name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), std::streamsize(imageSize));
    const bool written = copied && out.good();
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!written) std::fprintf(stderr, "zendrik-win32-screenshots: could not write %s\n", name);
    return written;
}

}  // namespace

int main() {
    MessageBoxes::setUnattended(true);
    FileDialog::setUnattended(true);
    setProgramEndHandler([] {});

    zendrik::WindowsFileSystem windows;
    zendrik::testing::ScreenshotScene scene(windows);
    Installation& server = scene.server;
    Installation& laptop = scene.laptop;
    std::atomic<bool>& held = scene.held;
    std::atomic<bool>& released = scene.released;
    bool ok = true;
    {
        Wizard wizard(scene.fs);
        wizard.start();
        ok &= save(wizard, wizard.optionen(), "options.bmp");

        press(wizard.optionen(), Optionen::InfoButton);
        ok &= save(wizard, wizard.infoFormular(), "info.bmp");
        press(wizard.infoFormular(), InfoFormular::cmdOK);

        press(wizard.optionen(), Optionen::NextButton);
        for (const Installation* ut : {&server, &laptop}) {
            FileDialog::setNextFileName(ut->at("system/UnrealTournament.exe").wstring());
            press(wizard.ordnerAuswahl(), OrdnerAuswahl::OpenButton);
        }
        ok &= save(wizard, wizard.ordnerAuswahl(), "folders.bmp");

        press(wizard.ordnerAuswahl(), OrdnerAuswahl::NextButton);
        HWND log = wizard.reparier().control(Reparier::LogListbox);
        if (!pumpFor(wizard, 10000,
                     [&] { return held && SendMessageW(log, LB_GETCOUNT, 0, 0) > 3; })) {
            std::fprintf(stderr,
                         "zendrik-win32-screenshots: the repair pass did not reach its hold\n");
            ok = false;
        }
        ok &= save(wizard, wizard.reparier(), "repair-running.bmp");
        released = true;
        if (!pumpFor(wizard, 30000, [&] { return wizard.core().repair().buttonsActive(); })) {
            std::fprintf(stderr, "zendrik-win32-screenshots: the repair pass did not finish\n");
            ok = false;
        }
        ok &= save(wizard, wizard.reparier(), "repair.bmp");
    }
    return ok ? 0 : 1;
}
