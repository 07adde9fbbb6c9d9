// The toolkit's modal boxes over MessageBoxA and GetOpenFileNameA.
#include "win32/ports/Win32Dialogs.h"

#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <vector>

#include "ports/Dialogs.h"
#include "win32/ports/FunctionLookup.h"

namespace lumora {

namespace {

// Room for any path Windows 9x accepts, and more.
constexpr std::size_t kNameCapacity = 1024;

using GetOpenFileNameFn = BOOL(WINAPI*)(LPOPENFILENAMEA);
using CommDlgExtendedErrorFn = DWORD(WINAPI*)();

// COMDLG32 is loaded when the dialog is first wanted, not at start-up: importing it would load
// it, and the printing libraries behind it, into every start. It stays loaded once it is.
struct CommonDialogs {
    GetOpenFileNameFn getOpenFileName = nullptr;
    CommDlgExtendedErrorFn extendedError = nullptr;
};

const CommonDialogs& Comdlg32()
{
    static const CommonDialogs functions = [] {
        CommonDialogs found;
        if (const HMODULE module = LoadLibraryA("COMDLG32.DLL")) {
            found.getOpenFileName = LookUpFunction<GetOpenFileNameFn>(module, "GetOpenFileNameA");
            found.extendedError = LookUpFunction<CommDlgExtendedErrorFn>(module, "CommDlgExtendedError");
        }
        return found;
    }();
    return functions;
}

}  // namespace

void Win32Dialogs::showError(const std::string& message)
{
    MessageBoxA(static_cast<HWND>(owner_), message.c_str(), title_.c_str(), MB_OK | MB_ICONERROR);
}

bool Win32Dialogs::confirm(const std::string& text, const std::string& title)
{
    return MessageBoxA(static_cast<HWND>(owner_), text.c_str(), title.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool Win32Dialogs::openFile(const std::string& filter, const std::string& initialDir, std::string& fileName)
{
    const std::string filters = DoubleNulFilter(filter);
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

    const CommonDialogs& comdlg = Comdlg32();
    if (!comdlg.getOpenFileName || !comdlg.extendedError) return false;
    if (comdlg.getOpenFileName(&dialog)) {
        fileName = name.data();
        return true;
    }
    // A preselected name the dialog cannot start with (a malformed path) is dropped and the dialog
    // opened again; anything else, cancelling included, leaves the name as it was.
    if (comdlg.extendedError() != FNERR_INVALIDFILENAME || name[0] == '\0') return false;
    std::fill(name.begin(), name.end(), '\0');
    if (!comdlg.getOpenFileName(&dialog)) return false;
    fileName = name.data();
    return true;
}

}  // namespace lumora
