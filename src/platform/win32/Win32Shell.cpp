// Shell port: opens a link with the program registered for it.
#include "platform/win32/Win32Ports.h"

#include <windows.h>
#include <shellapi.h>

namespace lumora {

void Win32Shell::open(const std::string& link)
{
    ShellExecuteA(static_cast<HWND>(owner_), "open", link.c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace lumora
