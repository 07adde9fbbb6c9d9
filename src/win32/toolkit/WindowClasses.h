// The window classes of the program's own windows: the frame's, and those of the windows inside
// it that are drawn or routed by the program rather than by a system class.
#pragma once
#include <windows.h>

#include <initializer_list>
#include <vector>

namespace lumora::win32 {

// Registered classes, kept with the frame's small icon until this goes; every window of them
// must be gone by then.
class WindowClasses {
public:
    WindowClasses() = default;
    ~WindowClasses();
    WindowClasses(const WindowClasses&) = delete;
    WindowClasses& operator=(const WindowClasses&) = delete;

    // Registers frameClass with the icon resource at both icon sizes, then each of innerClasses
    // without an icon; all with procedure, the arrow pointer and the button face behind them.
    // False when a class could not be registered (the ones after it are registered still). Once
    // per object.
    bool Register(HINSTANCE instance, WNDPROC procedure, const char* icon, const char* frameClass,
                  std::initializer_list<const char*> innerClasses);

private:
    HINSTANCE instance_ = nullptr;
    const char* frameClass_ = nullptr;  // once registered
    std::vector<const char*> registered_;
    HICON smallIcon_ = nullptr;
};

}  // namespace lumora::win32
