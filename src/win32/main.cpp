// zendrik.exe: the desktop wizard on the Win32 API. Takes no arguments.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "filesystem/native_file_system.h"
#include "win32/dialogs.h"
#include "win32/wizard.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    if (arguments && *arguments) {
        zendrik::win32::MessageBoxes::ok(
            nullptr, L"Zendrik",
            L"zendrik takes no arguments; zendrik-cli repairs installations named on its "
            L"command line.");
        return 2;
    }
    // The file dialogs run shell code that wants a single-threaded apartment.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    int exitCode = 0;
    {
        zendrik::NativeFileSystem disk;
        zendrik::win32::Wizard wizard(disk);
        wizard.start();
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) wizard.dispatch(msg);
        exitCode = int(msg.wParam);
    }
    CoUninitialize();
    return exitCode;
}
