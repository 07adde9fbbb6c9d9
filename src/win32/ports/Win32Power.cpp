// Power port: the shutdown privilege of the process token and the exit and power requests.
#include "win32/ports/Win32Ports.h"

#include <windows.h>

#include "win32/ports/FunctionLookup.h"

namespace lumora {
namespace {

using OpenProcessTokenFn = BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE);
using LookupPrivilegeValueFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, PLUID);
using AdjustTokenPrivilegesFn = BOOL(WINAPI*)(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES, PDWORD);
using SetSystemPowerStateFn = BOOL(WINAPI*)(BOOL, BOOL);

// TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY.
constexpr DWORD kTokenAccess = 0x28;
// The previous state is received and discarded; one privilege entry fits.
constexpr DWORD kPreviousStateSize = 16;

}  // namespace

Win32Power::~Win32Power()
{
    closeToken();
}

bool Win32Power::openProcessToken()
{
    closeToken();
    const auto open = LookUpFunction<OpenProcessTokenFn>("advapi32.dll", "OpenProcessToken");
    HANDLE token = nullptr;
    if (open == nullptr || !open(GetCurrentProcess(), kTokenAccess, &token)) return false;
    token_ = token;
    return true;
}

bool Win32Power::lookupShutdownPrivilege()
{
    const auto lookup = LookUpFunction<LookupPrivilegeValueFn>("advapi32.dll", "LookupPrivilegeValueA");
    LUID luid{};
    haveLuid_ = lookup != nullptr && lookup(nullptr, "SeShutdownPrivilege", &luid);
    luidLow_ = haveLuid_ ? luid.LowPart : 0;
    luidHigh_ = haveLuid_ ? luid.HighPart : 0;
    return haveLuid_;
}

bool Win32Power::adjustShutdownPrivilege(bool enable)
{
    if (token_ == nullptr || !haveLuid_) return false;
    const auto adjust = LookUpFunction<AdjustTokenPrivilegesFn>("advapi32.dll", "AdjustTokenPrivileges");
    if (adjust == nullptr) return false;
    TOKEN_PRIVILEGES wanted;
    ZeroMemory(&wanted, sizeof wanted);
    wanted.PrivilegeCount = 1;
    wanted.Privileges[0].Luid.LowPart = luidLow_;
    wanted.Privileges[0].Luid.HighPart = luidHigh_;
    wanted.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
    alignas(TOKEN_PRIVILEGES) BYTE previous[kPreviousStateSize] = {};
    DWORD returned = 0;
    return adjust(static_cast<HANDLE>(token_), FALSE, &wanted, kPreviousStateSize,
                  reinterpret_cast<PTOKEN_PRIVILEGES>(previous), &returned) != FALSE;
}

void Win32Power::closeToken()
{
    if (token_ != nullptr) CloseHandle(static_cast<HANDLE>(token_));
    token_ = nullptr;
}

bool Win32Power::exitWindows(std::uint32_t flags)
{
    return ExitWindowsEx(flags, 0) != FALSE;
}

bool Win32Power::setSystemPowerState(bool suspend, bool force)
{
    const auto request = LookUpFunction<SetSystemPowerStateFn>("kernel32.dll", "SetSystemPowerState");
    return request != nullptr && request(suspend ? TRUE : FALSE, force ? TRUE : FALSE) != FALSE;
}

}  // namespace lumora
