// Windows 9x exports CreateSemaphoreW, GetModuleHandleW and LoadLibraryW only as stubs that
// fail; the static C and C++ runtimes import them. In the 32-bit build their import slots are
// filled here with ANSI twins, so the program never calls a stub on Windows 9x.
#if defined(__i386__)
#include <windows.h>

#include <string>

namespace {

// The ANSI form of a wide name in the system code page; false when it cannot be converted.
bool Narrow(LPCWSTR wide, std::string& out)
{
    const int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return false;
    out.assign(static_cast<std::size_t>(size), '\0');
    if (WideCharToMultiByte(CP_ACP, 0, wide, -1, &out[0], size, nullptr, nullptr) != size) return false;
    out.resize(static_cast<std::size_t>(size) - 1);
    return true;
}

HANDLE WINAPI CreateSemaphoreAnsi(LPSECURITY_ATTRIBUTES attributes, LONG initial, LONG maximum, LPCWSTR name)
{
    if (!name) return CreateSemaphoreA(attributes, initial, maximum, nullptr);
    std::string narrow;
    if (!Narrow(name, narrow)) {
        SetLastError(ERROR_INVALID_NAME);
        return nullptr;
    }
    return CreateSemaphoreA(attributes, initial, maximum, narrow.c_str());
}

HMODULE WINAPI GetModuleHandleAnsi(LPCWSTR name)
{
    if (!name) return GetModuleHandleA(nullptr);
    std::string narrow;
    if (!Narrow(name, narrow)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return GetModuleHandleA(narrow.c_str());
}

HMODULE WINAPI LoadLibraryAnsi(LPCWSTR name)
{
    std::string narrow;
    if (!name || !Narrow(name, narrow)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return LoadLibraryA(narrow.c_str());
}

}  // namespace

// The import slots the runtimes' dllimport references resolve to.
extern "C" {
extern void* const CreateSemaphoreWSlot __asm__("__imp__CreateSemaphoreW@16");
extern void* const GetModuleHandleWSlot __asm__("__imp__GetModuleHandleW@4");
extern void* const LoadLibraryWSlot __asm__("__imp__LoadLibraryW@4");
void* const CreateSemaphoreWSlot = reinterpret_cast<void*>(&CreateSemaphoreAnsi);
void* const GetModuleHandleWSlot = reinterpret_cast<void*>(&GetModuleHandleAnsi);
void* const LoadLibraryWSlot = reinterpret_cast<void*>(&LoadLibraryAnsi);
}
#endif
