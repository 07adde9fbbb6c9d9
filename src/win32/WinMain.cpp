// Program entry: one manager window per desktop, built over the real Win32 ports.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <exception>
#include <memory>

#include "form/ControlIds.h"
#include "form/TForm1.h"
#include "monitor/CpuUsage.h"
#include "ports/Ports.h"
#include "win32/ports/Win32Dialogs.h"
#include "win32/ports/Win32Ports.h"
#include "win32/toolkit/Toolkit.h"
#include "win32/toolkit/peers/MakePeer.h"

// The runtime's own last-resort handler prints the uncaught exception's demangled type to a
// console a windowed program does not have, and brings a whole demangler into the release for
// it. No exception leaves the message dispatch or WinMain, so this only ever ends a broken run.
// It says so itself: the 32-bit build's C runtime, CRTDLL, cannot be told that the program is
// windowed, and its abort() writes its message to the console and ends the program without a word.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    MessageBoxA(nullptr, "abnormal program termination", lumora::kMainCaption, MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    std::abort();
}
}  // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    // A manager already running: leave without a window and without bringing it forward.
    if (FindWindowA(lumora::win32::Toolkit::kFormClass, lumora::kMainCaption)) return 0;

    InitCommonControls();

    lumora::Win32Registry registry;
    lumora::Win32Profile profile;
    lumora::Win32System system;
    lumora::Win32Shell shell;
    lumora::Win32Power power;
    lumora::Win32Dialogs dialogs(lumora::kMainCaption);
    lumora::Win32Performance performance;
    lumora::Win32Module16 module16;
    lumora::Win32ToolHelp toolHelp;
    lumora::Ports ports{registry, profile, system, shell, power, dialogs, performance, module16, toolHelp};

    try {
        // The meter fails only when the platform will not tell its version: nothing can run then.
        std::unique_ptr<lumora::CpuUsageMeter> meter;
        try {
            meter = std::make_unique<lumora::CpuUsageMeter>(ports);
        } catch (const std::exception& error) {
            dialogs.showError(error.what());
            return 1;
        }

        lumora::TForm1 form(ports, *meter);
        lumora::win32::Toolkit toolkit(instance, form, form, lumora::win32::MakePeer);
        HWND window = toolkit.Create();
        if (!window) return 1;
        dialogs.setOwner(window);
        shell.setOwner(window);

        // Before the window is first seen: the load gives it its stacking style.
        form.Dispatch([&form] { form.FormCreate(); });
        toolkit.Show(showCommand);
        const int code = toolkit.Run();
        dialogs.setOwner(nullptr);
        shell.setOwner(nullptr);
        return code;
    } catch (const std::exception& error) {
        dialogs.setOwner(nullptr);
        shell.setOwner(nullptr);
        dialogs.showError(error.what());
        return 1;
    }
}
