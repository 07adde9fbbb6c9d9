// The window classes of the program's own windows.
#include "platform/win32/toolkit/WindowClasses.h"

namespace lumora::win32 {

bool RegisterWindowClasses(HINSTANCE instance, WNDPROC procedure, const char* icon, const char* frameClass,
                           std::initializer_list<const char*> innerClasses)
{
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = frameClass;
    windowClass.hIcon = static_cast<HICON>(LoadImageA(instance, icon, IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                      GetSystemMetrics(SM_CYICON), LR_SHARED));
    windowClass.hIconSm = static_cast<HICON>(LoadImageA(instance, icon, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    bool registered = RegisterClassExA(&windowClass) != 0;

    windowClass.hIcon = nullptr;
    windowClass.hIconSm = nullptr;
    for (const char* name : innerClasses) {
        windowClass.lpszClassName = name;
        if (!RegisterClassExA(&windowClass)) registered = false;
    }
    return registered;
}

}  // namespace lumora::win32
