// Registry port over the Win32 registry functions.
#include "win32/ports/Win32Ports.h"

#include <windows.h>

// The root of Windows 9x's dynamic statistics; headers for the NT family may leave it out.
#ifndef HKEY_DYN_DATA
#define HKEY_DYN_DATA ((HKEY)(ULONG_PTR)((LONG)0x80000006))
#endif

namespace lumora {
namespace {

HKEY ToHandle(RegKey key)
{
    return reinterpret_cast<HKEY>(key);
}

RegKey FromHandle(HKEY key)
{
    return reinterpret_cast<RegKey>(key);
}

bool IsRoot(HKEY key)
{
    return key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE || key == HKEY_DYN_DATA || key == HKEY_CLASSES_ROOT ||
           key == HKEY_USERS || key == HKEY_PERFORMANCE_DATA || key == HKEY_CURRENT_CONFIG;
}

// A value that keeps growing while we read it is given up on after this many tries.
constexpr int kReadTries = 8;

}  // namespace

RegKey Win32Registry::rootKey(RegRoot root)
{
    switch (root) {
    case RegRoot::CurrentUser: return FromHandle(HKEY_CURRENT_USER);
    case RegRoot::LocalMachine: return FromHandle(HKEY_LOCAL_MACHINE);
    case RegRoot::DynData: return FromHandle(HKEY_DYN_DATA);
    }
    return 0;
}

RegKey Win32Registry::openKey(RegKey parent, const std::string& path, bool create)
{
    HKEY result = nullptr;
    for (const REGSAM access : {static_cast<REGSAM>(KEY_ALL_ACCESS), static_cast<REGSAM>(KEY_READ)}) {
        LONG rc;
        if (create) {
            DWORD disposition = 0;
            rc = RegCreateKeyExA(ToHandle(parent), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                 &result, &disposition);
        } else {
            rc = RegOpenKeyExA(ToHandle(parent), path.c_str(), 0, access, &result);
        }
        if (rc == ERROR_SUCCESS) return FromHandle(result);
        if (rc != ERROR_ACCESS_DENIED) break;
    }
    return 0;
}

RegKey Win32Registry::openKeyWith(RegKey parent, const std::string& path, RegAccess access)
{
    HKEY result = nullptr;
    const REGSAM rights = access == RegAccess::All ? KEY_ALL_ACCESS : KEY_READ;
    if (RegOpenKeyExA(ToHandle(parent), path.c_str(), 0, rights, &result) != ERROR_SUCCESS) return 0;
    return FromHandle(result);
}

void Win32Registry::closeKey(RegKey key)
{
    const HKEY handle = ToHandle(key);
    if (handle != nullptr && !IsRoot(handle)) RegCloseKey(handle);
}

RegQuery Win32Registry::queryValue(RegKey key, const std::string& name, std::uint32_t& type,
                                   std::vector<std::uint8_t>& data)
{
    // Ask for the size first, then read; a value that grew in between is asked for again.
    DWORD size = 0;
    DWORD kind = 0;
    LONG rc = RegQueryValueExA(ToHandle(key), name.c_str(), nullptr, &kind, nullptr, &size);
    for (int attempt = 0; attempt < kReadTries; ++attempt) {
        if (rc == ERROR_FILE_NOT_FOUND) return RegQuery::Missing;
        if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) return RegQuery::Failed;
        if (size >= 0xFFFFFFFEu) return RegQuery::Failed;
        // One spare byte, so that an ANSI string whose size was reported without its
        // terminator still fits.
        std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size) + 1);
        DWORD got = size + 1;
        rc = RegQueryValueExA(ToHandle(key), name.c_str(), nullptr, &kind, buffer.data(), &got);
        if (rc == ERROR_SUCCESS) {
            if (got > buffer.size()) return RegQuery::Failed;
            buffer.resize(got);
            type = kind;
            data.swap(buffer);
            return RegQuery::Ok;
        }
        if (rc == ERROR_MORE_DATA) {
            size = got > size ? got : size * 2 + 1;
        }
    }
    return RegQuery::Failed;
}

void Win32Registry::queryFourBytes(RegKey key, const std::string& name, std::uint8_t (&value)[4])
{
    DWORD type = 0;
    DWORD size = sizeof value;
    RegQueryValueExA(ToHandle(key), name.c_str(), nullptr, &type, value, &size);
}

bool Win32Registry::setValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                             std::size_t size)
{
    static const BYTE kNothing = 0;
    if (size > 0xFFFFFFFFu) return false;
    return RegSetValueExA(ToHandle(key), name.c_str(), 0, type, data != nullptr ? data : &kNothing,
                          static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

bool Win32Registry::deleteValue(RegKey key, const std::string& name)
{
    return RegDeleteValueA(ToHandle(key), name.c_str()) == ERROR_SUCCESS;
}

}  // namespace lumora
