// Performance port: NT performance data and the conversion of its time stamp.
#include "win32/ports/Win32Ports.h"

#include <windows.h>

#include <string>

#include "win32/ports/FunctionLookup.h"

namespace lumora {

namespace {

// Windows loads the performance providers (the libraries named under each service's Performance
// key) at the first query of HKEY_PERFORMANCE_DATA and keeps them until the key is closed, and
// loads only those the query needs. Wine loads and frees every provider around every query, more
// than a millisecond of CPU each time, which the 800 ms tick would pay for ever; there a reference
// of our own keeps them loaded, as Windows does. Windows itself is left alone: loading every provider there
// would map libraries the query never calls into this process.
bool ProvidersFreedAfterEachQuery()
{
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return LookUpFunction<void*>(ntdll, "wine_get_version") != nullptr;
}

void KeepProvidersLoaded()
{
    HKEY services = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services", 0, KEY_READ, &services) !=
        ERROR_SUCCESS) {
        return;
    }
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD length = sizeof name;
        const LONG rc = RegEnumKeyExA(services, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS) continue;
        HKEY performance = nullptr;
        if (RegOpenKeyExA(services, (std::string(name, length) + "\\Performance").c_str(), 0, KEY_READ, &performance) !=
            ERROR_SUCCESS) {
            continue;
        }
        char library[MAX_PATH + 1] = {};
        DWORD size = MAX_PATH;  // room for the terminator a stored string may lack
        DWORD type = 0;
        if (RegQueryValueExA(performance, "Library", nullptr, &type, reinterpret_cast<BYTE*>(library), &size) ==
                ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ)) {
            char expanded[MAX_PATH] = {};
            const DWORD got = type == REG_EXPAND_SZ ? ExpandEnvironmentStringsA(library, expanded, MAX_PATH) : 0;
            LoadLibraryA(got > 0 && got <= MAX_PATH ? expanded : library);
        }
        RegCloseKey(performance);
    }
    RegCloseKey(services);
}

}  // namespace

long Win32Performance::queryProcessorData(std::uint8_t* buffer, std::uint32_t& size)
{
    static bool providersKept = false;
    if (!providersKept) {
        if (ProvidersFreedAfterEachQuery()) KeepProvidersLoaded();
        providersKept = true;
    }
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

}  // namespace lumora
