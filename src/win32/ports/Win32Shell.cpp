// Shell port: opens a link with the program registered for it.
#include "win32/ports/Win32Ports.h"

#include <windows.h>

#include "win32/ports/FunctionLookup.h"

namespace lumora {

namespace {

using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

}  // namespace

void Win32Shell::open(const std::string& link)
{
    // SHELL32 is loaded on the first link, not at start-up: importing it would load it and the
    // libraries behind it into every start for a click most sessions never make. It stays
    // loaded for the links that follow.
    static const auto shellExecute = [] {
        return LookUpFunction<ShellExecuteFn>(LoadLibraryA("SHELL32.DLL"), "ShellExecuteA");
    }();
    if (shellExecute) shellExecute(static_cast<HWND>(owner_), "open", link.c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace lumora
