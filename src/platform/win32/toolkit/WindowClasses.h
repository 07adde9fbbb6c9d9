// The window classes of the program's own windows: the frame's, and those of the windows inside
// it that are drawn or routed by the program rather than by a system class.
#pragma once
#include <windows.h>

#include <initializer_list>

namespace lumora::win32 {

// Registers frameClass with the icon resource at both icon sizes, then each of innerClasses
// without an icon; all with procedure, the arrow pointer and the button face behind them. False
// when a class could not be registered (the ones after it are registered still).
bool RegisterWindowClasses(HINSTANCE instance, WNDPROC procedure, const char* icon, const char* frameClass,
                           std::initializer_list<const char*> innerClasses);

}  // namespace lumora::win32
