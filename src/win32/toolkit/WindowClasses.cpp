// The window classes of the program's own windows.
#include "win32/toolkit/WindowClasses.h"

namespace lumora::win32 {

WindowClasses::~WindowClasses()
{
    bool iconInUse = false;
    for (const char* name : registered_) {
        if (!UnregisterClassA(name, instance_) && name == frameClass_) iconInUse = true;
    }
    // A frame class still registered (a window of it is left) may still draw the icon; the end of
    // the process releases it then.
    if (smallIcon_ && !iconInUse) DestroyIcon(smallIcon_);
}

bool WindowClasses::Register(HINSTANCE instance, WNDPROC procedure, const char* icon, const char* frameClass,
                             std::initializer_list<const char*> innerClasses)
{
    instance_ = instance;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = frameClass;
    windowClass.hIcon = static_cast<HICON>(
        LoadImageA(instance, icon, IMAGE_ICON, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
    // Not shared: Windows 95, 98 and Me keep one shared icon per resource name, of whichever size
    // was asked for first, so a shared small icon would be the large image shrunk.
    smallIcon_ = static_cast<HICON>(
        LoadImageA(instance, icon, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hIconSm = smallIcon_;
    bool registered = RegisterClassExA(&windowClass) != 0;
    if (registered) {
        frameClass_ = frameClass;
        registered_.push_back(frameClass);
    }

    windowClass.hIcon = nullptr;
    windowClass.hIconSm = nullptr;
    for (const char* name : innerClasses) {
        windowClass.lpszClassName = name;
        if (RegisterClassExA(&windowClass)) {
            registered_.push_back(name);
        } else {
            registered = false;
        }
    }
    return registered;
}

}  // namespace lumora::win32
