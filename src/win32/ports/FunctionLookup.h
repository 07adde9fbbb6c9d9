// Functions found at run time rather than imported: those Windows 95 or NT 4 lack, and those of
// libraries loaded only when first needed. The lowest Win32 folder holds it so that the ports and
// the toolkit above them (its pictures) share it.
#pragma once
#include <windows.h>

namespace lumora {

// The function name in module as type Function; nullptr when the module is missing or does not
// export it.
template <typename Function>
Function LookUpFunction(HMODULE module, const char* name)
{
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// The same in a library that is already loaded, or loaded now (and kept for the program's life).
template <typename Function>
Function LookUpFunction(const char* library, const char* name)
{
    HMODULE module = GetModuleHandleA(library);
    if (module == nullptr) module = LoadLibraryA(library);
    return LookUpFunction<Function>(module, name);
}

}  // namespace lumora
