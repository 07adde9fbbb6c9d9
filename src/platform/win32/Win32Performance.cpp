// Performance port: NT performance data and the Windows 9x dynamic statistics.
#include "platform/win32/Win32Ports.h"

#include <windows.h>

#ifndef HKEY_DYN_DATA
#define HKEY_DYN_DATA ((HKEY)(ULONG_PTR)((LONG)0x80000006))
#endif

namespace lumora {

long Win32Performance::queryProcessorData(std::uint8_t* buffer, std::uint32_t& size)
{
    DWORD got = size;
    const LONG rc = RegQueryValueExA(HKEY_PERFORMANCE_DATA, "238", nullptr, nullptr, buffer, &got);
    size = got;
    return rc;
}

bool Win32Performance::systemTimeToFileTime(const std::uint16_t (&systemTime)[8], std::int64_t& fileTime)
{
    SYSTEMTIME st;
    st.wYear = systemTime[0];
    st.wMonth = systemTime[1];
    st.wDayOfWeek = systemTime[2];
    st.wDay = systemTime[3];
    st.wHour = systemTime[4];
    st.wMinute = systemTime[5];
    st.wSecond = systemTime[6];
    st.wMilliseconds = systemTime[7];
    FILETIME ft;
    if (!SystemTimeToFileTime(&st, &ft)) return false;
    fileTime = static_cast<std::int64_t>((static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
    return true;
}

std::uintptr_t Win32Performance::openDynKey(const std::string& path, bool allAccess)
{
    HKEY key = nullptr;
    const REGSAM access = allAccess ? KEY_ALL_ACCESS : KEY_READ;
    if (RegOpenKeyExA(HKEY_DYN_DATA, path.c_str(), 0, access, &key) != ERROR_SUCCESS) return 0;
    return reinterpret_cast<std::uintptr_t>(key);
}

void Win32Performance::queryDynValue(std::uintptr_t key, const std::string& name, std::uint8_t (&value)[4])
{
    DWORD type = 0;
    DWORD size = sizeof value;
    RegQueryValueExA(reinterpret_cast<HKEY>(key), name.c_str(), nullptr, &type, value, &size);
}

void Win32Performance::closeDynKey(std::uintptr_t key)
{
    if (key != 0) RegCloseKey(reinterpret_cast<HKEY>(key));
}

}  // namespace lumora
