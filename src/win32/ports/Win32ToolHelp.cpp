// Tool help port: the process snapshot functions, found by name in kernel32 at first use
// (Windows NT 4.0 has none of them).
#include "win32/ports/Win32Ports.h"

#include <windows.h>
#include <tlhelp32.h>

#include "win32/ports/FunctionLookup.h"

namespace lumora {
namespace {

using CreateSnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
using WalkFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);

void* Find(HMODULE module, const char* name)
{
    return LookUpFunction<void*>(module, name);
}

}  // namespace

bool Win32ToolHelp::Available()
{
    if (!looked_) {
        looked_ = true;
        const HMODULE kernel = GetModuleHandleA("kernel32.dll");
        if (kernel != nullptr) {
            create_ = Find(kernel, "CreateToolhelp32Snapshot");
            first_ = Find(kernel, "Process32First");
            next_ = Find(kernel, "Process32Next");
        }
    }
    return create_ != nullptr;
}

std::uintptr_t Win32ToolHelp::createProcessSnapshot()
{
    if (!Available()) return 0;
    const HANDLE snapshot = reinterpret_cast<CreateSnapshotFn>(create_)(TH32CS_SNAPPROCESS, 0);
    // The failure value is INVALID_HANDLE_VALUE, not 0; the port's callers know only 0.
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    return reinterpret_cast<std::uintptr_t>(snapshot);
}

bool Win32ToolHelp::Walk(void* function, std::uintptr_t snapshot, std::vector<std::uint8_t>& record)
{
    if (!Available() || function == nullptr || snapshot == 0) return false;
    PROCESSENTRY32 entry;
    ZeroMemory(&entry, sizeof entry);
    entry.dwSize = sizeof entry;
    if (!reinterpret_cast<WalkFn>(function)(reinterpret_cast<HANDLE>(snapshot), &entry)) return false;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&entry);
    record.assign(bytes, bytes + sizeof entry);
    return true;
}

bool Win32ToolHelp::firstProcess(std::uintptr_t snapshot, std::vector<std::uint8_t>& record)
{
    Available();
    return Walk(first_, snapshot, record);
}

bool Win32ToolHelp::nextProcess(std::uintptr_t snapshot, std::vector<std::uint8_t>& record)
{
    Available();
    return Walk(next_, snapshot, record);
}

void Win32ToolHelp::closeSnapshot(std::uintptr_t snapshot)
{
    if (snapshot != 0) CloseHandle(reinterpret_cast<HANDLE>(snapshot));
}

}  // namespace lumora
