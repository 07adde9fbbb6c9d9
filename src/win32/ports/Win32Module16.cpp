// 16-bit module port: kernel32's 16-bit module services and QT_Thunk, in the i686 build on
// Windows 9x only.
#include "win32/ports/Win32Ports.h"

#include <windows.h>

#if defined(__i386__)
// Calls the 16:16 address target through QT_Thunk with one 16-bit argument and returns AX.
// QT_Thunk takes the target in EDX and copies to the 16-bit stack everything between ESP and
// 64 bytes below the caller's EBP, which it uses as scratch: hence the frame of 66 spare bytes
// right under EBP, with the callee-saved registers kept above it, and the argument pushed as
// one word. Whatever the 16-bit function pops or leaves, ESP is restored from EBP.
extern "C" __attribute__((naked, noinline, used))
std::uint32_t __cdecl lumora_qt_call16(void* /*qtThunk*/, std::uint32_t /*target*/, std::uint32_t /*argument*/)
{
    asm("pushl %ebx\n\t"
        "pushl %esi\n\t"
        "pushl %edi\n\t"
        "pushl %ebp\n\t"
        "movl %esp, %ebp\n\t"
        "subl $66, %esp\n\t"
        "movl 28(%ebp), %eax\n\t"
        "pushw %ax\n\t"
        "movl 24(%ebp), %edx\n\t"
        "movl 20(%ebp), %eax\n\t"
        "call *%eax\n\t"
        "movzwl %ax, %eax\n\t"
        "movl %ebp, %esp\n\t"
        "popl %ebp\n\t"
        "popl %edi\n\t"
        "popl %esi\n\t"
        "popl %ebx\n\t"
        "ret");
}
#endif

namespace lumora {

namespace win32 {

void* ExportByOrdinal(void* module, unsigned ordinal)
{
    if (module == nullptr) return nullptr;
    const auto* base = static_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return nullptr;
    if (nt->OptionalHeader.NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_EXPORT) return nullptr;
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (dir.VirtualAddress == 0 || dir.Size == 0) return nullptr;
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    if (ordinal < exports->Base || ordinal - exports->Base >= exports->NumberOfFunctions) return nullptr;
    const auto* functions = reinterpret_cast<const DWORD*>(base + exports->AddressOfFunctions);
    const DWORD rva = functions[ordinal - exports->Base];
    if (rva == 0) return nullptr;
    // An address inside the export directory is the text of a forwarder, not code.
    if (rva >= dir.VirtualAddress && rva - dir.VirtualAddress < dir.Size) return nullptr;
    return const_cast<BYTE*>(base + rva);
}

}  // namespace win32

#if defined(__i386__)

namespace {

using LoadLibrary16Fn = WORD(WINAPI*)(LPCSTR);
using FreeLibrary16Fn = void(WINAPI*)(WORD);
using GetProcAddress16Fn = DWORD(WINAPI*)(WORD, LPCSTR);

constexpr unsigned kLoadLibrary16 = 35;
constexpr unsigned kFreeLibrary16 = 36;
constexpr unsigned kGetProcAddress16 = 37;

void* KernelOrdinal(HMODULE kernel, unsigned ordinal)
{
    // Windows 95 refuses GetProcAddress by ordinal for KERNEL32; its export table does not.
    void* found = reinterpret_cast<void*>(GetProcAddress(kernel, MAKEINTRESOURCEA(ordinal)));
    return found != nullptr ? found : win32::ExportByOrdinal(kernel, ordinal);
}

bool IsWindows9x()
{
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

}  // namespace

bool Win32Module16::Resolve()
{
    if (!resolved_) {
        resolved_ = true;
        const HMODULE kernel = GetModuleHandleA("kernel32.dll");
        if (kernel != nullptr && IsWindows9x()) {
            load_ = KernelOrdinal(kernel, kLoadLibrary16);
            free_ = KernelOrdinal(kernel, kFreeLibrary16);
            getProc_ = KernelOrdinal(kernel, kGetProcAddress16);
            thunk_ = reinterpret_cast<void*>(GetProcAddress(kernel, "QT_Thunk"));
        }
    }
    return load_ != nullptr && free_ != nullptr && getProc_ != nullptr && thunk_ != nullptr;
}

std::uint32_t Win32Module16::loadLibrary16(const std::string& fileName)
{
    if (!Resolve()) return 0;
    return reinterpret_cast<LoadLibrary16Fn>(load_)(fileName.c_str());
}

void Win32Module16::freeLibrary16(std::uint32_t handle)
{
    if (Resolve()) reinterpret_cast<FreeLibrary16Fn>(free_)(static_cast<WORD>(handle));
}

std::uint32_t Win32Module16::getProcAddress16(std::uint32_t handle, const std::string& name)
{
    if (!Resolve()) return 0;
    return reinterpret_cast<GetProcAddress16Fn>(getProc_)(static_cast<WORD>(handle), name.c_str());
}

std::uint16_t Win32Module16::call16(std::uint32_t address, std::uint16_t argument)
{
    if (!Resolve() || address == 0) return 0;
    return static_cast<std::uint16_t>(lumora_qt_call16(thunk_, address, argument));
}

#else

// No 16-bit code can run beside 64-bit code: the services do not exist.
bool Win32Module16::Resolve()
{
    resolved_ = true;
    return false;
}

std::uint32_t Win32Module16::loadLibrary16(const std::string&)
{
    return 0;
}

void Win32Module16::freeLibrary16(std::uint32_t)
{
}

std::uint32_t Win32Module16::getProcAddress16(std::uint32_t, const std::string&)
{
    return 0;
}

std::uint16_t Win32Module16::call16(std::uint32_t, std::uint16_t)
{
    return 0;
}

#endif

}  // namespace lumora
