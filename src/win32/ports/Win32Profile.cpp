// Profile port over the private profile functions; a file named without a folder lives in the
// Windows directory.
#include "win32/ports/Win32Ports.h"

#include <windows.h>

namespace lumora {

std::string Win32Profile::readString(const std::string& file, const std::string& section, const std::string& key,
                                     const std::string& def, std::size_t maxChars)
{
    // The service truncates to the buffer and always terminates it, so maxChars + 1 bytes
    // yield at most maxChars characters.
    std::vector<char> buffer(maxChars + 1, '\0');
    const DWORD got = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer.data(),
                                               static_cast<DWORD>(buffer.size()), file.c_str());
    return std::string(buffer.data(), got < buffer.size() ? got : maxChars);
}

bool Win32Profile::writeString(const std::string& file, const std::string& section, const std::string& key,
                               const std::string& value)
{
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
}

bool Win32Profile::deleteKey(const std::string& file, const std::string& section, const std::string& key)
{
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, file.c_str()) != FALSE;
}

void Win32Profile::flush(const std::string& file)
{
    // Windows 9x answers FALSE to the flush by design, whether or not anything was written: the
    // answer says nothing about the file.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
}

}  // namespace lumora
