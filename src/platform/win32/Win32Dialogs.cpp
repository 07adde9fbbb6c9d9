// The toolkit's modal boxes over MessageBoxA and GetOpenFileNameA.
#include "platform/win32/Win32Dialogs.h"

#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <vector>

#include "platform/win32/ToolkitRules.h"

namespace lumora {

namespace {

// Room for any path Windows 9x accepts, and more.
constexpr std::size_t kNameCapacity = 1024;

}  // namespace

void Win32Dialogs::showError(const std::string& message)
{
    MessageBoxA(static_cast<HWND>(owner_), message.c_str(), kTitle, MB_OK | MB_ICONERROR);
}

bool Win32Dialogs::confirm(const std::string& text, const std::string& title)
{
    return MessageBoxA(static_cast<HWND>(owner_), text.c_str(), title.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool Win32Dialogs::openFile(const std::string& filter, const std::string& initialDir, std::string& fileName)
{
    const std::string filters = win32::DoubleNulFilter(filter);
    std::vector<char> name(kNameCapacity, '\0');
    std::strncpy(name.data(), fileName.c_str(), name.size() - 1);

    OPENFILENAMEA dialog{};
    // The size Windows 95 and NT 4 know; later fields are extensions they would refuse.
#ifdef OPENFILENAME_SIZE_VERSION_400A
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
#else
    dialog.lStructSize = sizeof dialog;
#endif
    dialog.hwndOwner = static_cast<HWND>(owner_);
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    // No FILEMUSTEXIST or PATHMUSTEXIST: a name typed for a file that is not there is taken.
    // NOCHANGEDIR keeps the working folder, which the first start stores as the agent's folder.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;

    if (GetOpenFileNameA(&dialog)) {
        fileName = name.data();
        return true;
    }
    // A preselected name the dialog cannot start with (a malformed path) is dropped and the dialog
    // opened again; anything else, cancelling included, leaves the name as it was.
    if (CommDlgExtendedError() != FNERR_INVALIDFILENAME || name[0] == '\0') return false;
    std::fill(name.begin(), name.end(), '\0');
    if (!GetOpenFileNameA(&dialog)) return false;
    fileName = name.data();
    return true;
}

}  // namespace lumora
