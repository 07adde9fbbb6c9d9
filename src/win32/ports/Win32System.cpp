// System port: memory status, version, ticks, working folder and top-level window lookup.
#include "win32/ports/Win32Ports.h"

#include <windows.h>

namespace lumora {

MemoryStatus Win32System::memoryStatus()
{
    MEMORYSTATUS status;
    ZeroMemory(&status, sizeof status);
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    MemoryStatus out;
    out.memoryLoad = status.dwMemoryLoad;
    out.totalPhys = status.dwTotalPhys;
    out.availPhys = status.dwAvailPhys;
    out.totalPageFile = status.dwTotalPageFile;
    out.availPageFile = status.dwAvailPageFile;
    out.totalVirtual = status.dwTotalVirtual;
    out.availVirtual = status.dwAvailVirtual;
    return out;
}

bool Win32System::version(OsVersion& out)
{
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) return false;
    out.major = info.dwMajorVersion;
    out.minor = info.dwMinorVersion;
    out.build = info.dwBuildNumber;
    out.platformId = info.dwPlatformId;
    return true;
}

std::uint32_t Win32System::tickCount()
{
    return GetTickCount();
}

std::string Win32System::currentDirectory()
{
    // The folder can change between the size query and the read; ask again until it fits.
    DWORD needed = GetCurrentDirectoryA(0, nullptr);
    for (int attempt = 0; attempt < 4 && needed != 0; ++attempt) {
        std::vector<char> buffer(needed + 1, '\0');
        const DWORD got = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
        if (got == 0) break;
        if (got < buffer.size()) return std::string(buffer.data(), got);
        needed = got;
    }
    return std::string();
}

bool Win32System::findWindow(const std::string& className, const std::string& title)
{
    return FindWindowA(className.c_str(), title.c_str()) != nullptr;
}

}  // namespace lumora
